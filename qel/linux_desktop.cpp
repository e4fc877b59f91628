// The running desktop on Linux: the X server's screen and windows, and Qt's image services, which
// serve the clipboard from a thread of their own when the caller runs no Qt application.
#include <stdexcept>

#include "bitmap/software_gdi.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_screen.h"
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

}  // namespace

std::unique_ptr<DesktopSession> OpenRunningDesktop() {
  if (const auto problem = DisplayProblem()) throw std::runtime_error(*problem);
  return std::make_unique<X11Session>();
}

}  // namespace qel
