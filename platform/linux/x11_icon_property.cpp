#include "platform/linux/x11_icon_property.h"

#include <algorithm>

namespace qel {

std::vector<ArgbImage> ParseNetWmIcon(std::span<const unsigned long> items) {
  std::vector<ArgbImage> icons;
  std::size_t at = 0;
  while (items.size() - at >= 2) {
    // Only the low 32 bits of a long carry the item.
    const unsigned long width = items[at] & 0xFFFFFFFFul;
    const unsigned long height = items[at + 1] & 0xFFFFFFFFul;
    at += 2;
    if (width == 0 || height == 0) continue;  // no pixels follow
    // Divided rather than multiplied, so that a hostile size cannot wrap around.
    if (height > (items.size() - at) / width) break;
    const std::size_t count = width * height;
    if (width <= kMaxIconSide && height <= kMaxIconSide) {
      ArgbImage icon{static_cast<int>(width), static_cast<int>(height), {}};
      icon.pixels.reserve(count);
      for (std::size_t i = 0; i < count; ++i)
        icon.pixels.push_back(static_cast<std::uint32_t>(items[at + i]));
      icons.push_back(std::move(icon));
    }
    at += count;
  }
  std::stable_sort(icons.begin(), icons.end(), [](const ArgbImage& a, const ArgbImage& b) {
    return static_cast<long long>(a.width) * a.height > static_cast<long long>(b.width) * b.height;
  });
  return icons;
}

}  // namespace qel
