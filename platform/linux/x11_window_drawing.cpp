#include "platform/linux/x11_window_drawing.h"

#include <bit>

namespace qel {
namespace {

bool IsByteChannel(std::uint32_t mask) {
  return std::popcount(mask) == 8 && std::countr_zero(mask) % 8 == 0 &&
         (mask >> std::countr_zero(mask)) == 0xFF;
}

}  // namespace

bool PackXImage(const XPixelFormat& format, std::uint32_t extraBits, const std::uint32_t* pixels,
                std::ptrdiff_t inStride, int width, int height, std::uint8_t* data,
                int bytesPerLine) {
  const int bytes = format.bitsPerPixel / 8;
  if ((format.bitsPerPixel != 24 && format.bitsPerPixel != 32) || !IsByteChannel(format.redMask) ||
      !IsByteChannel(format.greenMask) || !IsByteChannel(format.blueMask)) {
    return false;
  }
  const int redShift = std::countr_zero(format.redMask);
  const int greenShift = std::countr_zero(format.greenMask);
  const int blueShift = std::countr_zero(format.blueMask);
  if (bytes == 3 && (redShift > 16 || greenShift > 16 || blueShift > 16)) return false;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* in = pixels + y * inStride;
    std::uint8_t* out = data + static_cast<std::ptrdiff_t>(y) * bytesPerLine;
    for (int x = 0; x < width; ++x, out += bytes) {
      const std::uint32_t rgb = in[x];
      const std::uint32_t value = extraBits | ((rgb >> 16) & 0xFF) << redShift |
                                  ((rgb >> 8) & 0xFF) << greenShift | (rgb & 0xFF) << blueShift;
      for (int i = 0; i < bytes; ++i) {
        const int shift = format.msbFirst ? 8 * (bytes - 1 - i) : 8 * i;
        out[i] = static_cast<std::uint8_t>(value >> shift);
      }
    }
  }
  return true;
}

}  // namespace qel
