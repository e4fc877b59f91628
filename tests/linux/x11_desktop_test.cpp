// The X11 desktop on a real X server, beyond what every backend shows: client geometry, the
// smallest-sibling rule among child windows, and windows that are gone.
#include "platform/linux/x11_desktop.h"

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <vector>

#include "sampler/window_under_cursor.h"
#include "tests/support/x11_client.h"

namespace qel {
namespace {

class X11DesktopTest : public testing::Test {
 protected:
  test::X11Client x11;
  X11Desktop desktop;
  std::vector<std::uint32_t> windows;

  std::uint32_t Make(const test::ScreenRect& rect, std::uint32_t rgb, const std::string& title,
                     std::uint32_t parent = 0) {
    windows.push_back(x11.CreateWindow(rect, rgb, title, "QelProbe", parent));
    return windows.back();
  }
  void TearDown() override {
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
      x11.DestroyWindow(*window);
    }
  }
};

TEST_F(X11DesktopTest, ATopLevelWindowsClientAreaIsItsWholeArea) {
  const auto window = Make({100, 100, 300, 200}, 0xFF0000, "plain");
  EXPECT_EQ(desktop.Parent(window), 0u);
  EXPECT_EQ(desktop.ClientRectOf(window), (WindowRect{0, 0, 300, 200}));
  EXPECT_EQ(desktop.ClientToScreen(window, {5, 6}), (ScreenPoint{105, 106}));
  EXPECT_FALSE(desktop.IsIconic(window));
}

TEST_F(X11DesktopTest, TheSmallestVisibleSiblingUnderTheCursorIsReported) {
  const auto top = Make({500, 100, 400, 400}, 0x202020, "frame");
  const auto big = Make({0, 0, 300, 300}, 0x00FF00, "big", top);
  const auto small = Make({20, 20, 50, 50}, 0x0000FF, "small", top);
  x11.RaiseWindow(big);  // the big one lies above, so the point hits it first
  x11.MovePointer(530, 130);
  EXPECT_EQ(desktop.WindowFromPoint({530, 130}), big);
  EXPECT_EQ(desktop.Parent(big), top);
  EXPECT_EQ(desktop.NextSibling(big), small);
  EXPECT_EQ(WindowUnderCursor(desktop), small);
}

// The desktop remembers what it learnt about windows; every change must still show at once.
TEST_F(X11DesktopTest, AnswersFollowTheDesktopAsItChanges) {
  const auto window = Make({100, 100, 200, 100}, 0x112233, "before");
  const auto other = Make({400, 100, 200, 100}, 0x445566, "other");
  EXPECT_EQ(desktop.WindowFromPoint({150, 150}), window);
  EXPECT_EQ(desktop.WindowRectOf(window), (WindowRect{100, 100, 300, 200}));
  EXPECT_EQ(desktop.Title(window), "before");
  EXPECT_EQ(desktop.ClientToScreen(window, {0, 0}), (ScreenPoint{100, 100}));

  x11.SetTitle(window, "after");
  EXPECT_EQ(desktop.Title(window), "after");

  x11.MoveWindow(other, 120, 120);
  EXPECT_EQ(desktop.WindowFromPoint({150, 150}), other) << "a window moved over the point";
  x11.RaiseWindow(window);
  EXPECT_EQ(desktop.WindowFromPoint({150, 150}), window) << "restacked above it again";

  x11.MoveWindow(window, 500, 300);
  EXPECT_EQ(desktop.WindowRectOf(window), (WindowRect{500, 300, 700, 400}));
  EXPECT_EQ(desktop.ClientToScreen(window, {0, 0}), (ScreenPoint{500, 300}));
  EXPECT_EQ(desktop.WindowFromPoint({150, 150}), other);

  x11.MarkIconic(window);
  EXPECT_FALSE(desktop.IsVisible(window));
  EXPECT_TRUE(desktop.IsIconic(window));
  EXPECT_NE(desktop.WindowFromPoint({550, 350}), window);
}

// News of a change reaches the desktop without an event loop at the query itself; under one by
// the loop's own reading or by any reply, which comes after every event sent before it, such as
// the cursor's position, each sampling tick's first question.
TEST_F(X11DesktopTest, EveryChangeShowsOnceItsNewsHasCome) {
  const struct {
    const char* name;
    bool eventLoop;
    void (*beforeAsking)(X11Desktop&);
  } ways[] = {
      {"no event loop", false, [](X11Desktop&) {}},
      {"the loop read the news", true, [](X11Desktop& d) { d.ReadEvents(); }},
      {"a reply came", true, [](X11Desktop& d) { d.CursorPosition(); }},
  };
  for (const auto& way : ways) {
    X11Desktop watcher;
    if (way.eventLoop) watcher.OnConnected([](int) {});
    const auto window = Make({100, 100, 200, 100}, 0x112233, "before");
    const auto other = Make({400, 100, 200, 100}, 0x445566, "other");
    x11.MovePointer(150, 150);
    // The root's child under the pointer comes with its position, for that point alone.
    EXPECT_EQ(watcher.WindowFromPoint({450, 150}), other) << way.name;
    EXPECT_EQ(watcher.CursorPosition(), (ScreenPoint{150, 150})) << way.name;
    EXPECT_EQ(watcher.WindowFromPoint({450, 150}), other) << way.name;
    EXPECT_EQ(WindowUnderCursor(watcher), window) << way.name;
    EXPECT_EQ(watcher.Title(window), "before") << way.name;  // remembered from now on
    const std::pair<std::function<void()>, std::function<bool()>> changes[] = {
        {[&] { x11.SetTitle(window, "after"); }, [&] { return watcher.Title(window) == "after"; }},
        {[&] { x11.MoveWindow(other, 120, 120); },
         [&] {
           return watcher.WindowFromPoint({150, 150}) == other;
         }},
        {[&] { x11.RaiseWindow(window); },
         [&] {
           return watcher.WindowFromPoint({150, 150}) == window;
         }},
        {[&] { x11.MoveWindow(window, 500, 300); },
         [&] {
           return watcher.WindowRectOf(window) == WindowRect{500, 300, 700, 400};
         }},
        {[&] { x11.MarkIconic(window); }, [&] { return watcher.IsIconic(window); }},
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
      changes[i].first();
      way.beforeAsking(watcher);
      EXPECT_TRUE(changes[i].second()) << way.name << ", change " << i;
    }
  }
}

TEST_F(X11DesktopTest, MinimisedAndVanishedWindowsAreReportedAsSuch) {
  const auto window = Make({100, 100, 50, 50}, 0xFFFFFF, "soon gone");
  x11.MarkIconic(window);
  EXPECT_TRUE(desktop.IsIconic(window));
  EXPECT_FALSE(desktop.IsVisible(window));
  std::vector<std::uint32_t> drawing(50 * 50);
  EXPECT_FALSE(desktop.PrintWindow(window, 50, 50, drawing.data()));
  x11.DestroyWindow(window);
  windows.clear();
  EXPECT_FALSE(desktop.IsWindow(window));
  EXPECT_EQ(desktop.Title(window), "");
  EXPECT_FALSE(desktop.ClassName(window).has_value());
  EXPECT_FALSE(desktop.WindowRectOf(window).has_value());
  EXPECT_EQ(desktop.Parent(window), 0u);
  EXPECT_EQ(desktop.NextSibling(window), 0u);
  EXPECT_FALSE(desktop.PrintWindow(window, 50, 50, drawing.data()));
}

}  // namespace
}  // namespace qel
