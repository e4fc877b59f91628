// Clipping a run of pixels against an image's edge, a coordinate sum to the int range, and the one
// channel swap between the screen's pixels and colour values: shared by the drawing calls and the
// searches.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace qel {

// Screen pixels are 0x00RRGGBB and a ColorValue has red in the low byte: one swap turns either
// into the other.
inline std::uint32_t SwapRedAndBlue(std::uint32_t pixel) {
  return (pixel & 0xFFu) << 16 | (pixel & 0xFF00u) | (pixel >> 16 & 0xFFu);
}

// A coordinate sum formed in 64 bits, stopped at the edge of the int range: past it a point lies
// off any screen or bitmap, and it still does at the edge.
inline int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// Offsets [first, last) along a run. 64-bit, so that no sum of int coordinates can overflow.
struct OffsetRange {
  long long first;
  long long last;
  bool Empty() const { return first >= last; }
};

// Keeps the offsets i for which at + i lies inside [0, limit).
inline OffsetRange ClipRun(OffsetRange offsets, long long at, long long limit) {
  return {std::max(offsets.first, -at), std::min(offsets.last, limit - at)};
}

}  // namespace qel
