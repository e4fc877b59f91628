// Storing runs of 0x??RRGGBB pixels as 32-bit DIB rows: the loop whole-screen captures spend
// their time in, kept apart so that it alone is built for vector instructions.
#pragma once

#include <cstdint>
#include <span>

namespace qel {

// Blue, green, red and a zero reserved byte per pixel, the pixel's top byte ignored.
void StoreBgr0(std::span<const std::uint32_t> pixels, std::uint8_t* out);

}  // namespace qel
