// An in-memory file system for tests: files, folders and symbolic links by path, and a journal of
// what the program did to them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qel {

class FakeFileSystem final : public FileSystem {
 public:
  enum class Kind : std::uint8_t { File, Folder, Link };
  struct Entry {
    Kind kind = Kind::File;
    std::vector<std::uint8_t> bytes;
    bool hidden = false;
  };

  std::map<std::string, Entry, std::less<>> entries;
  // Where the calls are written down, as "exists <path>", "write <path>", "hidden <path>".
  std::vector<std::string>* journal = nullptr;
  // A write that fails once this many bytes have gone to its temporary file, as a full disk does.
  std::optional<std::size_t> failWriteAfter;
  // The largest number of entries there ever were, to see a temporary file come and go.
  std::size_t mostEntries = 0;

  bool EntryExists(std::string_view path) override;
  bool WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) override;
  bool SetHiddenAttribute(std::string_view path) override;

 private:
  void Note(std::string_view what, std::string_view path);
  int temporaries_ = 0;
};

}  // namespace qel
