#include "tests/support/xvfb.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace qel::test {

Xvfb::Xvfb(const std::string& screen) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("cannot make a pipe for Xvfb");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot fork for Xvfb");
  if (pid_ == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  while (poll(&ready, 1, 20000) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    throw std::runtime_error(
        "Xvfb did not start: is it installed? Run scripts/setup.sh (Debian package xvfb).");
  }
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
}

Xvfb::~Xvfb() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

}  // namespace qel::test
