// A window's icons as its _NET_WM_ICON offers them, read on a real X server, including a property
// whose last icon claims more pixels than it holds.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/linux/x11_desktop.h"
#include "tests/support/x11_client.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qel {
namespace {

struct CloseDisplay {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

std::vector<std::uint32_t> Numbered(int count, std::uint32_t first) {
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < count; ++i) pixels.push_back(first + static_cast<std::uint32_t>(i));
  return pixels;
}

TEST(X11WindowIcons, EveryWholeIconLargestFirst) {
  test::X11Client x11;
  X11Desktop desktop;
  const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
  ASSERT_NE(display, nullptr);
  const std::uint32_t window = x11.CreateWindow({10, 10, 50, 50}, 0x202020, "icons", "QelProbe");
  EXPECT_TRUE(desktop.WindowIcons(window).empty()) << "no property, no icons";

  const auto small = Numbered(16 * 16, 0xFF000000u);
  const auto large = Numbered(32 * 32, 0x80102000u);
  // Xlib takes 32-bit items as longs.
  std::vector<long> items{16, 16};
  items.insert(items.end(), small.begin(), small.end());
  items.insert(items.end(), {32, 32});
  items.insert(items.end(), large.begin(), large.end());
  items.insert(items.end(), {48, 48, 1, 2, 3});
  XChangeProperty(display.get(), window, XInternAtom(display.get(), "_NET_WM_ICON", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(items.data()),
                  static_cast<int>(items.size()));
  XSync(display.get(), False);

  const auto icons = desktop.WindowIcons(window);
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].width, 32);
  EXPECT_EQ(icons[0].height, 32);
  EXPECT_EQ(icons[0].pixels, large);
  EXPECT_EQ(icons[1].width, 16);
  EXPECT_EQ(icons[1].pixels, small);

  x11.DestroyWindow(window);
  EXPECT_TRUE(desktop.WindowIcons(window).empty());
}

}  // namespace
}  // namespace qel
