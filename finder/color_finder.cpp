#include "finder/color_finder.h"

#include <cstdint>
#include <optional>

#include "bitmap/clip_run.h"
#include "finder/palette_image.h"
#include "finder/search_cursors.h"

namespace qel {
namespace {

EventPump& NoPump() {
  static NoEventPump pump;
  return pump;
}

}  // namespace

ColorFinder::ColorFinder() : events_(&NoPump()) {}

void ColorFinder::ClearSearchCursors() { ModuleSearchCursors() = SearchCursors{}; }

ColorValue ColorFinder::GetPixelColor(const BitmapContext& context, WindowHandle window, int x,
                                      int y, bool fromWindow) const {
  // A bitmap of its own for every read, so no DC or bitmap outlives it.
  ScreenBitmap bitmap(context);
  if (fromWindow) {
    bitmap.CaptureWindow(window, x, y, 1, 1, 24);
  } else {
    ScreenPoint origin;
    if (window != 0) origin = context.desktop.ClientToScreen(window, {0, 0}).value_or(origin);
    bitmap.CaptureScreen(ClampToInt(std::int64_t{origin.x} + x),
                         ClampToInt(std::int64_t{origin.y} + y), 1, 1, 24);
  }
  return bitmap.ReadPixel(0, 0);
}

GdiRect ColorFinder::MakeRect(std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) {
  return {left, top, ClampToInt(std::int64_t{left} + width),
          ClampToInt(std::int64_t{top} + height)};
}

void ColorFinder::SetTextStyle(std::string_view text, std::int32_t color,
                               const FontDescription& font) {
  style_.text = text;
  style_.color = color;
  style_.size = font.size;
  style_.weight = font.bold != 0 ? 700 : 400;
  style_.italic = font.italic;
  style_.underline = font.underline;
  style_.strikeOut = font.strikeOut;
  style_.face = font.face;
}

std::int32_t ColorFinder::ColorToPaletteIndex(const BitmapContext& context, ColorValue color) {
  return ColorToPaletteBytes(context, color).front();
}

std::vector<std::uint8_t> ColorFinder::ColorToPaletteBytes(const BitmapContext& context,
                                                           ColorValue color) {
  // Through the same conversion as every searched image, so the index is the one they hold.
  ScreenBitmap bitmap(context);
  if (!bitmap.CreateImage(1, 1, 32) || !bitmap.WritePixel(0, 0, color) || !bitmap.ConvertDepth(8)) {
    return {0};  // only when memory runs out
  }
  return {bitmap.PixelBytes().front()};
}

std::vector<std::uint8_t> ColorFinder::ImagePaletteRows(const BitmapContext& context,
                                                        ByteSpan bmpFile) {
  std::optional<PaletteImage> image = LoadPaletteImage(context, bmpFile);
  return image ? std::move(image->rows) : std::vector<std::uint8_t>{};
}

}  // namespace qel
