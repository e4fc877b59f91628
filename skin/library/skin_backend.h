// The seam between the skin library's two operations and the toolkit that draws: each platform
// half restyles the program's windows in its own toolkit's way.
#pragma once

#include "skin/skin_format.h"

namespace qel::skin {

// Restyles the calling program's windows and controls in `theme`: those there now and those it
// makes later. The library keeps what it needs; `theme` may go once this returns.
void ApplyTheme(const Theme& theme);

// Shows the aero look (a band of the title's tint across the top of each top-level window, over
// the window face) when `enabled`, the plain face otherwise. Remembered for a theme applied later.
void ApplyAero(bool enabled);

}  // namespace qel::skin
