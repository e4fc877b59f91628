// ColorFinder's point patterns: built from an image, found in 8-bit rows and in images.
#include <memory>
#include <optional>

#include "finder/color_finder.h"
#include "finder/palette_image.h"
#include "finder/search_cursors.h"

namespace qel {
namespace {

// The anchor's index, or -1 when every pixel is background.
std::int32_t AppendPatternPoints(const PaletteRows& rows, std::int32_t background,
                                 std::vector<PatternPoint>& points, EventHandOff& handOff) {
  const std::int64_t stride = rows.Stride();
  std::int32_t anchorIndex = -1;
  std::int32_t anchorColumn = 0;
  std::int32_t anchorRow = 0;  // from the top
  for (std::int32_t r = 0; r < rows.height; ++r) {
    const std::uint8_t* row = rows.pixels.data() + r * stride;
    const std::int32_t rowFromTop = rows.height - 1 - r;
    for (std::int32_t c = 0; c < rows.width; ++c) {
      const std::int32_t value = row[c];
      if (value == background) continue;
      if (anchorIndex == -1) {
        anchorIndex = value;
        anchorColumn = c;
        anchorRow = rowFromTop;
      } else {
        points.push_back({c - anchorColumn, anchorRow - rowFromTop, value});
      }
    }
    handOff.Poll();
  }
  return anchorIndex;
}

}  // namespace

std::int32_t ColorFinder::BuildPointPattern(const BitmapContext& context, ByteSpan imageBmp,
                                            std::int32_t& background,
                                            std::vector<PatternPoint>& points) const {
  const std::optional<PaletteImage> image = LoadPaletteImage(context, imageBmp);
  if (!image) return -1;
  if (background != -1)
    background = ColorToPaletteIndex(context, static_cast<ColorValue>(background));
  EventHandOff handOff = HandOff();
  return AppendPatternPoints(image->View(), background, points, handOff);
}

ColorFinder::Point ColorFinder::FindPointPattern(ByteSpan rows, std::int32_t width,
                                                 std::int32_t height,
                                                 std::span<const PatternPoint> points,
                                                 std::int32_t anchor, std::int32_t tolerance,
                                                 std::int32_t similarity) const {
  EventHandOff handOff = HandOff();
  return FindPointPatternFrom({rows, width, height}, {points, anchor, tolerance, similarity}, 0,
                              handOff)
      .point;
}

std::int32_t ColorFinder::FindAllPointPatterns(std::vector<Point>& found, ByteSpan rows,
                                               std::int32_t width, std::int32_t height,
                                               std::span<const PatternPoint> points,
                                               std::int32_t anchor, std::int32_t tolerance,
                                               std::int32_t similarity) const {
  EventHandOff handOff = HandOff();
  qel::FindAllPointPatterns({rows, width, height}, {points, anchor, tolerance, similarity}, found,
                            handOff);
  return static_cast<std::int32_t>(found.size());
}

ColorFinder::Point ColorFinder::FindNextPatternInImage(const BitmapContext& context,
                                                       ByteSpan imageBmp, ByteSpan patternBmp,
                                                       std::int32_t background, bool restart,
                                                       std::int32_t tolerance,
                                                       std::int32_t similarity) const {
  PatternCursor& cursor = ModuleSearchCursors().pattern;
  if (restart) {
    auto pattern = std::make_shared<PointPattern>();
    pattern->anchor = BuildPointPattern(context, patternBmp, background, pattern->points);
    cursor.pattern = std::move(pattern);
    cursor.last = -1;
  }
  TakeCursorImage(cursor.image, context, imageBmp);
  if (cursor.pattern->anchor == -1) return {};
  // The search's own references: a walk started from the hand-off replaces the cursor's.
  const std::shared_ptr<const PointPattern> pattern = cursor.pattern;
  const std::shared_ptr<const PaletteImage> image = cursor.image;
  EventHandOff handOff = HandOff();
  const PatternPlace place =
      FindPointPatternFrom(image->View(), {pattern->points, pattern->anchor, tolerance, similarity},
                           cursor.last + 1, handOff);
  cursor.last = place.candidate;
  return place.point;
}

std::int32_t ColorFinder::FindAllPatternsInImage(const BitmapContext& context, ByteSpan imageBmp,
                                                 ByteSpan patternBmp, std::int32_t background,
                                                 std::vector<Point>& found, std::int32_t tolerance,
                                                 std::int32_t similarity) const {
  found.clear();
  const std::optional<PaletteImage> image = LoadPaletteImage(context, imageBmp);
  std::vector<PatternPoint> points;
  const std::int32_t anchor = BuildPointPattern(context, patternBmp, background, points);
  if (!image || anchor == -1) return 0;
  return FindAllPointPatterns(found, image->rows, image->width, image->height, points, anchor,
                              tolerance, similarity);
}

}  // namespace qel
