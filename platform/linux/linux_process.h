// The process on Linux: the executable's path, the current directory, and ending at once.
#pragma once

#include "platform/platform.h"

namespace qel {

class LinuxProcess final : public Process {
 public:
  std::string ExecutablePath() const override;
  char PathSeparator() const override { return '/'; }
  bool SetCurrentDirectory(std::string_view path) override;
  [[noreturn]] void Exit(int code) override;
};

}  // namespace qel
