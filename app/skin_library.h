// The skin library as the program uses it: found beside the executable or else by the platform's
// own search, each operation looked up at its first call, and unloaded at the end of the program.
#pragma once

#include <string>
#include <string_view>

#include "app/fatal_error.h"
#include "platform/platform.h"

namespace qel {

inline constexpr std::string_view kSkinLibraryName = "SkinH_EL.dll";

// Beside the executable. Without a separator in the executable's path (the platform could not
// tell it) the bare name, which file operations take in the current folder, the executable's.
std::string SkinLibraryPath(const Process& process);
// The fatal error's message when the library or one of its operations cannot be had.
std::string MissingExportMessage(std::string_view operation);

class SkinLibrary {
 public:
  SkinLibrary(Platform& platform, FatalErrorReporter& fatal) : platform_(platform), fatal_(fatal) {}
  ~SkinLibrary() { Unload(); }
  SkinLibrary(const SkinLibrary&) = delete;
  SkinLibrary& operator=(const SkinLibrary&) = delete;

  // The library's own exports; a library or an export that cannot be had is a fatal error.
  int AttachRes(const unsigned char* data, int length, const char* password, int a, int b, int c);
  int SetAero(int enable);
  // Does nothing when the library was never loaded.
  void Unload();

 private:
  using AttachResFunction = int (*)(const unsigned char*, int, const char*, int, int, int);
  using SetAeroFunction = int (*)(int);

  ExportedFunction Resolve(std::string_view operation);

  Platform& platform_;
  FatalErrorReporter& fatal_;
  LibraryHandle library_ = 0;
  AttachResFunction attachRes_ = nullptr;
  SetAeroFunction setAero_ = nullptr;
};

}  // namespace qel
