// Reading a window's _NET_WM_ICON property into images: the pure part of the desktop's window
// icons, tested without a display. Any client may set the property to anything.
#pragma once

#include <span>
#include <vector>

#include "platform/platform.h"

namespace qel {

// No desktop shows an icon larger than this on a side; a larger one is skipped.
inline constexpr unsigned long kMaxIconSide = 1024;

// The icons in the property's items (width, height, then width x height 0xAARRGGBB pixels, again
// for each icon; Xlib hands each 32-bit item as a long), largest first. Icons of zero or too large
// a size are skipped; an icon that claims more pixels than follow ends the list.
std::vector<ArgbImage> ParseNetWmIcon(std::span<const unsigned long> items);

}  // namespace qel
