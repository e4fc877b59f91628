// The screen on a headless GNOME Wayland desktop, read as Qel reads it there: the portal's screen
// cast, opened with the restore token of an earlier grant, and the monitor's frames over PipeWire
// with the pointer's position beside them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QImage>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/fake/fake_images.h"
#include "platform/wayland/pipewire_frames.h"
#include "platform/wayland/portal_request.h"
#include "platform/wayland/restore_token_file.h"
#include "platform/wayland/screencast_portal.h"
#include "platform/wayland/wayland_desktop.h"
#include "platform/wayland/wayland_screen.h"
#include "tests/support/mutter_remote_desktop.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

QString GrantedToken() { return QString::fromLocal8Bit(std::getenv("QEL_SCREENCAST_TOKEN")); }

// Dispatches the stream until `done` holds, for at most two seconds.
template <class Done>
bool DispatchUntil(PipeWireFrames& frames, Done done) {
  for (int i = 0; i < 40 && !done(); ++i) {
    frames.Dispatch(50ms);
    QCoreApplication::processEvents();
  }
  return done();
}

// A screenshot through the portal, for what the screen shows by another way than the cast.
QImage Screenshot() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const std::optional<PortalAnswer> shot = CallPortalRequest(
      bus, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"),
      {QString()}, {{QStringLiteral("interactive"), false}}, 10s);
  if (!shot || shot->response != 0) return {};
  return QImage(QUrl(shot->results.value(QStringLiteral("uri")).toString()).toLocalFile());
}

TEST(ScreenCastPortal, OffersThePointerAsMetadataAndOpensAGrantedSessionWithoutAsking) {
  ScreenCastPortal portal(QDBusConnection::sessionBus());
  EXPECT_NE(portal.AvailableCursorModes() & kCursorMetadata, 0u);
  ASSERT_FALSE(GrantedToken().isEmpty());
  // Nobody answers a dialog here: only the token can open it.
  ASSERT_TRUE(portal.Open(GrantedToken(), 5s));
  EXPECT_TRUE(portal.PointerAsMetadata());
  ASSERT_TRUE(portal.Stream());
  EXPECT_EQ(portal.Stream()->width, 1920);
  EXPECT_EQ(portal.Stream()->height, 1080);
  EXPECT_FALSE(portal.RestoreToken().isEmpty());
}

// The frame shows what a screenshot shows, and the pointer is where it was moved.
TEST(PipeWireFrames, TheMonitorsFramesComeWithThePointersPosition) {
  test::MutterRemoteDesktop input(QDBusConnection::sessionBus());
  ScreenCastPortal portal(QDBusConnection::sessionBus());
  ASSERT_TRUE(portal.Open(GrantedToken(), 5s));
  PipeWireFrames frames(portal.OpenPipeWireRemote(), portal.Stream()->node);
  ASSERT_TRUE(DispatchUntil(frames, [&] { return frames.HasFrame(); }));
  input.MoveTo(321, 123);
  ASSERT_TRUE(DispatchUntil(frames, [&] {
    return frames.Pointer() == std::optional<ScreenPoint>({321, 123});
  })) << "the pointer was last seen at " << (frames.Pointer() ? frames.Pointer()->x : -1);
  EXPECT_TRUE(frames.Streaming());
  EXPECT_EQ(frames.Width(), 1920);
  EXPECT_EQ(frames.Height(), 1080);

  const QImage screenshot = Screenshot();
  ASSERT_EQ(screenshot.width(), 1920);
  // Frames come as the screen changes: what changed up to the screenshot has come by now.
  DispatchUntil(frames, [] { return false; });
  for (const auto& [x, y] : {std::pair{100, 100}, std::pair{1800, 1000}, std::pair{960, 540}}) {
    std::uint32_t pixel = 0;
    ASSERT_TRUE(frames.ReadPixels(x, y, 1, 1, &pixel, 1));
    EXPECT_EQ(pixel, screenshot.pixel(x, y) & 0xFFFFFFu) << x << "," << y;
  }
  std::uint32_t outside = 0;
  EXPECT_FALSE(frames.ReadPixels(1919, 0, 2, 1, &outside, 2));
}

// The bitmap library over the cast: the screen's size, its pixels and the pointer, with the grant
// kept in the user's configuration folder.
TEST(WaylandScreen, TheBitmapLibraryReadsTheScreenAndThePointerThroughTheCast) {
  ASSERT_TRUE(SaveRestoreToken(GrantedToken()));
  test::MutterRemoteDesktop input(QDBusConnection::sessionBus());
  input.MoveTo(700, 400);
  WaylandScreen screen(5s);
  WaylandDesktop desktop(screen);
  FakeImageServices images;
  SoftwareGdi gdi(screen, desktop, images);
  const BitmapContext context{gdi, screen, desktop};
  EXPECT_EQ(screen.Width(), 1920);
  EXPECT_EQ(screen.Height(), 1080);
  for (int i = 0; i < 40 && desktop.CursorPosition() != ScreenPoint{700, 400}; ++i) {
    test::RunEventsFor(50ms);
  }
  EXPECT_EQ(desktop.CursorPosition(), (ScreenPoint{700, 400}));
  EXPECT_EQ(desktop.WindowFromPoint({700, 400}), 0u) << "no other program's window is shown";

  const QImage screenshot = Screenshot();
  ASSERT_EQ(screenshot.width(), 1920);
  test::RunEventsFor(500ms);
  const QRgb shown = screenshot.pixel(100, 100);
  EXPECT_EQ(ColorFinder().GetPixelColor(context, 0, 100, 100),
            static_cast<ColorValue>(qRed(shown) | qGreen(shown) << 8 | qBlue(shown) << 16));
  ScreenBitmap whole(context);
  ASSERT_TRUE(whole.CaptureScreen());
  EXPECT_EQ(whole.Width(), 1920);
  EXPECT_EQ(whole.BitCount(), 32);
}

}  // namespace
}  // namespace qel

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
