#include "finder/color_finder.h"
#include "bitmap/software_gdi.h"

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

class GetPixelColorTest : public testing::Test {
 protected:
  GetPixelColorTest() {
    for (int y = 0; y < screen_.Height(); ++y) {
      for (int x = 0; x < screen_.Width(); ++x) {
        screen_.SetPixel(x, y,
                         static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8);
      }
    }
    // Covered: the screen at its client area shows the pattern, not its own colour.
    window_ = desktop_.Add({.rect = {10, 5, 30, 25},
                            .frameLeft = 2,
                            .frameTop = 6,
                            .frameRight = 2,
                            .frameBottom = 2,
                            .clientRgb = 0xABCDEF});
  }

  // The pattern's colour at a screen point, as a ColorValue: red = x, green = y.
  static ColorValue PatternAt(int x, int y) {
    return static_cast<ColorValue>(x) | static_cast<ColorValue>(y) << 8;
  }

  FakeScreen screen_{64, 48};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
  ColorFinder finder_;
  WindowHandle window_ = 0;
};

TEST_F(GetPixelColorTest, WithoutAWindowReadsTheScreenPointExactly) {
  for (const auto& [x, y] :
       {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 1}, std::pair{17, 9}, std::pair{63, 47}}) {
    EXPECT_EQ(finder_.GetPixelColor(context_, 0, x, y), PatternAt(x, y)) << x << "," << y;
  }
}

TEST_F(GetPixelColorTest, ChannelsLandRedLowBlueHigh) {
  struct Case {
    std::uint32_t screenRgb;
    ColorValue want;
  };
  for (const Case c : {Case{0x123400, 0x003412}, Case{0xFAFAFF, 16775930}, Case{0x000000, 0x000000},
                       Case{0xFFFFFF, 0xFFFFFF}}) {
    screen_.SetPixel(3, 4, c.screenRgb);
    EXPECT_EQ(finder_.GetPixelColor(context_, 0, 3, 4), c.want) << std::hex << c.screenRgb;
  }
}

TEST_F(GetPixelColorTest, OffTheScreenIsBlack) {
  for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{0, 48}, std::pair{INT_MIN, INT_MAX}}) {
    EXPECT_EQ(finder_.GetPixelColor(context_, 0, x, y), 0u) << x << "," << y;
  }
  EXPECT_EQ(finder_.GetPixelColor(context_, window_, INT_MAX, INT_MAX), 0u);
}

TEST_F(GetPixelColorTest, AWindowsPointIsReadFromTheScreenUnlessItDrawsItself) {
  const int originX = 12;
  const int originY = 11;
  EXPECT_EQ(finder_.GetPixelColor(context_, window_, 0, 0), PatternAt(originX, originY));
  EXPECT_EQ(finder_.GetPixelColor(context_, window_, 3, 2), PatternAt(originX + 3, originY + 2));
  EXPECT_EQ(finder_.GetPixelColor(context_, window_, -1, -1), PatternAt(originX - 1, originY - 1));

  EXPECT_EQ(finder_.GetPixelColor(context_, window_, 0, 0, true), 0xEFCDABu);
  EXPECT_EQ(finder_.GetPixelColor(context_, window_, 15, 11, true), 0xEFCDABu);
}

TEST_F(GetPixelColorTest, UnreadablePixelsAreInvalid) {
  struct Case {
    const char* name;
    void (*spoil)(FakeWindow&, FakeScreen&);
    bool fromWindow;
  };
  for (const Case& c : {
           Case{"minimised", [](FakeWindow&w, FakeScreen&) { w.iconic = true; }, true},
           Case{"invisible", [](FakeWindow&w, FakeScreen&) { w.visible = false; }, true},
           Case{"cannot print", [](FakeWindow&w, FakeScreen&) { w.canPrint = false; }, true},
           Case{"screen locked", [](FakeWindow&, FakeScreen&s) { s.failing = true; }, false},
       }) {
    const FakeWindow saved = desktop_.Window(window_);
    c.spoil(desktop_.Window(window_), screen_);
    EXPECT_EQ(finder_.GetPixelColor(context_, window_, 1, 1, c.fromWindow), kClrInvalid) << c.name;
    desktop_.Window(window_) = saved;
    screen_.failing = false;
  }
  EXPECT_EQ(finder_.GetPixelColor(context_, 0x7777, 1, 1, true), kClrInvalid) << "not a window";
}

TEST(ColorFinderHelpersTest, MakeRectAddsTheSizeAndStopsAtTheRangesEdges) {
  struct Case {
    std::int32_t left, top, width, height;
    GdiRect want;
  };
  for (const Case c : {Case{0, 0, 0, 0, {0, 0, 0, 0}}, Case{10, 20, 30, 40, {10, 20, 40, 60}},
                       Case{-5, 7, 3, -9, {-5, 7, -2, -2}},
                       Case{INT_MAX, INT_MIN, 1, -1, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}}}) {
    const GdiRect rect = ColorFinder::MakeRect(c.left, c.top, c.width, c.height);
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right, rect.bottom}),
              (std::array{c.want.left, c.want.top, c.want.right, c.want.bottom}))
        << c.left << "," << c.top << " " << c.width << "x" << c.height;
  }
}

TEST(ColorFinderHelpersTest, SetTextStyleCopiesTheFontAndWeighsBoldAs700) {
  ColorFinder finder;
  finder.SetTextStyle("\xB2\xE2", 0x0000FF, {.bold = 1, .italic = 1, .size = 12, .face = "Sans"});
  EXPECT_EQ(finder.Style().text, "\xB2\xE2");
  EXPECT_EQ(finder.Style().weight, 700);
  EXPECT_EQ(finder.Style().italic, 1);
  EXPECT_EQ(finder.Style().size, 12);
  EXPECT_EQ(finder.Style().face, "Sans");
  finder.SetTextStyle("", 7, {.bold = 0, .strikeOut = 1, .underline = 1, .face = ""});
  EXPECT_EQ(finder.Style().weight, 400);
  EXPECT_EQ(finder.Style().italic, 0) << "every field replaced";
  EXPECT_EQ(finder.Style().strikeOut, 1);
  EXPECT_EQ(finder.Style().underline, 1);
  EXPECT_EQ(finder.Style().color, 7);
  EXPECT_TRUE(finder.Style().text.empty());
}

class PaletteHelpersTest : public GetPixelColorTest {};

TEST_F(PaletteHelpersTest, ColoursGetTheIndexTheRuleGives) {
  const std::vector<RgbQuad> table = testing_palettes::Table256();
  for (const ColorValue color : {0x000000u, 0xFFFFFFu, 0xC0DCC0u, 0xF0CAA6u, 0x123456u, 0x808080u,
                                 0x0000FFu, 0xFEFEFEu, 0x7F7F7Fu}) {
    const auto want =
        static_cast<std::int32_t>(testing_palettes::NearestByBruteForce(table, color));
    EXPECT_EQ(ColorFinder::ColorToPaletteIndex(context_, color), want) << std::hex << color;
    EXPECT_EQ(ColorFinder::ColorToPaletteBytes(context_, color),
              std::vector<std::uint8_t>{static_cast<std::uint8_t>(want)});
  }
}

TEST_F(PaletteHelpersTest, ImagePaletteRowsAreTheImagesIndicesBottomRowFirst) {
  ScreenBitmap image(context_);
  ASSERT_TRUE(image.CaptureScreen(3, 2, 5, 2, 24));
  const std::vector<std::uint8_t> rows = ColorFinder::ImagePaletteRows(context_, image.FileBytes());
  ASSERT_EQ(rows.size(), 16u) << "two rows of 5 bytes, each padded to 8";
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(rows[static_cast<std::size_t>((1 - y) * 8 + x)],
                ColorFinder::ColorToPaletteIndex(context_, PatternAt(3 + x, 2 + y)))
          << x << "," << y;
    }
  }
  EXPECT_TRUE(ColorFinder::ImagePaletteRows(context_, std::vector<std::uint8_t>(60, 7)).empty());
}

class FindColorInAreaTest : public testing::Test {
 protected:
  FindColorInAreaTest() {
    screen_.Fill(0x808080);
    screen_.SetPixel(5, 2, 0xFF0000);
    screen_.SetPixel(3, 6, 0xFF0000);
  }

  static constexpr ColorValue kRed = 0x0000FF;
  static constexpr ColorValue kGreen = 0x00FF00;  // the table entry next to red's
  FakeScreen screen_{16, 8};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
  ColorFinder finder_;
};

TEST_F(FindColorInAreaTest, FindsTheLowestThenLeftmostPixelWithinTolerance) {
  struct Case {
    std::string name;
    ColorFinder::SearchArea area;
    ColorValue color;
    std::int32_t tolerance;
    ColorFinder::Point want;
  };
  for (const Case& c : {
           Case{"lowest first", {0, 0, 16, 8}, kRed, 0, {3, 6}},
           Case{"relative to the area", {4, 0, 10, 5}, kRed, 0, {1, 2}},
           Case{"one index step away", {0, 0, 16, 8}, kGreen, 1, {3, 6}},
           Case{"not there", {0, 0, 16, 8}, kGreen, 0, {-1, -1}},
           Case{"black only in the rows' padding", {0, 0, 5, 8}, 0x000000, 0, {-1, -1}},
           Case{"area off the screen reads black", {14, 0, 4, 1}, 0x000000, 0, {2, 0}},
       }) {
    ColorFinder::SearchArea area = c.area;
    EXPECT_EQ(finder_.FindColorInArea(context_, 0, c.color, area, c.tolerance), c.want) << c.name;
  }
}

TEST_F(FindColorInAreaTest, AWindowsAreaIsCutToItsClientAreaAndWrittenBack) {
  const WindowHandle window =
      desktop_.Add({.rect = {1, 1, 9, 8}, .frameLeft = 1, .frameTop = 1, .clientRgb = 0xFF0000});
  ColorFinder::SearchArea area{2, 1, 0, 40};  // client (2, 1) is screen (4, 3)
  EXPECT_EQ(finder_.FindColorInArea(context_, window, kRed, area), (ColorFinder::Point{-1, -1}))
      << "the screen shows grey there";
  EXPECT_EQ(area.width, 5);
  EXPECT_EQ(area.height, 5);
  area = {0, 0, 7, 7};
  EXPECT_EQ(finder_.FindColorInArea(context_, window, kRed, area), (ColorFinder::Point{1, 4}))
      << "screen (3, 6), below screen (5, 2)";

  area = {0, 0, 3, 2};
  EXPECT_EQ(finder_.FindColorInArea(context_, window, kRed, area, 0, true),
            (ColorFinder::Point{0, 1}))
      << "through the window's own drawing";
  EXPECT_EQ(finder_.FindColorInArea(context_, 0x7777, kRed, area), (ColorFinder::Point{-1, -1}));
}

// Images drawn pixel by pixel in colours whose table indices differ: 1 background, 2 to 4 marks.
class FindImageInImageTest : public FindColorInAreaTest {
 protected:
  std::vector<std::uint8_t> Image(const std::vector<std::string>& rowsTopDown) {
    ScreenBitmap bitmap(context_);
    const auto width = static_cast<int>(rowsTopDown.front().size());
    EXPECT_TRUE(bitmap.CreateImage(width, static_cast<int>(rowsTopDown.size()), 24));
    for (int y = 0; y < static_cast<int>(rowsTopDown.size()); ++y) {
      for (int x = 0; x < width; ++x) {
        const char mark = rowsTopDown[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        bitmap.WritePixel(x, y, mark == 'a' ? 0x0000FF : mark == 'b' ? 0x00FF00 : 0xFFFFFF);
      }
    }
    return bitmap.FileBytes();
  }
};

TEST_F(FindImageInImageTest, TheCentreOfTheLowestLeftmostPlaceWhollyInside) {
  struct Case {
    std::string name;
    std::vector<std::string> large, small;
    ColorFinder::Point want;
  };
  for (const Case& c : {
           Case{"lowest of two", {"ab...", ".....", "...ab"}, {"ab"}, {4, 2}},
           Case{"two rows", {".....", ".ab..", ".ba.."}, {"ab", "ba"}, {2, 1}},
           Case{"leftmost of equally low", {"ab.ab"}, {"ab"}, {1, 0}},
           Case{"across a row's end is no place", {"b...", "...a"}, {"ab"}, {-1, -1}},
           Case{"three by three, centred",
                {"......", ".aba..", ".bab..", ".aba.."},
                {"aba", "bab", "aba"},
                {2, 2}},
           Case{"larger than the image", {"ab"}, {"abb"}, {-1, -1}},
           Case{"not there", {"aaaa", "aaaa"}, {"b"}, {-1, -1}},
       }) {
    EXPECT_EQ(finder_.FindImageInImage(context_, Image(c.large), Image(c.small)), c.want) << c.name;
  }
  const std::vector<std::uint8_t> garbage(80, 3);
  EXPECT_EQ(finder_.FindImageInImage(context_, garbage, Image({"a"})),
            (ColorFinder::Point{-1, -1}));
  EXPECT_EQ(finder_.FindImageInImage(context_, Image({"a"}), garbage),
            (ColorFinder::Point{-1, -1}));
}

}  // namespace
}  // namespace qel
