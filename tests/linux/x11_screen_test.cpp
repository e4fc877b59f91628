// The X11 screen source on a real X server: its display mode, the fast path for large reads, and
// rectangles it must refuse. What it reads is checked in the backend contract suite.
#include "platform/linux/x11_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "tests/support/xvfb.h"

// Last: its macros would rename names in the headers above.
#include <X11/Xlib.h>

namespace qel {
namespace {

TEST(X11Screen, ReportsTheDisplayModeAndRefusesRectanglesOffTheScreen) {
  X11Screen screen;
  EXPECT_EQ(screen.Width(), 1920);
  EXPECT_EQ(screen.Height(), 1080);
  EXPECT_EQ(screen.BitsPerPixel(), 32);
  std::uint32_t pixel = 0;
  EXPECT_FALSE(screen.Capture(-1, 0, 1, 1, &pixel));
  EXPECT_FALSE(screen.Capture(1920, 0, 1, 1, &pixel));
  EXPECT_FALSE(screen.Capture(0, 1079, 1, 2, &pixel));
  EXPECT_FALSE(screen.Capture(0, 0, 0, 1, &pixel));
}

TEST(X11Screen, LargeReadsGoThroughSharedMemory) {
  X11Screen screen;
  std::vector<std::uint32_t> pixels(200 * 150);
  ASSERT_TRUE(screen.Capture(10, 10, 200, 150, pixels.data()));
  EXPECT_TRUE(screen.UsesSharedMemory())
      << "the server offers MIT-SHM; a plain read is 200 times slower";
}

// Servers whose depth no DIB has: a capture at the screen's depth is made at the nearest one a DIB
// has, and reads the screen's colours.
TEST(X11Screen, ServersOfDepthsNoDibHasAreCapturedAtTheNearestOne) {
  const std::string ownDisplay = std::getenv("DISPLAY");
  for (const auto& [depth, dibDepth] : {std::pair{15, 16}, std::pair{16, 16}, std::pair{30, 32}}) {
    SCOPED_TRACE(depth);
    {
      const test::Xvfb server("64x48x" + std::to_string(depth));
      Display* display = XOpenDisplay(nullptr);
      ASSERT_NE(display, nullptr);
      const int screenNumber = DefaultScreen(display);
      const Visual* visual = DefaultVisual(display, screenNumber);
      const GC gc = DefaultGC(display, screenNumber);
      XSetForeground(display, gc, visual->red_mask | visual->blue_mask);  // magenta at any depth
      XFillRectangle(display, RootWindow(display, screenNumber), gc, 0, 0, 64, 48);
      XSync(display, False);

      X11Screen screen;
      EXPECT_EQ(screen.BitsPerPixel(), dibDepth);
      FakeDesktop desktop;
      FakeImageServices images;
      SoftwareGdi gdi(screen, desktop, images);
      ScreenBitmap bitmap({gdi, screen, desktop});
      ASSERT_TRUE(bitmap.CaptureScreen(2, 3, 5, 4));
      EXPECT_EQ(bitmap.BitCount(), dibDepth);
      EXPECT_EQ(bitmap.ReadPixel(4, 2), ColorValue{0xFF00FF});
      XCloseDisplay(display);
    }
    setenv("DISPLAY", ownDisplay.c_str(), 1);
  }
}

}  // namespace
}  // namespace qel
