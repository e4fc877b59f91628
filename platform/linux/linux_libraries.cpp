#include "platform/linux/linux_libraries.h"

#include <dlfcn.h>

#include <string>

namespace qel {

LibraryHandle LinuxLibraryLoader::Load(std::string_view pathOrName) {
  return reinterpret_cast<LibraryHandle>(
      ::dlopen(std::string(pathOrName).c_str(), RTLD_NOW | RTLD_LOCAL));
}

ExportedFunction LinuxLibraryLoader::Find(LibraryHandle library, std::string_view name) {
  if (library == 0) return nullptr;
  return reinterpret_cast<ExportedFunction>(
      ::dlsym(reinterpret_cast<void*>(library), std::string(name).c_str()));
}

void LinuxLibraryLoader::Unload(LibraryHandle library) {
  if (library != 0) ::dlclose(reinterpret_cast<void*>(library));
}

}  // namespace qel
