// What every search of 8-bit pixels works on: rows of table indices, one byte a pixel, bottom row
// first, each row padded to a multiple of four bytes; and a place found in them.
#pragma once

#include <cstdint>
#include <span>

namespace qel {

// Bytes from one row's start to the next: the width rounded up to a multiple of four.
constexpr std::int64_t PaletteStride(std::int32_t width) {
  return width <= 0 ? 0 : (std::int64_t{width} + 3) / 4 * 4;
}

// Rows as the caller gives them; `pixels` may be shorter than `height` rows of the stride, and
// the searches then read none of what is missing.
struct PaletteRows {
  std::span<const std::uint8_t> pixels;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int64_t Stride() const { return PaletteStride(width); }
};

// A place from the top-left pixel of the picture: column x, row y from the top. {-1, -1} when
// nothing is found.
struct FoundPoint {
  std::int32_t x = -1;
  std::int32_t y = -1;
  friend bool operator==(const FoundPoint&, const FoundPoint&) = default;
};

}  // namespace qel
