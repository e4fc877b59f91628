#include "platform/linux/qt_timer.h"

#include <utility>

namespace qel {

QtTimer::QtTimer(std::function<void()> onTick) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
}

}  // namespace qel
