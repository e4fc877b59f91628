#include "platform/fake/fake_images.h"

namespace qel {

bool FakeImageServices::SetClipboardImage(const ArgbImage& image) {
  if (clipboardLocked) return false;
  clipboard = image;
  return true;
}

std::optional<ArgbImage> FakeImageServices::ClipboardImage() {
  if (clipboardLocked) return std::nullopt;
  return clipboard;
}

}  // namespace qel
