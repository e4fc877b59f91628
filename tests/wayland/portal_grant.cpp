// Grants the screen cast once, as a user would: opens the portal's session with no restore token
// and answers the desktop's dialog with the pointer (the monitor, then "Share"). Prints the
// restore token that opens later sessions without asking, or says on standard error why not.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "platform/wayland/screencast_portal.h"
#include "tests/support/mutter_remote_desktop.h"

namespace {

// Where GNOME 43 draws the dialog on a 1920 x 1080 monitor, outside the overview.
constexpr double kMonitorRow[] = {958, 580};
constexpr double kShareButton[] = {1172, 428};
constexpr unsigned kEscape = 0xff1b;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  try {
    qel::test::MutterRemoteDesktop input(QDBusConnection::sessionBus());
    input.PressKey(kEscape);  // the session starts in the overview
    qel::ScreenCastPortal portal(QDBusConnection::sessionBus());
    QTimer::singleShot(std::chrono::seconds(2), [&input] {
      input.Click(kMonitorRow[0], kMonitorRow[1]);
      input.Click(kShareButton[0], kShareButton[1]);
    });
    if (!portal.Open(QString(), std::chrono::seconds(20)) || portal.RestoreToken().isEmpty()) {
      std::fprintf(stderr, "the screen cast was not granted, or gave no restore token\n");
      return 1;
    }
    std::printf("%s\n", qPrintable(portal.RestoreToken()));
    return 0;
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot drive the desktop: %s\n", error.what());
    return 1;
  }
}
