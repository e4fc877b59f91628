// A call to a desktop portal method that answers through a Request object: the call returns at
// once with the request's path, and the answer comes in the request's Response signal, perhaps
// after the user has answered a dialog.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <chrono>
#include <cstdint>
#include <optional>

namespace qel {

inline constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

struct PortalAnswer {
  std::uint32_t response = 2;  // 0 granted, 1 cancelled by the user, 2 ended some other way
  QVariantMap results;
};

// Calls `method` of the portal's `interface` with `arguments` followed by `options` (a handle
// token of its own added), and waits for the answer, running Qt's event loop meanwhile. Nullopt
// when the call fails or no answer comes within `timeout`.
std::optional<PortalAnswer> CallPortalRequest(QDBusConnection& bus, const QString& interface,
                                              const QString& method, QVariantList arguments,
                                              QVariantMap options,
                                              std::chrono::milliseconds timeout);

}  // namespace qel
