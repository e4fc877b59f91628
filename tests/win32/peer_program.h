// What the Windows tests and their peer process (peer_program.cpp) agree on: the image the peer
// offers on the clipboard and the exit codes it answers with.
#pragma once

#include <cstdint>

namespace qel::test {

// The peer's clipboard image, 0x00RRGGBB, rows top-down.
inline constexpr int kPeerImageWidth = 3;
inline constexpr int kPeerImageHeight = 2;
inline constexpr std::uint32_t kPeerImage[kPeerImageHeight][kPeerImageWidth] = {
    {0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x000000}};

inline constexpr int kPeerPasted = 0;
inline constexpr int kPeerNoBitmap = 1;
inline constexpr int kPeerOtherPixels = 2;
inline constexpr int kPeerMisused = 3;

}  // namespace qel::test
