#include "platform/fake/fake_libraries.h"

namespace qel {
namespace {

FakeLibraryLoader* gLiveLoader = nullptr;

int FakeSkinAttachRes(const unsigned char* data, int length, const char* password, int a, int b,
                      int c) {
  FakeSkinCall call{.operation = "SkinH_AttachRes",
                    .dataIsNull = data == nullptr,
                    .length = length,
                    .passwordIsNull = password == nullptr,
                    .a = a,
                    .b = b,
                    .c = c};
  if (data != nullptr && length > 0) call.data.assign(data, data + length);
  if (password != nullptr) call.password = password;
  FakeLibraryLoader::Record(std::move(call));
  return 1;
}

int FakeSkinSetAero(int enable) {
  FakeLibraryLoader::Record({.operation = "SkinH_SetAero", .enable = enable});
  return 1;
}

}  // namespace

FakeLibraryLoader::FakeLibraryLoader() { gLiveLoader = this; }

FakeLibraryLoader::~FakeLibraryLoader() {
  if (gLiveLoader == this) gLiveLoader = nullptr;
}

void FakeLibraryLoader::Record(FakeSkinCall call) {
  if (gLiveLoader == nullptr) return;
  gLiveLoader->Note("call", call.operation);
  gLiveLoader->calls.push_back(std::move(call));
}

void FakeLibraryLoader::Note(std::string_view what, std::string_view subject) {
  if (journal != nullptr) journal->push_back(std::string(what) + " " + std::string(subject));
}

LibraryHandle FakeLibraryLoader::Load(std::string_view pathOrName) {
  Note("load", pathOrName);
  if (!available.contains(pathOrName)) return 0;
  ++loaded;
  handles_.emplace_back(pathOrName);
  return handles_.size();
}

ExportedFunction FakeLibraryLoader::Find(LibraryHandle library, std::string_view name) {
  Note("find", name);
  if (library == 0 || library > handles_.size()) return nullptr;
  const auto exports = available.find(handles_[library - 1]);
  if (exports == available.end() || !exports->second.contains(name)) return nullptr;
  if (name == "SkinH_AttachRes") return reinterpret_cast<ExportedFunction>(&FakeSkinAttachRes);
  if (name == "SkinH_SetAero") return reinterpret_cast<ExportedFunction>(&FakeSkinSetAero);
  return nullptr;
}

void FakeLibraryLoader::Unload(LibraryHandle library) {
  Note("unload", library == 0 || library > handles_.size() ? "?" : handles_[library - 1]);
  --loaded;
}

}  // namespace qel
