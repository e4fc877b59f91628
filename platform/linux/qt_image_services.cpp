#include "platform/linux/qt_image_services.h"

namespace qel {

// TODO(clipboard): not yet
bool QtImageServices::SetClipboardImage(const ArgbImage&) { return false; }
std::optional<ArgbImage> QtImageServices::ClipboardImage() { return std::nullopt; }
std::optional<ArgbImage> QtImageServices::DecodePng(std::span<const std::uint8_t>) {
  return std::nullopt;
}

}  // namespace qel
