// The desktop's clipboard and PNG decoding on Linux, through Qt's image codecs, which need no Qt
// application.
#pragma once

#include "platform/platform.h"

namespace qel {

// Inside a Qt application on X11, on its thread, the clipboard is Qt's, served by its event loop.
// Anywhere else (the command-line tool, the Python module, another thread) a thread of our own with
// its own connection serves it: a copied image stays offered while the process lives, or until
// another program takes the clipboard, without the caller running an event loop. Images are
// offered as image/png and image/bmp and read in whichever image format the owner offers.
class QtImageServices final : public ImageServices {
 public:
  bool SetClipboardImage(const ArgbImage& image) override;
  std::optional<ArgbImage> ClipboardImage() override;
  bool SetClipboardText(std::string_view text) override;
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t> bytes) override;
  // Through Qt's fonts (platform/linux/qt_text_renderer.h).
  std::optional<TextCoverage> RenderText(const FontRequest& font, std::string_view text) override;
};

}  // namespace qel
