// ColorFinder's searches for a colour and for an image, in an area or in an image.
#include <optional>

#include "finder/color_finder.h"
#include "finder/image_search.h"
#include "finder/palette_image.h"
#include "finder/search_cursors.h"

namespace qel {
namespace {

// The 1-based position of the first pixel within tolerance of `index` in the rows, at or after
// `start`; -1 when there is none. A hit in the padding after a row's last pixel is not a pixel,
// so the search goes on from the next row.
std::int32_t FindIndexInRows(const PaletteRows& rows, std::uint8_t index, std::int32_t tolerance,
                             std::int32_t start) {
  const std::int64_t stride = rows.Stride();
  for (;;) {
    const std::int32_t position = FindToleratedByte(rows.pixels, index, tolerance, start);
    if (position == -1 || (position - 1) % stride < rows.width) return position;
    start = static_cast<std::int32_t>(((position - 1) / stride + 1) * stride + 1);
  }
}

FoundPoint PointAt(std::int32_t position, const PaletteRows& rows) {
  if (position == -1) return {};
  const std::int64_t stride = rows.Stride();
  return {static_cast<std::int32_t>((position - 1) % stride),
          static_cast<std::int32_t>(rows.height - (position - 1) / stride - 1)};
}

FoundPoint CentreOf(const ImagePlace& place, const PaletteRows& large, const PaletteRows& small) {
  return {place.x + small.width / 2, large.height - place.row - 1 - small.height / 2};
}

}  // namespace

ColorFinder::Point ColorFinder::FindColorInArea(const BitmapContext& context, WindowHandle window,
                                                ColorValue color, SearchArea& area,
                                                std::int32_t tolerance, bool throughWindow) const {
  const std::uint8_t index = ColorToPaletteBytes(context, color).front();
  ScreenBitmap bitmap(context);
  if (!CapturePaletteArea(bitmap, context, window, area, throughWindow)) return {};
  const PaletteRows rows = RowsOf(bitmap);
  return PointAt(FindIndexInRows(rows, index, tolerance, 1), rows);
}

ColorFinder::Point ColorFinder::FindNextColorInImage(const BitmapContext& context,
                                                     ByteSpan imageBmp, ColorValue color,
                                                     bool restart, std::int32_t tolerance) const {
  ColorCursor& cursor = ModuleSearchCursors().color;
  if (restart) {
    cursor.pattern = ColorToPaletteBytes(context, color);
    cursor.last = 0;
  }
  TakeCursorImage(cursor.image, context, imageBmp);
  if (cursor.pattern.empty()) return {};  // never started
  const PaletteRows rows = cursor.image->View();
  cursor.last = FindIndexInRows(rows, cursor.pattern.front(), tolerance, cursor.last + 1);
  return PointAt(cursor.last, rows);
}

ColorFinder::Point ColorFinder::FindImageInArea(const BitmapContext& context, WindowHandle window,
                                                ByteSpan imageBmp, SearchArea& area,
                                                bool throughWindow) const {
  ScreenBitmap bitmap(context);
  if (!CapturePaletteArea(bitmap, context, window, area, throughWindow)) return {};
  const std::optional<PaletteImage> small = LoadPaletteImage(context, imageBmp);
  if (!small) return {};
  const PaletteRows large = RowsOf(bitmap);
  EventHandOff handOff = HandOff();
  ImagePlace place;
  if (!FindImage(large, small->View(), place, handOff)) return {};
  return CentreOf(place, large, small->View());
}

ColorFinder::Point ColorFinder::FindImageInImage(const BitmapContext& context, ByteSpan largeBmp,
                                                 ByteSpan smallBmp) const {
  const std::optional<PaletteImage> large = LoadPaletteImage(context, largeBmp);
  const std::optional<PaletteImage> small =
      large ? LoadPaletteImage(context, smallBmp) : std::nullopt;
  if (!small) return {};
  EventHandOff handOff = HandOff();
  ImagePlace place;
  if (!FindImage(large->View(), small->View(), place, handOff)) return {};
  return CentreOf(place, large->View(), small->View());
}

std::int32_t ColorFinder::FindAllImagesInImage(const BitmapContext& context, ByteSpan largeBmp,
                                               ByteSpan smallBmp, std::vector<Point>& found) const {
  found.clear();
  const std::optional<PaletteImage> large = LoadPaletteImage(context, largeBmp);
  const std::optional<PaletteImage> small =
      large ? LoadPaletteImage(context, smallBmp) : std::nullopt;
  if (!small) return 0;
  EventHandOff handOff = HandOff();
  std::vector<ImagePlace> places;
  FindAllImages(large->View(), small->View(), places, handOff);
  found.reserve(places.size());
  for (const ImagePlace& place : places) {
    found.push_back(CentreOf(place, large->View(), small->View()));
  }
  return static_cast<std::int32_t>(found.size());
}

}  // namespace qel
