#include "platform/wayland/restore_token_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace qel {

QString RestoreTokenPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/qel/screencast-token");
}

QString LoadRestoreToken() {
  QFile file(RestoreTokenPath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  // A token is a short line; anything longer is not one.
  return QString::fromUtf8(file.read(256)).trimmed();
}

bool SaveRestoreToken(const QString& token) {
  const QString path = RestoreTokenPath();
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  file.write(token.toUtf8() + '\n');
  return file.commit();
}

}  // namespace qel
