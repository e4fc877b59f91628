// The live colour swatch of the conversion page and the focus rules that keep the input group to
// one colour form at a time.
#pragma once

#include "platform/platform.h"

namespace qel {

// Every 500 ms once started: shows the typed colour; leaves the swatch alone when nothing usable
// is typed.
void OnPreviewTick(Form& form);

// Each clears the fields of the other colour forms. Hexadecimal, blue and decimal also start the
// preview; red and green do not, so the swatch waits for blue before following components.
void OnHexInputFocus(Form& form);
void OnRedInputFocus(Form& form);
void OnGreenInputFocus(Form& form);
void OnBlueInputFocus(Form& form);
void OnDecimalInputFocus(Form& form);

}  // namespace qel
