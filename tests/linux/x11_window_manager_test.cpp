// The X11 desktop under a real window manager (Openbox), which puts a frame around every window:
// the application's window stands for its frame, whatever part of it the point is on, and its
// own drawing is read without the frame, also when it is covered.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "sampler/window_under_cursor.h"
#include "tests/linux/window_manager_client.h"
#include "tests/support/child_process.h"
#include "tests/support/xvfb.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& condition) {
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(10ms)) {
    if (condition()) return true;
  }
  return condition();
}

class WindowManagerTest : public testing::Test {
 protected:
  void TearDown() override {
    for (const std::uint32_t window : created_) x11.DestroyWindow(window);
  }

  test::X11Client& x11 = WindowManagerClient();
  X11Desktop desktop;
  X11Screen screen;
  QtImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext context{gdi, screen, desktop};
  ColorFinder finder;

  // A window the manager has framed and shown; its frame then lies around and above it.
  std::uint32_t Framed(const test::ScreenRect& rect, std::uint32_t rgb, const char* title) {
    const std::uint32_t window = x11.CreateWindow(rect, rgb, title, "QelProbe");
    created_.push_back(window);
    EXPECT_TRUE(WaitUntil([&] {
      const auto outer = desktop.WindowRectOf(window);
      const auto origin = desktop.ClientToScreen(window, {0, 0});
      return desktop.IsVisible(window) && outer && origin && origin->y > outer->top;
    })) << title
        << " was never framed";
    return window;
  }

 private:
  std::vector<std::uint32_t> created_;
};

TEST_F(WindowManagerTest, TheApplicationsWindowStandsForItsFrame) {
  const auto window = Framed({200, 200, 300, 200}, 0x123456, "framed");
  const WindowRect outer = *desktop.WindowRectOf(window);
  const ScreenPoint origin = *desktop.ClientToScreen(window, {0, 0});
  EXPECT_EQ(desktop.ClientRectOf(window), (WindowRect{0, 0, 300, 200}));
  EXPECT_LE(outer.left, origin.x);
  EXPECT_GE(outer.right, origin.x + 300);
  EXPECT_GE(outer.bottom, origin.y + 200);
  EXPECT_EQ(desktop.Parent(window), 0u) << "a framed window is still a top-level window";
  EXPECT_EQ(desktop.Title(window), "framed");
  EXPECT_EQ(desktop.ClassName(window), "QelProbe");

  const ScreenPoint inClient{origin.x + 10, origin.y + 10};
  const ScreenPoint onTitleBar{origin.x + 10, (outer.top + origin.y) / 2};
  EXPECT_EQ(desktop.WindowFromPoint(inClient), window);
  EXPECT_EQ(desktop.WindowFromPoint(onTitleBar), window) << "the frame's title bar";
  x11.MovePointer(onTitleBar.x, onTitleBar.y);
  EXPECT_EQ(WindowUnderCursor(desktop), window);
}

TEST_F(WindowManagerTest, ACoveredFramedWindowIsReadWithoutItsFrame) {
  const auto covered = Framed({100, 400, 200, 100}, 0x123456, "covered");
  const auto cover = Framed({50, 350, 400, 300}, 0x654321, "cover");
  x11.RaiseWindow(cover);
  ASSERT_TRUE(WaitUntil([&] { return finder.GetPixelColor(context, covered, 0, 0) == 0x214365; }))
      << "the cover never lay over the window";
  EXPECT_EQ(finder.GetPixelColor(context, covered, 0, 0, true), 0x563412u);
  EXPECT_EQ(finder.GetPixelColor(context, covered, 199, 99, true), 0x563412u);
  const ColorValue pastClient = finder.GetPixelColor(context, covered, 200, 99, true);
  EXPECT_NE(pastClient, 0x563412u) << "right of the client area the frame's own drawing shows";
  EXPECT_NE(pastClient, 0x214365u) << "not the cover";
}

TEST_F(WindowManagerTest, AWindowTheManagerMinimisesCannotBeRead) {
  const auto window = Framed({600, 200, 100, 100}, 0x123456, "minimised");
  ASSERT_EQ(finder.GetPixelColor(context, window, 5, 5, true), 0x563412u);
  x11.RequestIconic(window);
  ASSERT_TRUE(WaitUntil([&] { return desktop.IsIconic(window); }));
  EXPECT_FALSE(desktop.IsVisible(window));
  EXPECT_EQ(finder.GetPixelColor(context, window, 5, 5, true), kClrInvalid);
}

}  // namespace
}  // namespace qel

// A private X server with Openbox managing it.
int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<qel::test::Xvfb> server;
  std::unique_ptr<qel::test::ChildProcess> manager;
  try {
    server = std::make_unique<qel::test::Xvfb>();
    manager = std::make_unique<qel::test::ChildProcess>("/usr/bin/openbox",
                                                        std::vector<std::string>{"--sm-disable"});
    qel::test::X11Client& probe = qel::WindowManagerClient();
    if (!qel::WaitUntil([&] { return probe.WindowManagerRuns(); })) {
      throw std::runtime_error("Openbox did not take over the display: " + manager->Stderr());
    }
    // It names itself before it handles windows, and a window mapped while it starts may stay
    // unmanaged: try windows until one is shown.
    qel::X11Desktop desktop;
    bool shown = false;
    for (int attempt = 0; attempt < 20 && !shown; ++attempt) {
      const std::uint32_t window = probe.CreateWindow({0, 0, 10, 10}, 0, "first", "QelProbe");
      for (int wait = 0; wait < 25 && !shown; ++wait) {
        shown = desktop.IsVisible(window);
        std::this_thread::sleep_for(20ms);
      }
      probe.DestroyWindow(window);
    }
    if (!shown) throw std::runtime_error("Openbox does not show windows: " + manager->Stderr());
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the window-manager tests: %s\n", error.what());
    return 1;
  }
  return RUN_ALL_TESTS();
}
