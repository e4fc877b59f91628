// The program's hotkeys: identifiers from 33001 up, one receiver window that is told of each
// hotkey with the private message 0x8075, and the main window's messages hooked once to do so.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace qel {

inline constexpr std::int32_t kFirstHotkeyId = 33001;
inline constexpr std::uint32_t kHotkeyNotifyMessage = kLabelNotifyMessage;
inline constexpr std::uint32_t kF2VirtualKey = 0x71;

// The platform's modifier flags for the program's modifier codes (1 Ctrl, 2 Shift, 3 Ctrl+Shift,
// 4 Alt, 5 Alt+Ctrl, 6 Alt+Shift); any other code is passed on as it is.
std::uint32_t HotkeyModifierFlags(std::uint32_t code);

class HotkeyRegistration {
 public:
  explicit HotkeyRegistration(HotkeyService& service) : service_(service) {}

  // The identifier of the new hotkey, or 0 when the platform refused it.
  std::int32_t RegisterAppHotkey(WindowHandle window, WindowHandle receiver,
                                 std::uint32_t modifierCode, std::uint32_t virtualKey);

 private:
  void OnWindowMessage(std::uint32_t message, std::uintptr_t wParam);

  HotkeyService& service_;
  std::int32_t registrations_ = 0;
  std::int32_t lastId_ = 0;
  WindowHandle receiver_ = 0;
  bool hooked_ = false;
};

}  // namespace qel
