// The desktop portal's screen cast of one monitor, as Qel reads the screen on Wayland: a session
// the user grants once (its restore token then opens the next one without asking), and a PipeWire
// remote that carries the monitor's frames with the pointer's position beside them.
#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace qel {

// The portal's cursor modes, a bitmask.
inline constexpr std::uint32_t kCursorHidden = 1;
inline constexpr std::uint32_t kCursorEmbedded = 2;
inline constexpr std::uint32_t kCursorMetadata = 4;

// The monitor's stream: its PipeWire node, and where the monitor lies in the desktop's logical
// coordinates.
struct ScreenCastStream {
  std::uint32_t node = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class ScreenCastPortal {
 public:
  explicit ScreenCastPortal(QDBusConnection bus);
  ScreenCastPortal(const ScreenCastPortal&) = delete;
  ScreenCastPortal& operator=(const ScreenCastPortal&) = delete;
  ~ScreenCastPortal();

  // The cursor modes the portal offers; 0 without a screen cast portal.
  std::uint32_t AvailableCursorModes() const;

  // Opens a session on one monitor, with the pointer as metadata where the portal offers it and
  // asking to be remembered. A token from an earlier grant opens it without a dialog. False when
  // the portal refuses, the user cancels, or no answer comes within `timeout`.
  bool Open(const QString& restoreToken, std::chrono::milliseconds timeout);
  // Ends the session; the portal ends it too when this connection goes.
  void Close();

  const std::optional<ScreenCastStream>& Stream() const { return stream_; }
  // The token that opens the next session without asking; empty when the desktop gave none.
  const QString& RestoreToken() const { return restoreToken_; }
  bool PointerAsMetadata() const { return cursorMode_ == kCursorMetadata; }
  // A new socket to the session's PipeWire remote, the caller's to close; -1 without a session.
  int OpenPipeWireRemote();

 private:
  QDBusConnection bus_;
  std::optional<QDBusObjectPath> session_;
  std::optional<ScreenCastStream> stream_;
  QString restoreToken_;
  std::uint32_t cursorMode_ = 0;
};

}  // namespace qel
