// A 1920 x 1080 picture of a desktop for the search benchmarks: windows with title bars, menus,
// text, tables and icons drawn by real widgets, the same every run.
#pragma once

#include <cstdint>
#include <vector>

namespace qel::bench {

// 8-bit rows: one colour-table index a pixel, bottom row first, each row padded to four bytes.
struct PalettePicture {
  std::vector<std::uint8_t> rows;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The picture converted to 8 bits by the bitmap library's own depth conversion.
const PalettePicture& DesktopPicture8();

// The same picture as the bytes of a 24-bit BMP file.
const std::vector<std::uint8_t>& DesktopPictureBmp();

}  // namespace qel::bench
