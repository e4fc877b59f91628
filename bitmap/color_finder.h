// The colour reader's object: one per program (the sampler's GlobalColorFinder). It carries the
// style that its text searches draw in; a copy is a clone with texts of its own.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap/screen_bitmap.h"
#include "platform/platform.h"

namespace qel {

class ColorFinder {
 public:
  // Everything zero or empty until a text style is set.
  struct TextStyle {
    std::string text;
    std::int32_t color = 0;
    std::int32_t size = 0;
    std::int32_t weight = 0;
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t strikeOut = 0;
    std::string face;
  };

  const TextStyle& Style() const { return style_; }

  // One pixel through a 1 x 1 capture at 24 bits. With `window` 0, (x, y) is a screen point;
  // otherwise it is in the window's client area, read from what the screen shows there or, with
  // `fromWindow`, from the window's own drawing, so that a covered window can be read.
  // kClrInvalid when the pixel cannot be read.
  ColorValue GetPixelColor(const BitmapContext& context, WindowHandle window, int x, int y,
                           bool fromWindow = false) const;

 private:
  TextStyle style_;
};

}  // namespace qel
