// The Win32 screen source on the test's display: the display mode as the system reports it
// elsewhere, and rectangles that are not wholly on the screen refused untouched.
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
