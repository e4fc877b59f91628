// How large an image the BMP and icon decoders make. A file of a few bytes can declare an image of
// gigabytes, so a declared size over the limit is refused before any memory is taken for it.
#pragma once

#include <cstdint>

namespace qel {

// 256 MiB of decoded 32-bit pixels (a 8192 x 8192 image), as Qt's image reader allows by default.
inline constexpr std::int64_t kDefaultDecodeLimitBytes = std::int64_t{256} << 20;

// The limit, in bytes of decoded 32-bit pixels (width x height x 4), for every decoder in the
// process: LoadBmpFile, LoadBmpBytesViaFile, icons, and the searches' images.
std::int64_t DecodeLimitBytes();
// Sets it, from any thread; 0 or less lifts it (the GDI still makes no image of 2 GiB or more).
void SetDecodeLimitBytes(std::int64_t bytes);
// Whether an image of width x height pixels (both positive) is within the limit.
bool WithinDecodeLimit(std::int64_t width, std::int64_t height);

}  // namespace qel
