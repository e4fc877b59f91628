// The Python module qel: the searches for scripts (qel/searches.h) with Python's arguments and
// answers, the same operations and coordinates as qel-find's.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/linux/gbk.h"
#include "qel/desktop.h"
#include "qel/searches.h"

namespace py = pybind11;

namespace qel::python {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Color = std::variant<std::int64_t, std::string>;

// There is no desktop to reach; raised as OSError.
class NoDesktop : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The desktop is opened at the first call that needs it and kept for the module's life; searches
// of a file alone run in memory. One search at a time: a session serves one thread, and the
// library's walks over an image are shared by the whole process.
class Desktops {
 public:
  template <typename Search>
  auto Run(bool needsDesktop, const Search& search) {
    const std::lock_guard lock(mutex_);
    return search(needsDesktop ? Real().Context() : memory_.Context());
  }

 private:
  DesktopSession& Real() {
    if (!real_) {
      try {
        real_ = OpenRunningDesktop();
      } catch (const std::runtime_error& error) {
        // The first sentence says what is wrong; the rest are hints for the program's window.
        const std::string reason = error.what();
        throw NoDesktop("no desktop to search: " + reason.substr(0, reason.find_first_of(".\n")));
      }
    }
    return *real_;
  }

  std::mutex mutex_;
  InMemoryDesktop memory_{1, 1};
  std::unique_ptr<DesktopSession> real_;
};

Desktops& TheDesktops() {
  static Desktops desktops;
  return desktops;
}

[[noreturn]] void Reject(const std::string& name, const std::string& problem) {
  throw py::value_error(name + " " + problem);
}

std::string Shown(const py::handle& value) { return py::repr(value).cast<std::string>(); }

std::int32_t Bounded(const char* name, std::int64_t value, std::int64_t low, std::int64_t high) {
  if (value < low || value > high) {
    Reject(std::string(name) + "=" + std::to_string(value),
           "is not from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<std::int32_t>(value);
}

ColorValue ColorOf(const char* name, const Color& color) {
  if (const auto* value = std::get_if<std::int64_t>(&color)) {
    if (*value < 0 || *value > 0xFFFFFF) {
      Reject(std::string(name) + "=" + std::to_string(*value),
             "is not a colour value from 0 to 16777215 (R + 256 G + 65536 B)");
    }
    return static_cast<ColorValue>(*value);
  }
  const std::string& text = std::get<std::string>(color);
  const std::optional<ColorValue> parsed = ParseScriptColor(text);
  if (!parsed) {
    Reject(std::string(name) + "=" + Shown(py::str(text)),
           "is not a colour (#RRGGBB, RRGGBB or a decimal value)");
  }
  return *parsed;
}

// Any object with the buffer protocol, its bytes copied so that the caller may change them while
// the search runs without the GIL.
Bytes BytesOf(const char* name, const py::buffer& object) {
  Py_buffer view;
  if (PyObject_GetBuffer(object.ptr(), &view, PyBUF_C_CONTIGUOUS) != 0) {
    PyErr_Clear();
    Reject(name, "is not one block of bytes (a C-contiguous buffer)");
  }
  const auto* begin = static_cast<const std::uint8_t*>(view.buf);
  Bytes bytes(begin, begin + view.len);
  PyBuffer_Release(&view);
  return bytes;
}

WindowHandle WindowOf(std::int64_t window, std::int64_t lowest) {
  return static_cast<WindowHandle>(
      Bounded("window", window, lowest, std::numeric_limits<WindowHandle>::max()));
}

ScreenArea AreaOf(const std::vector<std::int64_t>& parts) {
  const auto outside = [](std::int64_t value, std::int64_t low) {
    return value < low || value > std::numeric_limits<std::int32_t>::max();
  };
  if (parts.size() != 4 || outside(parts[0], std::numeric_limits<std::int32_t>::min()) ||
      outside(parts[1], std::numeric_limits<std::int32_t>::min()) || outside(parts[2], 0) ||
      outside(parts[3], 0)) {
    Reject("area=" + Shown(py::tuple(py::cast(parts))),
           "is not (left, top, width, height), whole numbers with the width and height 0 or more");
  }
  return {static_cast<std::int32_t>(parts[0]), static_cast<std::int32_t>(parts[1]),
          static_cast<std::int32_t>(parts[2]), static_cast<std::int32_t>(parts[3])};
}

// Where a capture or search looks, as the keyword arguments give it.
struct Where {
  std::optional<std::vector<std::int64_t>> area;
  std::optional<std::int64_t> window;
  bool throughWindow = false;
  std::optional<py::buffer> image;
};

CaptureSource CaptureSourceOf(const Where& where) {
  if (where.throughWindow && !where.window) Reject("through_window", "needs window");
  const ScreenArea area = where.area ? AreaOf(*where.area) : ScreenArea{};
  if (!where.window) return area;
  return WindowArea{WindowOf(*where.window, 1), area.left, area.top, area.width, area.height,
                    where.throughWindow};
}

SearchSource SearchSourceOf(const Where& where) {
  if (where.image) {
    if (where.area) Reject("image", "cannot be given with area");
    if (where.window) Reject("image", "cannot be given with window");
    return ImageFile{BytesOf("image", *where.image)};
  }
  const CaptureSource source = CaptureSourceOf(where);
  if (const auto* window = std::get_if<WindowArea>(&source)) return *window;
  return std::get<ScreenArea>(source);
}

// The searched picture's name in a message about it.
std::string SourceName(const Where& where) {
  if (where.image) return "image";
  return "window=" + std::to_string(where.window.value_or(0));
}

struct Look {
  std::string font;
  std::int64_t size = 0;
  bool bold = false;
  bool italic = false;
  Color color;
};

TextLook TextLookOf(const Look& look) {
  return {.face = Utf8ToGbk(look.font),
          .size = Bounded("size", look.size, 1, kLargestFontSize),
          .bold = look.bold,
          .italic = look.italic,
          .color = ColorOf("color", look.color)};
}

// Runs a capture or search without the GIL, so that other Python threads go on meanwhile. An input
// the library turns down is raised as ValueError naming the argument: `targetName` for what is
// looked for, else the picture searched.
template <typename Search>
auto Run(Request request, const Where& where, const std::string& targetName, const Search& search) {
  try {
    const py::gil_scoped_release release;
    return TheDesktops().Run(NeedsDesktop(request, where.image.has_value()), search);
  } catch (const SearchInputError& error) {
    const bool target = error.Which() == SearchInputError::Input::kTarget;
    Reject(target ? targetName : SourceName(where), error.Problem());
  }
}

py::object Places(const std::vector<FoundPoint>& places, bool all) {
  if (!all) {
    if (places.empty()) return py::none();
    return py::make_tuple(places.front().x, places.front().y);
  }
  py::list list;
  for (const FoundPoint place : places) list.append(py::make_tuple(place.x, place.y));
  return list;
}

Matches MatchesOf(bool all) { return all ? Matches::kAll : Matches::kFirst; }

std::optional<ColorValue> Pixel(std::int32_t x, std::int32_t y, std::int64_t window,
                                bool throughWindow) {
  const WindowHandle handle = WindowOf(window, 0);
  if (throughWindow && handle == 0) Reject("through_window", "needs window");
  const Where where{.area = std::nullopt,
                    .window = window,
                    .throughWindow = throughWindow,
                    .image = std::nullopt};
  return Run(Request::kPixel, where, "", [&](const BitmapContext& context) {
    return PixelAt(context, x, y, handle, throughWindow);
  });
}

py::bytes GrabBytes(const Where& where, std::int64_t bits) {
  const CaptureSource source = CaptureSourceOf(where);
  if (std::find(std::begin(kGrabDepths), std::end(kGrabDepths), bits) == std::end(kGrabDepths)) {
    Reject("bits=" + std::to_string(bits), "is not one of 1, 4, 8, 16, 24, 32");
  }
  const Bytes bmp = Run(Request::kGrab, where, "", [&](const BitmapContext& context) {
    return Grab(context, source, static_cast<int>(bits));
  });
  if (bmp.empty()) {
    Reject(where.window ? SourceName(where) : "area", "has nothing that could be captured");
  }
  return py::bytes(reinterpret_cast<const char*>(bmp.data()), bmp.size());
}

py::object ColorPlaces(const Color& color, const Where& where, std::int64_t tolerance, bool all) {
  const ColorValue value = ColorOf("color", color);
  const std::int32_t steps = Bounded("tolerance", tolerance, 0, kLargestTolerance);
  const SearchSource source = SearchSourceOf(where);
  const auto places = Run(Request::kColor, where, "color", [&](const BitmapContext& context) {
    return FindColors(context, source, value, steps, MatchesOf(all));
  });
  return Places(places, all);
}

py::object ImagePlaces(const py::buffer& small, const Where& where, bool all) {
  const Bytes smallBmp = BytesOf("small", small);
  const SearchSource source = SearchSourceOf(where);
  const auto places = Run(Request::kImage, where, "small", [&](const BitmapContext& context) {
    return FindImages(context, source, smallBmp, MatchesOf(all));
  });
  return Places(places, all);
}

py::object PatternPlaces(const py::buffer& pattern, const std::optional<Color>& background,
                         std::int64_t tolerance, std::int64_t similarity, const Where& where,
                         bool all) {
  const Bytes patternBmp = BytesOf("pattern", pattern);
  std::optional<ColorValue> backgroundValue;
  if (background) backgroundValue = ColorOf("background", *background);
  const std::int32_t steps = Bounded("tolerance", tolerance, 0, kLargestTolerance);
  const std::int32_t percent = Bounded("similarity", similarity, 0, kLargestSimilarity);
  const SearchSource source = SearchSourceOf(where);
  const auto places = Run(Request::kPattern, where, "pattern", [&](const BitmapContext& context) {
    return FindPatterns(context, source, patternBmp, backgroundValue, steps, percent,
                        MatchesOf(all));
  });
  return Places(places, all);
}

py::object TextPlaces(const std::string& text, const Look& look, std::int64_t tolerance,
                      std::int64_t similarity, const Where& where, bool all) {
  const std::string gbk = Utf8ToGbk(text);
  const TextLook textLook = TextLookOf(look);
  const std::int32_t steps = Bounded("tolerance", tolerance, 0, kLargestTolerance);
  const std::int32_t percent = Bounded("similarity", similarity, 0, kLargestSimilarity);
  const SearchSource source = SearchSourceOf(where);
  const auto places =
      Run(Request::kText, where, "text=" + Shown(py::str(text)), [&](const BitmapContext& context) {
        return FindTexts(context, source, gbk, textLook, steps, percent, MatchesOf(all));
      });
  return Places(places, all);
}

py::object NumberRead(const Look& look, std::int64_t tolerance, std::int64_t similarity,
                      const Where& where) {
  const TextLook textLook = TextLookOf(look);
  const std::int32_t steps = Bounded("tolerance", tolerance, 0, kLargestTolerance);
  const std::int32_t percent = Bounded("similarity", similarity, 0, kLargestSimilarity);
  const SearchSource source = SearchSourceOf(where);
  const std::optional<double> number =
      Run(Request::kNumber, where, "", [&](const BitmapContext& context) {
        return ReadNumber(context, source, textLook, steps, percent);
      });
  if (!number) return py::none();
  // Read from digits, so a whole number, however many digits it has.
  return py::reinterpret_steal<py::object>(PyLong_FromDouble(*number));
}

using Area = std::optional<std::vector<std::int64_t>>;
using Window = std::optional<std::int64_t>;
using ImageBytes = std::optional<py::buffer>;

constexpr const char* kModuleDoc = R"(Qel's searches of the screen, a window or a BMP file.

Colours, pictures, point patterns, texts and numbers are found on the screen of the X display
DISPLAY names, in a window's client area, or in BMP file bytes, with the same meaning and
coordinates as the command-line tool qel-find.

Where to look, as keyword arguments of every search:
  area=(left, top, width, height)  only this rectangle: screen coordinates, or client
      coordinates with window; a width or height of 0 reaches the edge
  window=ID  in this window's client area, in client coordinates (the X window ID)
  through_window=True  read the window's own drawing, even where other windows cover it
  image=BMP  in these BMP file bytes instead (bytes, bytearray, memoryview, a numpy array of
      uint8: anything with the buffer protocol), in the picture's own coordinates
With none of them the whole screen is searched.

Places are (x, y), (0, 0) the top-left pixel. all=False gives the first place or None; all=True
a list of every place, bottom row first, left to right within a row.

Colours are an int, Qel's decimal value R + 256 G + 65536 B, or a str: "#RRGGBB", "RRGGBB", or
the decimal value (six digits alone are read as hex). Every search compares colours in the
standard 256-colour table, so a tolerance counts steps of that table.

Bad input raises ValueError naming the argument; no X display raises OSError. Colour, image and
pattern searches of image= alone need no display. Captures and searches release the GIL; they
run one at a time.)";

}  // namespace
}  // namespace qel::python

PYBIND11_MODULE(qel, module) {
  using namespace qel::python;
  module.doc() = kModuleDoc;

  py::register_exception_translator([](std::exception_ptr exception) {
    try {
      if (exception) std::rethrow_exception(exception);
    } catch (const NoDesktop& error) {
      PyErr_SetString(PyExc_OSError, error.what());
    }
  });

  module.def(
      "pixel",
      [](std::int32_t x, std::int32_t y, std::int64_t window, bool throughWindow) {
        return Pixel(x, y, window, throughWindow);
      },
      py::arg("x"), py::arg("y"), py::arg("window") = 0, py::arg("through_window") = false,
      R"(The colour of the pixel at (x, y) as Qel's decimal value R + 256 G + 65536 B.

(x, y) is on the screen, or in the client area of the window with ID `window`, read through
the window's own drawing with through_window=True. Pixels off the screen read as black, 0; None
when the pixel cannot be read at all.)");

  module.def(
      "grab",
      [](const Area& area, const Window& window, std::int64_t bits, bool throughWindow) {
        return GrabBytes(
            {.area = area, .window = window, .throughWindow = throughWindow, .image = std::nullopt},
            bits);
      },
      py::arg("area") = py::none(), py::arg("window") = py::none(), py::arg("bits") = 24,
      py::kw_only(), py::arg("through_window") = false,
      R"(The screen, a rectangle of it or a window's client area as BMP file bytes.

bits is the file's bits per pixel: 1, 4, 8, 16, 24 or 32. Pixels are captured as the searches
capture them, so a search of the bytes finds what a search of the place finds.)");

  module.def(
      "find_color",
      [](const Color& color, const Area& area, const Window& window, bool throughWindow,
         const ImageBytes& image, std::int64_t tolerance, bool all) {
        return ColorPlaces(
            color, {.area = area, .window = window, .throughWindow = throughWindow, .image = image},
            tolerance, all);
      },
      py::arg("color"), py::kw_only(), py::arg("area") = py::none(), py::arg("window") = py::none(),
      py::arg("through_window") = false, py::arg("image") = py::none(), py::arg("tolerance") = 0,
      py::arg("all") = false,
      R"(Pixels of a colour: (x, y) of the first, None when there is none, or with all=True a
list of every one.

tolerance is how many steps of the 256-colour table a pixel may differ by, 0 to 255.)");

  module.def(
      "find_image",
      [](const py::buffer& small, const Area& area, const Window& window, bool throughWindow,
         const ImageBytes& image, bool all) {
        return ImagePlaces(
            small, {.area = area, .window = window, .throughWindow = throughWindow, .image = image},
            all);
      },
      py::arg("small"), py::kw_only(), py::arg("area") = py::none(), py::arg("window") = py::none(),
      py::arg("through_window") = false, py::arg("image") = py::none(), py::arg("all") = false,
      R"(Places of a smaller picture (BMP file bytes), pixel for pixel.

A place is its centre: width // 2 columns right of its left edge, height // 2 rows above its
bottom row. (x, y) of the first, None when there is none, or with all=True a list.)");

  module.def(
      "find_pattern",
      [](const py::buffer& pattern, const Area& area, const Window& window, bool throughWindow,
         const ImageBytes& image, const std::optional<Color>& background, std::int64_t tolerance,
         std::int64_t similarity, bool all) {
        return PatternPlaces(
            pattern, background, tolerance, similarity,
            {.area = area, .window = window, .throughWindow = throughWindow, .image = image}, all);
      },
      py::arg("pattern"), py::kw_only(), py::arg("area") = py::none(),
      py::arg("window") = py::none(), py::arg("through_window") = false,
      py::arg("image") = py::none(), py::arg("background") = py::none(), py::arg("tolerance") = 0,
      py::arg("similarity") = 0, py::arg("all") = false,
      R"(Places of the pixels of a picture (BMP file bytes) that are not its background colour.

With background=None every pixel of the picture belongs to the pattern. A place is its anchor,
the pattern's first pixel in the search order. tolerance is in steps of the 256-colour table,
0 to 255; similarity the per cent of the pattern's pixels that must match, 0 to 100, 0 meaning
all of them. (x, y) of the first, None when there is none, or with all=True a list.)");

  module.def(
      "find_text",
      [](const std::string& text, const std::string& font, std::int64_t size, bool bold,
         bool italic, const Color& color, std::int64_t tolerance, std::int64_t similarity,
         const Area& area, const Window& window, bool throughWindow, const ImageBytes& image,
         bool all) {
        return TextPlaces(
            text, {font, size, bold, italic, color}, tolerance, similarity,
            {.area = area, .window = window, .throughWindow = throughWindow, .image = image}, all);
      },
      py::arg("text"), py::kw_only(), py::arg("font"), py::arg("size"), py::arg("bold") = false,
      py::arg("italic") = false, py::arg("color"), py::arg("tolerance") = 0,
      py::arg("similarity") = 0, py::arg("area") = py::none(), py::arg("window") = py::none(),
      py::arg("through_window") = false, py::arg("image") = py::none(), py::arg("all") = false,
      R"(Places of a text drawn in a font and colour.

font is the face name (a face the system lacks is replaced by its nearest one), size its size
in points, 1 to 200. Characters outside the GBK code page are looked for as '?'. A place is the
first pixel the text covers in the search order. The text is drawn in the system's fonts, so
this search needs the X display even with image=. tolerance and similarity as for
find_pattern. (x, y) of the first, None when there is none, or with all=True a list.)");

  module.def(
      "read_number",
      [](const std::string& font, std::int64_t size, bool bold, bool italic, const Color& color,
         std::int64_t tolerance, std::int64_t similarity, const Area& area, const Window& window,
         bool throughWindow, const ImageBytes& image) {
        return NumberRead(
            {font, size, bold, italic, color}, tolerance, similarity,
            {.area = area, .window = window, .throughWindow = throughWindow, .image = image});
      },
      py::kw_only(), py::arg("font"), py::arg("size"), py::arg("bold") = false,
      py::arg("italic") = false, py::arg("color"), py::arg("tolerance") = 0,
      py::arg("similarity") = 0, py::arg("area") = py::none(), py::arg("window") = py::none(),
      py::arg("through_window") = false, py::arg("image") = py::none(),
      R"(The number whose digits are drawn in a font and colour, read from left to right, as an
int; None when no digit is there.

Past 15 digits the value is as near as a double comes, and past the largest double (309 digits) it is the largest double. Arguments as for find_text.)");
}
