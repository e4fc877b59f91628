// The contract suite's harness for the fake platform: a virtual desktop whose screen image is
// repainted from its windows, bottom to top, whenever they change.
#include <vector>

#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_hotkeys.h"
#include "platform/fake/fake_screen.h"
#include "sampler/hotkey_registration.h"
#include "tests/contract/backend_harness.h"

namespace qel::test {
namespace {

constexpr std::uint32_t kDesktopRgb = 0x3A6EA5;

class FakeBackendHarness final : public BackendHarness {
 public:
  FakeBackendHarness() {
    hotkeys_.onSend = [this](const FakeHotkeys::SentMessage& sent) {
      if (onMessage) onMessage(sent.target, sent.message, sent.wParam, sent.lParam);
    };
    Repaint();
  }

  Desktop& desktop() override { return desktop_; }
  ScreenSource& screen() override { return screen_; }
  HotkeyService& hotkeys() override { return hotkeys_; }

  WindowHandle OpenWindow(const WindowRect& rect, std::uint32_t rgb, const UiText& title,
                          const std::string& className) override {
    const WindowHandle window = desktop_.Add({.rect = rect,
                                              .title = std::string(title.gbk),
                                              .className = className,
                                              .frameRgb = rgb,
                                              .clientRgb = rgb});
    desktop_.Raise(window);
    openedBottomUp_.push_back(window);
    Repaint();
    return window;
  }
  void Minimise(WindowHandle window) override {
    desktop_.Window(window).iconic = true;
    desktop_.Window(window).visible = false;
    Repaint();
  }
  void MovePointer(ScreenPoint point) override { desktop_.cursor = point; }

  WindowHandle OwnWindow() override { return 0x7000; }
  WindowHandle ReceiverWindow() override { return 0x7001; }
  void HoldF2Elsewhere() override { hotkeys_.heldElsewhere.insert({0, kF2VirtualKey}); }
  void PressF2InAnotherProgram() override { hotkeys_.Press(0, kF2VirtualKey); }

  // Everything here happens at once.
  bool WaitFor(const std::function<bool()>& condition) override { return condition(); }
  // What was drawn into a window shows once the screen is painted again.
  void Settle() override { Repaint(); }

 private:
  void Repaint() {
    screen_.Fill(kDesktopRgb);
    for (const WindowHandle handle : openedBottomUp_) {
      const FakeWindow& window = desktop_.Window(handle);
      if (!window.visible || window.iconic) continue;
      // The harness's windows have no frame: the client area is the whole window.
      const int width = window.rect.right - window.rect.left;
      for (int y = window.rect.top; y < window.rect.bottom; ++y) {
        for (int x = window.rect.left; x < window.rect.right; ++x) {
          const std::size_t at = static_cast<std::size_t>((y - window.rect.top) * width) +
                                 static_cast<std::size_t>(x - window.rect.left);
          screen_.SetPixel(x, y, at < window.drawn.size() ? window.drawn[at] : window.clientRgb);
        }
      }
    }
  }

  FakeDesktop desktop_;
  FakeScreen screen_{1024, 768};
  FakeHotkeys hotkeys_;
  std::vector<WindowHandle> openedBottomUp_;
};

}  // namespace

std::unique_ptr<BackendHarness> MakeBackendHarness() {
  return std::make_unique<FakeBackendHarness>();
}

}  // namespace qel::test
