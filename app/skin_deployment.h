// The program's side of the skin: the skin library written beside the executable when it is not
// there yet, one of the skins attached, and the aero option.
#pragma once

#include <cstdint>
#include <span>

#include "app/skin_library.h"
#include "platform/platform.h"

namespace qel {

inline constexpr int kSkinCount = 33;
// The skin the program attaches at start-up; no other is ever used.
inline constexpr int kStartupSkin = 11;

// The bytes of skin 1 to kSkinCount.
using SkinBlockSource = std::span<const std::uint8_t> (*)(int number);

class SkinDeployment {
 public:
  SkinDeployment(Platform& platform, SkinLibrary& library,
                 std::span<const std::uint8_t> libraryImage, SkinBlockSource skinBlock)
      : platform_(platform),
        library_(library),
        libraryImage_(libraryImage),
        skinBlock_(skinBlock) {}

  // Writes the library image beside the executable, hidden, unless anything already has its
  // name there, which is left as it is. Failures go unreported: loading the library says enough.
  void DeploySkinLibrary();
  // Skin 1 to kSkinCount; any other number attaches no skin data at all.
  void AttachSkin(int number);
  void EnableAero();

 private:
  Platform& platform_;
  SkinLibrary& library_;
  std::span<const std::uint8_t> libraryImage_;
  SkinBlockSource skinBlock_;
};

}  // namespace qel
