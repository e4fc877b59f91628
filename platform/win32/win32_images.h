// The desktop's clipboard on Windows, images offered and read as packed DIBs, text offered, PNG
// decoding through the system's imaging component (WIC), and text drawn by the system's GDI.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace qel {

class ClipboardOwner;

class Win32ImageServices final : public ImageServices {
 public:
  Win32ImageServices();
  ~Win32ImageServices() override;
  Win32ImageServices(const Win32ImageServices&) = delete;
  Win32ImageServices& operator=(const Win32ImageServices&) = delete;

  // CF_DIBV5 with alpha and CF_DIB at 24 bits; the system derives CF_BITMAP from them.
  bool SetClipboardImage(const ArgbImage& image) override;
  // CF_DIBV5, else CF_DIB.
  std::optional<ArgbImage> ClipboardImage() override;
  // CF_UNICODETEXT, and CF_TEXT in the system's ANSI code page for programs that read only that.
  bool SetClipboardText(std::string_view text) override;
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t> bytes) override;
  // CreateFontW at NONANTIALIASED_QUALITY and TextOutW into a DIB section.
  std::optional<TextCoverage> RenderText(const FontRequest& font, std::string_view text) override;

 private:
  // The clipboard's owner while the image is offered: a clipboard emptied without one refuses
  // every format put on it.
  std::unique_ptr<ClipboardOwner> owner_;
};

}  // namespace qel
