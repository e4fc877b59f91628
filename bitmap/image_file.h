// Image files read from disk no further than their headers say the image needs: a huge file that
// is no image costs its first bytes only, and a FIFO or a device is refused rather than waited on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "bitmap/gdi.h"

namespace qel {

// The start of the regular file at `path` that a BMP file (ImageType::Bitmap) or an .ico file
// (ImageType::Icon) needs, or all of it when it is shorter; nullopt for anything other than a
// regular file, a file that cannot be read, or one whose headers are not of that type.
std::optional<std::vector<std::uint8_t>> ReadImageFile(const std::filesystem::path& path,
                                                       ImageType type);

// Whether a BMP file may be handed to the system's own loader, which makes whatever image a file
// declares: a regular file that declares no image over the decode limit. The loader judges the
// rest of it.
bool MayLoadBmpFile(const std::filesystem::path& path);

}  // namespace qel
