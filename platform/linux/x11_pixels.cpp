#include "platform/linux/x11_pixels.h"

#include <bit>
#include <cstring>
#include <initializer_list>

namespace qel {
namespace {

// A channel's value scaled to eight bits, whatever the width of its mask.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  std::uint32_t value = (pixel & mask) >> shift;
  if (bits >= 8) return value >> (bits - 8);
  // Repeat the top bits into the low ones so that full scale stays full scale.
  std::uint32_t scaled = 0;
  for (int filled = 0; filled < 8; filled += bits) scaled = (scaled << bits) | value;
  const int total = ((8 + bits - 1) / bits) * bits;
  return (scaled >> (total - 8)) & 0xFF;
}

}  // namespace

bool IsPlainXrgb(const XPixelFormat& format) {
  return format.bitsPerPixel == 32 && !format.msbFirst && format.redMask == 0xFF0000 &&
         format.greenMask == 0xFF00 && format.blueMask == 0xFF &&
         std::endian::native == std::endian::little;
}

bool ConvertXRow(const XPixelFormat& format, const std::uint8_t* row, int width,
                 std::uint32_t* out) {
  const int bytes = format.bitsPerPixel / 8;
  if (format.bitsPerPixel % 8 != 0 || bytes < 2 || bytes > 4) return false;
  const bool plain = bytes == 4 && !format.msbFirst && format.redMask == 0xFF0000 &&
                     format.greenMask == 0xFF00 && format.blueMask == 0xFF;
  if (IsPlainXrgb(format)) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, 4);
      out[x] = pixel & 0xFFFFFF;
    }
    return true;
  }
  for (int x = 0; x < width; ++x) {
    const std::uint8_t* at = row + static_cast<std::ptrdiff_t>(x) * bytes;
    std::uint32_t pixel = 0;
    for (int i = 0; i < bytes; ++i) {
      const int shift = format.msbFirst ? 8 * (bytes - 1 - i) : 8 * i;
      pixel |= static_cast<std::uint32_t>(at[i]) << shift;
    }
    out[x] = plain ? (pixel & 0xFFFFFF)
                   : Channel(pixel, format.redMask) << 16 | Channel(pixel, format.greenMask) << 8 |
                         Channel(pixel, format.blueMask);
  }
  return true;
}

bool ConvertXImage(const XPixelFormat& format, const std::uint8_t* data, int bytesPerLine,
                   int width, int height, std::uint32_t* out, std::ptrdiff_t outStride) {
  for (int y = 0; y < height; ++y) {
    if (!ConvertXRow(format, data + static_cast<std::ptrdiff_t>(y) * bytesPerLine, width,
                     out + y * outStride)) {
      return false;
    }
  }
  return true;
}

int DibDepthOfVisual(int depth) {
  for (const int dibDepth : {1, 4, 8, 16}) {
    if (depth <= dibDepth) return dibDepth;
  }
  return 32;
}

}  // namespace qel
