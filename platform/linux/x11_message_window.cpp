#include "platform/linux/x11_message_window.h"

#include <X11/Xlib.h>

#include "platform/linux/qt_x11_connection.h"

namespace qel {

X11MessageWindow::X11MessageWindow() {
  xcb_connection_t* connection = QtConnection();
  Display* display = QtDisplay();
  if (connection == nullptr || display == nullptr) return;
  const auto parent = static_cast<xcb_window_t>(DefaultRootWindow(display));
  id_ = xcb_generate_id(connection);
  // Input-only and never mapped: it draws nothing, receives nothing and is never found under
  // the pointer. One request, no reply to wait for.
  xcb_create_window(connection, 0, id_, parent, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_flush(connection);
}

X11MessageWindow::~X11MessageWindow() {
  xcb_connection_t* connection = QtConnection();
  if (connection == nullptr || id_ == 0) return;
  xcb_destroy_window(connection, id_);
  xcb_flush(connection);
}

}  // namespace qel
