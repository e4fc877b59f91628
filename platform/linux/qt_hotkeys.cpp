#include "platform/linux/qt_hotkeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/linux/qt_x11_connection.h"

namespace qel {
namespace {

constexpr std::uint32_t kVkF1 = 0x70;
constexpr std::uint32_t kVkF24 = 0x87;
constexpr std::uint32_t kModAlt = 0x1;
constexpr std::uint32_t kModControl = 0x2;
constexpr std::uint32_t kModShift = 0x4;
constexpr std::uint32_t kModWin = 0x8;

// The modifier bits of the lock keys: Caps Lock's own, and those Num Lock and Scroll Lock sit on,
// read from the server's modifier map.
std::uint16_t LockMasks(Display* display) {
  const KeyCode locks[] = {XKeysymToKeycode(display, XK_Num_Lock),
                           XKeysymToKeycode(display, XK_Scroll_Lock)};
  std::uint16_t masks = LockMask;
  XModifierKeymap* map = XGetModifierMapping(display);
  if (map == nullptr) return masks;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int key = 0; key < map->max_keypermod; ++key) {
      const KeyCode keycode = map->modifiermap[modifier * map->max_keypermod + key];
      for (const KeyCode lock : locks) {
        if (lock != 0 && keycode == lock) masks = static_cast<std::uint16_t>(masks | 1 << modifier);
      }
    }
  }
  XFreeModifiermap(map);
  return masks;
}

}  // namespace

unsigned long KeysymOfVirtualKey(std::uint32_t virtualKey) {
  if (virtualKey >= kVkF1 && virtualKey <= kVkF24) return XK_F1 + (virtualKey - kVkF1);
  if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
  if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
  return 0;
}

std::uint16_t X11ModifierMask(std::uint32_t modifiers) {
  std::uint16_t mask = 0;
  if (modifiers & kModAlt) mask |= Mod1Mask;
  if (modifiers & kModControl) mask |= ControlMask;
  if (modifiers & kModShift) mask |= ShiftMask;
  if (modifiers & kModWin) mask |= Mod4Mask;
  return mask;
}

QtHotkeys::QtHotkeys(Deliver deliver) : deliver_(std::move(deliver)) {}

QtHotkeys::~QtHotkeys() {
  // The keys go back to the desktop, so that another program can have them.
  if (xcb_connection_t* connection = QtConnection()) {
    for (const Grab& grab : grabs_) {
      for (const std::uint16_t locks : lockCombinations_) {
        xcb_ungrab_key(connection, grab.keycode, grab.root,
                       static_cast<std::uint16_t>(grab.modifiers | locks));
      }
    }
    xcb_flush(connection);
  }
  if (filtering_ && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool QtHotkeys::HookWindowMessages(WindowHandle window, MessageHook hook) {
  hooks_[window].push_back(std::move(hook));
  return true;
}

bool QtHotkeys::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                               std::uint32_t virtualKey) {
  Display* display = QtDisplay();
  xcb_connection_t* connection = QtConnection();
  const unsigned long keysym = KeysymOfVirtualKey(virtualKey);
  if (display == nullptr || connection == nullptr || keysym == 0) return false;
  const KeyCode keycode = XKeysymToKeycode(display, keysym);
  if (keycode == 0) return false;
  if (lockCombinations_.empty()) {
    lockMasks_ = LockMasks(display);
    // One grab for every combination of the lock keys, so the key works whatever their state.
    lockCombinations_.push_back(0);
    for (std::uint16_t bit = 1; bit != 0 && bit <= lockMasks_;
         bit = static_cast<std::uint16_t>(bit << 1)) {
      if ((lockMasks_ & bit) == 0) continue;
      const std::size_t count = lockCombinations_.size();
      for (std::size_t i = 0; i < count; ++i) {
        lockCombinations_.push_back(static_cast<std::uint16_t>(lockCombinations_[i] | bit));
      }
    }
  }
  const std::uint16_t mask = X11ModifierMask(modifiers);
  const xcb_window_t root = DefaultRootWindow(display);

  // All grabs go out together and are checked in one round trip.
  std::vector<xcb_void_cookie_t> cookies;
  cookies.reserve(lockCombinations_.size());
  for (const std::uint16_t locks : lockCombinations_) {
    cookies.push_back(xcb_grab_key_checked(connection, 1, root,
                                           static_cast<std::uint16_t>(mask | locks), keycode,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
  }
  std::vector<std::uint16_t> taken;
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookies[i])) {
      std::free(error);
    } else {
      taken.push_back(lockCombinations_[i]);
    }
  }
  if (taken.size() != lockCombinations_.size()) {
    // Another program holds the key: give back what was taken, as a refused registration.
    for (const std::uint16_t undo : taken) {
      xcb_ungrab_key(connection, keycode, root, static_cast<std::uint16_t>(mask | undo));
    }
    xcb_flush(connection);
    return false;
  }
  grabs_.push_back({window, id, keycode, mask, root});
  if (!filtering_) {
    QCoreApplication::instance()->installNativeEventFilter(this);
    filtering_ = true;
  }
  return true;
}

void QtHotkeys::SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  deliver_(target, message, wParam, lParam);
}

bool QtHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
  const auto* press = static_cast<const xcb_key_press_event_t*>(message);
  const auto modifiers = static_cast<std::uint16_t>(press->state & ~lockMasks_ & 0xFF);
  for (const Grab& grab : grabs_) {
    if (grab.keycode != press->detail || grab.modifiers != modifiers) continue;
    // Copied: a hook may register further keys and so grow the lists.
    const std::vector<MessageHook> hooks = hooks_[grab.window];
    for (const MessageHook& hook : hooks) {
      hook(grab.window, kWmHotkey, static_cast<std::uintptr_t>(grab.id), 0);
    }
    return true;
  }
  return false;
}

}  // namespace qel
