// A clipboard that lives in the process, and a font of stripes, for tests. It decodes no PNG.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qel {

class FakeImageServices final : public ImageServices {
 public:
  // The clipboard holds an image or a text, never both.
  std::optional<ArgbImage> clipboard;
  std::optional<std::string> clipboardText;
  // A clipboard another program holds open.
  bool clipboardLocked = false;

  bool SetClipboardImage(const ArgbImage& image) override;
  std::optional<ArgbImage> ClipboardImage() override;
  bool SetClipboardText(std::string_view text) override;
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t>) override { return {}; }
  // Every byte is a box half the cell high wide (at least 3 columns): its first column is empty,
  // its second covered, and bit i of the byte covers band i of eight equal bands of the cell
  // across the rest. Faces and styles change nothing; a cell height of 0 or less is 16.
  std::optional<TextCoverage> RenderText(const FontRequest& font, std::string_view text) override;
};

}  // namespace qel
