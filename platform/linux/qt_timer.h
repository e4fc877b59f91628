// A platform timer on Qt's event loop.
#pragma once

#include <QTimer>
#include <functional>

#include "platform/platform.h"

namespace qel {

class QtTimer final : public PlatformTimer {
 public:
  explicit QtTimer(std::function<void()> onTick);
  void Start(int periodMs) override { timer_.start(periodMs); }
  void Stop() override { timer_.stop(); }

 private:
  QTimer timer_;
};

}  // namespace qel
