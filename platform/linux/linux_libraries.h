// Shared libraries on Linux, through the dynamic loader (dlopen, dlsym, dlclose).
#pragma once

#include "platform/platform.h"

namespace qel {

class LinuxLibraryLoader final : public LibraryLoader {
 public:
  // A bare name is searched as the dynamic loader searches: LD_LIBRARY_PATH, its cache, the
  // default folders.
  LibraryHandle Load(std::string_view pathOrName) override;
  ExportedFunction Find(LibraryHandle library, std::string_view name) override;
  void Unload(LibraryHandle library) override;
};

}  // namespace qel
