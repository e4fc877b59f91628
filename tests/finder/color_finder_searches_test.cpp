// ColorFinder's walks, "all" searches, point patterns and text, over the fake platform. The fast
// searches underneath are held to their plain forms in their own tests; these check what the
// class adds: loading, cursors, centres, the drawing of text and the reading of numbers.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "platform/fake/fake_system.h"

namespace qel {
namespace {

using Point = ColorFinder::Point;
using Points = std::vector<Point>;

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kGreen = 0x00FF00;
constexpr ColorValue kBlack = 0x000000;
constexpr ColorValue kWhite = 0xFFFFFF;
constexpr ColorValue kBlue = 0xFF0000;

ColorFinder::FontDescription PointSize(std::int32_t size) {
  ColorFinder::FontDescription font;
  font.size = size;
  return font;
}

class ColorFinderSearchTest : public testing::Test {
 protected:
  ColorFinderSearchTest() { ColorFinder::ClearSearchCursors(); }

  // BMP file bytes of rows drawn top-down: 'a' red, 'b' green, 'k' black, anything else white.
  std::vector<std::uint8_t> Image(const std::vector<std::string>& rowsTopDown) {
    ScreenBitmap bitmap(context_);
    const auto width = static_cast<int>(rowsTopDown.front().size());
    EXPECT_TRUE(bitmap.CreateImage(width, static_cast<int>(rowsTopDown.size()), 24));
    for (int y = 0; y < static_cast<int>(rowsTopDown.size()); ++y) {
      for (int x = 0; x < width; ++x) {
        const char mark = rowsTopDown[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        bitmap.WritePixel(x, y,
                          mark == 'a'   ? kRed
                          : mark == 'b' ? kGreen
                          : mark == 'k' ? kBlack
                                        : kWhite);
      }
    }
    return bitmap.FileBytes();
  }

  // A white image with text drawn by the platform's font at (x, y), its cell `cellHeight` high.
  std::vector<std::uint8_t> TextImage(int width, int height, const std::string& text, int x, int y,
                                      int cellHeight, ColorValue color) {
    ScreenBitmap bitmap(context_);
    EXPECT_TRUE(bitmap.CreateImage(width, height, 24));
    gdi_.FillRect(bitmap.MemoryDC(), {0, 0, width, height}, kWhite);
    FontRequest request;
    request.height = cellHeight;
    const GdiHandle font = gdi_.CreateFont(request);
    const GdiHandle previous = gdi_.SelectObject(bitmap.MemoryDC(), font);
    gdi_.SetBkMode(bitmap.MemoryDC(), kTransparent);
    gdi_.SetTextColor(bitmap.MemoryDC(), color);
    EXPECT_TRUE(gdi_.TextOut(bitmap.MemoryDC(), x, y, text));
    gdi_.SelectObject(bitmap.MemoryDC(), previous);
    gdi_.DeleteObject(font);
    EXPECT_TRUE(bitmap.SyncPacked());  // drawn behind the bitmap's back
    return bitmap.FileBytes();
  }

  std::int32_t Index(ColorValue color) { return ColorFinder::ColorToPaletteIndex(context_, color); }

  FakeScreen screen_{32, 16};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
  ColorFinder finder_;
};

TEST_F(ColorFinderSearchTest, FindNextColorWalksThePixelsBottomRowFirstThenStartsOver) {
  const auto image = Image({"a.a", "...", ".a."});
  Points walk{finder_.FindNextColorInImage(context_, image, kRed, true)};
  for (int i = 0; i < 4; ++i)
    walk.push_back(finder_.FindNextColorInImage(context_, {}, kGreen, false));
  EXPECT_EQ(walk, (Points{{1, 2}, {0, 0}, {2, 0}, {-1, -1}, {1, 2}}));

  // A new image goes on from where the walk stands; a restart starts it over.
  EXPECT_EQ(finder_.FindNextColorInImage(context_, Image({"aaa", "aaa", "aaa"}), kGreen, false),
            (Point{2, 2}));
  EXPECT_EQ(finder_.FindNextColorInImage(context_, {}, kRed, true), (Point{0, 2}));
  // The cursor is the module's, not the object's, until the program clears it.
  EXPECT_EQ(ColorFinder().FindNextColorInImage(context_, {}, kRed, false), (Point{1, 2}));
  ColorFinder::ClearSearchCursors();
  EXPECT_EQ(finder_.FindNextColorInImage(context_, {}, kRed, false), (Point{-1, -1}));
  EXPECT_EQ(finder_.FindNextColorInImage(context_, {}, kRed, true), (Point{-1, -1}));
}

TEST_F(ColorFinderSearchTest, FindNextColorNeverStopsInTheRowsPadding) {
  // Black is table index 0, as the padding bytes after each 3-pixel row are.
  const auto image = Image({"...", "..k"});
  EXPECT_EQ(finder_.FindNextColorInImage(context_, image, kBlack, true), (Point{2, 1}));
  EXPECT_EQ(finder_.FindNextColorInImage(context_, {}, kBlack, false), (Point{-1, -1}));
}

TEST_F(ColorFinderSearchTest, AllImagesGivesEveryCentreInSearchOrder) {
  std::vector<Point> found{{9, 9}};
  EXPECT_EQ(finder_.FindAllImagesInImage(context_, Image({"ab.ab", "ab..."}), Image({"ab"}), found),
            3);
  EXPECT_EQ(found, (Points{{1, 1}, {1, 0}, {4, 0}}));
  EXPECT_EQ(finder_.FindAllImagesInImage(context_, Image({"ab"}), Image({"ba"}), found), 0);
  EXPECT_TRUE(found.empty());
}

TEST_F(ColorFinderSearchTest, ImageInAreaIsFoundOnTheScreen) {
  screen_.Fill(0xFFFFFF);
  screen_.SetPixel(20, 9, 0xFF0000);
  screen_.SetPixel(21, 9, 0x00FF00);
  screen_.SetPixel(20, 10, 0x00FF00);
  ColorFinder::SearchArea area{10, 5, 20, 10};
  EXPECT_EQ(finder_.FindImageInArea(context_, 0, Image({"ab", "b."}), area), (Point{11, 4}));
  EXPECT_EQ(finder_.FindImageInArea(context_, 0, Image({"ba"}), area), (Point{-1, -1}));
}

TEST_F(ColorFinderSearchTest, PointPatternsComeFromEveryPixelOffTheBackground) {
  std::vector<PatternPoint> points{{7, 7, 7}};
  std::int32_t background = static_cast<std::int32_t>(kWhite);
  EXPECT_EQ(finder_.BuildPointPattern(context_, Image({"ab", ".a"}), background, points),
            Index(kRed));
  EXPECT_EQ(background, Index(kWhite));
  EXPECT_EQ(points,
            (std::vector<PatternPoint>{{7, 7, 7}, {-1, 1, Index(kRed)}, {0, 1, Index(kGreen)}}));

  std::int32_t none = -1;
  points.clear();
  EXPECT_EQ(finder_.BuildPointPattern(context_, Image({"ab"}), none, points), Index(kRed));
  EXPECT_EQ(points, (std::vector<PatternPoint>{{1, 0, Index(kGreen)}}));

  background = static_cast<std::int32_t>(kWhite);
  EXPECT_EQ(finder_.BuildPointPattern(context_, Image({"..", ".."}), background, points), -1);
  EXPECT_EQ(points.size(), 1u);
  std::int32_t untouched = static_cast<std::int32_t>(kWhite);
  EXPECT_EQ(
      finder_.BuildPointPattern(context_, std::vector<std::uint8_t>(40, 1), untouched, points), -1);
  EXPECT_EQ(untouched, static_cast<std::int32_t>(kWhite));
}

TEST_F(ColorFinderSearchTest, PatternsFromImagesAreWalkedAndCollected) {
  const auto image = Image({"ab.ab", "ab..."});
  const auto pattern = Image({"ab"});
  Points walk{finder_.FindNextPatternInImage(context_, image, pattern, -1, true)};
  for (int i = 0; i < 4; ++i) {
    walk.push_back(finder_.FindNextPatternInImage(context_, {}, {}, -1, false));
  }
  EXPECT_EQ(walk, (Points{{0, 1}, {0, 0}, {3, 0}, {-1, -1}, {0, 1}}));

  Points found;
  EXPECT_EQ(finder_.FindAllPatternsInImage(context_, image, pattern, -1, found), 3);
  EXPECT_EQ(found, (Points{{0, 1}, {0, 0}, {3, 0}}));
}

// A handler run at a hand-off may start a walk of its own; the walk under way still reads its own
// image and pattern to the end (their answers may interfere, their memory may not).
TEST_F(ColorFinderSearchTest, AWalkStartedFromTheHandOffLeavesTheOuterWalksImageAlive) {
  FakeEventPump pump;
  const ColorFinder finder(pump, std::chrono::nanoseconds(0));
  std::vector<std::string> rows(64, "....");
  rows.front() = "..ab";  // the top row, walked last
  const auto image = Image(rows);
  const auto otherImage = Image({"ba", "ba"});
  const auto otherPattern = Image({"ba"});
  Point inner;
  pump.onHandOff = [&] {
    if (pump.handOffs != 1) return;
    inner = finder.FindNextPatternInImage(context_, otherImage, otherPattern, -1, true);
  };
  EXPECT_EQ(finder.FindNextPatternInImage(context_, image, Image({"ab"}), -1, true), (Point{2, 0}));
  EXPECT_GE(pump.handOffs, 1);
  EXPECT_EQ(inner, (Point{0, 1}));
}

TEST_F(ColorFinderSearchTest, TextIsDrawnAtTheCellHeightOfItsPointSize) {
  // 12 points at 96 dots per inch: a 16-pixel cell, and 16 x 1 / 2 columns for one byte. The fake
  // font draws "A" (bits 0 and 6) as a bar in column 1 and two 2-row bands across columns 2 to 7,
  // rows 0-1 and 12-13: the anchor is the bar's foot.
  finder_.SetTextStyle("A", static_cast<std::int32_t>(kBlue), PointSize(12));
  const TextPattern pattern = finder_.TextToPointPattern(context_);
  EXPECT_EQ(pattern.width, 8);
  EXPECT_EQ(pattern.height, 16);
  EXPECT_EQ(pattern.anchorX, 1);
  EXPECT_EQ(pattern.anchorY, 15);
  EXPECT_EQ(pattern.drawn.size(), 16u + 2u * 2u * 6u - 1u);
  EXPECT_EQ(pattern.undrawn.size(), 8u * 16u - 2u - pattern.drawn.size());
  EXPECT_EQ(pattern.drawn.front(), (PixelOffset{0, 1}));

  finder_.SetTextStyle("", static_cast<std::int32_t>(kBlue), PointSize(12));
  EXPECT_TRUE(finder_.TextToPointPattern(context_).drawn.empty());
}

TEST_F(ColorFinderSearchTest, TextIsFoundAtItsAnchorAndNumbersAreReadLeftToRight) {
  const auto image = TextImage(60, 30, "AB", 5, 7, 16, kBlue);
  finder_.SetTextStyle("AB", static_cast<std::int32_t>(kBlue), PointSize(12));
  EXPECT_EQ(finder_.FindTextInImage(context_, image), (Point{5 + 1, 7 + 15}));
  finder_.SetTextStyle("BA", static_cast<std::int32_t>(kBlue), PointSize(12));
  EXPECT_EQ(finder_.FindTextInImage(context_, image), (Point{-1, -1}));
  finder_.SetTextStyle("AB", static_cast<std::int32_t>(kRed), PointSize(12));
  EXPECT_EQ(finder_.FindTextInImage(context_, image), (Point{-1, -1}));

  const ColorFinder::FontDescription font = PointSize(12);
  EXPECT_EQ(
      finder_.ReadNumberInImage(context_, TextImage(80, 30, "4071", 3, 4, 16, kBlue), kBlue, font),
      4071);
  EXPECT_EQ(
      finder_.ReadNumberInImage(context_, TextImage(80, 30, "1 8", 3, 4, 16, kBlue), kBlue, font),
      18);
  EXPECT_EQ(
      finder_.ReadNumberInImage(context_, TextImage(80, 30, "abc", 3, 4, 16, kBlue), kBlue, font),
      -1);
  EXPECT_EQ(finder_.Style().text, "9");

  // Past the largest double, as a full screen of small digits is, the largest double.
  std::string digits;
  for (int i = 0; i < 80; ++i) digits += "4071";
  EXPECT_EQ(finder_.ReadNumberInImage(context_, TextImage(2600, 24, digits, 3, 4, 16, kBlue), kBlue,
                                      font),
            std::numeric_limits<double>::max());
}

TEST(EventHandOffTest, HandsOffEverySixteenPollsOnceTheIntervalHasPassed) {
  FakeEventPump pump;
  EventHandOff immediate(pump, std::chrono::nanoseconds(0));
  for (int i = 0; i < 40; ++i) immediate.Poll();
  EXPECT_EQ(pump.handOffs, 2);

  EventHandOff hourly(pump, std::chrono::hours(1));
  for (int i = 0; i < 1000; ++i) hourly.Poll();
  EXPECT_EQ(pump.handOffs, 2);
}

}  // namespace
}  // namespace qel
