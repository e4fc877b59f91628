#include "tests/win32/desktop_user.h"

#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

namespace qel::test {
namespace {

// Filled with the colour given when made, on the screen and when asked to print itself.
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

void Send(std::vector<INPUT> inputs) {
  const auto count = static_cast<UINT>(inputs.size());
  if (SendInput(count, inputs.data(), sizeof(INPUT)) != count) Fail("the input was refused");
}

}  // namespace

void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::wstring Utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int size =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (size <= 0) Fail("the text is not UTF-8");
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, text.data(), size);
  return text;
}

std::wstring WindowsPath(std::string_view buildPath) {
  std::wstring path = Utf8ToUtf16(buildPath);
  if (path.starts_with(L'/')) path = L"Z:" + path;
  for (wchar_t& unit : path) {
    if (unit == L'/') unit = L'\\';
  }
  return path;
}

void Pump() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    Pump();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

HWND WaitForVisibleWindowOf(DWORD processId, const std::wstring& title,
                            std::chrono::milliseconds patience) {
  HWND found = nullptr;
  const bool shown = PumpUntil(
      [&] {
        found = FindWindowW(nullptr, title.c_str());
        DWORD owner = 0;
        if (found != nullptr) GetWindowThreadProcessId(found, &owner);
        return found != nullptr && owner == processId && IsWindowVisible(found);
      },
      patience);
  return shown ? found : nullptr;
}

void RegisterWindowClass(const std::wstring& name, WNDPROC procedure) {
  // Classes live as long as the test program; several threads of it may ask for one.
  static std::mutex guard;
  static std::set<std::wstring> registered;
  const std::lock_guard lock(guard);
  if (registered.contains(name)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name.c_str();
  if (RegisterClassExW(&windowClass) == 0) Fail("cannot register a window class");
  registered.insert(name);
}

HWND CreatePaintedWindow(const std::wstring& className, const std::wstring& title, const RECT& rect,
                         std::uint32_t rgb) {
  RegisterWindowClass(className, &PaintedProcedure);
  COLORREF color = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, className.c_str(), title.c_str(), WS_POPUP,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                nullptr, nullptr, GetModuleHandleW(nullptr), &color);
  if (window == nullptr) Fail("cannot open a painted window");
  // Shown without activating it: Wine hands an activated window to the window manager, and with
  // none on the test's display it waits two seconds for one when the window goes.
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateWindow(window);
  return window;
}

void Click(int x, int y) {
  if (SetCursorPos(x, y) == 0) Fail("cannot move the pointer");
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  INPUT up = down;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send({down, up});
}

void TypeText(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t unit : text) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wScan = unit;
    key.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(key);
    key.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(key);
  }
  if (!inputs.empty()) Send(std::move(inputs));
}

void PressKey(WORD virtualKey) {
  INPUT key{};
  key.type = INPUT_KEYBOARD;
  key.ki.wVk = virtualKey;
  key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  INPUT release = key;
  release.ki.dwFlags = KEYEVENTF_KEYUP;
  Send({key, release});
}

}  // namespace qel::test
