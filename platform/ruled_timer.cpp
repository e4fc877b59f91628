#include "platform/ruled_timer.h"

#include <algorithm>
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

}  // namespace qel
