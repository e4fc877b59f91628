#include "platform/fake/fake_images.h"

#include <algorithm>

namespace qel {

bool FakeImageServices::SetClipboardImage(const ArgbImage& image) {
  if (clipboardLocked) return false;
  clipboard = image;
  clipboardText.reset();
  return true;
}

std::optional<ArgbImage> FakeImageServices::ClipboardImage() {
  if (clipboardLocked) return std::nullopt;
  return clipboard;
}

bool FakeImageServices::SetClipboardText(std::string_view text) {
  if (clipboardLocked) return false;
  clipboardText = std::string(text);
  clipboard.reset();
  return true;
}

std::optional<TextCoverage> FakeImageServices::RenderText(const FontRequest& font,
                                                          std::string_view text) {
  TextCoverage drawn;
  drawn.height = font.height > 0 ? font.height : 16;
  const int advance = std::max(3, drawn.height / 2);
  drawn.width = advance * static_cast<int>(text.size());
  drawn.coverage.assign(static_cast<std::size_t>(drawn.width) * drawn.height, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int left = static_cast<int>(i) * advance;
    for (int y = 0; y < drawn.height; ++y) {
      const int band = y * 8 / drawn.height;
      std::uint8_t* row = drawn.coverage.data() + static_cast<std::size_t>(y) * drawn.width;
      row[left + 1] = 255;
      if ((byte >> band) & 1) std::fill(row + left + 2, row + left + advance, std::uint8_t{255});
    }
  }
  return drawn;
}

}  // namespace qel
