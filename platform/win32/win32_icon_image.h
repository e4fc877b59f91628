// A window's icon as an ARGB image: the system's icon bitmaps read back at 32 bits, the alpha taken
// from the colour bitmap when it carries any, else from the icon's mask.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace qel {

// Builds the image from an icon's bitmaps read as 32-bit top-down rows. `colour` is empty for a
// monochrome icon, whose `mask` then holds the AND rows followed by the XOR rows; otherwise `mask`
// holds the AND rows alone. A mask pixel that is not 0 is a set bit. The spans must hold every row.
ArgbImage ComposeIcon(int width, int height, std::span<const std::uint32_t> colour,
                      std::span<const std::uint32_t> mask);

// Nullopt when the handle is no icon or its bitmaps cannot be read.
std::optional<ArgbImage> IconImage(HICON icon);

// The icons a window shows for itself: what it answers for itself first (large, then small), then
// its class's, which stand in when it sets none of its own. The window keeps them. A window that
// does not answer within `answerTimeoutMs` is taken to have none of its own.
std::vector<HICON> WindowIconHandles(HWND window, UINT answerTimeoutMs);

}  // namespace qel
