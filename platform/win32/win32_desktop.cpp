#include "platform/win32/win32_desktop.h"

#include <algorithm>
#include <cwchar>

#include "platform/win32/win32_dib.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_icon_image.h"

namespace qel {
namespace {

// The longest class name the system registers, and its terminator.
constexpr int kClassNameCapacity = 257;
// How long another program may take to answer; the sampling tick waits for it.
constexpr UINT kAnswerTimeoutMs = 50;
// An edit box may hold megabytes; only the start of it is read every tick.
constexpr DWORD_PTR kLongestTitle = 1u << 16;
constexpr int kKeptCaptionCapacity = 512;

WindowRect ToWindowRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// A window's client-area device context, released when it goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// What the window answers to WM_GETTEXT. GetWindowText would give only the caption the system keeps
// for a window of another process, not what its edit box holds. Nullopt when it does not answer in
// time, so that a hung program cannot stall the sampling tick.
std::optional<std::wstring> AnsweredText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                          &length) == 0) {
    return std::nullopt;
  }
  if (length == 0) return std::wstring{};
  length = std::min(length, kLongestTitle);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied) == 0) {
    return std::nullopt;
  }
  text.resize(std::min<std::size_t>(copied, length));
  // A window may answer with fewer characters than it announced, and end them early.
  text.resize(std::wcslen(text.c_str()));
  return text;
}

// The caption the system keeps for the window, read without asking the window.
std::wstring KeptCaption(HWND hwnd) {
  wchar_t caption[kKeptCaptionCapacity] = {};
  const int length = InternalGetWindowText(hwnd, caption, kKeptCaptionCapacity);
  return {caption, static_cast<std::size_t>(std::clamp(length, 0, kKeptCaptionCapacity - 1))};
}

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
  std::optional<std::wstring> title = AnsweredText(hwnd);
  if (!title) title = KeptCaption(hwnd);
  return Utf16ToGbk(*title);
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

bool Win32Desktop::DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                                const std::uint32_t* pixels) {
  const HWND hwnd = HwndOf(window);
  if (window == 0 || ::IsWindow(hwnd) == 0 || pixels == nullptr) return false;
  if (width <= 0 || height <= 0) return true;
  const WindowDc dc(hwnd);
  if (dc.Get() == nullptr) return false;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  return SetDIBitsToDevice(dc.Get(), x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0,
                           0, 0, static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS) != 0;
}

std::vector<ArgbImage> Win32Desktop::WindowIcons(WindowHandle window) {
  const HWND hwnd = HwndOf(window);
  if (window == 0 || ::IsWindow(hwnd) == 0) return {};
  const std::vector<HICON> icons = WindowIconHandles(hwnd, kAnswerTimeoutMs);
  std::vector<ArgbImage> images;
  for (const HICON icon : icons) {
    std::optional<ArgbImage> image = IconImage(icon);
    if (!image) continue;
    const bool seen = std::any_of(images.begin(), images.end(), [&image](const ArgbImage& other) {
      return other.width == image->width && other.height == image->height &&
             other.pixels == image->pixels;
    });
    if (!seen) images.push_back(std::move(*image));
  }
  std::stable_sort(images.begin(), images.end(), [](const ArgbImage& a, const ArgbImage& b) {
    return static_cast<long long>(a.width) * a.height > static_cast<long long>(b.width) * b.height;
  });
  return images;
}

}  // namespace qel
