// Where FindNextColorInImage and FindNextPatternInImage stand between calls: one cursor each,
// shared by every ColorFinder, as their callers' scripts expect.
//
// What a walk reads is held through shared pointers: a search hands control to the window system,
// and a handler run then may start a walk of its own, replacing the cursor's image and pattern
// while the first search still reads them. The first keeps its own reference until it returns.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "finder/palette_image.h"
#include "finder/point_pattern_search.h"

namespace qel {

struct ColorCursor {
  std::vector<std::uint8_t> pattern;  // the colour's table index, one byte
  std::shared_ptr<const PaletteImage> image = std::make_shared<const PaletteImage>();
  std::int32_t last = 0;  // 1-based position of the last pixel found; -1 after a walk ended
};

struct PointPattern {
  std::int32_t anchor = -1;
  std::vector<PatternPoint> points;
};

struct PatternCursor {
  std::shared_ptr<const PointPattern> pattern = std::make_shared<const PointPattern>();
  std::shared_ptr<const PaletteImage> image = std::make_shared<const PaletteImage>();
  std::int64_t last = -1;  // candidate number of the last place found; -1 before the first
};

// The cursor's image replaced by the one in `imageBmp`, or by no image when the bytes are not
// one; kept as it is when they are empty.
void TakeCursorImage(std::shared_ptr<const PaletteImage>& image, const BitmapContext& context,
                     std::span<const std::uint8_t> imageBmp);

struct SearchCursors {
  ColorCursor color;
  PatternCursor pattern;
};

// The program's one set; not guarded against use from several threads.
SearchCursors& ModuleSearchCursors();

}  // namespace qel
