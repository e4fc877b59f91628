#include "tests/support/mutter_remote_desktop.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <stdexcept>

namespace qel::test {
namespace {

constexpr char kRemoteDesktop[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char kScreenCast[] = "org.gnome.Mutter.ScreenCast";
constexpr int kLeftButton = 0x110;  // BTN_LEFT

QDBusMessage CallOrThrow(QDBusConnection& bus, const QString& service, const QString& path,
                         const QString& interface, const QString& method,
                         const QVariantList& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(arguments);
  const QDBusMessage reply = bus.call(call);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    throw std::runtime_error(method.toStdString() + ": " + reply.errorMessage().toStdString());
  }
  return reply;
}

QString PathOf(const QDBusMessage& reply) {
  return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

}  // namespace

MutterRemoteDesktop::MutterRemoteDesktop(QDBusConnection bus) : bus_(std::move(bus)) {
  session_ = PathOf(CallOrThrow(bus_, kRemoteDesktop, "/org/gnome/Mutter/RemoteDesktop",
                                kRemoteDesktop, "CreateSession", {}));
  const QString sessionId =
      CallOrThrow(
          bus_, kRemoteDesktop, session_, "org.freedesktop.DBus.Properties", "Get",
          {QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session"), QStringLiteral("SessionId")})
          .arguments()
          .value(0)
          .value<QDBusVariant>()
          .variant()
          .toString();
  screenCast_ =
      PathOf(CallOrThrow(bus_, kScreenCast, "/org/gnome/Mutter/ScreenCast", kScreenCast,
                         "CreateSession", {QVariantMap{{"remote-desktop-session-id", sessionId}}}));
  stream_ =
      PathOf(CallOrThrow(bus_, kScreenCast, screenCast_, "org.gnome.Mutter.ScreenCast.Session",
                         "RecordMonitor", {QString(), QVariantMap()}));
  Call("Start", {});
  RunEventsFor(std::chrono::milliseconds(300));
}

MutterRemoteDesktop::~MutterRemoteDesktop() {
  QDBusMessage stop = QDBusMessage::createMethodCall(
      kRemoteDesktop, session_, "org.gnome.Mutter.RemoteDesktop.Session", "Stop");
  bus_.call(stop);
}

void MutterRemoteDesktop::Call(const QString& method, const QVariantList& arguments) {
  CallOrThrow(bus_, kRemoteDesktop, session_, "org.gnome.Mutter.RemoteDesktop.Session", method,
              arguments);
}

void MutterRemoteDesktop::MoveTo(double x, double y) {
  Call("NotifyPointerMotionAbsolute", {stream_, x, y});
  RunEventsFor(std::chrono::milliseconds(200));
}

void MutterRemoteDesktop::Click(double x, double y) {
  MoveTo(x, y);
  Call("NotifyPointerButton", {kLeftButton, true});
  Call("NotifyPointerButton", {kLeftButton, false});
  RunEventsFor(std::chrono::milliseconds(500));
}

void MutterRemoteDesktop::PressKey(unsigned keysym) {
  Call("NotifyKeyboardKeysym", {keysym, true});
  Call("NotifyKeyboardKeysym", {keysym, false});
  RunEventsFor(std::chrono::milliseconds(500));
}

void RunEventsFor(std::chrono::milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace qel::test
