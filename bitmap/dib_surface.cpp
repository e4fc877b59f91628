#include "bitmap/dib_surface.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>

#include "bitmap/clip_run.h"
#include "bitmap/pixel_stores.h"

namespace qel {

// 32-bit rows are read and written as whole pixels, which needs the platforms' byte order.
static_assert(std::endian::native == std::endian::little);

namespace {

bool HasColorTable(int bitCount) { return bitCount <= 8; }

ColorValue Rgb(unsigned red, unsigned green, unsigned blue) {
  return ColorValue{red} | ColorValue{green} << 8 | ColorValue{blue} << 16;
}

// Widens a 5-bit channel by repeating its top bits below it, as GDI does, so that 31 gives 255.
unsigned Expand5(unsigned channel) { return channel << 3 | channel >> 2; }

unsigned IndexAt(const std::uint8_t* row, int x, int bitCount) {
  switch (bitCount) {
    case 1:
      return row[x >> 3] >> (7 - (x & 7)) & 1u;
    case 4:
      return row[x >> 1] >> ((x & 1) ? 0 : 4) & 0xFu;
    default:
      return row[x];
  }
}

void SetIndexAt(std::uint8_t* row, int x, int bitCount, unsigned index) {
  switch (bitCount) {
    case 1: {
      const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(index ? row[x >> 3] | mask : row[x >> 3] & ~mask);
      break;
    }
    case 4: {
      const unsigned shift = (x & 1) ? 0 : 4;
      row[x >> 1] =
          static_cast<std::uint8_t>((row[x >> 1] & ~(0xFu << shift)) | (index & 0xFu) << shift);
      break;
    }
    default:
      row[x] = static_cast<std::uint8_t>(index);
  }
}

const ColorTableIndex& IndexOf(const DibSurface& surface) {
  if (!surface.index) surface.index = std::make_shared<const ColorTableIndex>(surface.colors);
  return *surface.index;
}

}  // namespace

std::optional<int> DibStride(int width, int bitCount) {
  const long long bits = static_cast<long long>(width) * bitCount;
  const long long stride = ((bits + 31) >> 5) << 2;
  if (stride < 0 || stride > INT_MAX) return std::nullopt;
  return static_cast<int>(stride);
}

namespace {

// The surface's fields without its rows; nullopt as MakeDibSurface.
std::optional<DibSurface> MakeDibLayout(int width, int height, int bitCount,
                                        std::span<const RgbQuad> colors) {
  static constexpr int kBitCounts[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kBitCounts), std::end(kBitCounts), bitCount) == std::end(kBitCounts)) {
    return std::nullopt;
  }
  // INT_MIN has no positive counterpart, so it cannot name a top-down image.
  if (width <= 0 || height == 0 || height == INT_MIN) return std::nullopt;
  const std::optional<int> stride = DibStride(width, bitCount);
  const int rows = height < 0 ? -height : height;
  if (!stride || static_cast<long long>(*stride) * rows > INT_MAX) return std::nullopt;

  DibSurface surface;
  surface.width = width;
  surface.height = rows;
  surface.topDown = height < 0;
  surface.bitCount = bitCount;
  surface.stride = *stride;
  if (HasColorTable(bitCount)) {
    const std::size_t kept = std::min(colors.size(), std::size_t{1} << bitCount);
    surface.colors.assign(colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(kept));
  }
  return surface;
}

std::size_t RowsSize(const DibSurface& surface) {
  return static_cast<std::size_t>(surface.stride) * static_cast<std::size_t>(surface.height);
}

}  // namespace

std::optional<DibSurface> MakeDibSurface(int width, int height, int bitCount,
                                         std::span<const RgbQuad> colors) {
  std::optional<DibSurface> surface = MakeDibLayout(width, height, bitCount, colors);
  if (surface) surface->bytes.assign(RowsSize(*surface), 0);
  return surface;
}

std::optional<DibSurface> MakeDibSurface(int width, int height, int bitCount,
                                         std::span<const RgbQuad> colors,
                                         std::span<std::vector<std::uint8_t>> spares,
                                         bool zeroRows) {
  std::optional<DibSurface> surface = MakeDibLayout(width, height, bitCount, colors);
  if (!surface) return surface;
  const std::size_t size = RowsSize(*surface);
  const auto spare = std::find_if(spares.begin(), spares.end(),
                                  [size](const auto& rows) { return rows.size() == size; });
  if (spare == spares.end()) {
    surface->bytes.assign(size, 0);
    return surface;
  }
  surface->bytes = std::move(*spare);
  *spare = {};
  if (zeroRows) std::fill(surface->bytes.begin(), surface->bytes.end(), std::uint8_t{0});
  return surface;
}

void PrepareWrites(const DibSurface& surface) {
  if (HasColorTable(surface.bitCount)) IndexOf(surface);
}

void ReadColors(const DibSurface& surface, int x, int y, std::span<ColorValue> out) {
  const std::uint8_t* row = surface.Row(y);
  const int count = static_cast<int>(out.size());
  switch (surface.bitCount) {
    case 32:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x + i) * 4;
        out[i] = Rgb(p[2], p[1], p[0]);
      }
      break;
    case 24:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x + i) * 3;
        out[i] = Rgb(p[2], p[1], p[0]);
      }
      break;
    case 16:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x + i) * 2;
        const unsigned value = p[0] | unsigned{p[1]} << 8;
        out[i] =
            Rgb(Expand5(value >> 10 & 0x1F), Expand5(value >> 5 & 0x1F), Expand5(value & 0x1F));
      }
      break;
    default:
      for (int i = 0; i < count; ++i) {
        const unsigned index = IndexAt(row, x + i, surface.bitCount);
        out[i] = index < surface.colors.size() ? ColorOf(surface.colors[index]) : 0;
      }
  }
}

void WriteColors(DibSurface& surface, int x, int y, std::span<const ColorValue> in) {
  // Through the pixel layout, a chunk at a time: one conversion to each format, not two.
  std::array<std::uint32_t, 1024> chunk;
  for (std::size_t done = 0; done < in.size();) {
    const std::size_t part = std::min(in.size() - done, chunk.size());
    for (std::size_t i = 0; i < part; ++i) {
      chunk[i] = SwapRedAndBlue(in[done + i]);
    }
    WritePixels(surface, x + static_cast<int>(done), y, std::span(chunk).first(part));
    done += part;
  }
}

void WritePixels(DibSurface& surface, int x, int y, std::span<const std::uint32_t> in) {
  std::uint8_t* row = surface.Row(y);
  const int count = static_cast<int>(in.size());
  switch (surface.bitCount) {
    case 32:
      StoreBgr0(in, row + static_cast<std::ptrdiff_t>(x) * 4);
      break;
    case 24: {
      auto* out = row + static_cast<std::ptrdiff_t>(x) * 3;
      for (int i = 0; i < count; ++i) {
        const std::uint32_t pixel = in[i];
        out[3 * i] = static_cast<std::uint8_t>(pixel);
        out[3 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        out[3 * i + 2] = static_cast<std::uint8_t>(pixel >> 16);
      }
      break;
    }
    case 16:
      for (int i = 0; i < count; ++i) {
        const std::uint32_t pixel = in[i];
        const unsigned value =
            (pixel >> 19 & 0x1F) << 10 | (pixel >> 11 & 0x1F) << 5 | (pixel >> 3 & 0x1F);
        std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x + i) * 2;
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
      }
      break;
    default: {
      const ColorTableIndex& index = IndexOf(surface);
      if (surface.bitCount == 8) {
        index.NearestPixels(in, row + x);
        break;
      }
      for (int i = 0; i < count; ++i) {
        SetIndexAt(row, x + i, surface.bitCount, index.NearestPixel(in[i]));
      }
    }
  }
}

void ReadPixels(const DibSurface& surface, int x, int y, std::span<std::uint32_t> out) {
  ReadColors(surface, x, y, out);
  for (std::uint32_t& pixel : out) pixel = SwapRedAndBlue(pixel);
}

void Read32BitPixels(const DibSurface& surface, int x, int y, std::span<std::uint32_t> out) {
  // The blue, green, red, reserved bytes of a pixel read as one little-endian 0x??RRGGBB.
  std::memcpy(out.data(), surface.Row(y) + static_cast<std::ptrdiff_t>(x) * 4, out.size_bytes());
}

void CopyPixels(const DibSurface& source, int sourceX, int sourceY, DibSurface& target, int x,
                int y, int count) {
  const std::uint8_t* from = source.Row(sourceY);
  std::uint8_t* to = target.Row(y);
  if (source.bitCount >= 8) {
    const int bytesPerPixel = source.bitCount / 8;
    std::memmove(to + static_cast<std::ptrdiff_t>(x) * bytesPerPixel,
                 from + static_cast<std::ptrdiff_t>(sourceX) * bytesPerPixel,
                 static_cast<std::size_t>(count) * static_cast<std::size_t>(bytesPerPixel));
    return;
  }
  for (int i = 0; i < count; ++i) {
    SetIndexAt(to, x + i, source.bitCount, IndexAt(from, sourceX + i, source.bitCount));
  }
}

}  // namespace qel
