#include "platform/linux/qt_x11_connection.h"

#include <QGuiApplication>

namespace qel {
namespace {

const QNativeInterface::QX11Application* X11Application() {
  return qGuiApp == nullptr ? nullptr
                            : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
}

}  // namespace

Display* QtDisplay() {
  const auto* x11 = X11Application();
  return x11 == nullptr ? nullptr : x11->display();
}

xcb_connection_t* QtConnection() {
  const auto* x11 = X11Application();
  return x11 == nullptr ? nullptr : x11->connection();
}

}  // namespace qel
