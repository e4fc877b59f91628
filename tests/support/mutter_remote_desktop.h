// The pointer and keyboard of a GNOME session driven from outside, as a remote desktop client
// drives them, through mutter's own remote desktop service: for tests on a headless desktop.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>

namespace qel::test {

class MutterRemoteDesktop {
 public:
  // Opens a remote desktop session with a stream of the primary monitor (absolute pointer motion
  // needs one). Throws std::runtime_error when mutter refuses.
  explicit MutterRemoteDesktop(QDBusConnection bus);
  MutterRemoteDesktop(const MutterRemoteDesktop&) = delete;
  MutterRemoteDesktop& operator=(const MutterRemoteDesktop&) = delete;
  ~MutterRemoteDesktop();

  // (x, y) in the monitor's logical coordinates.
  void MoveTo(double x, double y);
  void Click(double x, double y);
  // A key by its X keysym (0xff1b is Escape).
  void PressKey(unsigned keysym);

 private:
  void Call(const QString& method, const QVariantList& arguments);

  QDBusConnection bus_;
  QString session_;
  QString screenCast_;
  QString stream_;
};

// Lets Qt's event loop run for a while, so that what was sent is handled before the next step.
void RunEventsFor(std::chrono::milliseconds time);

}  // namespace qel::test
