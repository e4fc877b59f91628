// Text drawn by the system's GDI for the mini-GDI, as covered pixels.
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace qel {

// The GBK text in the font GDI's mapper picks for the request, drawn without smoothing.
std::optional<TextCoverage> RenderTextWithGdi(const FontRequest& font, std::string_view text);

}  // namespace qel
