// Qel on Linux: the one place that puts the real platform together and starts the program.
#include <QSocketNotifier>
#include <cstdio>
#include <memory>

#include "app/run_program.h"
#include "bitmap/software_gdi.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_libraries.h"
#include "platform/linux/linux_process.h"
#include "platform/linux/qt_dialogs.h"
#include "platform/linux/qt_event_pump.h"
#include "platform/linux/qt_hotkeys.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/qt_main_window.h"
#include "platform/linux/qt_window_system.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_screen.h"

int main(int argc, char** argv) {
  if (const auto problem = qel::DisplayProblem()) {
    std::fprintf(stderr, "%s\n", problem->c_str());
    return 1;
  }
  // The screen and window services are X11's, so the toolkit runs on X11 too (XWayland included).
  qputenv("QT_QPA_PLATFORM", "xcb");
  // The window is small and a sampling tick repaints a field or two of it. Drawn through shared
  // memory, each repaint of a field shown last time first waits for the server to have read it,
  // a round trip and a wake-up of the toolkit's event thread; sent with the request it costs
  // neither.
  qputenv("QT_XCB_NO_MITSHM", "1");

  qel::QtWindowSystem windows(argc, argv);
  qel::QtDialogs dialogs;
  qel::LinuxProcess process;
  qel::X11Desktop desktop;
  // The desktop watches the windows it is asked about; their news is read as it comes, so that
  // none piles up while sampling is off.
  std::unique_ptr<QSocketNotifier> desktopNews;
  desktop.OnConnected([&desktop, &desktopNews](int socket) {
    desktopNews = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    QObject::connect(desktopNews.get(), &QSocketNotifier::activated,
                     [&desktop] { desktop.ReadEvents(); });
  });
  qel::X11Screen screen;
  qel::QtHotkeys hotkeys([&windows](qel::WindowHandle target, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) {
    if (qel::QtMainWindow* window = windows.MainWindow()) {
      window->ReceiveMessage(target, message, wParam, lParam);
    }
  });
  qel::QtImageServices images;
  qel::QtEventPump events;
  qel::LinuxFileSystem files;
  qel::LinuxLibraryLoader libraries;
  qel::Platform platform{process, dialogs, windows, desktop, screen,
                         hotkeys, images,  events,  files,   libraries};
  qel::SoftwareGdi gdi(screen, desktop, images);
  return qel::RunProgram(platform, gdi);
}
