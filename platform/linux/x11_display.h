// Whether an X display can be reached, and if not, what to tell the user.
#pragma once

#include <optional>
#include <string>

namespace qel {

// Empty when the display named by DISPLAY answers; otherwise a plain explanation with a way out.
std::optional<std::string> DisplayProblem();

}  // namespace qel
