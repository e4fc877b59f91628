// Turning the program's 0x00RRGGBB pixels into the X server's image bytes for drawing into a
// window: the pure part of drawing, tested without a display.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/linux/x11_pixels.h"

namespace qel {

// Packs `height` rows of `width` pixels, `inStride` pixels apart, into image rows `bytesPerLine`
// apart. `extraBits` are set in every pixel: a 32-bit visual's alpha must be opaque. Only the
// layouts of true-colour visuals of depth 24 and 32 (24 or 32 bits a pixel, 8-bit channels) are
// known; false for any other.
bool PackXImage(const XPixelFormat& format, std::uint32_t extraBits, const std::uint32_t* pixels,
                std::ptrdiff_t inStride, int width, int height, std::uint8_t* data,
                int bytesPerLine);

}  // namespace qel
