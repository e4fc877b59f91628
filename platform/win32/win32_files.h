// The file system on Windows: entries looked at without following reparse points, new files put in
// place whole through a temporary file and a move that replaces nothing, the hidden attribute.
#pragma once

#include "platform/platform.h"

namespace qel {

class Win32FileSystem final : public FileSystem {
 public:
  bool EntryExists(std::string_view path) override;
  bool WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) override;
  bool SetHiddenAttribute(std::string_view path) override;
};

}  // namespace qel
