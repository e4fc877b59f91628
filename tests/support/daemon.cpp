#include "tests/support/daemon.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace qel::test {

Daemon StartDaemon(std::vector<std::string> arguments, const std::string& whenMissing) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("cannot make a pipe for " + arguments.front());
  const std::string fd = std::to_string(fds[1]);
  for (std::string& argument : arguments) {
    if (const auto at = argument.find("{fd}"); at != std::string::npos) {
      argument.replace(at, 4, fd);
    }
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  Daemon daemon;
  daemon.pid = fork();
  if (daemon.pid < 0) throw std::runtime_error("cannot fork for " + arguments.front());
  if (daemon.pid == 0) {
    close(fds[0]);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  pollfd ready{fds[0], POLLIN, 0};
  while (poll(&ready, 1, 20000) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    daemon.line += c;
  }
  close(fds[0]);
  if (daemon.line.empty()) {
    StopDaemon(daemon.pid);
    throw std::runtime_error(whenMissing);
  }
  return daemon;
}

void StopDaemon(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace qel::test
