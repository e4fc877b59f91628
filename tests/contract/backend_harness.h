// What the backend contract suite needs from a platform backend: its desktop, screen and hotkey
// services, and a way to do what other programs and the user do on that desktop (open windows,
// minimise them, move the pointer, hold and press keys). Each backend's test program provides one.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "convert/ui_texts.h"
#include "platform/platform.h"

namespace qel::test {

class BackendHarness {
 public:
  using MessageReceiver = std::function<void(WindowHandle target, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam)>;

  virtual ~BackendHarness() = default;

  virtual Desktop& desktop() = 0;
  virtual ScreenSource& screen() = 0;
  virtual HotkeyService& hotkeys() = 0;

  // Another program's top-level window, filled with `rgb` (0x00RRGGBB) and shown above the
  // others; back once it is drawn. The backend takes whichever form of the title it stores.
  virtual WindowHandle OpenWindow(const WindowRect& rect, std::uint32_t rgb, const UiText& title,
                                  const std::string& className) = 0;
  virtual void Minimise(WindowHandle window) = 0;
  virtual void MovePointer(ScreenPoint point) = 0;

  // A window of this program, for the hotkey service to hook. Messages the service sends to
  // this program's windows arrive at `onMessage`.
  virtual WindowHandle OwnWindow() = 0;
  // Another window of this program, to be told of each hotkey as the program's label is.
  virtual WindowHandle ReceiverWindow() = 0;
  MessageReceiver onMessage;

  // Another program takes F2 for itself.
  virtual void HoldF2Elsewhere() = 0;
  // Another program has the focus and the user presses F2.
  virtual void PressF2InAnotherProgram() = 0;

  // Lets the backend's events arrive until `condition` holds; false if it never does.
  virtual bool WaitFor(const std::function<bool()>& condition) = 0;
  // Lets whatever events are on their way arrive.
  virtual void Settle() = 0;
};

// Each backend's test program links the suite with its own harness, made here.
std::unique_ptr<BackendHarness> MakeBackendHarness();

class BackendContract : public testing::Test {
 protected:
  BackendContract() : harness_(MakeBackendHarness()) {}
  BackendHarness& harness() { return *harness_; }

 private:
  std::unique_ptr<BackendHarness> harness_;
};

}  // namespace qel::test
