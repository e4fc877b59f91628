#include "bitmap/packed_dib.h"

#include <cstddef>

namespace qel {
namespace {

template <typename T>
void PutLittleEndian(std::uint8_t* out, T value) {
  const auto raw = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<std::uint8_t>(raw >> (8 * i));
}

template <typename T>
T GetLittleEndian(const std::uint8_t* in) {
  std::uint32_t raw = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) raw |= std::uint32_t{in[i]} << (8 * i);
  return static_cast<T>(raw);
}

void AddEntry(std::vector<std::uint8_t>& table, std::uint32_t rgb) {
  table.insert(table.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                             static_cast<std::uint8_t>(rgb >> 16), 0});
}

}  // namespace

std::array<std::uint8_t, kInfoHeaderSize> HeaderBytes(const InfoHeader& header) {
  std::array<std::uint8_t, kInfoHeaderSize> bytes{};
  std::uint8_t* out = bytes.data();
  PutLittleEndian(out + 0, header.size);
  PutLittleEndian(out + 4, header.width);
  PutLittleEndian(out + 8, header.height);
  PutLittleEndian(out + 12, header.planes);
  PutLittleEndian(out + 14, header.bitCount);
  PutLittleEndian(out + 16, header.compression);
  PutLittleEndian(out + 20, header.sizeImage);
  PutLittleEndian(out + 24, header.xPelsPerMeter);
  PutLittleEndian(out + 28, header.yPelsPerMeter);
  PutLittleEndian(out + 32, header.clrUsed);
  PutLittleEndian(out + 36, header.clrImportant);
  return bytes;
}

std::array<std::uint8_t, kFileHeaderSize> FileHeaderBytes(const FileHeader& header) {
  std::array<std::uint8_t, kFileHeaderSize> bytes{};
  std::uint8_t* out = bytes.data();
  PutLittleEndian(out + 0, header.type);
  PutLittleEndian(out + 2, header.size);
  PutLittleEndian(out + 6, header.reserved1);
  PutLittleEndian(out + 8, header.reserved2);
  PutLittleEndian(out + 10, header.pixelOffset);
  return bytes;
}

InfoHeader ReadHeader(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* in = bytes.data();
  return {.size = GetLittleEndian<std::int32_t>(in + 0),
          .width = GetLittleEndian<std::int32_t>(in + 4),
          .height = GetLittleEndian<std::int32_t>(in + 8),
          .planes = GetLittleEndian<std::uint16_t>(in + 12),
          .bitCount = GetLittleEndian<std::uint16_t>(in + 14),
          .compression = GetLittleEndian<std::uint32_t>(in + 16),
          .sizeImage = GetLittleEndian<std::uint32_t>(in + 20),
          .xPelsPerMeter = GetLittleEndian<std::int32_t>(in + 24),
          .yPelsPerMeter = GetLittleEndian<std::int32_t>(in + 28),
          .clrUsed = GetLittleEndian<std::uint32_t>(in + 32),
          .clrImportant = GetLittleEndian<std::uint32_t>(in + 36)};
}

std::optional<int> ColorCountFor(int bitCount) {
  switch (bitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    case 16:
    case 24:
    case 32:
      return 0;
    default:
      return std::nullopt;
  }
}

std::vector<std::uint8_t> StandardColorTable(int bitCount) {
  std::vector<std::uint8_t> table;
  if (bitCount == 1) {
    for (std::uint32_t rgb : {0x000000u, 0xFFFFFFu}) AddEntry(table, rgb);
  } else if (bitCount == 4) {
    for (std::uint32_t rgb :
         {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u, 0x008080u, 0x808080u,
          0xC0C0C0u, 0xFF0000u, 0x00FF00u, 0xFFFF00u, 0x0000FFu, 0xFF00FFu, 0x00FFFFu, 0xFFFFFFu}) {
      AddEntry(table, rgb);
    }
  } else if (bitCount == 8) {
    // The twenty system colours sit at both ends; the middle is a 8 x 8 x 4 colour cube.
    for (std::uint32_t rgb : {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u,
                              0x008080u, 0xC0C0C0u, 0xC0DCC0u, 0xA6CAF0u}) {
      AddEntry(table, rgb);
    }
    for (std::uint32_t i = 10; i <= 245; ++i) {
      AddEntry(table, (32 * (i % 8)) << 16 | (32 * (i / 8 % 8)) << 8 | 64 * (i / 64));
    }
    for (std::uint32_t rgb : {0xFFFBF0u, 0xA0A0A4u, 0x808080u, 0xFF0000u, 0x00FF00u, 0xFFFF00u,
                              0x0000FFu, 0xFF00FFu, 0x00FFFFu, 0xFFFFFFu}) {
      AddEntry(table, rgb);
    }
  }
  return table;
}

}  // namespace qel
