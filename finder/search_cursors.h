// Where FindNextColorInImage and FindNextPatternInImage stand between calls: one cursor each,
// shared by every ColorFinder, as their callers' scripts expect.
#pragma once

#include <cstdint>
#include <vector>

#include "finder/palette_image.h"
#include "finder/point_pattern_search.h"

namespace qel {

struct ColorCursor {
  std::vector<std::uint8_t> pattern;  // the colour's table index, one byte
  PaletteImage image;
  std::int32_t last = 0;  // 1-based position of the last pixel found; -1 after a walk ended
};

struct PatternCursor {
  std::int32_t anchor = -1;
  std::vector<PatternPoint> points;
  PaletteImage image;
  std::int64_t last = -1;  // candidate number of the last place found; -1 before the first
};

struct SearchCursors {
  ColorCursor color;
  PatternCursor pattern;
};

// The program's one set; not guarded against use from several threads.
SearchCursors& ModuleSearchCursors();

}  // namespace qel
