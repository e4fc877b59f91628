// The program's globals, owned by the running program and handed to the handlers that use them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "finder/color_finder.h"

namespace qel {

struct ProgramGlobals {
  std::unique_ptr<ColorFinder> GlobalColorFinder;
  float DisplayScale = 0.0f;
  std::int32_t HotkeyId = 0;
  // The four bytes of the last sampled colour; absent until the first sampling tick.
  std::optional<std::vector<std::uint8_t>> LastColorBytes;
};

}  // namespace qel
