// The skin library's file image, carried inside the program: the built library padded with zero
// bytes to a fixed length. The program writes it beside itself unchanged and never reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qel::skin {

inline constexpr std::size_t kSkinLibraryImageLength = 88576;

std::span<const std::uint8_t> SkinLibraryImage();

}  // namespace qel::skin
