// Shared libraries on Windows: LoadLibraryW, GetProcAddress, FreeLibrary.
#pragma once

#include "platform/platform.h"

namespace qel {

class Win32LibraryLoader final : public LibraryLoader {
 public:
  // The path is GBK. A bare name goes through the system's search for libraries.
  LibraryHandle Load(std::string_view pathOrName) override;
  ExportedFunction Find(LibraryHandle library, std::string_view name) override;
  void Unload(LibraryHandle library) override;
};

}  // namespace qel
