#include "platform/linux/linux_process.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qel {

std::string LinuxProcess::ExecutablePath() const {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string{} : path.string();
}

bool LinuxProcess::SetCurrentDirectory(std::string_view path) {
  return ::chdir(std::string(path).c_str()) == 0;
}

void LinuxProcess::Exit(int code) { std::_Exit(code); }

}  // namespace qel
