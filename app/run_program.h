// What each platform's main does once it has put its platform together: runs the program, with
// running out of memory reported as a fatal error, and gives its exit code.
#pragma once

#include "bitmap/gdi.h"
#include "platform/platform.h"

namespace qel {

// `gdi` is the one the bitmap classes draw with: the system's own where there is one.
int RunProgram(Platform& platform, Gdi& gdi);

}  // namespace qel
