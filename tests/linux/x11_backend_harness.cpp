// The contract suite's harness for X11: the real desktop, screen and hotkey services on the tests'
// own X server, with a separate client standing for the other programs and the user.
#include <QTest>
#include <QWidget>
#include <vector>

#include "platform/linux/qt_hotkeys.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "tests/contract/backend_harness.h"
#include "tests/support/x11_client.h"

namespace qel::test {
namespace {

class X11BackendHarness final : public BackendHarness {
 public:
  ~X11BackendHarness() override {
    for (auto window = opened_.rbegin(); window != opened_.rend(); ++window) {
      others_.DestroyWindow(*window);
    }
  }

  Desktop& desktop() override { return desktop_; }
  ScreenSource& screen() override { return screen_; }
  HotkeyService& hotkeys() override { return hotkeys_; }

  WindowHandle OpenWindow(const WindowRect& rect, std::uint32_t rgb, const UiText& title,
                          const std::string& className) override {
    opened_.push_back(
        others_.CreateWindow({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top},
                             rgb, std::string(title.readable), className));
    Settle();
    return opened_.back();
  }
  void Minimise(WindowHandle window) override {
    others_.MarkIconic(static_cast<std::uint32_t>(window));
    Settle();
  }
  void MovePointer(ScreenPoint point) override { others_.MovePointer(point.x, point.y); }

  WindowHandle OwnWindow() override { return ownWindow_.winId(); }
  WindowHandle ReceiverWindow() override { return receiver_.winId(); }
  void HoldF2Elsewhere() override { ASSERT_TRUE(others_.GrabKey("F2")); }
  void PressF2InAnotherProgram() override {
    if (focused_ == 0) {
      focused_ = others_.CreateWindow({1800, 1000, 20, 20}, 0xFFFFFF, "focused", "QelOther");
      opened_.push_back(focused_);
    }
    others_.Focus(focused_);
    others_.PressKey("F2");
  }

  bool WaitFor(const std::function<bool()>& condition) override {
    return QTest::qWaitFor(condition, 5000);
  }
  void Settle() override { QTest::qWait(50); }

 private:
  X11Client others_;
  X11Desktop desktop_;
  X11Screen screen_;
  QtHotkeys hotkeys_{[this](WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    if (onMessage) onMessage(target, message, wParam, lParam);
  }};
  QWidget ownWindow_;
  QWidget receiver_;
  std::vector<std::uint32_t> opened_;
  std::uint32_t focused_ = 0;
};

}  // namespace

std::unique_ptr<BackendHarness> MakeBackendHarness() {
  return std::make_unique<X11BackendHarness>();
}

}  // namespace qel::test
