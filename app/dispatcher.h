// Delivers the window's events to their bound handlers, one at a time; events nobody is bound to
// are dropped, and once a fatal error is being reported nothing is delivered any more.
#pragma once

#include <span>

#include "app/bindings.h"

namespace qel {

class Dispatcher final : public EventSink {
 public:
  Dispatcher(std::span<const Binding> bindings, Platform& platform, const BitmapContext& bitmaps,
             HotkeyRegistration& hotkeyRegistration, ProgramGlobals& globals, SkinDeployment& skin);

  // Handlers run only once the window's form exists.
  void AttachForm(Form& form) { form_ = &form; }
  void Halt() { halted_ = true; }
  bool Halted() const { return halted_; }

  void Deliver(ControlId control, Event event, std::int32_t a, std::int32_t b) override;

 private:
  std::span<const Binding> bindings_;
  Platform& platform_;
  const BitmapContext& bitmaps_;
  HotkeyRegistration& hotkeyRegistration_;
  ProgramGlobals& globals_;
  SkinDeployment& skin_;
  Form* form_ = nullptr;
  bool halted_ = false;
};

}  // namespace qel
