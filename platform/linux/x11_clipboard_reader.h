// Reading the X clipboard (the CLIPBOARD selection) on a connection of its own, so that it works
// whether or not the program runs a toolkit, and whichever client owns the clipboard.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qel {

struct ClipboardData {
  std::string target;
  std::vector<std::uint8_t> bytes;
};

// The clipboard's data in the first of `targets` (MIME types, most wanted first) that its owner
// offers; nullopt when nobody owns the clipboard, it offers none of them, or it stops answering.
std::optional<ClipboardData> ReadX11Clipboard(std::span<const std::string> targets);

}  // namespace qel
