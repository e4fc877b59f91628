#include "skin/library/skin_look.h"

#include <algorithm>

namespace qel::skin {

const Texture* FindTexture(const Theme& theme, std::string_view name) {
  for (const Texture& texture : theme.textures) {
    if (texture.name == name) return &texture;
  }
  return nullptr;
}

Colour Blend(Colour from, Colour to, int amount) {
  amount = std::clamp(amount, 0, 255);
  const auto mix = [amount](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>((a * (255 - amount) + b * amount + 127) / 255);
  };
  return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

}  // namespace qel::skin
