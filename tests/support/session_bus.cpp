#include "tests/support/session_bus.h"

#include <cstdlib>

#include "tests/support/daemon.h"

namespace qel::test {

SessionBus::SessionBus() {
  const Daemon bus = StartDaemon(
      {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}"},
      "dbus-daemon did not start: is it installed? Run scripts/setup.sh --test (Debian package "
      "dbus-daemon).");
  pid_ = bus.pid;
  address_ = bus.line;
  setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
}

SessionBus::~SessionBus() { StopDaemon(pid_); }

}  // namespace qel::test
