// The searches as scripts ask for them (qel-find, the Python module): one request turned into the
// bitmap library's calls, with answers in coordinates a script can use as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "finder/palette_rows.h"
#include "platform/platform.h"

namespace qel {

// A rectangle of the screen in screen coordinates. A width or height of 0 reaches the screen's
// right or bottom edge. Places found in it are given in screen coordinates.
struct ScreenArea {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A rectangle of a window's client area in client coordinates; a width or height of 0 reaches the
// client area's edge. Read from what the screen shows there, or with `throughWindow` from the
// window's own drawing, so that a covered window can be searched. Places found in it are given in
// client coordinates.
struct WindowArea {
  WindowHandle window = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool throughWindow = false;
};

// A picture as BMP file bytes (any header, depth and compression the library's loader takes).
// Places found in it are given in its own coordinates, (0, 0) its top-left pixel.
struct ImageFile {
  std::vector<std::uint8_t> bmp;
};

using CaptureSource = std::variant<ScreenArea, WindowArea>;
using SearchSource = std::variant<ScreenArea, WindowArea, ImageFile>;

// Whether a search stops at the first place or lists every place. Places come in the library's
// order: the bottom row of the source first, left to right within a row.
enum class Matches { kFirst, kAll };

// How a text is drawn for the text searches and the reading of numbers. Text and face are GBK
// bytes, as the library draws them.
struct TextLook {
  std::string face;
  std::int32_t size = 0;  // points
  bool bold = false;
  bool italic = false;
  ColorValue color = 0;
};

// An input the searches cannot use: a picture that is not a BMP image, a handle that is no
// window, or something to look for that has no pixel to look for. Not finding anything is no
// error: the searches then answer with nothing.
class SearchInputError : public std::invalid_argument {
 public:
  enum class Input {
    kSource,  // where the search looks: the file or the window
    kTarget,  // what it looks for: the image, the pattern or the text
  };
  SearchInputError(Input input, const std::string& problem);
  Input Which() const { return input_; }
  // What is wrong, to follow the input's name: "is not a BMP image".
  const std::string& Problem() const { return problem_; }

 private:
  Input input_;
  std::string problem_;
};

// What a script asks for: one of the operations below.
enum class Request { kPixel, kGrab, kColor, kImage, kPattern, kText, kNumber };

// Whether `request` needs the desktop this process runs on. Colours, images and patterns looked
// for in a BMP file need nothing but the file, so an InMemoryDesktop serves them where there is no
// desktop; text is drawn in the system's fonts, and the rest reads the screen.
bool NeedsDesktop(Request request, bool inImageFile);

// The numbers a script may give: a tolerance in palette-index steps from 0, a similarity in per
// cent from 0 (all points), a font size in points from 1, and the depths a grab is saved at.
inline constexpr std::int32_t kLargestTolerance = 255;
inline constexpr std::int32_t kLargestSimilarity = 100;
inline constexpr std::int32_t kLargestFontSize = 200;
inline constexpr int kGrabDepths[] = {1, 4, 8, 16, 24, 32};

// The colour of one pixel: (x, y) on the screen when `window` is 0, else in the window's client
// area, read through its own drawing with `throughWindow`. nullopt when it cannot be read.
std::optional<ColorValue> PixelAt(const BitmapContext& context, std::int32_t x, std::int32_t y,
                                  WindowHandle window = 0, bool throughWindow = false);

// The source as a BMP file at `bitsPerPixel` (1, 4, 8, 16, 24 or 32), captured as the searches
// capture it; empty when nothing could be captured.
std::vector<std::uint8_t> Grab(const BitmapContext& context, const CaptureSource& source,
                               int bitsPerPixel);

// Every search below captures a screen area or a window once. The searches in an image use the
// library's walks (FindNextColorInImage, FindNextPatternInImage), whose places are shared by the
// whole program: a walk a caller had going is started over.

// Pixels within `tolerance` palette-index steps of the colour.
std::vector<FoundPoint> FindColors(const BitmapContext& context, const SearchSource& source,
                                   ColorValue color, std::int32_t tolerance, Matches matches);

// Centres of the places of a smaller image (BMP file bytes): width / 2 columns right of the
// place's left edge, height / 2 rows above its bottom row.
std::vector<FoundPoint> FindImages(const BitmapContext& context, const SearchSource& source,
                                   std::span<const std::uint8_t> smallBmp, Matches matches);

// Places of the point pattern of an image (BMP file bytes): the anchor, its first pixel unlike
// `background` in the bottom-row-first order. `similarity` is the per cent of the other points
// that must match, 0 meaning all of them.
std::vector<FoundPoint> FindPatterns(const BitmapContext& context, const SearchSource& source,
                                     std::span<const std::uint8_t> patternBmp,
                                     std::optional<ColorValue> background, std::int32_t tolerance,
                                     std::int32_t similarity, Matches matches);

// Places of a text (GBK) drawn in `look`: each is the text's anchor, the first pixel its drawing
// covers in the bottom-row-first order. `similarity` as for patterns.
std::vector<FoundPoint> FindTexts(const BitmapContext& context, const SearchSource& source,
                                  std::string_view text, const TextLook& look,
                                  std::int32_t tolerance, std::int32_t similarity, Matches matches);

// The number whose digits are drawn in `look`, read left to right; nullopt when no digit is
// there. Past 15 digits the value is as near as a double comes, and past the largest double (309
// digits) it is the largest double.
std::optional<double> ReadNumber(const BitmapContext& context, const SearchSource& source,
                                 const TextLook& look, std::int32_t tolerance,
                                 std::int32_t similarity);

// A colour as a script writes it: "#RRGGBB", "RRGGBB" (six hex digits), or the decimal value
// Qel's window shows (R + 256 G + 65536 B, 0 to 16777215). Six digits alone are read as hex, so a
// decimal value of six digits is written with a leading 0 ("0255255") or as #RRGGBB. nullopt for
// anything else: signs, spaces, "0x", other lengths.
std::optional<ColorValue> ParseScriptColor(std::string_view text);
// "#RRGGBB", hex digits upper case.
std::string FormatScriptColor(ColorValue color);

}  // namespace qel
