// What every platform backend must do for the sampler and the bitmap library, checked the same way
// on each: pixels read back exactly, covered and minimised windows, the window under a point, and
// the global F2 key with another program in front or holding it.
#include <gtest/gtest.h>

#include <vector>

#include "app/layout_table.h"
#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "convert/ui_texts.h"
#include "finder/color_finder.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_system.h"
#include "sampler/hotkey_registration.h"
#include "sampler/sampling_control.h"
#include "sampler/window_under_cursor.h"
#include "tests/contract/backend_harness.h"

namespace qel::test {
namespace {

using enum ControlId;

constexpr UiText kProbeTitle{"Probe \xC8\xA1\xC9\xAB", "Probe \xE5\x8F\x96\xE8\x89\xB2"};
constexpr std::uint32_t kPaintRgb = 0x123456;
constexpr ColorValue kPaintColor = 0x563412;  // the same colour, red in the low byte
constexpr std::uint32_t kCoverRgb = 0x654321;
constexpr ColorValue kCoverColor = 0x214365;

class BitmapContract : public BackendContract {
 protected:
  FakeImageServices images;
  SoftwareGdi gdi{harness().screen(), harness().desktop(), images};
  BitmapContext context{gdi, harness().screen(), harness().desktop()};
  ColorFinder finder;
};

TEST_F(BitmapContract, APaintedWindowReadsBackExactly) {
  const WindowHandle window =
      harness().OpenWindow({100, 120, 300, 270}, kPaintRgb, kProbeTitle, "QelProbe");
  EXPECT_EQ(finder.GetPixelColor(context, 0, 150, 170), kPaintColor);
  EXPECT_EQ(finder.GetPixelColor(context, window, 0, 0), kPaintColor) << "client coordinates";
  EXPECT_EQ(finder.GetPixelColor(context, window, 199, 149), kPaintColor);
  EXPECT_NE(finder.GetPixelColor(context, window, 200, 149), kPaintColor) << "right of the window";

  // One column either side of the window, large enough for a backend's bulk path.
  ScreenBitmap bitmap(context);
  ASSERT_TRUE(bitmap.CaptureScreen(99, 130, 202, 100, 32));
  for (const int y : {0, 99}) {
    EXPECT_NE(bitmap.ReadPixel(0, y), kPaintColor);
    EXPECT_EQ(bitmap.ReadPixel(1, y), kPaintColor);
    EXPECT_EQ(bitmap.ReadPixel(200, y), kPaintColor);
    EXPECT_NE(bitmap.ReadPixel(201, y), kPaintColor);
  }
}

TEST_F(BitmapContract, ACoveredWindowIsReadFromItsOwnDrawing) {
  const WindowHandle covered =
      harness().OpenWindow({100, 500, 300, 600}, kPaintRgb, kProbeTitle, "QelProbe");
  harness().OpenWindow({50, 450, 450, 750}, kCoverRgb, kProbeTitle, "QelCover");
  EXPECT_EQ(finder.GetPixelColor(context, covered, 50, 50), kCoverColor)
      << "the screen shows the cover";
  EXPECT_EQ(finder.GetPixelColor(context, covered, 50, 50, true), kPaintColor);

  ScreenBitmap bitmap(context);
  ASSERT_TRUE(bitmap.CaptureWindow(covered, 0, 0, 0, 0, 32));
  int painted = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) painted += bitmap.ReadPixel(x, y) == kPaintColor ? 1 : 0;
  }
  EXPECT_EQ(painted, 200 * 100);
  EXPECT_EQ(bitmap.ReadPixel(200, 0), kClrInvalid) << "the capture is the client area only";
}

TEST_F(BitmapContract, AMinimisedWindowCannotBeRead) {
  const WindowHandle window =
      harness().OpenWindow({600, 100, 700, 200}, kPaintRgb, kProbeTitle, "QelProbe");
  ASSERT_EQ(finder.GetPixelColor(context, window, 10, 10, true), kPaintColor);
  harness().Minimise(window);
  EXPECT_EQ(finder.GetPixelColor(context, window, 10, 10, true), kClrInvalid);
  ScreenBitmap bitmap(context);
  EXPECT_FALSE(bitmap.CaptureWindow(window));
  EXPECT_TRUE(bitmap.PackedDib().empty());
}

TEST_F(BitmapContract, ABitmapDrawnIntoAWindowIsWhatItsDcReads) {
  const WindowHandle window =
      harness().OpenWindow({200, 300, 360, 400}, kPaintRgb, kProbeTitle, "QelProbe");
  constexpr int kWidth = 24;
  constexpr int kHeight = 10;
  ScreenBitmap drawn(context);
  ASSERT_TRUE(drawn.CreateImage(kWidth, kHeight, 24));
  const auto colorAt = [](int x, int y) {
    return static_cast<ColorValue>(0x0A0000 * x + 0x001900 * y + 0x40);
  };
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ASSERT_TRUE(drawn.WritePixel(x, y, colorAt(x, y)));
  }
  ASSERT_TRUE(drawn.DrawToWindow(window));
  harness().Settle();

  const GdiHandle windowDc = gdi.GetDC(window);
  ASSERT_NE(windowDc, 0u);
  ScreenBitmap read(context);
  ASSERT_TRUE(read.CaptureDC(windowDc, {0, 0, kWidth + 1, kHeight + 1}, 24));
  EXPECT_TRUE(gdi.ReleaseDC(window, windowDc));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x)
      ASSERT_EQ(read.ReadPixel(x, y), colorAt(x, y)) << x << "," << y;
  }
  EXPECT_EQ(read.ReadPixel(kWidth, kHeight), kPaintColor)
      << "beyond the picture the window is as it was";
}

TEST_F(BackendContract, TheWindowUnderThePointerWithItsTitleAndClass) {
  harness().OpenWindow({0, 0, 800, 600}, kCoverRgb, {"below", "below"}, "QelBelow");
  const WindowHandle window =
      harness().OpenWindow({100, 100, 400, 300}, kPaintRgb, kProbeTitle, "QelProbe");
  harness().MovePointer({150, 160});
  Desktop& desktop = harness().desktop();
  EXPECT_EQ(desktop.CursorPosition(), (ScreenPoint{150, 160}));
  EXPECT_EQ(desktop.WindowFromPoint({150, 160}), window);
  EXPECT_EQ(WindowUnderCursor(desktop), window);
  EXPECT_EQ(desktop.Title(window), kProbeTitle.gbk) << "titles reach the core as GBK";
  EXPECT_EQ(desktop.ClassName(window), "QelProbe");
  EXPECT_EQ(desktop.WindowRectOf(window), (WindowRect{100, 100, 400, 300}));
  EXPECT_TRUE(desktop.IsVisible(window));
  EXPECT_NE(desktop.WindowFromPoint({450, 160}), window) << "outside it, the window below";
}

class HotkeyContract : public BackendContract {
 protected:
  HotkeyContract() {
    form.Check(RadioBox2);
    harness().onMessage = [this](WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
      if (target != harness().ReceiverWindow() || message != kHotkeyNotifyMessage) return;
      ++notifications;
      OnHotkeyNotify(form, dialogs, displayScale, hotkeyId, static_cast<std::int32_t>(wParam),
                     static_cast<std::int32_t>(lParam));
    };
  }

  void Register() {
    hotkeyId = registration.RegisterAppHotkey(harness().OwnWindow(), harness().ReceiverWindow(), 0,
                                              kF2VirtualKey);
  }
  bool Sampling() const { return form.TimerInterval(Timer1) == kSamplingIntervalMs; }

  FakeClock clock;
  NullEventSink events;
  FakeForm form{MainWindowLayout(), clock, events};
  FakeDialogs dialogs;
  float displayScale = 0.0f;
  HotkeyRegistration registration{harness().hotkeys()};
  std::int32_t hotkeyId = 0;
  int notifications = 0;
};

TEST_F(HotkeyContract, F2PressedInAnotherProgramTogglesSampling) {
  Register();
  ASSERT_EQ(hotkeyId, kFirstHotkeyId);
  harness().PressF2InAnotherProgram();
  ASSERT_TRUE(harness().WaitFor([this] { return Sampling(); }));
  EXPECT_EQ(form.Text(Button1), kTextStop.gbk);
  EXPECT_EQ(displayScale, 1.25f);
  harness().PressF2InAnotherProgram();
  ASSERT_TRUE(harness().WaitFor([this] { return !Sampling(); }));
  EXPECT_EQ(form.Text(Button1), kTextStart.gbk);
  EXPECT_EQ(notifications, 2);
}

TEST_F(HotkeyContract, F2HeldByAnotherProgramLeavesTheIdentifierAtZero) {
  harness().HoldF2Elsewhere();
  Register();
  EXPECT_EQ(hotkeyId, 0);
  harness().PressF2InAnotherProgram();
  harness().Settle();
  EXPECT_EQ(notifications, 0);
  EXPECT_FALSE(Sampling());
  OnStartStopClick(form, dialogs, displayScale);
  EXPECT_TRUE(Sampling()) << "the button still works";
}

}  // namespace
}  // namespace qel::test
