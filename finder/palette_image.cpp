#include "finder/palette_image.h"

#include "bitmap/clip_run.h"

namespace qel {

std::optional<PaletteImage> LoadPaletteImage(const BitmapContext& context,
                                             std::span<const std::uint8_t> bmpFile) {
  ScreenBitmap bitmap(context);
  if (!bitmap.LoadBmpBytesViaFile(bmpFile) || !bitmap.ConvertDepth(8)) return std::nullopt;
  return PaletteImage{bitmap.PixelBytes(), bitmap.BitmapWidth(), bitmap.BitmapHeight()};
}

bool CaptureSearchArea(ScreenBitmap& bitmap, const BitmapContext& context, WindowHandle window,
                       SearchArea& area, bool throughWindow, int bitsPerPixel) {
  if (throughWindow) {
    return bitmap.CaptureWindow(window, area.left, area.top, area.width, area.height, bitsPerPixel);
  }
  ScreenPoint origin;
  if (window != 0) {
    const std::optional<ScreenPoint> clientOrigin = context.desktop.ClientToScreen(window, {0, 0});
    const std::optional<WindowRect> client = context.desktop.ClientRectOf(window);
    if (!clientOrigin || !client) return false;
    origin = *clientOrigin;
    const std::int64_t widthLeft = std::int64_t{client->right} - area.left;
    const std::int64_t heightLeft = std::int64_t{client->bottom} - area.top;
    if (area.width == 0 || area.width > widthLeft) area.width = ClampToInt(widthLeft);
    if (area.height == 0 || area.height > heightLeft) area.height = ClampToInt(heightLeft);
  }
  return bitmap.CaptureScreen(ClampToInt(std::int64_t{origin.x} + area.left),
                              ClampToInt(std::int64_t{origin.y} + area.top), area.width,
                              area.height, bitsPerPixel);
}

bool CapturePaletteArea(ScreenBitmap& bitmap, const BitmapContext& context, WindowHandle window,
                        SearchArea& area, bool throughWindow) {
  return CaptureSearchArea(bitmap, context, window, area, throughWindow, 8);
}

PaletteRows RowsOf(const ScreenBitmap& bitmap) {
  if (bitmap.PixelData() == nullptr) return {};
  return {
      {bitmap.PixelData(), bitmap.PixelDataSize()}, bitmap.BitmapWidth(), bitmap.BitmapHeight()};
}

}  // namespace qel
