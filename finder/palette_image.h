// Images as the searches see them: loaded from BMP file bytes or captured from the screen, and
// converted to 8 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "finder/palette_rows.h"
#include "finder/search_area.h"
#include "platform/platform.h"

namespace qel {

struct PaletteImage {
  std::vector<std::uint8_t> rows;
  std::int32_t width = 0;
  std::int32_t height = 0;
  PaletteRows View() const { return {rows, width, height}; }
};

// nullopt when the bytes are not an image.
std::optional<PaletteImage> LoadPaletteImage(const BitmapContext& context,
                                             std::span<const std::uint8_t> bmpFile);

// Captures an area into `bitmap` at `bitsPerPixel`: through the window's own drawing, or from the
// screen, the area cut to the window's client area (a width or height of 0 reaching its edge) and
// the cut size written back. False when nothing could be captured.
bool CaptureSearchArea(ScreenBitmap& bitmap, const BitmapContext& context, WindowHandle window,
                       SearchArea& area, bool throughWindow, int bitsPerPixel);
// The same at 8 bits, as the searches read their areas.
bool CapturePaletteArea(ScreenBitmap& bitmap, const BitmapContext& context, WindowHandle window,
                        SearchArea& area, bool throughWindow);

// The rows an 8-bit bitmap holds, without a copy; valid while the bitmap is unchanged.
PaletteRows RowsOf(const ScreenBitmap& bitmap);

}  // namespace qel
