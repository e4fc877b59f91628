// Loads the font configuration on a second thread while the toolkit starts, so that the first text
// the window measures does not wait for it. Qt reads the same configuration afterwards.
#pragma once

#include <thread>

namespace qel {

class FontWarmup {
 public:
  FontWarmup();
  ~FontWarmup() { Wait(); }
  FontWarmup(const FontWarmup&) = delete;
  FontWarmup& operator=(const FontWarmup&) = delete;

  void Wait();

 private:
  std::thread thread_;
};

}  // namespace qel
