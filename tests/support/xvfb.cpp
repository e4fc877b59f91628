#include "tests/support/xvfb.h"

#include <cstdlib>

#include "tests/support/daemon.h"

namespace qel::test {

Xvfb::Xvfb(const std::string& screen) {
  const Daemon server = StartDaemon(
      {"Xvfb", "-displayfd", "{fd}", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
      "Xvfb did not start: is it installed? Run scripts/setup.sh --test (Debian package xvfb).");
  pid_ = server.pid;
  display_ = ":" + server.line;
  setenv("DISPLAY", display_.c_str(), 1);
  // An X session, even when the tests are run from a Wayland desktop.
  setenv("XDG_SESSION_TYPE", "x11", 1);
  unsetenv("WAYLAND_DISPLAY");
}

Xvfb::~Xvfb() { StopDaemon(pid_); }

}  // namespace qel::test
