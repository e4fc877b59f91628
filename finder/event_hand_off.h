// Keeping a window responsive during a long search without paying for it: the search reports its
// progress often, and control goes to the window system only when enough time has passed.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/platform.h"

namespace qel {

class EventHandOff {
 public:
  static constexpr std::chrono::milliseconds kDefaultInterval{10};

  explicit EventHandOff(EventPump& pump, std::chrono::nanoseconds interval = kDefaultInterval)
      : pump_(pump), interval_(interval), last_(Clock::now()) {}

  // Called between pieces of work of a few microseconds or less (a row, a block of candidates):
  // the clock is read only every kPollsPerClockRead calls, and the pump runs when the interval has
  // passed since the search began or since its last hand-off.
  void Poll() {
    if (--pollsLeft_ == 0) ReadClock();
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::int32_t kPollsPerClockRead = 16;

  void ReadClock() {
    pollsLeft_ = kPollsPerClockRead;
    const Clock::time_point now = Clock::now();
    if (now - last_ < interval_) return;
    pump_.ProcessPendingEvents();
    last_ = Clock::now();
  }

  EventPump& pump_;
  std::chrono::nanoseconds interval_;
  Clock::time_point last_;
  std::int32_t pollsLeft_ = kPollsPerClockRead;
};

}  // namespace qel
