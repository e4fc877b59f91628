// The byte form of a DIB in memory (BITMAPINFOHEADER, colour table, bottom-up padded rows), the
// file header a BMP file puts in front of it, and the three standard colour tables that palette
// images are created with.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qel {

inline constexpr int kInfoHeaderSize = 40;

// BITMAPINFOHEADER's fields in their order in memory.
struct InfoHeader {
  std::int32_t size = kInfoHeaderSize;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows bottom-up
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
};

std::array<std::uint8_t, kInfoHeaderSize> HeaderBytes(const InfoHeader& header);

inline constexpr int kFileHeaderSize = 14;

// BITMAPFILEHEADER: the 14 bytes in front of a packed DIB in a BMP file.
struct FileHeader {
  std::uint16_t type = 0x4D42;  // "BM"
  std::uint32_t size = 0;       // of the whole file
  std::uint16_t reserved1 = 0;
  std::uint16_t reserved2 = 0;
  std::uint32_t pixelOffset = 0;  // from the start of the file
};

std::array<std::uint8_t, kFileHeaderSize> FileHeaderBytes(const FileHeader& header);
// The header's fields from the first 40 bytes of `bytes`, which must hold them.
InfoHeader ReadHeader(std::span<const std::uint8_t> bytes);

// Bytes of one row of `bitsPerRow` bits, padded to a multiple of four.
constexpr std::int64_t RowBytesFor(std::int64_t bitsPerRow) {
  return ((bitsPerRow + 31) >> 5) << 2;
}

// 2, 16 or 256 for 1, 4 and 8 bits per pixel, 0 for 16, 24 and 32; nullopt for any other depth.
std::optional<int> ColorCountFor(int bitCount);

// The standard colour table for 1, 4 or 8 bits per pixel as 4-byte entries (blue, green, red, 0).
std::vector<std::uint8_t> StandardColorTable(int bitCount);

}  // namespace qel
