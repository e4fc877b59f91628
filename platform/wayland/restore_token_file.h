// Where the screen cast's grant is kept between runs: the restore token the desktop gave, in the
// user's configuration folder, so that the desktop asks the user once.
#pragma once

#include <QString>

namespace qel {

// $XDG_CONFIG_HOME/qel/screencast-token (~/.config when unset).
QString RestoreTokenPath();
// The token kept; empty when there is none.
QString LoadRestoreToken();
// Keeps the token, readable by the user alone, replacing the file whole; false when it cannot.
bool SaveRestoreToken(const QString& token);

}  // namespace qel
