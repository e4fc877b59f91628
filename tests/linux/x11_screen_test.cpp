// The X11 screen source on a real X server: its display mode, and rectangles it must refuse.
#include "platform/linux/x11_screen.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qel
