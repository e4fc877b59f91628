// ColorFinder's text searches: the style's text drawn as GDI draws it, turned into a pattern of
// covered and free pixels, and found in areas and images; and numbers read digit by digit.
#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

#include "bitmap/temporary_dc.h"
#include "finder/color_finder.h"
#include "finder/palette_image.h"

namespace qel {
namespace {

constexpr std::uint8_t kGb2312CharSet = 134;
constexpr ColorValue kPureRed = 0x0000FF;
constexpr int kPointsPerInch = 72;

// The covered and free pixels of a drawing read bottom row first, left to right, from the first
// covered one on.
TextPattern PatternOfDrawing(Gdi& gdi, GdiHandle dc, int width, int height) {
  TextPattern pattern;
  pattern.width = width;
  pattern.height = height;
  std::optional<FoundPoint> anchor;  // column, row from the top
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const ColorValue value = gdi.GetPixel(dc, x, y);
      const bool covered = value != kClrInvalid && value >= 1;
      if (!anchor) {
        if (covered) anchor = FoundPoint{x, y};
        continue;
      }
      const PixelOffset offset{x - anchor->x, anchor->y - y};
      (covered ? pattern.drawn : pattern.undrawn).push_back(offset);
    }
  }
  if (!anchor) return TextPattern{};
  pattern.anchorX = anchor->x;
  pattern.anchorY = anchor->y;
  return pattern;
}

struct DigitPlace {
  FoundPoint place;  // left column of the digit's drawing
  char digit;
  std::size_t covered;  // pixels its drawing covers
  std::int32_t inkLeft;
  std::int32_t inkRight;  // columns of the drawing its ink spans, both included
};

// The columns of a drawing that hold ink.
std::pair<std::int32_t, std::int32_t> InkColumns(const TextPattern& pattern) {
  std::int32_t left = pattern.anchorX;
  std::int32_t right = pattern.anchorX;
  for (const PixelOffset& offset : pattern.drawn) {
    left = std::min(left, pattern.anchorX + offset.dx);
    right = std::max(right, pattern.anchorX + offset.dx);
  }
  return {left, right};
}

// The digits read from left to right; of digits whose ink would share a column, the one covering
// more pixels stays.
std::string DigitsLeftToRight(std::vector<DigitPlace> places) {
  std::stable_sort(places.begin(), places.end(), [](const DigitPlace& a, const DigitPlace& b) {
    return a.covered != b.covered ? a.covered > b.covered : a.place.x < b.place.x;
  });
  std::vector<DigitPlace> kept;
  for (const DigitPlace& candidate : places) {
    const bool overlaps = std::any_of(kept.begin(), kept.end(), [&candidate](const DigitPlace& k) {
      return candidate.place.x + candidate.inkLeft <= k.place.x + k.inkRight &&
             k.place.x + k.inkLeft <= candidate.place.x + candidate.inkRight;
    });
    if (!overlaps) kept.push_back(candidate);
  }
  std::sort(kept.begin(), kept.end(), [](const DigitPlace& a, const DigitPlace& b) {
    return a.place.x + a.inkLeft < b.place.x + b.inkLeft;
  });
  std::string digits;
  for (const DigitPlace& place : kept) digits.push_back(place.digit);
  return digits;
}

// The value of a run of decimal digits, -1 for none. Past the largest double (309 digits and
// more, which a screen of small digits holds) it is the largest double, the nearest one comes.
double NumberOfDigits(const std::string& digits) {
  if (digits.empty()) return -1.0;
  double value = 0;
  const std::from_chars_result read = std::from_chars(digits.data(), digits.data() + digits.size(),
                                                      value, std::chars_format::fixed);
  return read.ec == std::errc::result_out_of_range ? std::numeric_limits<double>::max() : value;
}

}  // namespace

std::uint8_t ColorFinder::TextColorIndex(const BitmapContext& context) const {
  return static_cast<std::uint8_t>(
      ColorToPaletteIndex(context, static_cast<ColorValue>(style_.color)));
}

TextPattern ColorFinder::TextToPointPattern(const BitmapContext& context) const {
  Gdi& gdi = context.gdi;
  const GdiHandle screen = gdi.GetDC(0);
  const std::int64_t height =
      std::int64_t{style_.size} * gdi.GetDeviceCaps(screen, kLogPixelsY) / kPointsPerInch;
  const std::int64_t width = height * static_cast<std::int64_t>(style_.text.size()) / 2;
  TextPattern pattern;
  if (height > 0 && width > 0 && height <= INT32_MAX && width <= INT32_MAX) {
    const TemporaryDc drawing(gdi, screen, static_cast<int>(width), static_cast<int>(height));
    const GdiHandle font = gdi.CreateFont({.height = static_cast<std::int32_t>(height),
                                           .weight = style_.weight,
                                           .italic = style_.italic != 0,
                                           .underline = style_.underline != 0,
                                           .strikeOut = style_.strikeOut != 0,
                                           .charSet = kGb2312CharSet,
                                           .face = style_.face});
    if (drawing.Ready()) {
      const GdiHandle previousFont = gdi.SelectObject(drawing.Dc(), font);
      const int previousMode = gdi.SetBkMode(drawing.Dc(), kTransparent);
      const ColorValue previousColor = gdi.SetTextColor(drawing.Dc(), kPureRed);
      const bool drawn = gdi.TextOut(drawing.Dc(), 0, 0, style_.text);
      gdi.SetBkMode(drawing.Dc(), previousMode);
      gdi.SetTextColor(drawing.Dc(), previousColor);
      gdi.SelectObject(drawing.Dc(), previousFont);
      if (drawn) {
        pattern =
            PatternOfDrawing(gdi, drawing.Dc(), static_cast<int>(width), static_cast<int>(height));
      }
    }
    gdi.DeleteObject(font);
  }
  gdi.ReleaseDC(0, screen);
  return pattern;
}

ColorFinder::Point ColorFinder::FindTextPattern(const BitmapContext& context, ByteSpan rows,
                                                std::int32_t width, std::int32_t height,
                                                const TextPattern& pattern, std::int32_t tolerance,
                                                std::int32_t percentage) const {
  const std::uint8_t target = TextColorIndex(context);
  EventHandOff handOff = HandOff();
  return qel::FindTextPattern({rows, width, height}, {pattern, target, tolerance, percentage},
                              handOff);
}

std::int32_t ColorFinder::FindAllTextPatterns(const BitmapContext& context,
                                              std::vector<Point>& found, ByteSpan rows,
                                              std::int32_t width, std::int32_t height,
                                              const TextPattern& pattern, std::int32_t tolerance,
                                              std::int32_t percentage) const {
  const std::uint8_t target = TextColorIndex(context);
  EventHandOff handOff = HandOff();
  qel::FindAllTextPatterns({rows, width, height}, {pattern, target, tolerance, percentage}, found,
                           handOff);
  return static_cast<std::int32_t>(found.size());
}

std::int32_t ColorFinder::FindAllTextPatternsForDigits(const BitmapContext& context,
                                                       std::vector<Point>& found, ByteSpan rows,
                                                       std::int32_t width, std::int32_t height,
                                                       const TextPattern& pattern,
                                                       std::int32_t tolerance,
                                                       std::int32_t percentage) const {
  FindAllTextPatterns(context, found, rows, width, height, pattern, tolerance, percentage);
  for (Point& place : found) place.x -= pattern.anchorX;
  return static_cast<std::int32_t>(found.size());
}

ColorFinder::Point ColorFinder::FindTextInArea(const BitmapContext& context, WindowHandle window,
                                               SearchArea& area, std::int32_t tolerance,
                                               std::int32_t percentage, bool throughWindow) const {
  ScreenBitmap bitmap(context);
  if (!CapturePaletteArea(bitmap, context, window, area, throughWindow)) return {};
  const PaletteRows rows = RowsOf(bitmap);
  return FindTextPattern(context, rows.pixels, rows.width, rows.height, TextToPointPattern(context),
                         tolerance, percentage);
}

ColorFinder::Point ColorFinder::FindTextInImage(const BitmapContext& context, ByteSpan imageBmp,
                                                std::int32_t tolerance,
                                                std::int32_t percentage) const {
  const std::optional<PaletteImage> image = LoadPaletteImage(context, imageBmp);
  if (!image) return {};
  return FindTextPattern(context, image->rows, image->width, image->height,
                         TextToPointPattern(context), tolerance, percentage);
}

std::int32_t ColorFinder::FindAllTextInImage(const BitmapContext& context, ByteSpan imageBmp,
                                             std::vector<Point>& found, std::int32_t tolerance,
                                             std::int32_t percentage) const {
  found.clear();
  const std::optional<PaletteImage> image = LoadPaletteImage(context, imageBmp);
  if (!image) return 0;
  return FindAllTextPatterns(context, found, image->rows, image->width, image->height,
                             TextToPointPattern(context), tolerance, percentage);
}

double ColorFinder::ReadNumberInImage(const BitmapContext& context, ByteSpan imageBmp,
                                      ColorValue color, const FontDescription& font,
                                      std::int32_t tolerance, std::int32_t percentage) {
  const std::optional<PaletteImage> image = LoadPaletteImage(context, imageBmp);
  SetTextStyle("", static_cast<std::int32_t>(color), font);
  std::vector<DigitPlace> places;
  std::vector<Point> found;
  for (char digit = '0'; digit <= '9'; ++digit) {
    style_.text.assign(1, digit);
    if (!image) continue;
    const TextPattern pattern = TextToPointPattern(context);
    const auto [inkLeft, inkRight] = InkColumns(pattern);
    FindAllTextPatternsForDigits(context, found, image->rows, image->width, image->height, pattern,
                                 tolerance, percentage);
    for (const Point& place : found) {
      places.push_back({place, digit, pattern.drawn.size() + 1, inkLeft, inkRight});
    }
  }
  return NumberOfDigits(DigitsLeftToRight(std::move(places)));
}

}  // namespace qel
