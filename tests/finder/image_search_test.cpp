// Image-in-image search: the rules of which places count and in what order, then every way of
// searching against the direct search on random and adversarial images.
#include "finder/image_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "finder/byte_range_scan.h"
#include "finder/image_rows.h"
#include "finder/image_sweep.h"
#include "platform/fake/fake_system.h"
#include "tests/finder/plain_image_search.h"

namespace qel {
namespace {

constexpr std::uint8_t kPadding = 9;

// An 8-bit image in memory, bottom row first and padded, with as many of its bytes as a case keeps.
struct Image {
  std::vector<std::uint8_t> bytes;
  std::int32_t width = 0;
  std::int32_t height = 0;

  PaletteRows Rows() const { return {bytes, width, height}; }
};

// Rows as seen, top row first, one digit a pixel; `keptBytes` below 0 keeps them all.
Image FromText(const std::vector<std::string>& rows, std::int64_t keptBytes = -1) {
  Image image;
  image.height = static_cast<std::int32_t>(rows.size());
  image.width = rows.empty() ? 0 : static_cast<std::int32_t>(rows.front().size());
  const std::int64_t stride = PaletteStride(image.width);
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    for (const char digit : *row) image.bytes.push_back(static_cast<std::uint8_t>(digit - '0'));
    image.bytes.resize(image.bytes.size() + static_cast<std::size_t>(stride - image.width),
                       kPadding);
  }
  if (keptBytes >= 0) image.bytes.resize(static_cast<std::size_t>(keptBytes));
  return image;
}

const std::vector<ImageSearchMethod>& EveryMethod() {
  static const std::vector<ImageSearchMethod> methods = [] {
    std::vector<ImageSearchMethod> all;
    for (const NamedByteRangeKernel& kernel : RunnableByteRangeKernels()) {
      all.push_back({kernel.scan, std::numeric_limits<std::int64_t>::max()});
      // The filter gives up after a candidate or two and the sweep goes on from its row.
      all.push_back({kernel.scan, 20});
    }
    all.push_back({FastestByteRangeKernel(), -1});
    return all;
  }();
  return methods;
}

std::string Describe(const ImageSearchMethod& method) {
  std::string kernel = "?";
  for (const NamedByteRangeKernel& named : RunnableByteRangeKernels()) {
    if (named.scan == method.scan) kernel = named.name;
  }
  return kernel + ", budget " + std::to_string(method.filterBudget);
}

TEST(ImageSearchTest, WhichPlacesCountAndInWhatOrder) {
  struct Case {
    std::string name;
    Image large, small;
    std::vector<ImagePlace> want;
  };
  const Image pair = FromText({"12", "34"});
  for (const Case& c : {
           Case{"lowest row first, though further right",
                FromText({"1200", "3400", "0012", "0034"}),
                pair,
                {{2, 0}, {0, 2}}},
           Case{"then leftmost, overlapping places all counted",
                FromText({"111", "111"}),
                FromText({"11"}),
                {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
           Case{"a row running on into the next is no place",
                FromText({"2000", "0001"}),
                FromText({"12"}),
                {}},
           Case{"padding is never a pixel", FromText({"001"}), FromText({"19"}), {}},
           Case{"rows above the top are not there",
                FromText({"34", "00"}),
                FromText({"99", "34"}),
                {}},
           Case{"a one-row image at its row", FromText({"000", "070"}), FromText({"7"}), {{1, 0}}},
           Case{"wider than the large image", FromText({"11"}), FromText({"111"}), {}},
           Case{"taller than the large image", FromText({"1"}), FromText({"1", "1"}), {}},
           Case{"an empty small image", FromText({"11"}), FromText({""}), {}},
           Case{"an empty large image", FromText({}), FromText({"1"}), {}},
           Case{"a large row the bytes do not hold is not there",
                FromText({"00", "11"}, 5),
                FromText({"0"}),
                {}},
           Case{"a small image is the rows its bytes hold",
                FromText({"00", "10"}),
                FromText({"7", "1"}, 4),
                {{0, 0}}},
       }) {
    ASSERT_EQ(plain::FindAllImages(c.large.Rows(), c.small.Rows()), c.want) << c.name;
    for (const ImageSearchMethod& method : EveryMethod()) {
      NoEventPump pump;
      EventHandOff handOff(pump);
      std::vector<ImagePlace> places{{5, 5}};
      FindAllImages(c.large.Rows(), c.small.Rows(), places, handOff, method);
      EXPECT_EQ(places, c.want) << c.name << ", " << Describe(method);
      ImagePlace first;
      EXPECT_EQ(FindImage(c.large.Rows(), c.small.Rows(), first, handOff, method), !c.want.empty())
          << c.name << ", " << Describe(method);
      if (!c.want.empty()) {
        EXPECT_EQ(first, c.want.front()) << c.name << ", " << Describe(method);
      }
    }
  }
}

// Random images over two or three values, so that near misses abound: flat ones, copies of the
// small image planted in the large, copies whose last pixel (top right) differs, widths that leave
// padding and ones that fill the large image, bytes cut short.
TEST(ImageSearchTest, EveryWayFindsWhatTheDirectSearchFinds) {
  std::mt19937 random(20251209);
  const auto pick = [&random](std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random);
  };
  for (int round = 0; round < 3000; ++round) {
    const std::int32_t values = pick(1, 3);
    const auto value = [&] { return static_cast<std::uint8_t>(pick(0, values - 1) * 100); };
    Image large;
    large.width = pick(1, 24);
    large.height = pick(1, 12);
    large.bytes.resize(static_cast<std::size_t>(PaletteStride(large.width) * large.height));
    for (auto& byte : large.bytes) byte = value();
    Image small;
    small.width = round % 10 == 0 ? large.width : pick(1, std::min(large.width + 1, 8));
    small.height = round % 10 == 1 ? large.height : pick(1, std::min(large.height + 1, 6));
    const std::int64_t smallStride = PaletteStride(small.width);
    small.bytes.resize(static_cast<std::size_t>(smallStride * small.height));
    for (auto& byte : small.bytes) byte = value();
    if (small.width <= large.width && small.height <= large.height) {
      for (int planted = pick(0, 4); planted > 0; --planted) {
        const std::int32_t x = pick(0, large.width - small.width);
        const std::int32_t row = pick(0, large.height - small.height);
        for (std::int32_t j = 0; j < small.height; ++j) {
          std::copy_n(small.bytes.begin() + j * smallStride, small.width,
                      large.bytes.begin() + (row + j) * PaletteStride(large.width) + x);
        }
        if (pick(0, 1) == 1) {
          const std::size_t last = static_cast<std::size_t>(
              (row + small.height - 1) * PaletteStride(large.width) + x + small.width - 1);
          large.bytes[last] = static_cast<std::uint8_t>(large.bytes[last] + 100);
        }
      }
    }
    if (round % 17 == 0) large.bytes.resize(static_cast<std::size_t>(pick(0, 40)));
    if (round % 19 == 0) small.bytes.resize(static_cast<std::size_t>(pick(0, 12)));

    const std::vector<ImagePlace> want = plain::FindAllImages(large.Rows(), small.Rows());
    for (const ImageSearchMethod& method : EveryMethod()) {
      NoEventPump pump;
      EventHandOff handOff(pump);
      std::vector<ImagePlace> places;
      FindAllImages(large.Rows(), small.Rows(), places, handOff, method);
      ASSERT_EQ(places, want) << "round " << round << ", " << Describe(method);
      ImagePlace first{-1, -1};
      ASSERT_EQ(FindImage(large.Rows(), small.Rows(), first, handOff, method), !want.empty())
          << "round " << round << ", " << Describe(method);
      if (!want.empty()) {
        ASSERT_EQ(first, want.front()) << "round " << round;
      }
    }

    // The sweep with row hashes so short that windows unlike any small row often pass for one,
    // from a later row as when it takes over from the filter: only comparing keeps them out.
    const ImageRows largeRows = CompleteRows(large.Rows());
    const ImageRows smallRows = CompleteRows(small.Rows());
    if (smallRows.height == 0 || smallRows.width > largeRows.width ||
        smallRows.height > largeRows.height) {
      continue;
    }
    const std::int32_t firstRow = pick(0, largeRows.height - smallRows.height);
    std::vector<ImagePlace> wantFromThere;
    for (const ImagePlace& place : want) {
      if (place.row >= firstRow) wantFromThere.push_back(place);
    }
    NoEventPump pump;
    EventHandOff handOff(pump);
    std::vector<ImagePlace> places;
    PlaceSink all(&places);
    SweepForImage(largeRows, smallRows, firstRow, all, handOff, 6);
    ASSERT_EQ(places, wantFromThere) << "round " << round << ", short hashes";
    PlaceSink first(nullptr);
    SweepForImage(largeRows, smallRows, firstRow, first, handOff, 6);
    ASSERT_EQ(first.Found(), !wantFromThere.empty()) << "round " << round << ", short hashes";
    if (first.Found()) {
      ASSERT_EQ(first.First(), wantFromThere.front()) << "round " << round << ", short hashes";
    }
  }
}

// A search through a picture of many rows gives the window system its turn on the way.
TEST(ImageSearchTest, LongSearchesHandOffToTheWindowSystem) {
  Image large;
  large.width = 64;
  large.height = 512;
  large.bytes.assign(static_cast<std::size_t>(64 * 512), 0);
  const Image small = FromText({"01", "00"});
  for (const ImageSearchMethod& method : EveryMethod()) {
    FakeEventPump pump;
    EventHandOff handOff(pump, std::chrono::nanoseconds(0));
    ImagePlace place;
    EXPECT_FALSE(FindImage(large.Rows(), small.Rows(), place, handOff, method));
    EXPECT_GT(pump.handOffs, 0) << Describe(method);
  }
}

}  // namespace
}  // namespace qel
