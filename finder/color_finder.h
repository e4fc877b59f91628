// The colour reader's object: one per program (the sampler's GlobalColorFinder), and the searches
// of colours, images, texts and point patterns for other programs. It carries the style that its
// text searches draw in; a copy is a clone with texts of its own.
//
// The searches work on 8-bit images: areas and images are converted to the standard 256-colour
// table, and colours are compared as table indices, so a tolerance counts index steps, and two
// colours the conversion gives the same index cannot be told apart. Rows are searched in memory
// order, the bottom row of the picture first and left to right within a row: of several places,
// the one found first is the lowest, then the leftmost. Places are counted from the top-left
// pixel of the area or image searched; {-1, -1} is not found. Nothing reports an error: an image
// that cannot be loaded or an area that cannot be captured has nothing in it to find.
//
// The operations are declared in the class's dispatch order, numbered from 1.
//
// Long searches hand control to the window system now and then (every 10 ms) through the event
// pump the object was made with, so a window on the calling thread stays responsive.
//
// FindNextColorInImage and FindNextPatternInImage keep where they stand in cursors that all
// objects share, for the life of the program or until ClearSearchCursors; they are not guarded
// against use from several threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "finder/event_hand_off.h"
#include "finder/palette_rows.h"
#include "finder/point_pattern_search.h"
#include "finder/search_area.h"
#include "finder/text_pattern_search.h"
#include "finder/tolerant_bytes.h"
#include "platform/platform.h"

namespace qel {

class ColorFinder {
 public:
  // Everything zero or empty until a text style is set.
  struct TextStyle {
    std::string text;  // GBK
    std::int32_t color = 0;
    std::int32_t size = 0;
    std::int32_t weight = 0;
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t strikeOut = 0;
    std::string face;  // GBK
  };

  using SearchArea = qel::SearchArea;
  using Point = FoundPoint;

  // How SetTextStyle is told the font; the first field is not used.
  struct FontDescription {
    std::int32_t unused = 0;
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    std::int32_t strikeOut = 0;
    std::int32_t underline = 0;
    std::int32_t size = 0;  // points
    std::string face;       // GBK
  };

  // With nothing to hand control to, for programs without a window system.
  ColorFinder();
  // `handOffInterval` is how long a search runs before it hands control to `events`.
  explicit ColorFinder(EventPump& events,
                       std::chrono::nanoseconds handOffInterval = EventHandOff::kDefaultInterval)
      : events_(&events), handOffInterval_(handOffInterval) {}

  // Empties the cursors of FindNextColorInImage and FindNextPatternInImage and frees what they
  // hold: the program does it when it starts and when it ends.
  static void ClearSearchCursors();

  // 1. {left, top, left + width, top + height}. A sum beyond the 32-bit range stops at its edge
  // rather than wrapping round to the other side.
  static GdiRect MakeRect(std::int32_t left = 0, std::int32_t top = 0, std::int32_t width = 0,
                          std::int32_t height = 0);

  // 2. FindImageInImage's answer for an image (BMP file bytes) in an area captured as
  // FindColorInArea captures it, `area` cut in the same way.
  Point FindImageInArea(const BitmapContext& context, WindowHandle window, ByteSpan imageBmp,
                        SearchArea& area, bool throughWindow = false) const;

  // 3. The centre of the first place where the small image (BMP file bytes) occurs in the large
  // one, pixel for pixel after both are converted to 8 bits. The centre lies width / 2 columns
  // right of the place's left edge and height / 2 rows above its bottom row (integer halves). A
  // place lies wholly inside the large image; an image one row high is found too.
  Point FindImageInImage(const BitmapContext& context, ByteSpan largeBmp, ByteSpan smallBmp) const;

  // 4. The text, colour and font the text searches draw in. Bold is weight 700, else 400.
  void SetTextStyle(std::string_view text, std::int32_t color, const FontDescription& font);
  const TextStyle& Style() const { return style_; }

  // 5. The first place of the style's text (TextToPointPattern) in an area captured as
  // FindColorInArea captures it, `area` cut in the same way; FindTextPattern's rules and answer.
  Point FindTextInArea(const BitmapContext& context, WindowHandle window, SearchArea& area,
                       std::int32_t tolerance = 0, std::int32_t percentage = 0,
                       bool throughWindow = false) const;
  // 6, 7. The same in an image (BMP file bytes): the first place, or all of them, replacing what
  // `found` held; the count is the number found.
  Point FindTextInImage(const BitmapContext& context, ByteSpan imageBmp, std::int32_t tolerance = 0,
                        std::int32_t percentage = 0) const;
  std::int32_t FindAllTextInImage(const BitmapContext& context, ByteSpan imageBmp,
                                  std::vector<Point>& found, std::int32_t tolerance = 0,
                                  std::int32_t percentage = 0) const;

  // 8. One pixel through a 1 x 1 capture at 24 bits. With `window` 0, (x, y) is a screen point;
  // otherwise it is in the window's client area, read from what the screen shows there or, with
  // `fromWindow`, from the window's own drawing, so that a covered window can be read.
  // kClrInvalid when the pixel cannot be read.
  ColorValue GetPixelColor(const BitmapContext& context, WindowHandle window, int x, int y,
                           bool fromWindow = false) const;

  // 9. The first pixel of the colour, within `tolerance` table-index steps, in an area of the
  // screen (window 0) or of a window. Through the window's own drawing when `throughWindow` is
  // set. Otherwise the area is cut to the window's client area (a width or height of 0 reaches
  // its edge) and the cut size is written back into `area`. Padding bytes at the ends of the
  // converted rows are never taken for pixels.
  Point FindColorInArea(const BitmapContext& context, WindowHandle window, ColorValue color,
                        SearchArea& area, std::int32_t tolerance = 0,
                        bool throughWindow = false) const;

  // 10. The number written in an image (BMP file bytes) in the colour and font given: every
  // digit "0" to "9" drawn in that style is found with FindAllTextPatternsForDigits, and the
  // digits found are read from left to right. Where two digits' drawings would overlap, the one
  // with more covered pixels is read (a "1" inside a "4" is not a second digit). -1 when no digit
  // is found; past the largest double (309 digits), the largest double. The style is left holding
  // the colour and font, and "9" as its text.
  double ReadNumberInImage(const BitmapContext& context, ByteSpan imageBmp, ColorValue color,
                           const FontDescription& font, std::int32_t tolerance = 0,
                           std::int32_t percentage = 0);

  // 11. The next pixel of the colour in an image (BMP file bytes), walking its pixels one call at
  // a time in memory order. `restart` takes the colour and starts at the first pixel; otherwise
  // the colour argument is not used and the walk goes on. An empty `imageBmp` keeps the image of
  // the previous call, and a new image does not restart the walk. After the last pixel, one
  // {-1, -1}, then the walk starts over.
  Point FindNextColorInImage(const BitmapContext& context, ByteSpan imageBmp, ColorValue color,
                             bool restart, std::int32_t tolerance = 0) const;

  // 12. The next place of a point pattern built from `patternBmp` (BuildPointPattern, with
  // `background`) in an image, walking them as FindNextColorInImage walks pixels: `restart`
  // builds the pattern and starts at the first candidate, otherwise the pattern arguments are not
  // used; an empty `imageBmp` keeps the previous image.
  Point FindNextPatternInImage(const BitmapContext& context, ByteSpan imageBmp, ByteSpan patternBmp,
                               std::int32_t background, bool restart, std::int32_t tolerance = 0,
                               std::int32_t similarity = 0) const;
  // 13. Every place of such a pattern in an image, replacing what `found` held; the number found.
  std::int32_t FindAllPatternsInImage(const BitmapContext& context, ByteSpan imageBmp,
                                      ByteSpan patternBmp, std::int32_t background,
                                      std::vector<Point>& found, std::int32_t tolerance = 0,
                                      std::int32_t similarity = 0) const;
  // 14. The centres of every place of the small image in the large one, as FindImageInImage
  // gives the first; overlapping places all count. Replaces what `found` held; the number found.
  std::int32_t FindAllImagesInImage(const BitmapContext& context, ByteSpan largeBmp,
                                    ByteSpan smallBmp, std::vector<Point>& found) const;

  // 15, 16. The index in the standard 256-colour table that converting the colour to 8 bits gives
  // it, as a number and as a one-byte sequence.
  static std::int32_t ColorToPaletteIndex(const BitmapContext& context, ColorValue color);
  static std::vector<std::uint8_t> ColorToPaletteBytes(const BitmapContext& context,
                                                       ColorValue color);
  // 17. The 8-bit pixel rows (bottom row first, each padded to four bytes) of an image given as
  // BMP file bytes; empty when the bytes are not an image.
  static std::vector<std::uint8_t> ImagePaletteRows(const BitmapContext& context, ByteSpan bmpFile);

  // 18-20. Tolerant byte matching (finder/tolerant_bytes.h): positions count from 1, -1 is not
  // found.
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

  // 21. The style's text drawn as GDI draws it: the font is the style's, its cell height the size
  // in points at the screen's dots per inch, in a black bitmap that high and height x (text bytes)
  // / 2 wide, the text in pure red from its top-left corner. The first covered pixel in memory
  // order is the anchor. Empty lists when the style has no text or no font can be had.
  TextPattern TextToPointPattern(const BitmapContext& context) const;

  // 22. A point pattern from an image (BMP file bytes): every pixel that differs from
  // `background` (a colour, or -1 for none) after conversion to 8 bits, visited in memory order;
  // the first is the anchor, whose index is the answer, and the others are appended to `points`
  // as offsets from it. `background` becomes its table index. -1, and nothing changed, when the
  // bytes are not an image; -1 when every pixel is background.
  std::int32_t BuildPointPattern(const BitmapContext& context, ByteSpan imageBmp,
                                 std::int32_t& background, std::vector<PatternPoint>& points) const;

  // 23, 24. The first place, or every place, of a text pattern in 8-bit rows in the style's colour
  // (finder/text_pattern_search.h). `percentage` of each list must match; 0 means all.
  Point FindTextPattern(const BitmapContext& context, ByteSpan rows, std::int32_t width,
                        std::int32_t height, const TextPattern& pattern, std::int32_t tolerance = 0,
                        std::int32_t percentage = 0) const;
  std::int32_t FindAllTextPatterns(const BitmapContext& context, std::vector<Point>& found,
                                   ByteSpan rows, std::int32_t width, std::int32_t height,
                                   const TextPattern& pattern, std::int32_t tolerance = 0,
                                   std::int32_t percentage = 0) const;

  // 25, 26. The first place, or every place, of a point pattern in 8-bit rows
  // (finder/point_pattern_search.h): an anchor pixel within tolerance of `anchor` and `similarity`
  // per cent of the points (0: all, and at least one) within tolerance of theirs.
  Point FindPointPattern(ByteSpan rows, std::int32_t width, std::int32_t height,
                         std::span<const PatternPoint> points, std::int32_t anchor,
                         std::int32_t tolerance, std::int32_t similarity) const;
  std::int32_t FindAllPointPatterns(std::vector<Point>& found, ByteSpan rows, std::int32_t width,
                                    std::int32_t height, std::span<const PatternPoint> points,
                                    std::int32_t anchor, std::int32_t tolerance,
                                    std::int32_t similarity) const;

  // 27. FindAllTextPatterns for reading digits: each place is given by the left column of the
  // text's drawing rather than its anchor's, so that places of different digits line up.
  std::int32_t FindAllTextPatternsForDigits(const BitmapContext& context, std::vector<Point>& found,
                                            ByteSpan rows, std::int32_t width, std::int32_t height,
                                            const TextPattern& pattern, std::int32_t tolerance = 0,
                                            std::int32_t percentage = 0) const;

 private:
  // The table index the text searches look for.
  std::uint8_t TextColorIndex(const BitmapContext& context) const;

  EventHandOff HandOff() const { return EventHandOff(*events_, handOffInterval_); }

  EventPump* events_;
  std::chrono::nanoseconds handOffInterval_ = EventHandOff::kDefaultInterval;
  TextStyle style_;
};

}  // namespace qel
