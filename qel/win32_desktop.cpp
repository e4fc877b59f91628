// The running desktop on Windows: the interactive desktop's screen, windows and clipboard, drawn
// through the system's GDI, so that handles given and taken are the system's.
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_images.h"
#include "platform/win32/win32_screen.h"
#include "qel/desktop.h"

namespace qel {
namespace {

class Win32Session final : public DesktopSession {
 public:
  const BitmapContext& Context() const override { return context_; }

 private:
  Win32Screen screen_;
  Win32Desktop desktop_;
  Win32ImageServices images_;
  Win32Gdi gdi_{images_};
  BitmapContext context_{gdi_, screen_, desktop_};
};

}  // namespace

std::unique_ptr<DesktopSession> OpenRunningDesktop() { return std::make_unique<Win32Session>(); }

}  // namespace qel
