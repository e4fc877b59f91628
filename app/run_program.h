// What each platform's main does once it has put its platform together: runs the program, with
// running out of memory reported as a fatal error, and gives its exit code.
#pragma once

#include "platform/platform.h"

namespace qel {

int RunProgram(Platform& platform);

}  // namespace qel
