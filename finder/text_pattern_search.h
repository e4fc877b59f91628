// Finding drawn text in 8-bit rows by its pixels: the pixels the text's drawing covers must be
// near the text's colour, and those it leaves free must differ from it.
#pragma once

#include <cstdint>
#include <vector>

#include "finder/event_hand_off.h"
#include "finder/offset_match_kernels.h"
#include "finder/palette_rows.h"

namespace qel {

// From the anchor (the drawing's first covered pixel in search order): dx columns right, dy
// stored rows after it (higher up in the picture).
struct PixelOffset {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  friend bool operator==(const PixelOffset&, const PixelOffset&) = default;
};

// A text's drawing. The anchor itself is covered and is in neither list. `width` and `height` are
// those of the drawing, and the anchor lies `anchorX` columns right of its left edge and `anchorY`
// rows below its top.
struct TextPattern {
  std::vector<PixelOffset> drawn;
  std::vector<PixelOffset> undrawn;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t anchorX = 0;
  std::int32_t anchorY = 0;
};

struct TextPatternQuery {
  const TextPattern& pattern;
  std::uint8_t target = 0;      // table index of the text's colour
  std::int32_t tolerance = 0;   // |pixel - target| <= tolerance; negative lets nothing match
  std::int32_t percentage = 0;  // per cent of each list that must match; 0 means all
};

// The first place in search order (stored row 0 first, left to right) of the anchor: a pixel within
// tolerance of the target where enough of the drawn offsets lie within tolerance of it and then
// enough of the undrawn offsets differ from the anchor's pixel. A place with any offset outside
// the picture or the given pixels is not one.
FoundPoint FindTextPattern(const PaletteRows& rows, const TextPatternQuery& query,
                           EventHandOff& handOff);

// Every place, in search order, replacing what `found` held.
void FindAllTextPatterns(const PaletteRows& rows, const TextPatternQuery& query,
                         std::vector<FoundPoint>& found, EventHandOff& handOff);

// The same two searches through a given kernel, for tests that hold every kernel to the plain
// search and benchmarks that set them side by side; the ones above use the fastest.
FoundPoint FindTextPattern(const PaletteRows& rows, const TextPatternQuery& query,
                           EventHandOff& handOff, OffsetMatchKernel kernel);
void FindAllTextPatterns(const PaletteRows& rows, const TextPatternQuery& query,
                         std::vector<FoundPoint>& found, EventHandOff& handOff,
                         OffsetMatchKernel kernel);

}  // namespace qel
