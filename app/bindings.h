// Which handler each (control, event) pair runs. Fixed when the program is built.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "app/program_globals.h"
#include "bitmap/screen_bitmap.h"
#include "platform/platform.h"
#include "sampler/hotkey_registration.h"

namespace qel {

class SkinDeployment;

// What a handler may touch: the window's controls, the platform and the program's globals.
struct HandlerContext {
  Form& form;
  Platform& platform;
  const BitmapContext& bitmaps;
  HotkeyRegistration& hotkeyRegistration;
  ProgramGlobals& globals;
  SkinDeployment& skin;
};

using Handler = void (*)(HandlerContext& context, std::int32_t a, std::int32_t b);

struct Binding {
  ControlId control;
  Event event;
  std::string_view handlerName;
  Handler handler;
};

std::span<const Binding> EventBindings();

// Runs once the window and all its controls exist, before the window is first shown: attaches the
// start-up skin with the aero option, then registers F2.
void OnMainWindowCreated(HandlerContext& context);

}  // namespace qel
