// The clipboard's image formats, CF_DIBV5 and CF_DIB: a packed DIB (header, masks or colour table,
// rows) read and written byte by byte, so that what another program offers is never trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace qel {

// 32 bits with alpha, a BITMAPV5HEADER with bit-field masks, rows bottom-up.
std::vector<std::uint8_t> PackDibV5(const ArgbImage& image);
// 24 bits for any program that reads only the oldest form, a BITMAPINFOHEADER, rows bottom-up;
// the alpha is dropped.
std::vector<std::uint8_t> PackDib24(const ArgbImage& image);

// Any header from BITMAPCOREHEADER to BITMAPV5HEADER at 1, 4, 8, 16, 24 or 32 bits, uncompressed or
// with bit-field masks. Alpha comes only from an alpha mask, and an alpha channel that is 0
// everywhere is taken as unset, as programs that ignore it leave it. Nullopt for anything else,
// or when the bytes do not hold the whole image.
std::optional<ArgbImage> UnpackDib(std::span<const std::uint8_t> dib);

}  // namespace qel
