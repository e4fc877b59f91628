// The X11 screen source on a real X server: a window of a known colour reads back exactly, through
// both the small-read and the shared-memory path.
#include "platform/linux/x11_screen.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <vector>

namespace qel {
namespace {

TEST(X11Screen, ReadsAPaintedWindowExactly) {
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setAutoFillBackground(true);
  QPalette colors = window.palette();
  colors.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
  window.setPalette(colors);
  window.setGeometry(100, 120, 200, 150);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::qWait(100);

  X11Screen screen;
  EXPECT_EQ(screen.Width(), 1920);
  EXPECT_EQ(screen.Height(), 1080);
  EXPECT_EQ(screen.BitsPerPixel(), 32);

  std::uint32_t one = 0;
  ASSERT_TRUE(screen.Capture(150, 170, 1, 1, &one));
  EXPECT_EQ(one, 0x123456u);

  std::vector<std::uint32_t> block(200 * 150);  // large enough for shared memory
  ASSERT_TRUE(screen.Capture(100, 120, 200, 150, block.data()));
  EXPECT_EQ(std::count(block.begin(), block.end(), 0x123456u), 200 * 150);

  std::vector<std::uint32_t> edge(202 * 100);  // one column either side of the window
  ASSERT_TRUE(screen.Capture(99, 130, 202, 100, edge.data()));
  EXPECT_NE(edge[0], 0x123456u);
  EXPECT_EQ(edge[1], 0x123456u);
  EXPECT_EQ(edge[200], 0x123456u);
  EXPECT_NE(edge[201], 0x123456u);
}

TEST(X11Screen, RefusesRectanglesOffTheScreen) {
  X11Screen screen;
  std::uint32_t pixel = 0;
  EXPECT_FALSE(screen.Capture(-1, 0, 1, 1, &pixel));
  EXPECT_FALSE(screen.Capture(1920, 0, 1, 1, &pixel));
  EXPECT_FALSE(screen.Capture(0, 1079, 1, 2, &pixel));
  EXPECT_FALSE(screen.Capture(0, 0, 0, 1, &pixel));
}

}  // namespace
}  // namespace qel
