// A program the tests start and watch: its exit code and what it wrote to stderr.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qel::test {

class ChildProcess {
 public:
  // Starts `path` with `arguments`; `unsetVariables` are removed from its environment.
  ChildProcess(const std::string& path, const std::vector<std::string>& arguments = {},
               const std::vector<std::string>& unsetVariables = {});
  ~ChildProcess();  // kills the program if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The exit code (a signal counts as 128 + its number), or nothing if it still runs by then.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  std::string Stderr();  // all it wrote so far
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stderrFd_ = -1;
  std::optional<int> exitCode_;
  std::string stderr_;
};

}  // namespace qel::test
