// The bytes of the program's 33 skin files, built from resources/skins at build time and carried
// inside the program.
#pragma once

#include <cstdint>
#include <span>

namespace qel::skin {

// Skin `number` (1 to 33) as its file holds it; empty for any other number.
std::span<const std::uint8_t> SkinBlock(int number);

}  // namespace qel::skin
