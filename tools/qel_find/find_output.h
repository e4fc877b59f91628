// What qel-find prints: one answer a line, or one JSON array of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qel/searches.h"

namespace qel::find {

// "x y" lines, or [{"x": 10, "y": 20}, ...].
std::string FormatPlaces(const std::vector<FoundPoint>& places, bool json);
// "#RRGGBB DECIMAL", or [{"hex": "#RRGGBB", "decimal": N}]; nothing, or [], without a colour.
std::string FormatPixel(std::optional<ColorValue> color, bool json);
// The number with no fraction or exponent, or [N]; nothing, or [], without one.
std::string FormatNumber(std::optional<double> number, bool json);

}  // namespace qel::find
