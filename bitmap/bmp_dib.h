// The body of a DIB as files carry it (info header, colour masks, colour table, pixel rows), shared
// by the BMP decoder and the icon reader, which differ only in what surrounds it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qel {

inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

inline std::uint16_t LoadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline std::uint32_t LoadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

struct DibFormat {
  int width = 0;
  int height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  // 0x00RRGGBB; the entries a short table or a missing one leaves out stay black, as in GDI.
  std::array<std::uint32_t, 256> palette{};
  std::size_t headerEnd = 0;  // header, masks and colour table, from the start of the DIB
  std::int64_t rowBytes = 0;
  // The rows' size when uncompressed; an RLE image's size is known only by decoding it.
  std::int64_t UncompressedBytes() const { return rowBytes * height; }
  bool IsRle() const { return compression == kBiRle8 || compression == kBiRle4; }
};

// Reads and checks the header, masks and colour table at the start of `dib`; an image over the
// decode limit (bitmap/decode_limit.h) is refused. An icon's DIB counts
// its AND mask's rows in the header's height, so `iconHeight` halves it and refuses top-down rows.
std::optional<DibFormat> ReadDibFormat(std::span<const std::uint8_t> dib, bool iconHeight);

// Decodes `bits` (the rows, or the RLE stream) into 0x00RRGGBB pixels, the image's top row at
// `pixels`, each following row `rowStride` pixels on. `keepAlpha` keeps the top byte of 32-bit
// BI_RGB pixels, which icons use for alpha. False when the data is short or damaged.
bool DecodeDibRows(const DibFormat& format, std::span<const std::uint8_t> bits,
                   std::uint32_t* pixels, std::ptrdiff_t rowStride, bool keepAlpha = false);

}  // namespace qel
