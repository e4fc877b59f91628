#include "app/skin_deployment.h"

#include <algorithm>
#include <memory>

namespace qel {

void SkinDeployment::DeploySkinLibrary() {
  const std::string path = SkinLibraryPath(platform_.process);
  if (platform_.files.EntryExists(path)) return;
  if (platform_.files.WriteNewFile(path, libraryImage_)) platform_.files.SetHiddenAttribute(path);
}

void SkinDeployment::AttachSkin(int number) {
  DeploySkinLibrary();
  // The library gets a copy that lives for the call only, never a pointer into the skin table.
  std::unique_ptr<unsigned char[]> buffer;
  int length = 0;
  if (number >= 1 && number <= kSkinCount) {
    const std::span<const std::uint8_t> block = skinBlock_(number);
    buffer = std::make_unique<unsigned char[]>(block.size());
    std::copy(block.begin(), block.end(), buffer.get());
    length = static_cast<int>(block.size());
  }
  library_.AttachRes(buffer.get(), length, "", 0, 0, 0);
}

void SkinDeployment::EnableAero() {
  DeploySkinLibrary();
  library_.SetAero(1);
}

}  // namespace qel
