// The colour reader's object: one per program (the sampler's GlobalColorFinder), and the searches
// of colours, images and byte patterns for other programs. It carries the style that its text
// searches draw in; a copy is a clone with texts of its own.
//
// The searches work on 8-bit images: areas and images are converted to the standard 256-colour
// table, and colours are compared as table indices, so a tolerance counts index steps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "finder/tolerant_bytes.h"
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

  // Where an area search looks: screen coordinates, or client coordinates when a window is given.
  struct SearchArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
  };
  // A place found, from the top-left pixel of the area or image searched; {-1, -1} when none is.
  struct Point {
    std::int32_t x = -1;
    std::int32_t y = -1;
    friend bool operator==(const Point&, const Point&) = default;
  };

  // How SetTextStyle is told the font; the first field is not used.
  struct FontDescription {
    std::int32_t unused = 0;
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    std::int32_t strikeOut = 0;
    std::int32_t underline = 0;
    std::int32_t size = 0;
    std::string face;
  };

  // {left, top, left + width, top + height}. A sum beyond the 32-bit range stops at its edge
  // rather than wrapping round to the other side.
  static GdiRect MakeRect(std::int32_t left = 0, std::int32_t top = 0, std::int32_t width = 0,
                          std::int32_t height = 0);

  // The text, colour and font the text searches draw in. Bold is weight 700, else 400.
  void SetTextStyle(std::string_view text, std::int32_t color, const FontDescription& font);
  const TextStyle& Style() const { return style_; }

  // One pixel through a 1 x 1 capture at 24 bits. With `window` 0, (x, y) is a screen point;
  // otherwise it is in the window's client area, read from what the screen shows there or, with
  // `fromWindow`, from the window's own drawing, so that a covered window can be read.
  // kClrInvalid when the pixel cannot be read.
  ColorValue GetPixelColor(const BitmapContext& context, WindowHandle window, int x, int y,
                           bool fromWindow = false) const;

  // The first pixel of the colour, within `tolerance` table-index steps, in an area of the screen
  // (window 0) or of a window: the lowest such pixel, the leftmost of equally low ones. Through
  // the window's own drawing when `throughWindow` is set. Otherwise the area is cut to the
  // window's client area (a width or height of 0 reaches its edge) and the cut size is written
  // back into `area`. Padding bytes at the ends of the converted rows are never taken for pixels.
  Point FindColorInArea(const BitmapContext& context, WindowHandle window, ColorValue color,
                        SearchArea& area, std::int32_t tolerance = 0,
                        bool throughWindow = false) const;

  // The centre of the first place where the small image (BMP file bytes) occurs in the large one,
  // pixel for pixel after both are converted to 8 bits: the lowest place, the leftmost of equally
  // low ones. The centre lies width / 2 columns right of the place's left edge and height / 2 rows
  // above its bottom row (integer halves). A place must lie wholly inside the large image.
  static Point FindImageInImage(const BitmapContext& context, ByteSpan largeBmp, ByteSpan smallBmp);

  // The index in the standard 256-colour table that converting the colour to 8 bits gives it, as
  // a number and as a one-byte sequence.
  static std::int32_t ColorToPaletteIndex(const BitmapContext& context, ColorValue color);
  static std::vector<std::uint8_t> ColorToPaletteBytes(const BitmapContext& context,
                                                       ColorValue color);
  // The 8-bit pixel rows (bottom row first, each padded to four bytes) of an image given as BMP
  // file bytes; empty when the bytes are not an image.
  static std::vector<std::uint8_t> ImagePaletteRows(const BitmapContext& context, ByteSpan bmpFile);

  // Tolerant byte matching (finder/tolerant_bytes.h): positions count from 1, -1 is not found.
  static std::int32_t FindToleratedByte(ByteSpan data, std::int32_t value, std::int32_t tolerance,
                                        std::int32_t start) {
    return qel::FindToleratedByte(data, value, tolerance, start);
  }
  static std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                           std::int32_t wildcard, std::int32_t tolerance) {
    return qel::FindToleratedPattern(data, pattern, start, wildcard, tolerance);
  }
  static bool MatchToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t wildcard,
                                    std::int32_t tolerance) {
    return qel::MatchToleratedPattern(data, pattern, wildcard, tolerance);
  }

 private:
  TextStyle style_;
};

}  // namespace qel
