// Switching sampling on and off. The state is Button1's caption together with Timer1's interval;
// the display scale of the checked radio button is taken at the moment sampling starts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qel {

inline constexpr int kSamplingIntervalMs = 100;

// The eight lines of the box shown when sampling is started with no scale chosen.
std::string ScaleMessageText();

// Any caption of Button1 but exactly "开始(F2)" means that sampling runs.
bool IsSampling(const Form& form);

void OnStartStopClick(Form& form, Dialogs& dialogs, float& displayScale);

// The notification Label13 raises when a registered hotkey fires: (identifier, extra).
void OnHotkeyNotify(Form& form, Dialogs& dialogs, float& displayScale, std::int32_t hotkeyId,
                    std::int32_t identifier, std::int32_t extra);

}  // namespace qel
