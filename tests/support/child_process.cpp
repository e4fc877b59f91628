#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace qel::test {

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& unsetVariables) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("cannot make a pipe");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot fork");
  if (pid_ == 0) {
    dup2(fds[1], STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    for (const std::string& name : unsetVariables) unsetenv(name.c_str());
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  stderrFd_ = fds[0];
  fcntl(stderrFd_, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
  if (!exitCode_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  close(stderrFd_);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!exitCode_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return exitCode_;
}

std::string ChildProcess::Stderr() {
  char buffer[4096];
  for (ssize_t n; (n = read(stderrFd_, buffer, sizeof buffer)) > 0;) stderr_.append(buffer, n);
  return stderr_;
}

}  // namespace qel::test
