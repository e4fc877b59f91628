// A window's _NET_WM_ICON, which any client may set to anything, read without ever going past it.
#include "platform/linux/x11_icon_property.h"

#include <gtest/gtest.h>

#include <vector>

namespace qel {
namespace {

// An icon's items: its size, then its pixels numbered from `first`.
std::vector<unsigned long> Icon(unsigned long width, unsigned long height, unsigned long first) {
  std::vector<unsigned long> items{width, height};
  for (unsigned long i = 0; i < width * height; ++i) items.push_back(first + i);
  return items;
}

std::vector<unsigned long> Join(std::initializer_list<std::vector<unsigned long>> parts) {
  std::vector<unsigned long> items;
  for (const auto& part : parts) items.insert(items.end(), part.begin(), part.end());
  return items;
}

TEST(ParseNetWmIcon, KeepsEveryWholeIconLargestFirstAndSkipsTheRest) {
  struct Case {
    const char* name;
    std::vector<unsigned long> items;
    std::vector<std::pair<int, int>> sizes;
  };
  const unsigned long huge = 0x80000000ul;
  const Case cases[] = {
      {"empty", {}, {}},
      {"a size without pixels", {2, 2}, {}},
      {"two icons, smaller first", Join({Icon(2, 1, 0xFF000001), Icon(3, 2, 7)}), {{3, 2}, {2, 1}}},
      {"a zero size is skipped", Join({{0, 5}, Icon(1, 1, 9)}), {{1, 1}}},
      {"sizes past the end end the list", Join({Icon(2, 2, 1), {64, 64, 1, 2, 3}}), {{2, 2}}},
      {"a size whose product wraps", Join({{huge, huge}, Icon(1, 1, 9)}), {}},
      {"a trailing lone item", Join({Icon(1, 2, 5), {7}}), {{1, 2}}},
      {"too large a side is skipped, the next kept",
       Join({Icon(kMaxIconSide + 1, 1, 0), Icon(2, 2, 3)}),
       {{2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto icons = ParseNetWmIcon(c.items);
    ASSERT_EQ(icons.size(), c.sizes.size());
    for (std::size_t i = 0; i < icons.size(); ++i) {
      EXPECT_EQ(icons[i].width, c.sizes[i].first);
      EXPECT_EQ(icons[i].height, c.sizes[i].second);
      EXPECT_EQ(icons[i].pixels.size(), static_cast<std::size_t>(icons[i].width) * icons[i].height);
    }
  }
}

TEST(ParseNetWmIcon, PixelsAreTheItemsLow32Bits) {
  // On 64-bit Xlib each item is a long whose upper half may hold anything.
  const std::vector<unsigned long> items{1, 2, 0xDEAD0000FF102030ul, 0x80FFFFFFul};
  const auto icons = ParseNetWmIcon(items);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].pixels, (std::vector<std::uint32_t>{0xFF102030u, 0x80FFFFFFu}));
}

}  // namespace
}  // namespace qel
