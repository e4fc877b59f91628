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

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::wstring Utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int size =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (size <= 0) Fail("the title is not UTF-8");
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, text.data(), size);
  return text;
}

COLORREF ColorRefOf(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Windows of the other program: filled with the colour given when made, on the screen and when
// asked to print themselves.
LRESULT CALLBACK PaintedProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto fill = [hwnd](HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    SetDCBrushColor(dc, static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  };
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(
          hwnd, GWLP_USERDATA,
          static_cast<LONG_PTR>(*static_cast<const COLORREF*>(create->lpCreateParams)));
      break;
    }
    case WM_ERASEBKGND:
      fill(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINTCLIENT:
      fill(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      if (HDC dc = BeginPaint(hwnd, &paint)) {
        fill(dc);
        EndPaint(hwnd, &paint);
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

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
    for (const std::wstring& name : classes_)
      UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
  }

  Desktop& desktop() override { return desktop_; }
  ScreenSource& screen() override { return screen_; }
  HotkeyService& hotkeys() override { return *hotkeys_; }

  WindowHandle OpenWindow(const WindowRect& rect, std::uint32_t rgb, const UiText& title,
                          const std::string& className) override {
    const std::wstring wideClass = Utf8ToUtf16(className);
    RegisterWindowClass(wideClass, &PaintedProcedure);
    const std::wstring wideTitle = Utf8ToUtf16(title.readable);
    HWND window = nullptr;
    other_.Run([&] {
      COLORREF color = ColorRefOf(rgb);
      window = CreateWindowExW(WS_EX_TOPMOST, wideClass.c_str(), wideTitle.c_str(), WS_POPUP,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               nullptr, nullptr, GetModuleHandleW(nullptr), &color);
      if (window == nullptr) Fail("cannot open a window of the other program");
      opened_.push_back(window);
      // Shown without activating it: Wine hands an activated window to the window manager, and
      // with none on the test's display it waits two seconds for one when the window goes.
      ShowWindow(window, SW_SHOWNOACTIVATE);
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      UpdateWindow(window);
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
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
      key.type = INPUT_KEYBOARD;
      key.ki.wVk = VK_F2;
      key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_F2, MAPVK_VK_TO_VSC));
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u) << "the key press was refused";
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

  void RegisterWindowClass(const std::wstring& name, WNDPROC procedure) {
    for (const std::wstring& known : classes_) {
      if (known == name) return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassExW(&windowClass) == 0) Fail("cannot register a window class");
    classes_.push_back(name);
  }

  std::uint32_t ScreenPixel(int x, int y) {
    std::uint32_t pixel = 0;
    return screen_.Capture(x, y, 1, 1, &pixel) ? pixel : 0xFFFFFFFFu;
  }

  static void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  static bool PumpUntil(const std::function<bool()>& condition,
                        std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      Pump();
      if (condition()) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }

  Win32Desktop desktop_;
  Win32Screen screen_;
  std::optional<Win32Hotkeys> hotkeys_{std::in_place};
  std::vector<std::wstring> classes_;
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
