// The searches for scripts over a desktop in memory: every search from every kind of source gives
// the library's places in the library's order, in the coordinates of its source, and the first
// place alone is the first of all of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap/clip_run.h"
#include "qel/desktop.h"
#include "qel/searches.h"

namespace qel {
namespace {

using Points = std::vector<FoundPoint>;
using Bytes = std::vector<std::uint8_t>;

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kGreen = 0x00FF00;
constexpr ColorValue kBlue = 0xFF0000;
constexpr int kClientWidth = 44;
constexpr int kClientHeight = 36;
// Where the window's client area lies on the screen.
constexpr FoundPoint kClientOrigin{14, 9};
// A red-green square, placed twice, and the digit 7 in blue, drawn twice in a font 8 pixels high
// (6 points at 96 dots per inch).
constexpr FoundPoint kSquares[] = {{30, 5}, {3, 20}};
constexpr FoundPoint kSevens[] = {{10, 2}, {22, 24}};
const TextLook kSevenLook{.face = "", .size = 6, .color = kBlue};

// BMP file bytes of colour rows, top row first.
Bytes Image(const BitmapContext& context, const std::vector<std::vector<ColorValue>>& rows) {
  ScreenBitmap bitmap(context);
  EXPECT_TRUE(
      bitmap.CreateImage(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 24));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      bitmap.WritePixel(static_cast<int>(x), static_cast<int>(y), rows[y][x]);
    }
  }
  return bitmap.FileBytes();
}

// A black screen with a window whose client area shows the squares and sevens; the window's own
// drawing is plain blue.
struct Scene {
  Scene() {
    window = desktop.Windows().Add(
        {.rect = {12, 6, 12 + 2 + kClientWidth + 1, 6 + 3 + kClientHeight + 1},
         .frameLeft = 2,
         .frameTop = 3,
         .frameRight = 1,
         .frameBottom = 1,
         .clientRgb = 0x0000FF});
    ScreenBitmap client(Context());
    EXPECT_TRUE(client.CreateImage(kClientWidth, kClientHeight, 24));
    for (const FoundPoint at : kSquares) {
      client.WritePixel(at.x, at.y, kRed);
      client.WritePixel(at.x + 1, at.y, kGreen);
      client.WritePixel(at.x, at.y + 1, kGreen);
      client.WritePixel(at.x + 1, at.y + 1, kRed);
    }
    Gdi& gdi = Context().gdi;
    FontRequest request;
    request.height = 8;
    const GdiHandle font = gdi.CreateFont(request);
    const GdiHandle previous = gdi.SelectObject(client.MemoryDC(), font);
    gdi.SetBkMode(client.MemoryDC(), kTransparent);
    gdi.SetTextColor(client.MemoryDC(), kBlue);
    for (const FoundPoint at : kSevens)
      EXPECT_TRUE(gdi.TextOut(client.MemoryDC(), at.x, at.y, "7"));
    gdi.SelectObject(client.MemoryDC(), previous);
    gdi.DeleteObject(font);
    EXPECT_TRUE(client.SyncPacked());
    for (int y = 0; y < kClientHeight; ++y) {
      for (int x = 0; x < kClientWidth; ++x) {
        desktop.Screen().SetPixel(kClientOrigin.x + x, kClientOrigin.y + y,
                                  SwapRedAndBlue(client.ReadPixel(x, y)));
      }
    }
    square = Image(Context(), {{kRed, kGreen}, {kGreen, kRed}});
  }
  const BitmapContext& Context() const { return desktop.Context(); }

  InMemoryDesktop desktop{80, 60};
  WindowHandle window = 0;
  Bytes square;
};

// Each search's places in the client area, in the order the library finds them: the bottom row
// first. An image's place is its centre, a pattern's and a text's their first pixel in that order.
struct SearchCase {
  const char* name;
  Points places;
  Points (*search)(const Scene&, const SearchSource&, Matches);
};

const SearchCase kSearches[] = {
    {"colour",
     {{4, 21}, {3, 20}, {31, 6}, {30, 5}},
     [](const Scene& scene, const SearchSource& source, Matches matches) {
       return FindColors(scene.Context(), source, kRed, 0, matches);
     }},
    {"image",
     {{4, 20}, {31, 5}},
     [](const Scene& scene, const SearchSource& source, Matches matches) {
       return FindImages(scene.Context(), source, scene.square, matches);
     }},
    {"pattern",
     {{3, 21}, {30, 6}},
     [](const Scene& scene, const SearchSource& source, Matches matches) {
       return FindPatterns(scene.Context(), source, scene.square, 0x000000, 0, 0, matches);
     }},
    {"text",
     {{23, 31}, {11, 9}},
     [](const Scene& scene, const SearchSource& source, Matches matches) {
       return FindTexts(scene.Context(), source, "7", kSevenLook, 0, 0, matches);
     }},
};

// A source, where the client area's (0, 0) lies in its answers, and how many of the client area's
// rows from the top it shows.
struct SourceCase {
  const char* name;
  SearchSource source;
  FoundPoint clientOrigin;
  int rows;
  int digits;  // the number it reads
};

std::vector<SourceCase> Sources(const Scene& scene) {
  const Bytes grabbed = Grab(scene.Context(), WindowArea{.window = scene.window}, 24);
  return {
      {"whole screen", ScreenArea{}, kClientOrigin, kClientHeight, 77},
      {"screen to its edges", ScreenArea{10, 5, 0, 0}, kClientOrigin, kClientHeight, 77},
      {"top of the screen", ScreenArea{0, 0, 80, kClientOrigin.y + 20}, kClientOrigin, 20, 7},
      {"window", WindowArea{.window = scene.window}, {0, 0}, kClientHeight, 77},
      {"window cut to its client area",
       WindowArea{.window = scene.window, .left = 2, .top = 1, .width = 500, .height = 500},
       {0, 0},
       kClientHeight,
       77},
      {"top of the window", WindowArea{.window = scene.window, .height = 20}, {0, 0}, 20, 7},
      {"grabbed file", ImageFile{grabbed}, {0, 0}, kClientHeight, 77},
  };
}

TEST(SearchesTest, EverySourceGivesTheLibrarysPlacesInItsOwnCoordinates) {
  const Scene scene;
  for (const SourceCase& source : Sources(scene)) {
    for (const SearchCase& search : kSearches) {
      SCOPED_TRACE(std::string(search.name) + " in " + source.name);
      Points expected;
      for (const FoundPoint place : search.places) {
        if (place.y >= source.rows) continue;
        expected.push_back({place.x + source.clientOrigin.x, place.y + source.clientOrigin.y});
      }
      EXPECT_EQ(search.search(scene, source.source, Matches::kAll), expected);
      EXPECT_EQ(search.search(scene, source.source, Matches::kFirst), Points{expected.front()});
    }
    EXPECT_EQ(ReadNumber(scene.Context(), source.source, kSevenLook, 0, 0), source.digits)
        << source.name;
  }
}

TEST(SearchesTest, NothingFoundIsAnEmptyAnswer) {
  const Scene scene;
  const Bytes white = Image(scene.Context(), {{0xFFFFFF}});
  for (const SourceCase& source : Sources(scene)) {
    for (const Matches matches : {Matches::kFirst, Matches::kAll}) {
      EXPECT_EQ(FindColors(scene.Context(), source.source, 0xFFFFFF, 0, matches), Points{})
          << source.name;
      EXPECT_EQ(FindImages(scene.Context(), source.source, white, matches), Points{})
          << source.name;
    }
  }
  EXPECT_EQ(ReadNumber(scene.Context(), ImageFile{white}, kSevenLook, 0, 0), std::nullopt);
}

TEST(SearchesTest, AWindowAreaEndsAtTheClientAreasEdges) {
  Scene scene;
  scene.desktop.Screen().SetPixel(kClientOrigin.x + kClientWidth, kClientOrigin.y + 30, 0xFFFFFF);
  scene.desktop.Screen().SetPixel(kClientOrigin.x + 5, kClientOrigin.y + kClientHeight, 0xFFFFFF);
  const WindowArea beyond{.window = scene.window, .left = 2, .top = 1, .width = 500, .height = 500};
  EXPECT_EQ(FindColors(scene.Context(), beyond, 0xFFFFFF, 0, Matches::kAll), Points{});
  EXPECT_EQ(FindColors(scene.Context(), ScreenArea{}, 0xFFFFFF, 0, Matches::kAll).size(), 2u);
}

TEST(SearchesTest, AWindowsOwnDrawingIsSearchedInClientCoordinates) {
  const Scene scene;
  const WindowArea area{
      .window = scene.window, .left = 2, .top = 1, .width = 3, .height = 2, .throughWindow = true};
  EXPECT_EQ(FindColors(scene.Context(), area, kBlue, 0, Matches::kAll),
            (Points{{2, 2}, {3, 2}, {4, 2}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(FindColors(scene.Context(), area, kBlue, 0, Matches::kFirst), (Points{{2, 2}}));
  EXPECT_EQ(PixelAt(scene.Context(), 3, 20, scene.window, true), kBlue);
  EXPECT_EQ(PixelAt(scene.Context(), 3, 20, scene.window), kRed);
  EXPECT_EQ(PixelAt(scene.Context(), kClientOrigin.x + 4, kClientOrigin.y + 20), kGreen);
}

TEST(SearchesTest, InputsThatCannotBeSearchedAreNamed) {
  const Scene scene;
  const BitmapContext& context = scene.Context();
  const Bytes notBmp{'B', 'M', 1, 2, 3};
  const Bytes allBlack = Image(context, {{0, 0}});
  const auto kSource = SearchInputError::Input::kSource;
  const auto kTarget = SearchInputError::Input::kTarget;
  const struct {
    const char* name;
    SearchInputError::Input input;
    void (*call)(const BitmapContext&, const Scene&, const Bytes&, const Bytes&);
  } cases[] = {
      {"file not a BMP", kSource,
       [](const BitmapContext& c, const Scene&, const Bytes& bad, const Bytes&) {
         FindColors(c, ImageFile{bad}, kRed, 0, Matches::kAll);
       }},
      {"image looked for not a BMP", kTarget,
       [](const BitmapContext& c, const Scene&, const Bytes& bad, const Bytes&) {
         FindImages(c, ScreenArea{}, bad, Matches::kFirst);
       }},
      {"no such window", kSource,
       [](const BitmapContext& c, const Scene&, const Bytes&, const Bytes&) {
         FindTexts(c, WindowArea{.window = 0x7777}, "7", kSevenLook, 0, 0, Matches::kFirst);
       }},
      {"pixel of no window", kSource,
       [](const BitmapContext& c, const Scene&, const Bytes&, const Bytes&) {
         PixelAt(c, 0, 0, 0x7777);
       }},
      {"pattern all background", kTarget,
       [](const BitmapContext& c, const Scene& s, const Bytes&, const Bytes& black) {
         FindPatterns(c, ImageFile{s.square}, black, 0x000000, 0, 0, Matches::kAll);
       }},
      {"pattern of one pixel unlike the background", kTarget,
       [](const BitmapContext& c, const Scene& s, const Bytes&, const Bytes&) {
         FindPatterns(c, ImageFile{s.square}, Image(c, {{0x000000, kRed, 0x000000}}), 0x000000, 0,
                      0, Matches::kFirst);
       }},
      {"text drawing nothing", kTarget,
       [](const BitmapContext& c, const Scene&, const Bytes&, const Bytes&) {
         FindTexts(c, ScreenArea{}, "", kSevenLook, 0, 0, Matches::kAll);
       }},
  };
  for (const auto& test : cases) {
    try {
      test.call(context, scene, notBmp, allBlack);
      ADD_FAILURE() << test.name << ": no error";
    } catch (const SearchInputError& error) {
      EXPECT_EQ(error.Which(), test.input) << test.name;
    }
  }
}

TEST(SearchesTest, GrabGivesTheSourceAtTheDepthAsked) {
  const Scene scene;
  ScreenBitmap grabbed(scene.Context());
  ASSERT_TRUE(grabbed.LoadBmpBytes(Grab(scene.Context(), ScreenArea{14, 9, 10, 0}, 8)));
  EXPECT_EQ(grabbed.BitCount(), 8);
  EXPECT_EQ(grabbed.Width(), 10);
  EXPECT_EQ(grabbed.Height(), 60 - 9);
  EXPECT_EQ(grabbed.ReadPixel(3, 21), kGreen);
}

TEST(SearchesTest, ScriptColoursAreHexWithOrWithoutAMarkOrDecimalValues) {
  const struct {
    const char* text;
    std::optional<ColorValue> color;
  } cases[] = {
      {"#FF0000", 0x0000FF},
      {"#00ff80", 0x80FF00},
      {"0000FF", 0xFF0000},
      {"123456", 0x563412},
      {"255", 0x0000FF},
      {"0", 0},
      {"16777215", 0xFFFFFF},
      {"0255255", 0x03E517},
      {"00000000000255", 0xFF},
      {"16777216", {}},
      {"99999999999999999999", {}},
      {"#FFF", {}},
      {"#FF00001", {}},
      {"FF00", {}},
      {"12345G", {}},
      {"#", {}},
      {"", {}},
      {"-1", {}},
      {"+255", {}},
      {" 255", {}},
      {"0x00FF00", {}},
      {"#-12345", {}},
      {"25.5", {}},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ParseScriptColor(test.text), test.color) << '"' << test.text << '"';
  }
  EXPECT_EQ(FormatScriptColor(0x80FF00), "#00FF80");
  EXPECT_EQ(FormatScriptColor(*ParseScriptColor("#0A0B0C")), "#0A0B0C");
}

}  // namespace
}  // namespace qel
