#include "platform/linux/x11_display.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace qel {

std::optional<std::string> DisplayProblem() {
  const char* name = std::getenv("DISPLAY");
  const std::string hint =
      "Qel is a desktop program and needs an X display. Start it from a desktop session, or "
      "start a virtual display first:\n  Xvfb :99 -screen 0 1920x1080x24 &\n  DISPLAY=:99 qel";
  if (name == nullptr || *name == '\0') return "DISPLAY is not set. " + hint;
  // A bare connection, as the toolkit makes its own right after: Xlib's would cost more than it
  // tells.
  xcb_connection_t* connection = xcb_connect(name, nullptr);
  const bool failed = xcb_connection_has_error(connection) != 0;
  xcb_disconnect(connection);
  if (failed) return std::string("Cannot open the X display \"") + name + "\". " + hint;
  return std::nullopt;
}

}  // namespace qel
