#include "app/skin_library.h"

#include "convert/ui_texts.h"

namespace qel {

std::string SkinLibraryPath(const Process& process) {
  const std::string executable = process.ExecutablePath();
  const std::size_t last = executable.rfind(process.PathSeparator());
  if (last == std::string::npos) return std::string(kSkinLibraryName);
  return executable.substr(0, last + 1) + std::string(kSkinLibraryName);
}

std::string MissingExportMessage(std::string_view operation) {
  std::string message{kTextMissingExportBefore.gbk};
  message += operation;
  message += kTextMissingExportAfter.gbk;
  return message;
}

ExportedFunction SkinLibrary::Resolve(std::string_view operation) {
  if (library_ == 0) {
    library_ = platform_.libraries.Load(SkinLibraryPath(platform_.process));
    if (library_ == 0) library_ = platform_.libraries.Load(kSkinLibraryName);
  }
  const ExportedFunction found =
      library_ == 0 ? nullptr : platform_.libraries.Find(library_, operation);
  if (found == nullptr) fatal_.Report(MissingExportMessage(operation));
  return found;
}

int SkinLibrary::AttachRes(const unsigned char* data, int length, const char* password, int a,
                           int b, int c) {
  if (attachRes_ == nullptr)
    attachRes_ = reinterpret_cast<AttachResFunction>(Resolve("SkinH_AttachRes"));
  return attachRes_(data, length, password, a, b, c);
}

int SkinLibrary::SetAero(int enable) {
  if (setAero_ == nullptr) setAero_ = reinterpret_cast<SetAeroFunction>(Resolve("SkinH_SetAero"));
  return setAero_(enable);
}

void SkinLibrary::Unload() {
  if (library_ == 0) return;
  platform_.libraries.Unload(library_);
  library_ = 0;
  attachRes_ = nullptr;
  setAero_ = nullptr;
}

}  // namespace qel
