#include "platform/win32/win32_desktop.h"

#include <algorithm>

#include "platform/win32/win32_dib.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

// The longest class name the system registers, and its terminator.
constexpr int kClassNameCapacity = 257;

WindowRect ToWindowRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

ScreenPoint Win32Desktop::CursorPosition() {
  POINT point{};
  if (GetCursorPos(&point) == 0) return {};
  return {point.x, point.y};
}

WindowHandle Win32Desktop::WindowFromPoint(ScreenPoint point) {
  return HandleOf(::WindowFromPoint(POINT{point.x, point.y}));
}

WindowHandle Win32Desktop::Parent(WindowHandle window) {
  const HWND hwnd = HwndOf(window);
  if (window == 0 || ::IsWindow(hwnd) == 0) return 0;
  // GetParent would give a pop-up's owner; the parent of a top-level window is the desktop.
  const HWND parent = GetAncestor(hwnd, GA_PARENT);
  if (parent == nullptr || parent == GetDesktopWindow()) return 0;
  return HandleOf(parent);
}

WindowHandle Win32Desktop::NextSibling(WindowHandle window) {
  if (window == 0) return 0;
  return HandleOf(GetWindow(HwndOf(window), GW_HWNDNEXT));
}

bool Win32Desktop::IsWindow(WindowHandle window) {
  return window != 0 && ::IsWindow(HwndOf(window)) != 0;
}

bool Win32Desktop::IsVisible(WindowHandle window) {
  return window != 0 && IsWindowVisible(HwndOf(window)) != 0;
}

bool Win32Desktop::IsIconic(WindowHandle window) {
  return window != 0 && ::IsIconic(HwndOf(window)) != 0;
}

std::optional<WindowRect> Win32Desktop::WindowRectOf(WindowHandle window) {
  RECT rect{};
  if (window == 0 || GetWindowRect(HwndOf(window), &rect) == 0) return std::nullopt;
  return ToWindowRect(rect);
}

std::optional<WindowRect> Win32Desktop::ClientRectOf(WindowHandle window) {
  RECT rect{};
  if (window == 0 || GetClientRect(HwndOf(window), &rect) == 0) return std::nullopt;
  return ToWindowRect(rect);
}

std::optional<ScreenPoint> Win32Desktop::ClientToScreen(WindowHandle window, ScreenPoint point) {
  POINT converted{point.x, point.y};
  if (window == 0 || ::ClientToScreen(HwndOf(window), &converted) == 0) return std::nullopt;
  return ScreenPoint{converted.x, converted.y};
}

std::string Win32Desktop::Title(WindowHandle window) {
  if (window == 0) return {};
  const HWND hwnd = HwndOf(window);
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, title.data(), length + 1);
  title.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return Utf16ToGbk(title);
}

std::optional<std::string> Win32Desktop::ClassName(WindowHandle window) {
  if (window == 0) return std::nullopt;
  wchar_t name[kClassNameCapacity] = {};
  const int length = GetClassNameW(HwndOf(window), name, kClassNameCapacity);
  if (length <= 0) return std::nullopt;
  return Utf16ToGbk({name, static_cast<std::size_t>(length)});
}

bool Win32Desktop::PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) {
  const HWND hwnd = HwndOf(window);
  // A minimised window draws only its icon, if anything: that is not its drawing. Wine's
  // PrintWindow reports success even for a handle that is no window, so that is asked first.
  if (window == 0 || width <= 0 || height <= 0 || ::IsWindow(hwnd) == 0 || ::IsIconic(hwnd) != 0) {
    return false;
  }
  const Dib32 target(width, height);
  if (!target.Ready()) return false;
  // What the window leaves undrawn reads as black rather than as stale memory.
  const RECT all{0, 0, width, height};
  FillRect(target.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (::PrintWindow(hwnd, target.Dc(), 0) == 0) return false;
  target.CopyTo(width, height, pixels, width);
  return true;
}

bool Win32Desktop::DrawToWindow(WindowHandle, int, int, int, int, const std::uint32_t*) {
  return false;  // TODO(drawing): not yet
}

std::vector<ArgbImage> Win32Desktop::WindowIcons(WindowHandle) { return {}; }

}  // namespace qel
