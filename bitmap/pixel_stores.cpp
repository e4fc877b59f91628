#include "bitmap/pixel_stores.h"

#include <bit>
#include <cstring>

namespace qel {

void StoreBgr0(std::span<const std::uint32_t> pixels, std::uint8_t* out) {
  // Little-endian, the pixel with its top byte cleared is those four bytes.
  static_assert(std::endian::native == std::endian::little);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t pixel = pixels[i] & 0xFFFFFF;
    std::memcpy(out + 4 * i, &pixel, 4);
  }
}

}  // namespace qel
