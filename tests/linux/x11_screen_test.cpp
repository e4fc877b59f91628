// The X11 screen source on a real X server: its display mode, the fast path for large reads, and
// rectangles it must refuse. What it reads is checked in the backend contract suite.
#include "platform/linux/x11_screen.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace qel
