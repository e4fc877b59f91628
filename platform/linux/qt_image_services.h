// The desktop's clipboard and PNG decoding on Linux. Inside a Qt application on X11 the clipboard
// is Qt's; in any other program (the command-line tool, the Python module) a thread of our own
// serves it, so an image copied there stays offered as long as the process lives, or until another
// program takes the clipboard, without the caller running an event loop.
#pragma once

#include "platform/platform.h"

namespace qel {

class QtImageServices final : public ImageServices {
 public:
  bool SetClipboardImage(const ArgbImage& image) override;
  std::optional<ArgbImage> ClipboardImage() override;
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t> bytes) override;
};

}  // namespace qel
