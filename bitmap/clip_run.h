// Clipping a run of pixels against an image's edge, and the one channel swap between the screen's
// pixels and colour values: shared by the mini-GDI's drawing calls.
#pragma once

#include <algorithm>
#include <cstdint>

namespace qel {

// Screen pixels are 0x00RRGGBB and a ColorValue has red in the low byte: one swap turns either
// into the other.
inline std::uint32_t SwapRedAndBlue(std::uint32_t pixel) {
  return (pixel & 0xFFu) << 16 | (pixel & 0xFF00u) | (pixel >> 16 & 0xFFu);
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
