// A virtual desktop for tests: windows with rectangles, titles, classes, visibility and sibling
// order, each drawing itself in plain colours, and a cursor the test moves.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace qel {

struct FakeWindow {
  WindowHandle parent = 0;
  WindowRect rect;  // screen coordinates, frame included
  // The frame's thickness on each side; the rest is the client area.
  int frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
  std::string title{};
  std::string className{};
  bool visible = true;
  bool iconic = false;
  bool canPrint = true;
  std::uint32_t frameRgb = 0x808080;  // what PrintWindow draws, 0x00RRGGBB
  std::uint32_t clientRgb = 0xFFFFFF;
  std::vector<ArgbImage> icons{};
  // What was drawn into the client area, 0x00RRGGBB rows top-down, the client area's size; empty
  // until the first draw.
  std::vector<std::uint32_t> drawn{};
};

class FakeDesktop final : public Desktop {
 public:
  // Adds a window below the existing siblings of its parent; gives its handle.
  WindowHandle Add(const FakeWindow& window);
  FakeWindow& Window(WindowHandle handle);
  // Moves a window above its siblings.
  void Raise(WindowHandle handle);

  ScreenPoint cursor;

  ScreenPoint CursorPosition() override { return cursor; }
  WindowHandle WindowFromPoint(ScreenPoint point) override;
  WindowHandle Parent(WindowHandle window) override;
  WindowHandle NextSibling(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override { return Find(window) != nullptr; }
  bool IsVisible(WindowHandle window) override;
  bool IsIconic(WindowHandle window) override;
  std::optional<WindowRect> WindowRectOf(WindowHandle window) override;
  std::optional<WindowRect> ClientRectOf(WindowHandle window) override;
  std::optional<ScreenPoint> ClientToScreen(WindowHandle window, ScreenPoint point) override;
  std::string Title(WindowHandle window) override;
  std::optional<std::string> ClassName(WindowHandle window) override;
  bool PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) override;
  bool DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                    const std::uint32_t* pixels) override;
  std::vector<ArgbImage> WindowIcons(WindowHandle window) override;

 private:
  struct Entry {
    WindowHandle handle;
    FakeWindow window;
  };
  Entry* Find(WindowHandle handle);
  WindowHandle ChildFromPoint(WindowHandle parent, ScreenPoint point);

  std::vector<Entry> windows_;  // sibling order: earlier is above
  WindowHandle nextHandle_ = 0x1001;
};

}  // namespace qel
