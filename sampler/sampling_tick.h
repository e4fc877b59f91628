// One sampling tick: the window under the cursor in the caption and the handle field, the scaled
// cursor position, and the colour of the pixel there in all its forms on page 0.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace qel {

// Reads the colour of the screen pixel at (x, y); CLR_INVALID when it cannot be read.
using PixelReader = std::function<ColorValue(std::int32_t x, std::int32_t y)>;

// Class names are read into a buffer of this many bytes, terminator included.
inline constexpr std::size_t kClassNameBuffer = 259;

void OnSampleTick(Form& form, Desktop& desktop, const PixelReader& readPixel, float displayScale,
                  std::optional<std::vector<std::uint8_t>>& lastColorBytes);

}  // namespace qel
