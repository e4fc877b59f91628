#include "platform/wayland/portal_request.h"

#include <QDBusMessage>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <atomic>

namespace qel {
namespace {

// Receives one request's Response signal.
class ResponseReceiver final : public QObject {
  Q_OBJECT

 public:
  std::optional<PortalAnswer> answer;
  QEventLoop loop;

 public slots:
  void Response(uint response, const QVariantMap& results) {
    answer = PortalAnswer{response, results};
    loop.quit();
  }
};

QString NextHandleToken() {
  static std::atomic<unsigned> counter{0};
  return QStringLiteral("qel%1").arg(++counter);
}

// Where the portal puts a request made with `token`: its path is known before the call, so the
// answer cannot come before it is listened for.
QString RequestPath(const QDBusConnection& bus, const QString& token) {
  QString sender = bus.baseService().mid(1);
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

}  // namespace

std::optional<PortalAnswer> CallPortalRequest(QDBusConnection& bus, const QString& interface,
                                              const QString& method, QVariantList arguments,
                                              QVariantMap options,
                                              std::chrono::milliseconds timeout) {
  const QString token = NextHandleToken();
  options.insert(QStringLiteral("handle_token"), token);
  ResponseReceiver receiver;
  const QString request = RequestPath(bus, token);
  if (!bus.connect(kPortalService, request, QStringLiteral("org.freedesktop.portal.Request"),
                   QStringLiteral("Response"), &receiver, SLOT(Response(uint, QVariantMap)))) {
    return std::nullopt;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, kPortalPath, interface, method);
  arguments.append(options);
  call.setArguments(arguments);
  const QDBusMessage reply = bus.call(call);
  if (reply.type() != QDBusMessage::ErrorMessage) {
    QTimer::singleShot(timeout, &receiver.loop, &QEventLoop::quit);
    if (!receiver.answer) receiver.loop.exec();
  }
  bus.disconnect(kPortalService, request, QStringLiteral("org.freedesktop.portal.Request"),
                 QStringLiteral("Response"), &receiver, SLOT(Response(uint, QVariantMap)));
  return receiver.answer;
}

}  // namespace qel

#include "portal_request.moc"
