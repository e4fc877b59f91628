#include "platform/fake/fake_clock.h"

#include <utility>

namespace qel {

class FakeClock::Timer final : public PlatformTimer {
 public:
  Timer(FakeClock& clock, int id) : clock_(clock), id_(id) {}
  ~Timer() override { clock_.timers_.erase(id_); }

  void Start(int periodMs) override {
    Entry& entry = clock_.timers_.at(id_);
    if (periodMs <= 0) {  // a timer with no period would fire forever within one Advance
      entry.running = false;
      return;
    }
    entry.period = periodMs;
    entry.due = clock_.now_ + periodMs;
    entry.running = true;
  }
  void Stop() override { clock_.timers_.at(id_).running = false; }

 private:
  FakeClock& clock_;
  int id_;
};

void FakeClock::Advance(std::int64_t milliseconds) {
  const std::int64_t target = now_ + milliseconds;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.running && it->second.due <= target &&
          (next == timers_.end() || it->second.due < next->second.due)) {
        next = it;
      }
    }
    if (next == timers_.end()) break;
    now_ = next->second.due;
    next->second.due += next->second.period;
    auto onTick = next->second.onTick;  // the tick may stop or destroy its own timer
    onTick();
  }
  now_ = target;
}

std::unique_ptr<PlatformTimer> FakeClock::MakeTimer(std::function<void()> onTick) {
  const int id = nextId_++;
  timers_[id].onTick = std::move(onTick);
  return std::make_unique<Timer>(*this, id);
}

}  // namespace qel
