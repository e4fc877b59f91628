// Fake shared libraries for tests: libraries by path or name with the skin library's two exports,
// which write down every call, and a journal of loads, look-ups and unloads.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qel {

// One call of an export, with what it was given; the bytes are copied while the call lasts.
struct FakeSkinCall {
  std::string operation{};
  bool dataIsNull = false;
  std::vector<std::uint8_t> data{};
  int length = 0;
  bool passwordIsNull = false;
  std::string password{};
  int a = 0;
  int b = 0;
  int c = 0;
  int enable = 0;
};

class FakeLibraryLoader final : public LibraryLoader {
 public:
  FakeLibraryLoader();
  ~FakeLibraryLoader() override;
  FakeLibraryLoader(const FakeLibraryLoader&) = delete;
  FakeLibraryLoader& operator=(const FakeLibraryLoader&) = delete;

  // What can be loaded, by the path or name Load is given, with the names it exports; only
  // "SkinH_AttachRes" and "SkinH_SetAero" are functions.
  std::map<std::string, std::set<std::string, std::less<>>, std::less<>> available;
  // "load <path>", "find <name>", "unload <path>", "call <operation>".
  std::vector<std::string>* journal = nullptr;
  std::vector<FakeSkinCall> calls;
  int loaded = 0;

  LibraryHandle Load(std::string_view pathOrName) override;
  ExportedFunction Find(LibraryHandle library, std::string_view name) override;
  void Unload(LibraryHandle library) override;

  // Exports are plain functions: they report to the loader that is alive.
  static void Record(FakeSkinCall call);

 private:
  void Note(std::string_view what, std::string_view subject);
  std::vector<std::string> handles_;  // handle n is handles_[n - 1]
};

}  // namespace qel
