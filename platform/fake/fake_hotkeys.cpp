#include "platform/fake/fake_hotkeys.h"

#include <string>

namespace qel {

bool FakeHotkeys::HookWindowMessages(WindowHandle window, MessageHook hook) {
  hooks_[window].push_back(std::move(hook));
  ++hooksInstalled;
  return true;
}

bool FakeHotkeys::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                 std::uint32_t virtualKey) {
  const std::pair key{modifiers, virtualKey};
  registrations.push_back({window, id, modifiers, virtualKey});
  if (journal != nullptr) journal->push_back("register hotkey " + std::to_string(virtualKey));
  if (heldElsewhere.contains(key) || taken_.contains(key)) return false;
  taken_.emplace(key, registrations.back());
  return true;
}

void FakeHotkeys::SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  sent.push_back({target, message, wParam, lParam});
  if (onSend) onSend(sent.back());
}

void FakeHotkeys::Press(std::uint32_t modifiers, std::uint32_t virtualKey) {
  const auto found = taken_.find({modifiers, virtualKey});
  if (found == taken_.end()) return;
  const Registration& registration = found->second;
  for (const MessageHook& hook : hooks_[registration.window]) {
    hook(registration.window, kWmHotkey, static_cast<std::uintptr_t>(registration.id), 0);
  }
}

}  // namespace qel
