// A private desktop session bus, as every desktop session has one: started for the process and
// its children through DBUS_SESSION_BUS_ADDRESS, stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace qel::test {

class SessionBus {
 public:
  // Throws std::runtime_error with the reason when no bus can be started.
  SessionBus();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  const std::string& Address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace qel::test
