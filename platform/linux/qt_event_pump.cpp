#include "platform/linux/qt_event_pump.h"

#include <QCoreApplication>
#include <QThread>

namespace qel {

void QtEventPump::ProcessPendingEvents() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr || application->thread() != QThread::currentThread()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace qel
