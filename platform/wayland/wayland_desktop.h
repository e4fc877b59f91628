// The desktop of a Wayland session as the bitmap library sees it: the pointer where the screen
// cast shows it, and no windows, as a Wayland compositor shows a program no other program's
// windows.
#pragma once

#include "platform/platform.h"
#include "platform/wayland/wayland_screen.h"

namespace qel {

class WaylandDesktop final : public Desktop {
 public:
  explicit WaylandDesktop(const WaylandScreen& screen) : screen_(screen) {}

  // The last place the cast showed; (0, 0) before it has shown one.
  ScreenPoint CursorPosition() override { return screen_.Pointer().value_or(ScreenPoint{}); }
  WindowHandle WindowFromPoint(ScreenPoint) override { return 0; }
  WindowHandle Parent(WindowHandle) override { return 0; }
  WindowHandle NextSibling(WindowHandle) override { return 0; }
  bool IsWindow(WindowHandle) override { return false; }
  bool IsVisible(WindowHandle) override { return false; }
  bool IsIconic(WindowHandle) override { return false; }
  std::optional<WindowRect> WindowRectOf(WindowHandle) override { return std::nullopt; }
  std::optional<WindowRect> ClientRectOf(WindowHandle) override { return std::nullopt; }
  std::optional<ScreenPoint> ClientToScreen(WindowHandle, ScreenPoint) override {
    return std::nullopt;
  }
  std::string Title(WindowHandle) override { return {}; }
  std::optional<std::string> ClassName(WindowHandle) override { return std::nullopt; }
  bool PrintWindow(WindowHandle, int, int, std::uint32_t*) override { return false; }
  bool DrawToWindow(WindowHandle, int, int, int, int, const std::uint32_t*) override {
    return false;
  }
  std::vector<ArgbImage> WindowIcons(WindowHandle) override { return {}; }

 private:
  const WaylandScreen& screen_;
};

}  // namespace qel
