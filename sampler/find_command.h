// The qel-find command that finds the sampled pixel again, which Ctrl+C copies from page 0 while
// sampling runs, ready to paste into a script.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace qel {

// "qel-find color RRGGBB --area X,Y,1,1": red first, as scripts write colours, and no "#", which a
// shell would take for the start of a comment. The top byte of the colour is left out.
std::string FindColorCommand(ColorValue color, std::int32_t x, std::int32_t y);

// Ctrl+C on the tab control: with page 0 shown and sampling on, copies the command for the colour
// and the pixel position the last tick showed. Nothing is copied before a tick has shown a
// sample, nor for a pixel that could not be read.
void OnCopyFindCommand(Form& form, ImageServices& images);

}  // namespace qel
