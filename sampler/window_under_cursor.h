// The window the sampler reports: the window under the cursor, or among its visible siblings that
// also hold the cursor, the one with the smallest rectangle.
#pragma once

#include "platform/platform.h"

namespace qel {

WindowHandle WindowUnderCursor(Desktop& desktop);

}  // namespace qel
