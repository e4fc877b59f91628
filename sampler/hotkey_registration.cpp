#include "sampler/hotkey_registration.h"

namespace qel {
namespace {

constexpr std::uint32_t kModAlt = 0x1;
constexpr std::uint32_t kModControl = 0x2;
constexpr std::uint32_t kModShift = 0x4;

}  // namespace

std::uint32_t HotkeyModifierFlags(std::uint32_t code) {
  switch (code) {
    case 1:
      return kModControl;
    case 2:
      return kModShift;
    case 3:
      return kModControl | kModShift;
    case 4:
      return kModAlt;
    case 5:
      return kModAlt | kModControl;
    case 6:
      return kModAlt | kModShift;
    default:
      return code;
  }
}

std::int32_t HotkeyRegistration::RegisterAppHotkey(WindowHandle window, WindowHandle receiver,
                                                   std::uint32_t modifierCode,
                                                   std::uint32_t virtualKey) {
  const std::uint32_t modifiers = HotkeyModifierFlags(modifierCode);
  receiver_ = receiver;
  if (!hooked_) {
    service_.HookWindowMessages(
        window, [this](WindowHandle, std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
          OnWindowMessage(message, wParam);
        });
    hooked_ = true;
  }
  // The count grows whether or not the platform takes the key.
  ++registrations_;
  lastId_ = kFirstHotkeyId - 1 + registrations_;
  return service_.RegisterHotKey(window, lastId_, modifiers, virtualKey) ? lastId_ : 0;
}

void HotkeyRegistration::OnWindowMessage(std::uint32_t message, std::uintptr_t wParam) {
  if (message != kWmHotkey) return;
  for (std::int32_t id = kFirstHotkeyId; id <= lastId_; ++id) {
    if (static_cast<std::uintptr_t>(id) == wParam) {
      service_.SendMessage(receiver_, kHotkeyNotifyMessage, wParam, 0);
    }
  }
}

}  // namespace qel
