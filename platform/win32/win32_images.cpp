#include "platform/win32/win32_images.h"

namespace qel {

// TODO(clipboard): not yet
bool Win32ImageServices::SetClipboardImage(const ArgbImage&) { return false; }
std::optional<ArgbImage> Win32ImageServices::ClipboardImage() { return std::nullopt; }
std::optional<ArgbImage> Win32ImageServices::DecodePng(std::span<const std::uint8_t>) {
  return std::nullopt;
}

}  // namespace qel
