// Drawing into a window's client area on a real X server: the pixels land as given, clipped to the
// client area, and nothing outside it changes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "tests/support/x11_client.h"

namespace qel {
namespace {

class DrawToWindowTest : public testing::Test {
 protected:
  test::X11Client x11;
  X11Desktop desktop;
  X11Screen screen;

  std::vector<std::uint32_t> Capture(int x, int y, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    EXPECT_TRUE(screen.Capture(x, y, width, height, pixels.data()));
    return pixels;
  }
};

TEST_F(DrawToWindowTest, PixelsLandInTheClientAreaClippedToIt) {
  struct Case {
    const char* name;
    int x, y;
  };
  const Case cases[] = {
      {"inside", 5, 4},
      {"over the right and bottom edges", 35, 26},
      {"over the left and top edges", -4, -3},
      {"wholly outside", 50, 0},
  };
  constexpr int kW = 10, kH = 8, kWindowW = 40, kWindowH = 30, kMargin = 12;
  constexpr std::uint32_t kFill = 0x808080;
  std::vector<std::uint32_t> pattern(kW * kH);
  for (int i = 0; i < kW * kH; ++i) pattern[i] = 0x010203u * static_cast<std::uint32_t>(i + 1);
  const test::ScreenRect area{100, 120, kWindowW, kWindowH};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::uint32_t window = x11.CreateWindow(area, kFill, "canvas", "QelProbe");
    const int left = area.x - kMargin, top = area.y - kMargin;
    const int width = kWindowW + 2 * kMargin, height = kWindowH + 2 * kMargin;
    auto expected = Capture(left, top, width, height);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const int wx = c.x + x, wy = c.y + y;
        if (wx < 0 || wy < 0 || wx >= kWindowW || wy >= kWindowH) continue;
        expected[(wy + kMargin) * width + wx + kMargin] = pattern[y * kW + x];
      }
    }
    EXPECT_TRUE(desktop.DrawToWindow(window, c.x, c.y, kW, kH, pattern.data()));
    EXPECT_EQ(Capture(left, top, width, height), expected);
    x11.DestroyWindow(window);
  }
}

TEST_F(DrawToWindowTest, AHandleThatIsNoWindowCannotBeDrawnOn) {
  const std::uint32_t gone = x11.CreateWindow({10, 10, 20, 20}, 0x123456, "gone", "QelProbe");
  EXPECT_TRUE(desktop.IsWindow(gone));
  x11.DestroyWindow(gone);
  const std::uint32_t pixel = 0xFFFFFF;
  for (const std::uint32_t window : {gone, 0u, 0x7FFFFFF0u}) {
    EXPECT_FALSE(desktop.DrawToWindow(window, 0, 0, 1, 1, &pixel)) << window;
  }
}

}  // namespace
}  // namespace qel
