// Finding a point pattern in 8-bit rows: an anchor pixel near one table index, and a share of
// points at fixed offsets from it near their own indices.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "finder/event_hand_off.h"
#include "finder/offset_match_kernels.h"
#include "finder/palette_rows.h"

namespace qel {

// A point of a pattern: dx columns right of the anchor (any sign), dy stored rows after it
// (positive is higher up in the picture), and the table index expected there.
struct PatternPoint {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::int32_t index = 0;
  friend bool operator==(const PatternPoint&, const PatternPoint&) = default;
};

struct PointPatternQuery {
  std::span<const PatternPoint> points;
  std::int32_t anchor = 0;      // table index of the anchor pixel
  std::int32_t tolerance = 0;   // |pixel - index| <= tolerance; negative lets nothing match
  std::int32_t similarity = 0;  // per cent of the points that must match; 0 means all
};

// A place and where the search stands at it: candidates are numbered row * width + column in
// search order (stored row 0 first, columns left to right).
struct PatternPlace {
  FoundPoint point;
  std::int64_t candidate = -1;
  friend bool operator==(const PatternPlace&, const PatternPlace&) = default;
};

// The first place at or after candidate `from`: a candidate whose pixel is within tolerance of the
// anchor, whose points are tested in list order until enough have matched, and where no point met
// before then lies outside the picture or the given pixels. Not found: {{-1, -1}, -1}.
PatternPlace FindPointPatternFrom(const PaletteRows& rows, const PointPatternQuery& query,
                                  std::int64_t from, EventHandOff& handOff);

// Every place, in search order, replacing what `found` held.
void FindAllPointPatterns(const PaletteRows& rows, const PointPatternQuery& query,
                          std::vector<FoundPoint>& found, EventHandOff& handOff);

// The same two searches through a given kernel, for tests that hold every kernel to the plain
// search and benchmarks that set them side by side; the ones above use the fastest.
PatternPlace FindPointPatternFrom(const PaletteRows& rows, const PointPatternQuery& query,
                                  std::int64_t from, EventHandOff& handOff,
                                  OffsetMatchKernel kernel);
void FindAllPointPatterns(const PaletteRows& rows, const PointPatternQuery& query,
                          std::vector<FoundPoint>& found, EventHandOff& handOff,
                          OffsetMatchKernel kernel);

}  // namespace qel
