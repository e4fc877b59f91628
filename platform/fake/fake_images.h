// A clipboard that lives in the process, for tests. It decodes no PNG.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace qel {

class FakeImageServices final : public ImageServices {
 public:
  std::optional<ArgbImage> clipboard;
  // A clipboard another program holds open.
  bool clipboardLocked = false;

  bool SetClipboardImage(const ArgbImage& image) override;
  std::optional<ArgbImage> ClipboardImage() override;
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t>) override { return {}; }
};

}  // namespace qel
