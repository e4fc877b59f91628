// The desktop on X11: the cursor, the windows under it with their titles and classes, and a
// window's own drawing kept by the server's compositing. Where a window manager frames a window,
// the application's own window stands for the frame, as the program expects of a top-level window.
#pragma once

#include <functional>
#include <memory>

#include "platform/platform.h"

namespace qel {

class X11Desktop final : public Desktop {
 public:
  // Connects to DISPLAY at the first use; that use throws std::runtime_error when there is none.
  X11Desktop();
  ~X11Desktop() override;
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  // `connected` is told the connection's socket once it is made, so that the program's event loop
  // can call ReadEvents whenever the server has news; a query then takes in only the news Xlib
  // has read already, which a reply brings along, instead of looking at the socket itself.
  // Without an event loop news is read from the socket at each query.
  void OnConnected(std::function<void(int socket)> connected) { connected_ = std::move(connected); }
  void ReadEvents();

  ScreenPoint CursorPosition() override;
  WindowHandle WindowFromPoint(ScreenPoint point) override;
  WindowHandle Parent(WindowHandle window) override;
  WindowHandle NextSibling(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
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
  struct State;
  // The connection, made at the first call.
  State& Connection();
  // The connection, with the cache told the news first: for the queries the cache answers.
  State& S();
  std::unique_ptr<State> state_;
  std::function<void(int)> connected_;
};

}  // namespace qel
