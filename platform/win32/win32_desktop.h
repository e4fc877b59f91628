// The desktop on Windows: the cursor, the windows under it with their titles and classes in GBK
// whatever the system's code page, a window's own drawing through PrintWindow, drawing into a
// window and the icons it offers.
#pragma once

#include "platform/platform.h"

namespace qel {

class Win32Desktop final : public Desktop {
 public:
  ScreenPoint CursorPosition() override;
  WindowHandle WindowFromPoint(ScreenPoint point) override;
  // 0 for a top-level window: its owner is not its parent.
  WindowHandle Parent(WindowHandle window) override;
  WindowHandle NextSibling(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  bool IsVisible(WindowHandle window) override;
  bool IsIconic(WindowHandle window) override;
  std::optional<WindowRect> WindowRectOf(WindowHandle window) override;
  std::optional<WindowRect> ClientRectOf(WindowHandle window) override;
  std::optional<ScreenPoint> ClientToScreen(WindowHandle window, ScreenPoint point) override;
  // What the window answers to WM_GETTEXT, so that a control of another program gives its own
  // text; for a program that does not answer at once, the caption the system keeps for it.
  std::string Title(WindowHandle window) override;
  std::optional<std::string> ClassName(WindowHandle window) override;
  bool PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) override;
  bool DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                    const std::uint32_t* pixels) override;
  std::vector<ArgbImage> WindowIcons(WindowHandle window) override;
};

}  // namespace qel
