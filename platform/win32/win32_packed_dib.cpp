#include "platform/win32/win32_packed_dib.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdlib>

namespace qel {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::uint32_t kLcsSrgb = 0x73524742;  // 'sRGB'
constexpr std::uint32_t kLcsGmImages = 4;
// A bound on what is unpacked, so that a forged header cannot ask for gigabytes.
constexpr long long kMostPixels = 1LL << 27;

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Get16(std::span<const std::uint8_t> in, std::size_t at) {
  return in[at] | (std::uint32_t{in[at + 1]} << 8);
}

std::uint32_t Get32(std::span<const std::uint8_t> in, std::size_t at) {
  return Get16(in, at) | (Get16(in, at + 2) << 16);
}

bool Fits(const ArgbImage& image) {
  return image.width > 0 && image.height > 0 &&
         static_cast<long long>(image.width) * image.height <= kMostPixels &&
         image.pixels.size() == static_cast<std::size_t>(image.width) * image.height;
}

// The header both packings share; the caller fills in what differs.
std::vector<std::uint8_t> Header(const ArgbImage& image, std::uint32_t headerSize,
                                 std::uint16_t bitCount, std::size_t stride) {
  const std::size_t imageSize = stride * static_cast<std::size_t>(image.height);
  std::vector<std::uint8_t> out(headerSize + imageSize, 0);
  Put32(out, 0, headerSize);
  Put32(out, 4, static_cast<std::uint32_t>(image.width));
  Put32(out, 8, static_cast<std::uint32_t>(image.height));  // positive: bottom-up
  Put16(out, 12, 1);
  Put16(out, 14, bitCount);
  Put32(out, 20, static_cast<std::uint32_t>(imageSize));
  return out;
}

// One channel of a bit-field pixel, scaled to eight bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t largest = 0;

  explicit Channel(std::uint32_t bits) : mask(bits) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    largest = mask >> shift;
  }
  std::uint32_t Of(std::uint32_t pixel) const {
    if (largest == 0) return 0;
    return static_cast<std::uint32_t>((((pixel & mask) >> shift) * 255 + largest / 2) / largest);
  }
};

}  // namespace

std::vector<std::uint8_t> PackDibV5(const ArgbImage& image) {
  if (!Fits(image)) return {};
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  std::vector<std::uint8_t> out = Header(image, kV5HeaderSize, 32, stride);
  Put32(out, 16, kBiBitfields);
  Put32(out, 40, 0x00FF0000u);
  Put32(out, 44, 0x0000FF00u);
  Put32(out, 48, 0x000000FFu);
  Put32(out, 52, 0xFF000000u);
  Put32(out, 56, kLcsSrgb);
  Put32(out, 108, kLcsGmImages);
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row = kV5HeaderSize + static_cast<std::size_t>(image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; ++x) {
      Put32(out, row + static_cast<std::size_t>(x) * 4,
            image.pixels[static_cast<std::size_t>(y) * image.width + x]);
    }
  }
  return out;
}

std::vector<std::uint8_t> PackDib24(const ArgbImage& image) {
  if (!Fits(image)) return {};
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> out = Header(image, kInfoHeaderSize, 24, stride);
  Put32(out, 16, kBiRgb);
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row =
        kInfoHeaderSize + static_cast<std::size_t>(image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t pixel = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      const std::size_t at = row + static_cast<std::size_t>(x) * 3;
      out[at] = static_cast<std::uint8_t>(pixel);
      out[at + 1] = static_cast<std::uint8_t>(pixel >> 8);
      out[at + 2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  }
  return out;
}

std::optional<ArgbImage> UnpackDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < 4) return std::nullopt;
  const std::uint32_t headerSize = Get32(dib, 0);
  if ((headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) || headerSize > dib.size()) {
    return std::nullopt;
  }
  const bool core = headerSize == kCoreHeaderSize;
  long long width = 0;
  long long height = 0;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colorsUsed = 0;
  if (core) {
    width = Get16(dib, 4);
    height = Get16(dib, 6);
    bitCount = Get16(dib, 10);
  } else {
    width = static_cast<std::int32_t>(Get32(dib, 4));
    height = static_cast<std::int32_t>(Get32(dib, 8));
    bitCount = Get16(dib, 14);
    compression = Get32(dib, 16);
    colorsUsed = Get32(dib, 32);
  }
  const bool topDown = height < 0;
  height = std::abs(height);
  if (width <= 0 || height <= 0 || width * height > kMostPixels) return std::nullopt;

  // Where the masks are: in the header from BITMAPV2INFOHEADER on, else right after it.
  std::size_t tableOffset = headerSize;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
  if (bitfields) {
    if (bitCount != 16 && bitCount != 32) return std::nullopt;
    const int maskCount = compression == kBiAlphaBitfields || headerSize >= 56 ? 4 : 3;
    const std::size_t masksAt = headerSize > kInfoHeaderSize ? kInfoHeaderSize : headerSize;
    if (masksAt == headerSize) tableOffset += static_cast<std::size_t>(maskCount) * 4;
    if (tableOffset > dib.size() ||
        masksAt + static_cast<std::size_t>(maskCount) * 4 > dib.size()) {
      return std::nullopt;
    }
    for (int i = 0; i < maskCount; ++i)
      masks[i] = Get32(dib, masksAt + static_cast<std::size_t>(i) * 4);
  } else if (compression != kBiRgb) {
    return std::nullopt;
  } else if (bitCount == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bitCount == 32) {
    masks[0] = 0x00FF0000u;
    masks[1] = 0x0000FF00u;
    masks[2] = 0x000000FFu;
  }

  std::vector<std::uint32_t> palette;
  const std::size_t entrySize = core ? 3 : 4;
  switch (bitCount) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t most = 1u << bitCount;
      if (colorsUsed > most) return std::nullopt;
      palette.resize(colorsUsed == 0 ? most : colorsUsed);
      break;
    }
    case 16:
    case 24:
    case 32:
      // A table may come with more bits a pixel too, as a hint for palette displays; it is skipped.
      if (colorsUsed > 256) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  const std::size_t tableSize = (bitCount <= 8 ? palette.size() : colorsUsed) * entrySize;
  if (tableOffset + tableSize > dib.size()) return std::nullopt;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const std::size_t at = tableOffset + i * entrySize;
    palette[i] = 0xFF000000u | (std::uint32_t{dib[at + 2]} << 16) |
                 (std::uint32_t{dib[at + 1]} << 8) | dib[at];
  }

  const std::size_t pixelsAt = tableOffset + tableSize;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  if (stride * static_cast<std::size_t>(height) > dib.size() - pixelsAt) return std::nullopt;

  const Channel red(masks[0]);
  const Channel green(masks[1]);
  const Channel blue(masks[2]);
  const Channel alpha(masks[3]);
  ArgbImage image{static_cast<int>(width), static_cast<int>(height), {}};
  image.pixels.resize(static_cast<std::size_t>(width * height));
  bool anyAlpha = false;
  for (long long y = 0; y < height; ++y) {
    const std::size_t row =
        pixelsAt + static_cast<std::size_t>(topDown ? y : height - 1 - y) * stride;
    std::uint32_t* out = image.pixels.data() + y * width;
    for (long long x = 0; x < width; ++x) {
      if (bitCount <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
        const std::uint32_t index =
            (dib[row + bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
        // An index past a short table is what a forged file gives; it reads as black.
        out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
      } else if (bitCount == 24) {
        const std::size_t at = row + static_cast<std::size_t>(x) * 3;
        out[x] = 0xFF000000u | (std::uint32_t{dib[at + 2]} << 16) |
                 (std::uint32_t{dib[at + 1]} << 8) | dib[at];
      } else {
        const std::size_t at = row + static_cast<std::size_t>(x) * (bitCount / 8);
        const std::uint32_t pixel = bitCount == 16 ? Get16(dib, at) : Get32(dib, at);
        const std::uint32_t a = alpha.Of(pixel);
        anyAlpha = anyAlpha || a != 0;
        out[x] = (a << 24) | (red.Of(pixel) << 16) | (green.Of(pixel) << 8) | blue.Of(pixel);
      }
    }
  }
  if ((bitCount == 16 || bitCount == 32) && !anyAlpha) {
    for (std::uint32_t& pixel : image.pixels) pixel |= 0xFF000000u;
  }
  return image;
}

}  // namespace qel
