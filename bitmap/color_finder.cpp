#include "bitmap/color_finder.h"

#include <algorithm>
#include <climits>

namespace qel {

ColorValue ColorFinder::GetPixelColor(const BitmapContext& context, WindowHandle window, int x,
                                      int y, bool fromWindow) const {
  // A bitmap of its own for every read, so no DC or bitmap outlives it.
  ScreenBitmap bitmap(context);
  if (fromWindow) {
    bitmap.CaptureWindow(window, x, y, 1, 1, 24);
  } else {
    ScreenPoint origin;
    if (window != 0) origin = context.desktop.ClientToScreen(window, {0, 0}).value_or(origin);
    // A sum past the int range is off the screen either way.
    const auto clamp = [](std::int64_t value) {
      return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
    };
    bitmap.CaptureScreen(clamp(std::int64_t{origin.x} + x), clamp(std::int64_t{origin.y} + y), 1, 1,
                         24);
  }
  return bitmap.ReadPixel(0, 0);
}

}  // namespace qel
