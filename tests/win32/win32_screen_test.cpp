// The Win32 screen source on the test's display: the display mode as the system reports it
// elsewhere, the bounds of the virtual screen over every monitor, and rectangles that are not
// wholly on the screen refused untouched.
#include "platform/win32/win32_screen.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

constexpr std::uint32_t kUntouched = 0xA5A5A5A5u;

TEST(Win32Screen, TheDisplayModeIsThePrimaryDisplays) {
  Win32Screen screen;
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  const int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(screen.Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(screen.Height(), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(screen.BitsPerPixel(), bits);
}

struct Rectangle {
  int x, y, width, height;
};

TEST(Win32Screen, RefusesARectangleNotWhollyOnTheScreen) {
  Win32Screen screen;
  const int w = screen.Width();
  const int h = screen.Height();
  ASSERT_GT(w, 2);
  ASSERT_GT(h, 2);
  const Rectangle refused[] = {
      {-1, 0, 2, 2},
      {0, -1, 2, 2},
      {w - 1, 0, 2, 1},
      {0, h - 1, 1, 2},
      {w, 0, 1, 1},
      {0, h, 1, 1},
      {0, 0, 0, 1},
      {0, 0, 1, 0},
      {0, 0, -1, 1},
      {0, 0, w + 1, 1},
      {INT_MAX, 0, 1, 1},
      {0, 0, INT_MAX, 1},
      {1, 1, INT_MAX, INT_MAX},
  };
  for (const Rectangle& r : refused) {
    std::vector<std::uint32_t> pixels(4, kUntouched);
    EXPECT_FALSE(screen.Capture(r.x, r.y, r.width, r.height, pixels.data()))
        << r.x << "," << r.y << " " << r.width << "x" << r.height;
    EXPECT_EQ(pixels, std::vector<std::uint32_t>(4, kUntouched)) << "nothing written";
  }
}

TEST(Win32Screen, TheBoundsAreTheVirtualScreenAndAreReadWhole) {
  Win32Screen screen;
  const WindowRect bounds = screen.Bounds();
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  EXPECT_EQ(bounds, (WindowRect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)}));
  const int w = bounds.right - bounds.left;
  const int h = bounds.bottom - bounds.top;
  ASSERT_GT(w, 2);
  ASSERT_GT(h, 2);
  std::vector<std::uint32_t> whole(static_cast<std::size_t>(w) * h);
  EXPECT_TRUE(screen.Capture(bounds.left, bounds.top, w, h, whole.data()));
  // One pixel past the bounds on each side.
  const Rectangle past[] = {{bounds.left - 1, bounds.top, 1, 1},
                            {bounds.left, bounds.top - 1, 1, 1},
                            {bounds.right, bounds.top, 1, 1},
                            {bounds.left, bounds.bottom, 1, 1}};
  for (const Rectangle& r : past) {
    std::uint32_t pixel = kUntouched;
    EXPECT_FALSE(screen.Capture(r.x, r.y, r.width, r.height, &pixel)) << r.x << "," << r.y;
  }
}

// A monitor left of and above the primary one puts the virtual screen at negative coordinates.
TEST(Win32Screen, ARectangleMustLieInsideBoundsThatMayStartBelowZero) {
  const WindowRect bounds{-1280, -200, 1920, 1080};
  struct Case {
    Rectangle rect;
    bool inside;
  };
  const Case cases[] = {
      {{-1280, -200, 3200, 1280}, true},
      {{-1280, -200, 1, 1}, true},
      {{1919, 1079, 1, 1}, true},
      {{-5, 10, 10, 10}, true},
      {{-1281, 0, 1, 1}, false},
      {{0, -201, 1, 1}, false},
      {{1919, 0, 2, 1}, false},
      {{0, 1079, 1, 2}, false},
      {{-1280, -200, 0, 1}, false},
      {{-1280, -200, 1, -1}, false},
      {{INT_MAX, 0, 1, 1}, false},
      {{-1280, -200, INT_MAX, 1}, false},
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LiesInside(bounds, c.rect.x, c.rect.y, c.rect.width, c.rect.height), c.inside)
        << c.rect.x << "," << c.rect.y << " " << c.rect.width << "x" << c.rect.height;
  }
}

TEST(Win32Screen, ReadsBackWhatIsDrawnUpToTheCornerAfterALargerRead) {
  Win32Screen screen;
  const int w = screen.Width();
  const int h = screen.Height();
  // Six colours drawn straight onto the screen in its bottom-right corner, 0x00RRGGBB.
  const std::uint32_t drawn[2][3] = {{0x102030, 0x405060, 0x708090},
                                     {0xA0B0C0, 0xD0E0F0, 0x0F1E2D}};
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const std::uint32_t rgb = drawn[y][x];
      SetPixelV(dc, w - 3 + x, h - 2 + y, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
  }
  GdiFlush();
  ReleaseDC(nullptr, dc);

  // The whole screen first, so that the corner is read into a bitmap wider than itself.
  std::vector<std::uint32_t> whole(static_cast<std::size_t>(w) * h, kUntouched);
  ASSERT_TRUE(screen.Capture(0, 0, w, h, whole.data()));
  std::vector<std::uint32_t> corner(6, kUntouched);
  ASSERT_TRUE(screen.Capture(w - 3, h - 2, 3, 2, corner.data()));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(corner[static_cast<std::size_t>(y) * 3 + x], drawn[y][x]) << x << "," << y;
      EXPECT_EQ(whole[static_cast<std::size_t>(h - 2 + y) * w + (w - 3 + x)], drawn[y][x])
          << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace qel
