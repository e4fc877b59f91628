#include "platform/linux/private_qt_application.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace qel {
namespace {

// Qt's warnings (no XDG_RUNTIME_DIR, a missing font) are no concern of a program that uses the
// library without Qt of its own, and would break its rule of nothing on standard error when a
// command succeeds; only a fatal message, which ends the program, is still written.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

bool HaveGuiApplication() {
  if (QCoreApplication::instance() != nullptr) {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  }
  qInstallMessageHandler(QuietMessages);
  static int argc = 3;
  static char name[] = "qel";
  static char platformOption[] = "-platform";
  static char offscreen[] = "offscreen";
  static char* argv[] = {name, platformOption, offscreen, nullptr};
  static const auto application = std::make_unique<QGuiApplication>(argc, argv);
  return application != nullptr;
}

bool HaveQtApplication() { return QCoreApplication::instance() != nullptr || HaveGuiApplication(); }

}  // namespace qel
