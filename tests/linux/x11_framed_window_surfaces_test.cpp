// Drawing and icons of a window the manager has framed: the drawing lands in the application's
// own window, not on the frame, and the frame's handle gives the icons the application set, every
// whole one of them, largest first.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "tests/linux/window_manager_client.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qel {
namespace {

using namespace std::chrono_literals;

struct CloseDisplay {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

TEST(FramedWindowSurfaces, DrawingAndIconsBelongToTheApplicationsWindow) {
  test::X11Client& x11 = WindowManagerClient();
  X11Desktop desktop;
  X11Screen screen;
  const std::uint32_t window = x11.CreateWindow({300, 300, 60, 40}, 0x404040, "framed", "QelProbe");
  // Drawing before the manager shows the window again inside its frame would be lost.
  std::uint32_t frame = window;
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       (frame == window || !desktop.IsVisible(window)) &&
       std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(10ms)) {
    for (auto facts = x11.Facts(window); facts.exists && facts.parent != facts.root;
         facts = x11.Facts(facts.parent)) {
      frame = facts.parent;
    }
  }
  ASSERT_NE(frame, window) << "the manager never framed the window";
  ASSERT_TRUE(desktop.IsVisible(window)) << "the manager never showed the framed window";

  const std::vector<std::uint32_t> block(4 * 3, 0x12AB34);
  ASSERT_TRUE(desktop.DrawToWindow(window, 0, 0, 4, 3, block.data()));
  const ScreenPoint origin = *desktop.ClientToScreen(window, {0, 0});
  // The server composites the window onto the screen when it next has time.
  std::vector<std::uint32_t> drawn(4 * 3);
  for (auto deadline = std::chrono::steady_clock::now() + 2s;
       screen.Capture(origin.x, origin.y, 4, 3, drawn.data()) && drawn != block &&
       std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(10ms)) {
  }
  EXPECT_EQ(drawn, block);

  // Two icons, the smaller first, then one whose size claims pixels past the property's end.
  std::vector<long> icon{2, 2, 1, 2, 3, 4, 3, 3};
  for (long i = 0; i < 9; ++i) icon.push_back(0x80000000 + i);
  icon.insert(icon.end(), {64, 64, 7, 7});
  const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
  XChangeProperty(display.get(), window, XInternAtom(display.get(), "_NET_WM_ICON", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(icon.data()),
                  static_cast<int>(icon.size()));
  XSync(display.get(), False);
  const auto icons = desktop.WindowIcons(frame);
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].width, 3);
  EXPECT_EQ(icons[0].pixels.front(), 0x80000000u);
  EXPECT_EQ(icons[0].pixels.back(), 0x80000008u);
  EXPECT_EQ(icons[1].width, 2);
  EXPECT_EQ(icons[1].pixels, (std::vector<std::uint32_t>{1, 2, 3, 4}));
  x11.DestroyWindow(window);
}

}  // namespace
}  // namespace qel
