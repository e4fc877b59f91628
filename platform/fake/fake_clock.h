// A clock that moves only when a test says so, and the timers that run on it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/platform.h"

namespace qel {

class FakeClock {
 public:
  std::int64_t Now() const { return now_; }

  // Moves time forward, firing every tick that falls due on the way, in time order.
  void Advance(std::int64_t milliseconds);

  std::unique_ptr<PlatformTimer> MakeTimer(std::function<void()> onTick);

 private:
  class Timer;
  struct Entry {
    std::int64_t period = 0;
    std::int64_t due = 0;
    bool running = false;
    std::function<void()> onTick;
  };

  std::int64_t now_ = 0;
  int nextId_ = 0;
  std::map<int, Entry> timers_;
};

}  // namespace qel
