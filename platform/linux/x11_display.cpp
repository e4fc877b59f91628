#include "platform/linux/x11_display.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace qel {

std::optional<std::string> DisplayProblem() {
  const char* name = std::getenv("DISPLAY");
  const std::string hint =
      "Qel is a desktop program and needs an X display. Start it from a desktop session, or "
      "start a virtual display first:\n  Xvfb :99 -screen 0 1920x1080x24 &\n  DISPLAY=:99 qel";
  if (name == nullptr || *name == '\0') return "DISPLAY is not set. " + hint;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return std::string("Cannot open the X display \"") + name + "\". " + hint;
  XCloseDisplay(display);
  return std::nullopt;
}

}  // namespace qel
