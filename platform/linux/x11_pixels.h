// Turning the X server's image bytes into the program's 0x00RRGGBB pixels: the pure part of the
// X11 screen source, tested without a display.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qel {

struct XPixelFormat {
  int bitsPerPixel;  // 16, 24 or 32 bytes-per-pixel layouts of a ZPixmap
  bool msbFirst;     // the image's byte order
  std::uint32_t redMask;
  std::uint32_t greenMask;
  std::uint32_t blueMask;
};

// The usual layout on a little-endian client: each pixel's four bytes already are 0x??RRGGBB.
bool IsPlainXrgb(const XPixelFormat& format);

// Converts `width` pixels of one image row. False for a layout it does not know.
bool ConvertXRow(const XPixelFormat& format, const std::uint8_t* row, int width,
                 std::uint32_t* out);
// Converts `height` rows of `width` pixels, `bytesPerLine` apart, into rows `outStride` pixels
// apart. False for a layout it does not know.
bool ConvertXImage(const XPixelFormat& format, const std::uint8_t* data, int bytesPerLine,
                   int width, int height, std::uint32_t* out, std::ptrdiff_t outStride);

// The display depth a screen of the X visual's depth is reported at: the depth itself where a DIB
// has it, else the next one up (15 -> 16), with 24 and 30 stored in 32-bit pixels -> 32.
int DibDepthOfVisual(int depth);

}  // namespace qel
