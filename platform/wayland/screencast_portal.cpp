#include "platform/wayland/screencast_portal.h"

#include <fcntl.h>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>

#include "platform/wayland/portal_request.h"

namespace qel {
namespace {

constexpr char kScreenCast[] = "org.freedesktop.portal.ScreenCast";
constexpr std::uint32_t kMonitorSource = 1;
constexpr std::uint32_t kPersistUntilRevoked = 2;
// A call that needs no answer from the user.
constexpr std::chrono::seconds kQuickAnswer{10};

QVariant PortalProperty(QDBusConnection& bus, const char* name) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  get.setArguments({QString::fromLatin1(kScreenCast), QString::fromLatin1(name)});
  const QDBusMessage reply = bus.call(get);
  if (reply.type() == QDBusMessage::ErrorMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().front().value<QDBusVariant>().variant();
}

// The first stream of Start's answer: a(ua{sv}), the node with its position and size.
std::optional<ScreenCastStream> FirstStream(const QVariant& streams) {
  const QDBusArgument array = streams.value<QDBusArgument>();
  std::optional<ScreenCastStream> first;
  array.beginArray();
  while (!array.atEnd()) {
    std::uint32_t node = 0;
    QVariantMap properties;
    array.beginStructure();
    array >> node >> properties;
    array.endStructure();
    if (first) continue;
    ScreenCastStream stream{.node = node};
    const auto pair = [&](const char* key, int& a, int& b) {
      const QDBusArgument value = properties.value(QString::fromLatin1(key)).value<QDBusArgument>();
      if (value.currentType() != QDBusArgument::StructureType) return;
      value.beginStructure();
      value >> a >> b;
      value.endStructure();
    };
    pair("position", stream.x, stream.y);
    pair("size", stream.width, stream.height);
    first = stream;
  }
  array.endArray();
  return first;
}

}  // namespace

ScreenCastPortal::ScreenCastPortal(QDBusConnection bus) : bus_(std::move(bus)) {}

ScreenCastPortal::~ScreenCastPortal() { Close(); }

std::uint32_t ScreenCastPortal::AvailableCursorModes() const {
  QDBusConnection bus = bus_;
  return PortalProperty(bus, "AvailableCursorModes").toUInt();
}

bool ScreenCastPortal::Open(const QString& restoreToken, std::chrono::milliseconds timeout) {
  Close();
  const std::optional<PortalAnswer> created = CallPortalRequest(
      bus_, kScreenCast, QStringLiteral("CreateSession"), {},
      {{QStringLiteral("session_handle_token"), QStringLiteral("qel_screen")}}, kQuickAnswer);
  if (!created || created->response != 0) return false;
  session_ = QDBusObjectPath(created->results.value(QStringLiteral("session_handle")).toString());

  const std::uint32_t modes = AvailableCursorModes();
  cursorMode_ = (modes & kCursorMetadata) != 0 ? kCursorMetadata : kCursorHidden;
  QVariantMap sources{{QStringLiteral("types"), kMonitorSource},
                      {QStringLiteral("multiple"), false},
                      {QStringLiteral("cursor_mode"), cursorMode_},
                      {QStringLiteral("persist_mode"), kPersistUntilRevoked}};
  if (!restoreToken.isEmpty()) sources.insert(QStringLiteral("restore_token"), restoreToken);
  const std::optional<PortalAnswer> selected =
      CallPortalRequest(bus_, kScreenCast, QStringLiteral("SelectSources"),
                        {QVariant::fromValue(*session_)}, sources, kQuickAnswer);
  if (!selected || selected->response != 0) {
    Close();
    return false;
  }
  const std::optional<PortalAnswer> started =
      CallPortalRequest(bus_, kScreenCast, QStringLiteral("Start"),
                        {QVariant::fromValue(*session_), QString()}, {}, timeout);
  if (!started || started->response != 0) {
    Close();
    return false;
  }
  stream_ = FirstStream(started->results.value(QStringLiteral("streams")));
  restoreToken_ = started->results.value(QStringLiteral("restore_token")).toString();
  if (!stream_) Close();
  return stream_.has_value();
}

void ScreenCastPortal::Close() {
  if (session_) {
    bus_.call(QDBusMessage::createMethodCall(kPortalService, session_->path(),
                                             QStringLiteral("org.freedesktop.portal.Session"),
                                             QStringLiteral("Close")));
  }
  session_.reset();
  stream_.reset();
}

int ScreenCastPortal::OpenPipeWireRemote() {
  if (!session_) return -1;
  QDBusMessage open = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenCast,
                                                     QStringLiteral("OpenPipeWireRemote"));
  open.setArguments({QVariant::fromValue(*session_), QVariantMap()});
  const QDBusMessage reply = bus_.call(open);
  if (reply.type() == QDBusMessage::ErrorMessage || reply.arguments().isEmpty()) return -1;
  const auto descriptor = reply.arguments().front().value<QDBusUnixFileDescriptor>();
  // The message's descriptor closes with it; the caller gets one of its own.
  return descriptor.isValid() ? ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 3) : -1;
}

}  // namespace qel
