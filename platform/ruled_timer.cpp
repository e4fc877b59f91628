#include "platform/ruled_timer.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace qel {

RuledTimer::RuledTimer(std::unique_ptr<PlatformTimer> timer) : timer_(std::move(timer)) {}

void RuledTimer::SetInterval(int milliseconds) {
  const int interval = std::max(milliseconds, 0);
  if (interval == interval_) return;
  if (interval_ > 0) timer_->Stop();
  interval_ = interval;
  if (interval_ > 0) timer_->Start(interval_);
}

FormTimers::FormTimers(const Layout& layout, EventSink& events, const MakeTimer& makeTimer) {
  for (const ControlSpec& control : layout.controls) {
    if (control.type != ControlType::Timer) continue;
    const ControlId id = control.id;
    timers_.emplace(id, makeTimer([&events, id] { events.Deliver(id, Event::Tick); }));
  }
}

RuledTimer& FormTimers::Of(ControlId timer) const {
  const auto found = timers_.find(timer);
  if (found == timers_.end()) std::abort();  // not a timer of the layout: a fault in the caller
  return found->second;
}

}  // namespace qel
