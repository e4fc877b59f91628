#include "qel/searches.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "bitmap/clip_run.h"
#include "finder/color_finder.h"
#include "finder/palette_image.h"

namespace qel {
namespace {

constexpr ColorValue kLargestColorValue = 0xFFFFFF;
// The image searches convert what they are given to 8 bits themselves; a capture at 32 bits
// keeps every screen pixel as it is, so that conversion gives the indices a capture at 8 bits
// would.
constexpr int kSearchCaptureBits = 32;

const char* const kNotBmp = "is not a BMP image";

// An area search's arguments for a screen area or a window, and where its answers are counted
// from in the coordinates the caller gets.
struct AreaCall {
  WindowHandle window = 0;
  SearchArea area;
  bool throughWindow = false;
  FoundPoint origin{0, 0};
};

void RequireWindow(const BitmapContext& context, WindowHandle window) {
  if (window == 0 || !context.desktop.IsWindow(window)) {
    throw SearchInputError(SearchInputError::Input::kSource, "is no window");
  }
}

AreaCall AreaCallOf(const BitmapContext& context, const CaptureSource& source) {
  if (const auto* screen = std::get_if<ScreenArea>(&source)) {
    return {0,
            {screen->left, screen->top, screen->width, screen->height},
            false,
            {screen->left, screen->top}};
  }
  const auto& window = std::get<WindowArea>(source);
  RequireWindow(context, window.window);
  return {window.window,
          {window.left, window.top, window.width, window.height},
          window.throughWindow,
          {window.left, window.top}};
}

// Captures the area as the library's area searches do: through the window's own drawing, or from
// the screen with the area cut to the window's client area.
bool CaptureArea(ScreenBitmap& bitmap, const BitmapContext& context, AreaCall call, int bits) {
  return CaptureSearchArea(bitmap, context, call.window, call.area, call.throughWindow, bits);
}

// Not for an image file.
CaptureSource CaptureSourceOf(const SearchSource& source) {
  if (const auto* screen = std::get_if<ScreenArea>(&source)) return *screen;
  return std::get<WindowArea>(source);
}

bool IsBmpImage(const BitmapContext& context, std::span<const std::uint8_t> bmp) {
  ScreenBitmap bitmap(context);
  return bitmap.LoadBmpBytesViaFile(bmp);
}

// What a search in an image looks in: a file as it was given, or a screen area or window captured
// once; and where the picture's top-left pixel lies in the coordinates of the answers.
class Picture {
 public:
  // nullopt when the area or window could not be captured.
  static std::optional<Picture> Of(const BitmapContext& context, const SearchSource& source) {
    if (const auto* file = std::get_if<ImageFile>(&source)) {
      if (!IsBmpImage(context, file->bmp)) {
        throw SearchInputError(SearchInputError::Input::kSource, kNotBmp);
      }
      return Picture(file, {}, {0, 0});
    }
    const AreaCall call = AreaCallOf(context, CaptureSourceOf(source));
    ScreenBitmap bitmap(context);
    if (!CaptureArea(bitmap, context, call, kSearchCaptureBits)) return std::nullopt;
    return Picture(nullptr, bitmap.FileBytes(), call.origin);
  }

  std::span<const std::uint8_t> Bytes() const {
    return file_ != nullptr ? std::span<const std::uint8_t>(file_->bmp) : captured_;
  }
  FoundPoint Origin() const { return origin_; }

 private:
  Picture(const ImageFile* file, std::vector<std::uint8_t> captured, FoundPoint origin)
      : file_(file), captured_(std::move(captured)), origin_(origin) {}

  const ImageFile* file_;
  std::vector<std::uint8_t> captured_;
  FoundPoint origin_;
};

bool Found(FoundPoint place) { return place != FoundPoint{}; }

FoundPoint Shifted(FoundPoint place, FoundPoint origin) {
  return {ClampToInt(std::int64_t{place.x} + origin.x),
          ClampToInt(std::int64_t{place.y} + origin.y)};
}

std::vector<FoundPoint> OneOrNone(FoundPoint place, FoundPoint origin) {
  if (!Found(place)) return {};
  return {Shifted(place, origin)};
}

std::vector<FoundPoint> AllShifted(std::vector<FoundPoint> places, FoundPoint origin) {
  for (FoundPoint& place : places) place = Shifted(place, origin);
  return places;
}

// The first-only search of a screen area or window goes through the library's own area search,
// so that its answer is the library's; every other search looks in a picture.
bool UsesAreaSearch(const SearchSource& source, Matches matches) {
  return matches == Matches::kFirst && !std::holds_alternative<ImageFile>(source);
}

ColorFinder::FontDescription FontOf(const TextLook& look) {
  ColorFinder::FontDescription font;
  font.bold = look.bold ? 1 : 0;
  font.italic = look.italic ? 1 : 0;
  font.size = look.size;
  font.face = look.face;
  return font;
}

bool AllHex(std::string_view text) {
  for (const char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
  }
  return true;
}

bool AllDecimal(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

SearchInputError::SearchInputError(Input input, const std::string& problem)
    : std::invalid_argument(
          (input == Input::kSource ? "the picture searched " : "what is looked for ") + problem),
      input_(input),
      problem_(problem) {}

bool NeedsDesktop(Request request, bool inImageFile) {
  const bool picturesOnly =
      request == Request::kColor || request == Request::kImage || request == Request::kPattern;
  return !(inImageFile && picturesOnly);
}

std::optional<ColorValue> PixelAt(const BitmapContext& context, std::int32_t x, std::int32_t y,
                                  WindowHandle window, bool throughWindow) {
  if (window != 0 || throughWindow) RequireWindow(context, window);
  const ColorValue color = ColorFinder().GetPixelColor(context, window, x, y, throughWindow);
  if (color == kClrInvalid) return std::nullopt;
  return color;
}

std::vector<std::uint8_t> Grab(const BitmapContext& context, const CaptureSource& source,
                               int bitsPerPixel) {
  ScreenBitmap bitmap(context);
  if (!CaptureArea(bitmap, context, AreaCallOf(context, source), bitsPerPixel)) return {};
  return bitmap.FileBytes();
}

std::vector<FoundPoint> FindColors(const BitmapContext& context, const SearchSource& source,
                                   ColorValue color, std::int32_t tolerance, Matches matches) {
  const ColorFinder finder;
  if (UsesAreaSearch(source, matches)) {
    AreaCall call = AreaCallOf(context, CaptureSourceOf(source));
    return OneOrNone(finder.FindColorInArea(context, call.window, color, call.area, tolerance,
                                            call.throughWindow),
                     call.origin);
  }
  const std::optional<Picture> picture = Picture::Of(context, source);
  if (!picture) return {};
  std::vector<FoundPoint> found;
  FoundPoint place = finder.FindNextColorInImage(context, picture->Bytes(), color, true, tolerance);
  while (Found(place)) {
    found.push_back(Shifted(place, picture->Origin()));
    if (matches == Matches::kFirst) break;
    place = finder.FindNextColorInImage(context, {}, color, false, tolerance);
  }
  return found;
}

std::vector<FoundPoint> FindImages(const BitmapContext& context, const SearchSource& source,
                                   std::span<const std::uint8_t> smallBmp, Matches matches) {
  if (!IsBmpImage(context, smallBmp)) {
    throw SearchInputError(SearchInputError::Input::kTarget, kNotBmp);
  }
  const ColorFinder finder;
  if (UsesAreaSearch(source, matches)) {
    AreaCall call = AreaCallOf(context, CaptureSourceOf(source));
    return OneOrNone(
        finder.FindImageInArea(context, call.window, smallBmp, call.area, call.throughWindow),
        call.origin);
  }
  const std::optional<Picture> picture = Picture::Of(context, source);
  if (!picture) return {};
  if (matches == Matches::kFirst) {
    return OneOrNone(finder.FindImageInImage(context, picture->Bytes(), smallBmp),
                     picture->Origin());
  }
  std::vector<FoundPoint> found;
  finder.FindAllImagesInImage(context, picture->Bytes(), smallBmp, found);
  return AllShifted(std::move(found), picture->Origin());
}

std::vector<FoundPoint> FindPatterns(const BitmapContext& context, const SearchSource& source,
                                     std::span<const std::uint8_t> patternBmp,
                                     std::optional<ColorValue> background, std::int32_t tolerance,
                                     std::int32_t similarity, Matches matches) {
  if (!IsBmpImage(context, patternBmp)) {
    throw SearchInputError(SearchInputError::Input::kTarget, kNotBmp);
  }
  const ColorFinder finder;
  // The library takes the background as a colour value, or -1 for none.
  const auto backgroundArgument =
      background ? static_cast<std::int32_t>(*background) : std::int32_t{-1};
  std::int32_t backgroundIndex = backgroundArgument;
  std::vector<PatternPoint> points;
  if (finder.BuildPointPattern(context, patternBmp, backgroundIndex, points) == -1) {
    throw SearchInputError(SearchInputError::Input::kTarget, "has no pixel unlike the background");
  }
  // The library finds a pattern only by its points beside the anchor, so one lone pixel would
  // never be found: a colour search is what finds it.
  if (points.empty()) {
    throw SearchInputError(SearchInputError::Input::kTarget,
                           "has one pixel unlike the background, and a pattern needs two (search "
                           "for one colour with color)");
  }
  const std::optional<Picture> picture = Picture::Of(context, source);
  if (!picture) return {};
  if (matches == Matches::kFirst) {
    return OneOrNone(finder.FindNextPatternInImage(context, picture->Bytes(), patternBmp,
                                                   backgroundArgument, true, tolerance, similarity),
                     picture->Origin());
  }
  std::vector<FoundPoint> found;
  finder.FindAllPatternsInImage(context, picture->Bytes(), patternBmp, backgroundArgument, found,
                                tolerance, similarity);
  return AllShifted(std::move(found), picture->Origin());
}

std::vector<FoundPoint> FindTexts(const BitmapContext& context, const SearchSource& source,
                                  std::string_view text, const TextLook& look,
                                  std::int32_t tolerance, std::int32_t similarity,
                                  Matches matches) {
  ColorFinder finder;
  finder.SetTextStyle(text, static_cast<std::int32_t>(look.color), FontOf(look));
  if (finder.TextToPointPattern(context).width == 0) {
    throw SearchInputError(SearchInputError::Input::kTarget, "draws no pixel in this font");
  }
  if (UsesAreaSearch(source, matches)) {
    AreaCall call = AreaCallOf(context, CaptureSourceOf(source));
    return OneOrNone(finder.FindTextInArea(context, call.window, call.area, tolerance, similarity,
                                           call.throughWindow),
                     call.origin);
  }
  const std::optional<Picture> picture = Picture::Of(context, source);
  if (!picture) return {};
  if (matches == Matches::kFirst) {
    return OneOrNone(finder.FindTextInImage(context, picture->Bytes(), tolerance, similarity),
                     picture->Origin());
  }
  std::vector<FoundPoint> found;
  finder.FindAllTextInImage(context, picture->Bytes(), found, tolerance, similarity);
  return AllShifted(std::move(found), picture->Origin());
}

std::optional<double> ReadNumber(const BitmapContext& context, const SearchSource& source,
                                 const TextLook& look, std::int32_t tolerance,
                                 std::int32_t similarity) {
  const std::optional<Picture> picture = Picture::Of(context, source);
  if (!picture) return std::nullopt;
  ColorFinder finder;
  const double number = finder.ReadNumberInImage(context, picture->Bytes(), look.color,
                                                 FontOf(look), tolerance, similarity);
  if (number < 0) return std::nullopt;
  return number;
}

std::optional<ColorValue> ParseScriptColor(std::string_view text) {
  const bool marked = text.starts_with('#');
  const std::string_view digits = marked ? text.substr(1) : text;
  if (marked || digits.size() == 6) {
    if (digits.size() != 6 || !AllHex(digits)) return std::nullopt;
    std::uint32_t rgb = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), rgb, 16);
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
  }
  if (digits.empty() || !AllDecimal(digits)) return std::nullopt;
  std::uint64_t value = 0;
  const std::from_chars_result read =
      std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (read.ec != std::errc{} || value > kLargestColorValue) return std::nullopt;
  return static_cast<ColorValue>(value);
}

std::string FormatScriptColor(ColorValue color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, color >> 8 & 0xFF,
                color >> 16 & 0xFF);
  return text;
}

}  // namespace qel
