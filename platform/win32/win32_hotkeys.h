// System-wide hotkeys and window messages on Windows: RegisterHotKey, messages sent with
// SendMessageW, and a hooked window's procedure replaced by one that shows each message to the
// hooks before handing it to the procedure it replaced.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace qel {

class Win32Hotkeys final : public HotkeyService {
 public:
  Win32Hotkeys();
  // Gives the keys back and the hooked windows their own procedures.
  ~Win32Hotkeys() override;
  Win32Hotkeys(const Win32Hotkeys&) = delete;
  Win32Hotkeys& operator=(const Win32Hotkeys&) = delete;

  // Hooks only windows of the calling process.
  bool HookWindowMessages(WindowHandle window, MessageHook hook) override;
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  void SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) override;

  // What a hooked window carries while it is hooked.
  struct HookedWindow;

 private:
  std::map<WindowHandle, std::unique_ptr<HookedWindow>> hooked_;
  std::vector<std::pair<WindowHandle, std::int32_t>> registered_;
};

}  // namespace qel
