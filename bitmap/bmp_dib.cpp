#include "bitmap/bmp_dib.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "bitmap/decode_limit.h"
#include "bitmap/packed_dib.h"

namespace qel {
namespace {

constexpr std::size_t kCoreHeaderSize = 12;
// 2 GiB of 32-bit pixels is where the GDI stops making bitmaps.
constexpr std::int64_t kMaxPixels = (std::int64_t{1} << 31) / 4;

bool IsKnownInfoHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Fills the low bits by repeating the value's top bits, so that full scale stays full scale: for
// five bits (c << 3) | (c >> 2), as GDI widens 5-5-5 pixels.
std::uint32_t Widen(std::uint32_t value, int bits) {
  if (bits >= 8) return value;
  std::uint32_t wide = value << (8 - bits);
  for (int filled = bits; filled < 8; filled += bits) wide |= wide >> bits;
  return wide & 0xFF;
}

// One colour mask's bits, cut to their top eight and widened to 8 bits, already in place in a
// 0x00RRGGBB pixel: a table lookup per channel keeps 16-bit rows branch-free.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::array<std::uint32_t, 256> values{};
};

Channel MakeChannel(std::uint32_t mask, int position) {
  Channel channel;
  channel.mask = mask;
  const int low = std::countr_zero(mask);
  const int bits = std::bit_width(mask >> low);
  channel.shift = low + std::max(0, bits - 8);
  const int kept = std::min(bits, 8);
  for (std::uint32_t c = 0; c < (1u << kept); ++c) channel.values[c] = Widen(c, kept) << position;
  return channel;
}

template <typename RowFn>
void ForEachRow(const DibFormat& format, const std::uint8_t* bits, std::uint32_t* pixels,
                std::ptrdiff_t rowStride, RowFn decodeRow) {
  for (int row = 0; row < format.height; ++row) {
    const std::ptrdiff_t top = format.topDown ? row : format.height - 1 - row;
    decodeRow(bits + row * format.rowBytes, pixels + top * rowStride);
  }
}

bool DecodeUncompressed(const DibFormat& format, const std::uint8_t* bits, std::uint32_t* pixels,
                        std::ptrdiff_t rowStride, bool keepAlpha) {
  const int width = format.width;
  const auto& palette = format.palette;
  switch (format.bitCount) {
    case 1:
      ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
        for (int x = 0; x < width; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
      });
      return true;
    case 4:
      ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
        int x = 0;
        for (; x + 1 < width; x += 2) {
          const std::uint8_t pair = src[x >> 1];
          dst[x] = palette[pair >> 4];
          dst[x + 1] = palette[pair & 15];
        }
        if (x < width) dst[x] = palette[src[x >> 1] >> 4];
      });
      return true;
    case 8:
      ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
        for (int x = 0; x < width; ++x) dst[x] = palette[src[x]];
      });
      return true;
    case 24:
      ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
        for (int x = 0; x < width; ++x, src += 3) {
          dst[x] = static_cast<std::uint32_t>(src[0]) | static_cast<std::uint32_t>(src[1]) << 8 |
                   static_cast<std::uint32_t>(src[2]) << 16;
        }
      });
      return true;
    default:
      break;
  }
  const bool plain32 = format.bitCount == 32 && format.masks[0] == 0xFF0000 &&
                       format.masks[1] == 0xFF00 && format.masks[2] == 0xFF;
  if (plain32) {
    const std::uint32_t keep = keepAlpha && format.compression == kBiRgb ? 0xFFFFFFFF : 0xFFFFFF;
    ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
      for (int x = 0; x < width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, src + 4 * x, 4);
        dst[x] = pixel & keep;
      }
    });
    return true;
  }
  const Channel red = MakeChannel(format.masks[0], 16);
  const Channel green = MakeChannel(format.masks[1], 8);
  const Channel blue = MakeChannel(format.masks[2], 0);
  const auto convert = [&](std::uint32_t pixel) {
    return red.values[(pixel & red.mask) >> red.shift] |
           green.values[(pixel & green.mask) >> green.shift] |
           blue.values[(pixel & blue.mask) >> blue.shift];
  };
  if (format.bitCount == 16) {
    ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
      for (int x = 0; x < width; ++x) dst[x] = convert(src[2 * x] | src[2 * x + 1] << 8);
    });
  } else {
    ForEachRow(format, bits, pixels, rowStride, [&](const std::uint8_t* src, std::uint32_t* dst) {
      for (int x = 0; x < width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, src + 4 * x, 4);
        dst[x] = convert(pixel);
      }
    });
  }
  return true;
}

// RLE images are bottom-up; pixels the stream skips over stay black. Encoders (ImageMagick's
// among them) may code a row's padding as well, so runs may reach the padded row's end; what lies
// past the image's width is dropped.
bool DecodeRle(const DibFormat& format, std::span<const std::uint8_t> bits, std::uint32_t* pixels,
               std::ptrdiff_t rowStride) {
  const int width = format.width;
  const int height = format.height;
  const int paddedWidth = static_cast<int>(format.rowBytes * 8 / format.bitCount);
  const auto& palette = format.palette;
  const bool fourBits = format.compression == kBiRle4;
  for (std::ptrdiff_t row = 0; row < height; ++row) std::fill_n(pixels + row * rowStride, width, 0);

  std::size_t at = 0;
  int x = 0;
  int y = 0;  // counted from the bottom row
  // Where a run of `count` pixels lands, cut to the image; null when the run leaves the row.
  const auto runTarget = [&](int count, int& visible) -> std::uint32_t* {
    if (y >= height || count > paddedWidth - x) return nullptr;
    visible = std::clamp(width - x, 0, count);
    return pixels + static_cast<std::ptrdiff_t>(height - 1 - y) * rowStride + x;
  };
  while (bits.size() - at >= 2) {
    const int count = bits[at];
    const std::uint8_t value = bits[at + 1];
    at += 2;
    int visible = 0;
    if (count > 0) {
      std::uint32_t* dst = runTarget(count, visible);
      if (!dst) return false;
      if (fourBits) {
        const std::uint32_t colors[2] = {palette[value >> 4], palette[value & 15]};
        for (int i = 0; i < visible; ++i) dst[i] = colors[i & 1];
      } else {
        std::fill_n(dst, visible, palette[value]);
      }
      x += count;
    } else if (value == 0) {
      x = 0;
      y = std::min(y + 1, height);
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (bits.size() - at < 2) return false;
      x += bits[at];
      y += bits[at + 1];
      at += 2;
      if (x > paddedWidth || y > height) return false;
    } else {
      const std::size_t runBytes = fourBits ? (value + 1u) / 2 : value;
      std::uint32_t* dst = runTarget(value, visible);
      if (!dst || bits.size() - at < runBytes) return false;
      const std::uint8_t* src = bits.data() + at;
      if (fourBits) {
        for (int i = 0; i < visible; ++i) dst[i] = palette[(src[i >> 1] >> ((i & 1) ? 0 : 4)) & 15];
      } else {
        for (int i = 0; i < visible; ++i) dst[i] = palette[src[i]];
      }
      // Absolute runs are padded to whole 16-bit words.
      at += std::min((runBytes + 1) & ~std::size_t{1}, bits.size() - at);
      x += value;
    }
  }
  // A stream that stops without its end-of-bitmap mark is whole only if it reached the top row.
  return y >= height;
}

}  // namespace

std::optional<DibFormat> ReadDibFormat(std::span<const std::uint8_t> dib, bool iconHeight) {
  if (dib.size() < 4) return std::nullopt;
  const std::uint32_t headerSize = LoadU32(dib, 0);
  DibFormat format;
  std::int64_t height = 0;
  std::uint32_t colorsUsed = 0;
  std::size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize) {
    if (dib.size() < kCoreHeaderSize) return std::nullopt;
    format.width = LoadU16(dib, 4);
    height = LoadU16(dib, 6);
    format.bitCount = LoadU16(dib, 10);
    entrySize = 3;
    if (format.bitCount == 16 || format.bitCount == 32) return std::nullopt;
  } else if (IsKnownInfoHeaderSize(headerSize)) {
    if (dib.size() < headerSize) return std::nullopt;
    format.width = static_cast<std::int32_t>(LoadU32(dib, 4));
    height = static_cast<std::int32_t>(LoadU32(dib, 8));
    format.bitCount = LoadU16(dib, 14);
    format.compression = LoadU32(dib, 16);
    colorsUsed = LoadU32(dib, 32);
  } else {
    return std::nullopt;
  }

  if (height < 0) {
    if (iconHeight) return std::nullopt;
    format.topDown = true;
    height = -height;
  }
  if (iconHeight) height /= 2;
  if (format.width <= 0 || height <= 0 || height > INT_MAX) return std::nullopt;
  format.height = static_cast<int>(height);
  if (std::int64_t{format.width} * format.height >= kMaxPixels ||
      !WithinDecodeLimit(format.width, format.height)) {
    return std::nullopt;
  }

  const std::optional<int> tableLimit = ColorCountFor(format.bitCount);
  if (!tableLimit) return std::nullopt;
  switch (format.compression) {
    case kBiRgb:
      break;
    case kBiRle8:
    case kBiRle4:
      if (format.bitCount != (format.compression == kBiRle8 ? 8 : 4) || format.topDown) {
        return std::nullopt;
      }
      break;
    case kBiBitfields:
      if (format.bitCount != 16 && format.bitCount != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  format.rowBytes = RowBytesFor(std::int64_t{format.width} * format.bitCount);

  std::size_t tableStart = headerSize;
  if (format.compression == kBiBitfields) {
    // A 40-byte header is followed by the masks; later headers hold them.
    if (headerSize == kInfoHeaderSize) {
      if (dib.size() < tableStart + 12) return std::nullopt;
      tableStart += 12;
    }
    for (std::size_t i = 0; i < 3; ++i) format.masks[i] = LoadU32(dib, kInfoHeaderSize + 4 * i);
    if (format.masks[0] == 0 || format.masks[1] == 0 || format.masks[2] == 0) return std::nullopt;
  } else if (format.bitCount == 16) {
    format.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (format.bitCount == 32) {
    format.masks = {0xFF0000, 0xFF00, 0xFF};
  }

  std::size_t colors = static_cast<std::size_t>(*tableLimit);
  if (colorsUsed != 0) colors = std::min<std::size_t>(colors, colorsUsed);
  if (dib.size() - tableStart < colors * entrySize) return std::nullopt;
  for (std::size_t i = 0; i < colors; ++i) {
    const std::uint8_t* entry = dib.data() + tableStart + i * entrySize;
    format.palette[i] = static_cast<std::uint32_t>(entry[0]) |
                        static_cast<std::uint32_t>(entry[1]) << 8 |
                        static_cast<std::uint32_t>(entry[2]) << 16;
  }
  format.headerEnd = tableStart + colors * entrySize;
  return format;
}

bool DecodeDibRows(const DibFormat& format, std::span<const std::uint8_t> bits,
                   std::uint32_t* pixels, std::ptrdiff_t rowStride, bool keepAlpha) {
  if (format.IsRle()) return DecodeRle(format, bits, pixels, rowStride);
  if (static_cast<std::int64_t>(bits.size()) < format.UncompressedBytes()) return false;
  return DecodeUncompressed(format, bits.data(), pixels, rowStride, keepAlpha);
}

}  // namespace qel
