// A control timer: an interval in milliseconds (0 = stopped) kept over a platform timer, with the
// rules every view shares: a negative interval counts as 0; setting the interval the timer already
// has changes nothing; any other interval stops the timer and, if above 0, starts it anew.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/platform.h"

namespace qel {

class RuledTimer {
 public:
  explicit RuledTimer(std::unique_ptr<PlatformTimer> timer);

  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);

 private:
  std::unique_ptr<PlatformTimer> timer_;
  int interval_ = 0;
};

// The timers of a form's layout, each under those rules and ticking into the form's event sink.
class FormTimers {
 public:
  using MakeTimer = std::function<std::unique_ptr<PlatformTimer>(std::function<void()> onTick)>;

  FormTimers(const Layout& layout, EventSink& events, const MakeTimer& makeTimer);

  int Interval(ControlId timer) const { return Of(timer).Interval(); }
  void SetInterval(ControlId timer, int milliseconds) { Of(timer).SetInterval(milliseconds); }

 private:
  RuledTimer& Of(ControlId timer) const;

  mutable std::map<ControlId, RuledTimer> timers_;
};

}  // namespace qel
