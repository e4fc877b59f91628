// Carrying out one qel-find request: the desktop or a file searched through the searches for
// scripts, and what to print and exit with.
#pragma once

#include <string>

#include "tools/qel_find/find_arguments.h"

namespace qel::find {

enum ExitStatus : int { kFound = 0, kNotFound = 1, kFailed = 2 };

struct Outcome {
  std::string printed;
  ExitStatus status = kFound;
};

// Throws ArgumentError for an input that cannot be read (a file, a window, the desktop itself),
// naming the argument that gave it.
Outcome RunRequest(const FindRequest& request);

}  // namespace qel::find
