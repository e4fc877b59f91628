#include "platform/win32/win32_libraries.h"

#include <string>

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {

LibraryHandle Win32LibraryLoader::Load(std::string_view pathOrName) {
  return reinterpret_cast<LibraryHandle>(LoadLibraryW(GbkToUtf16(pathOrName).c_str()));
}

ExportedFunction Win32LibraryLoader::Find(LibraryHandle library, std::string_view name) {
  if (library == 0) return nullptr;
  return reinterpret_cast<ExportedFunction>(
      GetProcAddress(reinterpret_cast<HMODULE>(library), std::string(name).c_str()));
}

void Win32LibraryLoader::Unload(LibraryHandle library) {
  if (library != 0) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace qel
