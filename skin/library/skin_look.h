// What both halves of the skin library read from a theme beyond its fields: the textures by the
// names our skins give them, and colour arithmetic.
#pragma once

#include <string_view>

#include "skin/skin_format.h"

namespace qel::skin {

// Tiled over each top-level window's face.
inline constexpr std::string_view kWindowTileTexture = "window_tile";
// Stretched over a button's face, top to bottom.
inline constexpr std::string_view kButtonFaceTexture = "button_face";
// Stretched across the aero band.
inline constexpr std::string_view kTitleBandTexture = "title_band";

// The aero band's height in pixels, from the top of a window's client area.
inline constexpr int kAeroBandHeight = 24;

// The texture of that name, or null.
const Texture* FindTexture(const Theme& theme, std::string_view name);

// `from` moved toward `to` by amount / 255.
Colour Blend(Colour from, Colour to, int amount);

}  // namespace qel::skin
