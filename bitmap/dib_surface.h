// The pixel store behind every bitmap of the mini-GDI: DIB rows in one of the six formats with
// their colour table, and the conversion of runs of pixels to and from ColorValue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/color_table.h"
#include "platform/platform.h"

namespace qel {

struct DibSurface {
  int width = 0;
  int height = 0;  // rows, always positive; the row order is in topDown
  bool topDown = false;
  int bitCount = 0;
  int stride = 0;
  std::vector<std::uint8_t> bytes;
  // 1, 4 and 8 bits only. Pixel values past the end of the table read as black.
  std::vector<RgbQuad> colors;
  // Built on the first write that needs it, then shared by copies of the surface.
  mutable std::shared_ptr<const ColorTableIndex> index;

  // y = 0 is the top row whatever the order in memory.
  std::ptrdiff_t RowOffset(int y) const {
    return static_cast<std::ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
  }
  std::uint8_t* Row(int y) { return bytes.data() + RowOffset(y); }
  const std::uint8_t* Row(int y) const { return bytes.data() + RowOffset(y); }
};

// ((width x bitCount + 31) >> 5) << 2, or nullopt when that does not fit an int.
std::optional<int> DibStride(int width, int bitCount);

// A zero-filled surface. Height below zero means rows top-down. Nullopt for a bit count other
// than 1, 4, 8, 16, 24, 32, an empty size, or an image of 2 GiB or more; the colour table is cut
// to 1 << bitCount entries. Throws std::bad_alloc when memory runs out.
std::optional<DibSurface> MakeDibSurface(int width, int height, int bitCount,
                                         std::span<const RgbQuad> colors);
// The same with its rows in one of `spares`, buffers earlier surfaces left, that has just the size
// needed (a fresh buffer otherwise): large images are made again and again by captures and loads,
// and fresh memory costs more in page faults than the copy. With `zeroRows` false the rows keep
// whatever they held, for a caller that writes every pixel before any is read.
std::optional<DibSurface> MakeDibSurface(int width, int height, int bitCount,
                                         std::span<const RgbQuad> colors,
                                         std::span<std::vector<std::uint8_t>> spares,
                                         bool zeroRows);

// Pixels x .. x + out.size() - 1 of row y (0 = top); the caller keeps the run inside the image.
void ReadColors(const DibSurface& surface, int x, int y, std::span<ColorValue> out);
void WriteColors(DibSurface& surface, int x, int y, std::span<const ColorValue> in);
// The same from pixels stored as 0x??RRGGBB, the top byte ignored: the screen's pixels, and the
// rows of a 32-bit DIB, whose bytes are blue, green, red, reserved. The fast path of captures.
void WritePixels(DibSurface& surface, int x, int y, std::span<const std::uint32_t> in);
// Pixels x .. x + out.size() - 1 of row y in the screen's layout, 0x00RRGGBB: what WritePixels
// takes, for handing an image to the platform.
void ReadPixels(const DibSurface& surface, int x, int y, std::span<std::uint32_t> out);
// Pixels x .. x + out.size() - 1 of row y of a 32-bit surface, as WritePixels takes them.
void Read32BitPixels(const DibSurface& surface, int x, int y, std::span<std::uint32_t> out);

// Builds what writes to the surface need (a colour table's index), so that several threads can
// then write rows of their own.
void PrepareWrites(const DibSurface& surface);

// Copies pixel values unchanged; both surfaces have the same bit count and the runs lie inside.
void CopyPixels(const DibSurface& source, int sourceX, int sourceY, DibSurface& target, int x,
                int y, int count);

}  // namespace qel
