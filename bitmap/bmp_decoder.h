// Reads BMP file images into plain 32-bit pixels, as LoadImage loads a BMP file into a bitmap
// compatible with the screen; the GDI's file loading rests on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qel {

struct BmpDimensions {
  int width = 0;
  int height = 0;  // rows, always positive
};

// Reads and checks a BMP file image's headers; nullopt for anything this decoder does not take,
// and for an image over the decode limit (bitmap/decode_limit.h).
std::optional<BmpDimensions> ReadBmpDimensions(std::span<const std::uint8_t> file);

// The largest start of a BMP file that holds its headers, masks and colour table.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124 + 12 + 256 * 4;

// How many bytes from the start of a BMP file its image needs, from the headers in `head` (the
// file's first kBmpHeadBytes bytes, or all of a shorter file): the rows' offset and size, for an
// RLE image the header's image size or, if more, the longest stream that draws something. Nullopt
// when ReadBmpDimensions would refuse the file for its headers.
std::optional<std::int64_t> BmpFileBytesNeeded(std::span<const std::uint8_t> head);

// Decodes the whole image as 0x00RRGGBB (top byte 0, alpha dropped as LoadImage into a screen-
// compatible bitmap does): the image's top row at `pixels`, each following row `rowStride` pixels
// after the one above (negative for bottom-up targets). False when the file is damaged.
bool DecodeBmp(std::span<const std::uint8_t> file, std::uint32_t* pixels, std::ptrdiff_t rowStride);

}  // namespace qel
