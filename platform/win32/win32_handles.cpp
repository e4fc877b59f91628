#include "platform/win32/win32_handles.h"

#include <cstdint>

namespace qel {

HWND HwndOf(WindowHandle window) {
  const auto value = static_cast<std::intptr_t>(static_cast<std::int32_t>(window));
  return reinterpret_cast<HWND>(value);
}

WindowHandle HandleOf(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}

}  // namespace qel
