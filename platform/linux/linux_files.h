// The file system on Linux (POSIX): entries looked at without following links, and new files put
// in place whole through a temporary file and a rename that replaces nothing.
#pragma once

#include "platform/platform.h"

namespace qel {

class LinuxFileSystem final : public FileSystem {
 public:
  bool EntryExists(std::string_view path) override;
  bool WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) override;
  // Linux files have no hidden attribute: always false, and the file stays as it is.
  bool SetHiddenAttribute(std::string_view path) override;
};

}  // namespace qel
