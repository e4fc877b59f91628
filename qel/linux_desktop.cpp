// The running desktop on Linux: the X server's screen and windows, or a Wayland desktop's screen
// through the desktop portal's screen cast; and Qt's image services, which serve the clipboard
// from a thread of their own when the caller runs no Qt application.
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "bitmap/software_gdi.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_screen.h"
#include "platform/session_choice.h"
#include "platform/wayland/wayland_desktop.h"
#include "platform/wayland/wayland_screen.h"
#include "qel/desktop.h"

namespace qel {
namespace {

class X11Session final : public DesktopSession {
 public:
  const BitmapContext& Context() const override { return context_; }

 private:
  X11Screen screen_;
  X11Desktop desktop_;
  QtImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
};

// A Wayland desktop shows a program only its own windows: the screen is read through the cast,
// and no window is known.
class WaylandSession final : public DesktopSession {
 public:
  const BitmapContext& Context() const override { return context_; }

 private:
  WaylandScreen screen_;
  WaylandDesktop desktop_{screen_};
  QtImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
};

}  // namespace

std::unique_ptr<DesktopSession> OpenRunningDesktop() {
  const std::optional<DesktopSessionKind> kind = DesktopSessionOfEnvironment();
  if (!kind) throw std::runtime_error("QEL_SESSION names no desktop session: x11 or wayland");
  if (*kind == DesktopSessionKind::kWayland) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display == nullptr || *display == '\0') {
      throw std::runtime_error("no Wayland desktop to search: WAYLAND_DISPLAY is not set");
    }
    return std::make_unique<WaylandSession>();
  }
  if (const auto problem = DisplayProblem()) throw std::runtime_error(*problem);
  return std::make_unique<X11Session>();
}

}  // namespace qel
