#include "platform/win32/win32_hotkeys.h"

#include <deque>

#include "platform/win32/win32_handles.h"

namespace qel {

struct Win32Hotkeys::HookedWindow {
  WindowHandle window;
  LONG_PTR previousProcedure;
  // A hook may hook the window again while it runs; a deque keeps the running one in place.
  std::deque<MessageHook> hooks;
};

namespace {

// The window properties a hooked window carries: its hooks, and the procedure to hand on to. The
// second outlives the first when another procedure was put on top of ours after it, so that
// the chain still reaches the window's own procedure once the service is gone.
constexpr const wchar_t* kHooksProperty = L"Qel.MessageHooks";
constexpr const wchar_t* kPreviousProperty = L"Qel.PreviousProcedure";

LRESULT CALLBACK HookedProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hooked = static_cast<Win32Hotkeys::HookedWindow*>(GetPropW(hwnd, kHooksProperty));
  const auto previous =
      reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(GetPropW(hwnd, kPreviousProperty)));
  if (hooked != nullptr) {
    for (std::size_t i = 0; i < hooked->hooks.size(); ++i) {
      hooked->hooks[i](hooked->window, message, wParam, lParam);
    }
  }
  if (message == WM_NCDESTROY) {
    // The window's last message: nothing of ours may stay on it.
    if (hooked != nullptr) hooked->hooks.clear();
    RemovePropW(hwnd, kHooksProperty);
    RemovePropW(hwnd, kPreviousProperty);
    if (previous != nullptr) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
  }
  if (previous == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

}  // namespace

Win32Hotkeys::Win32Hotkeys() = default;

Win32Hotkeys::~Win32Hotkeys() {
  for (const auto& [window, id] : registered_) UnregisterHotKey(HwndOf(window), id);
  for (const auto& [window, hooked] : hooked_) {
    const HWND hwnd = HwndOf(window);
    if (GetPropW(hwnd, kHooksProperty) != hooked.get()) continue;  // gone, or someone else's
    RemovePropW(hwnd, kHooksProperty);
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookedProcedure)) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, hooked->previousProcedure);
      RemovePropW(hwnd, kPreviousProperty);
    }
  }
}

bool Win32Hotkeys::HookWindowMessages(WindowHandle window, MessageHook hook) {
  const HWND hwnd = HwndOf(window);
  DWORD process = 0;
  if (window == 0 || GetWindowThreadProcessId(hwnd, &process) == 0 ||
      process != GetCurrentProcessId()) {
    return false;
  }
  if (const auto found = hooked_.find(window);
      found != hooked_.end() && GetPropW(hwnd, kHooksProperty) == found->second.get()) {
    found->second->hooks.push_back(std::move(hook));
    return true;
  }
  // A window already hooked by another service keeps that service's chain below ours.
  if (GetPropW(hwnd, kHooksProperty) != nullptr || GetPropW(hwnd, kPreviousProperty) != nullptr) {
    return false;
  }
  auto hooked = std::make_unique<HookedWindow>();
  hooked->window = window;
  hooked->hooks.push_back(std::move(hook));
  hooked->previousProcedure = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  if (hooked->previousProcedure == 0 ||
      SetPropW(hwnd, kPreviousProperty, reinterpret_cast<HANDLE>(hooked->previousProcedure)) == 0) {
    return false;
  }
  if (SetPropW(hwnd, kHooksProperty, hooked.get()) == 0) {
    RemovePropW(hwnd, kPreviousProperty);
    return false;
  }
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookedProcedure));
  hooked_[window] = std::move(hooked);
  return true;
}

bool Win32Hotkeys::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                  std::uint32_t virtualKey) {
  if (::RegisterHotKey(HwndOf(window), id, modifiers, virtualKey) == 0) return false;
  registered_.emplace_back(window, id);
  return true;
}

void Win32Hotkeys::SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
  SendMessageW(HwndOf(target), message, wParam, lParam);
}

}  // namespace qel
