// A window that is never shown and takes no input: the handle of a control that is drawn inside
// the main window but must be addressable on its own (the hotkey's receiver). Giving the control
// itself a window in the toolkit would cost the start-up a native window and its set-up.
#pragma once

#include <xcb/xcb.h>

namespace qel {

class X11MessageWindow {
 public:
  // Made on the toolkit's connection as a child of the root window, so that it outlives any
  // change of the main window's own window; Id() is 0 when there is no connection.
  X11MessageWindow();
  ~X11MessageWindow();
  X11MessageWindow(const X11MessageWindow&) = delete;
  X11MessageWindow& operator=(const X11MessageWindow&) = delete;

  xcb_window_t Id() const { return id_; }

 private:
  xcb_window_t id_ = 0;
};

}  // namespace qel
