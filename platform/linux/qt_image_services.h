// The desktop's clipboard and PNG decoding on Linux, through Qt.
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
