// Hotkeys and window messages for tests: keys another program holds, hooked windows, and the
// messages sent; pressing a key delivers the hotkey message the way the platform does.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace qel {

class FakeHotkeys final : public HotkeyService {
 public:
  struct Registration {
    WindowHandle window;
    std::int32_t id;
    std::uint32_t modifiers;
    std::uint32_t virtualKey;
  };
  struct SentMessage {
    WindowHandle target;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  // (modifiers, key) pairs that another program holds already.
  std::set<std::pair<std::uint32_t, std::uint32_t>> heldElsewhere;
  std::vector<Registration> registrations;
  std::vector<SentMessage> sent;
  int hooksInstalled = 0;
  // Given one, "register hotkey VK" goes into it for each registration asked for.
  std::vector<std::string>* journal = nullptr;
  // Runs for every message sent, as the target window's own processing would.
  std::function<void(const SentMessage&)> onSend;

  bool HookWindowMessages(WindowHandle window, MessageHook hook) override;
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  void SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) override;

  // The user presses the key: its window receives the hotkey message, if this program holds it.
  void Press(std::uint32_t modifiers, std::uint32_t virtualKey);

 private:
  std::map<WindowHandle, std::vector<MessageHook>> hooks_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, Registration> taken_;
};

}  // namespace qel
