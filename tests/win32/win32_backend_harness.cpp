// The contract suite's harness for Win32: the real desktop, screen and hotkey services under
// Wine, with another thread of the test program standing for the other programs.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_hotkeys.h"
#include "platform/win32/win32_screen.h"
#include "tests/contract/backend_harness.h"
#include "tests/win32/desktop_user.h"
#include "tests/win32/other_program.h"

namespace qel::test {
namespace {

constexpr auto kPatience = std::chrono::seconds(5);
// Wine starts its desktop with the first window, which the first drawing waits for.
constexpr auto kDrawingPatience = std::chrono::seconds(20);
constexpr auto kSettleTime = std::chrono::milliseconds(100);
constexpr const wchar_t* kOwnClass = L"QelOwnWindow";
constexpr const wchar_t* kReceiverClass = L"QelReceiver";
constexpr const wchar_t* kHolderClass = L"QelHotkeyHolder";

class Win32BackendHarness final : public BackendHarness {
 public:
  Win32BackendHarness() {
    RegisterWindowClass(kOwnClass, &DefWindowProcW);
    RegisterWindowClass(kReceiverClass, &ReceiverProcedure);
    RegisterWindowClass(kHolderClass, &DefWindowProcW);
    ownWindow_ = CreateWindowExW(0, kOwnClass, L"Qel", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (ownWindow_ == nullptr) Fail("cannot make the program's own window");
    receiver_ = CreateWindowExW(0, kReceiverClass, L"", WS_CHILD, 0, 0, 10, 10, ownWindow_, nullptr,
                                GetModuleHandleW(nullptr), this);
    if (receiver_ == nullptr) Fail("cannot make the receiving window");
  }

  ~Win32BackendHarness() override {
    // The hooked window gets its own procedure back before it goes.
    hotkeys_.reset();
    other_.Run([this] {
      if (holder_ != nullptr) {
        UnregisterHotKey(holder_, kHolderHotkeyId);
        DestroyWindow(holder_);
      }
      for (const HWND window : opened_) DestroyWindow(window);
    });
    DestroyWindow(ownWindow_);  // and its child, the receiver
    Pump();
  }

  Desktop& desktop() override { return desktop_; }
  ScreenSource& screen() override { return screen_; }
  HotkeyService& hotkeys() override { return *hotkeys_; }

  WindowHandle OpenWindow(const WindowRect& rect, std::uint32_t rgb, const UiText& title,
                          const std::string& className) override {
    HWND window = nullptr;
    other_.Run([&] {
      window = CreatePaintedWindow(Utf8ToUtf16(className), Utf8ToUtf16(title.readable),
                                   {rect.left, rect.top, rect.right, rect.bottom}, rgb);
      opened_.push_back(window);
    });
    const int centreX = (rect.left + rect.right) / 2;
    const int centreY = (rect.top + rect.bottom) / 2;
    if (!PumpUntil([&] { return ScreenPixel(centreX, centreY) == rgb; }, kDrawingPatience)) {
      Fail("the window's colour never reached the screen");
    }
    return HandleOf(window);
  }

  void Minimise(WindowHandle window) override {
    other_.Run([window] { ShowWindow(HwndOf(window), SW_MINIMIZE); });
    if (!WaitFor([window] { return IsIconic(HwndOf(window)) != 0; })) Fail("cannot minimise");
    Settle();
  }

  void MovePointer(ScreenPoint point) override {
    if (SetCursorPos(point.x, point.y) == 0) Fail("cannot move the pointer");
    const bool moved = WaitFor([point] {
      POINT now{};
      return GetCursorPos(&now) != 0 && now.x == point.x && now.y == point.y;
    });
    if (!moved) Fail("the pointer did not arrive");
  }

  WindowHandle OwnWindow() override { return HandleOf(ownWindow_); }
  WindowHandle ReceiverWindow() override { return HandleOf(receiver_); }

  void HoldF2Elsewhere() override {
    bool held = false;
    other_.Run([&] {
      holder_ = CreateWindowExW(0, kHolderClass, L"holder", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
      held = holder_ != nullptr && RegisterHotKey(holder_, kHolderHotkeyId, 0, VK_F2) != 0;
    });
    ASSERT_TRUE(held) << "the other program cannot take F2, error " << GetLastError();
  }

  void PressF2InAnotherProgram() override {
    if (focused_ == nullptr) {
      OpenWindow({1800, 1000, 1820, 1020}, 0xFFFFFF, {"focused", "focused"}, "QelOther");
      focused_ = opened_.back();
    }
    other_.Run([this] {
      SetForegroundWindow(focused_);
      SetFocus(focused_);
    });
    ASSERT_TRUE(WaitFor([this] { return GetForegroundWindow() == focused_; }))
        << "the other program's window did not get the focus";
    PressKey(VK_F2);
  }

  bool WaitFor(const std::function<bool()>& condition) override {
    return PumpUntil(condition, kPatience);
  }
  void Settle() override {
    PumpUntil([] { return false; }, kSettleTime);
  }

 private:
  static constexpr int kHolderHotkeyId = 1;

  // The program's label stand-in: what is sent to it in the private range goes to onMessage.
  static LRESULT CALLBACK ReceiverProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message >= WM_USER) {
      auto* harness =
          reinterpret_cast<Win32BackendHarness*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      if (harness != nullptr && harness->onMessage) {
        harness->onMessage(HandleOf(hwnd), message, wParam, lParam);
        return 0;
      }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  std::uint32_t ScreenPixel(int x, int y) {
    std::uint32_t pixel = 0;
    return screen_.Capture(x, y, 1, 1, &pixel) ? pixel : 0xFFFFFFFFu;
  }

  Win32Desktop desktop_;
  Win32Screen screen_;
  std::optional<Win32Hotkeys> hotkeys_{std::in_place};
  HWND ownWindow_ = nullptr;
  HWND receiver_ = nullptr;
  OtherProgram other_;
  std::vector<HWND> opened_;  // the other program's
  HWND holder_ = nullptr;
  HWND focused_ = nullptr;
};

}  // namespace

std::unique_ptr<BackendHarness> MakeBackendHarness() {
  return std::make_unique<Win32BackendHarness>();
}

}  // namespace qel::test
