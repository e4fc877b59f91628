// Where an area search looks.
#pragma once

#include <cstdint>

namespace qel {

// Screen coordinates, or client-area coordinates when a window is given. The searches write a
// cut width and height back into it.
struct SearchArea {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

}  // namespace qel
