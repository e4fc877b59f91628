// System-wide hotkeys on X11, through the toolkit's own connection: a key grab on the root window
// for every state of the lock keys, the hooked window told with the hotkey message, and messages
// sent to the main window's controls.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>  // before any X11 header, whose macros clash with Qt's names
#include <functional>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace qel {

// The X keysym of a platform virtual-key code the program may register (F1 to F24, digits and
// letters); 0 for any other.
unsigned long KeysymOfVirtualKey(std::uint32_t virtualKey);
// The X modifier mask of the platform's hotkey modifier flags (Alt 1, Control 2, Shift 4, Win 8).
std::uint16_t X11ModifierMask(std::uint32_t modifiers);

class QtHotkeys final : public HotkeyService, private QAbstractNativeEventFilter {
 public:
  // `deliver` hands a sent message to the window that owns the target.
  using Deliver = std::function<void(WindowHandle target, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam)>;

  explicit QtHotkeys(Deliver deliver);
  ~QtHotkeys() override;

  bool HookWindowMessages(WindowHandle window, MessageHook hook) override;
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  void SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) override;

 private:
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  struct Grab {
    WindowHandle window;
    std::int32_t id;
    std::uint8_t keycode;
    std::uint16_t modifiers;
    std::uint32_t root;
  };

  Deliver deliver_;
  std::map<WindowHandle, std::vector<MessageHook>> hooks_;
  std::vector<Grab> grabs_;
  std::uint16_t lockMasks_ = 0;  // Caps Lock, Num Lock and Scroll Lock, which a grab ignores
  std::vector<std::uint16_t> lockCombinations_;  // every state of those keys, each grabbed
  bool filtering_ = false;
};

}  // namespace qel
