// Reads the image of an .ico file that LoadImage(IMAGE_ICON) would pick for a size, with its
// transparency, for the GDI's icon loading.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/platform.h"

namespace qel {

// How many bytes from the start of an .ico file its images need, from its start in `head`: the
// directory's size while `head` holds less than all of the directory, then the end of its last
// image. Nullopt when `head` starts no icon directory.
std::optional<std::int64_t> IconFileBytesNeeded(std::span<const std::uint8_t> head);

// The image of an .ico file image that LoadImage(IMAGE_ICON, width, height) picks (the entry
// nearest the size, then the deepest; 0 for width/height means 32), decoded unscaled to an
// ArgbImage: alpha from a 32-bit image that has any, otherwise from the AND mask (mask bit 1 =
// transparent, alpha 0). PNG-compressed entries are decoded through images.DecodePng. nullopt when
// the file is damaged or has no usable entry.
std::optional<ArgbImage> ReadIconFile(std::span<const std::uint8_t> file, int width, int height,
                                      ImageServices& images);

}  // namespace qel
