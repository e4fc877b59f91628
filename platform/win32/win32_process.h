// The process on Windows: the executable's path, the current directory, and ending at once. Paths
// are GBK like every other text of the program.
#pragma once

#include "platform/platform.h"

namespace qel {

class Win32Process final : public Process {
 public:
  std::string ExecutablePath() const override;
  char PathSeparator() const override { return '\\'; }
  bool SetCurrentDirectory(std::string_view path) override;
  [[noreturn]] void Exit(int code) override;
};

}  // namespace qel
