#include "platform/linux/qt_window_system.h"

#include <clocale>

#include "platform/linux/qt_main_window.h"

namespace qel {

QtWindowSystem::QtWindowSystem(int& argc, char** argv) : application_(argc, argv) {
  // Qt takes the user's locale for the C library too; the program's number texts never depend on
  // it.
  std::setlocale(LC_NUMERIC, "C");
}

QtWindowSystem::~QtWindowSystem() = default;

Form* QtWindowSystem::LoadMainWindow(const Layout& layout, EventSink& events) {
  fontWarmup_.Wait();
  mainWindow_ = std::make_unique<QtMainWindow>(layout, events);
  return mainWindow_.get();
}

void QtWindowSystem::ShowMainWindow() { mainWindow_->ShowCentred(); }

void QtWindowSystem::RunMessageLoop() { QApplication::exec(); }

}  // namespace qel
