// A private X server for the tests that need a display: started on a free display number, shown to
// the process through DISPLAY, stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

namespace qel::test {

class Xvfb {
 public:
  // Throws std::runtime_error with the reason when no server can be started.
  explicit Xvfb(const std::string& screen = "1920x1080x24");
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace qel::test
