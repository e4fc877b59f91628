// Which events reach which handlers, and that nothing is delivered once a fatal error is reported.
#include "app/dispatcher.h"

#include <gtest/gtest.h>

#include <set>

#include "app/fatal_error.h"
#include "app/layout_table.h"
#include "app/skin_deployment.h"
#include "bitmap/software_gdi.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_system.h"

namespace qel {
namespace {

using enum ControlId;

class DispatcherTest : public testing::Test, protected FakePlatform {
 protected:
  ProgramGlobals globals;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext bitmaps{gdi, screen, desktop};
  HotkeyRegistration hotkeyRegistration{hotkeys};
  Dispatcher dispatcher{EventBindings(), platform, bitmaps, hotkeyRegistration, globals, skin};
  FakeForm form{MainWindowLayout(), clock, dispatcher};
  FatalErrorReporter fatal{dispatcher, platform};
  SkinLibrary library{platform, fatal};
  SkinDeployment skin{platform, library, {}, [](int) { return std::span<const std::uint8_t>{}; }};

  void SetUp() override {
    globals.GlobalColorFinder = std::make_unique<ColorFinder>();  // as start-up makes it
    dispatcher.AttachForm(form);
  }
};

TEST(EventBindings, EachBoundControlHasOneEventAndHandlerNamesAreUnique) {
  std::set<ControlId> controls;
  std::set<std::string_view> handlers;
  EXPECT_EQ(EventBindings().size(), 12u);
  for (const Binding& binding : EventBindings()) {
    EXPECT_TRUE(controls.insert(binding.control).second) << ControlName(binding.control);
    EXPECT_TRUE(handlers.insert(binding.handlerName).second) << binding.handlerName;
    EXPECT_TRUE(binding.handlerName.starts_with("On")) << binding.handlerName;
  }
}

TEST_F(DispatcherTest, BoundEventRunsItsHandler) {
  form.SetText(EditBox9, "#FF");
  dispatcher.Deliver(Button2, Event::Click, 0, 0);
  EXPECT_EQ(form.Text(EditBox14), "255");
}

TEST_F(DispatcherTest, TheCopyKeysCopyTheSampledPixelsFindCommand) {
  form.Check(RadioBox1);
  form.Click(Button1);
  desktop.cursor = {30, 40};
  screen.SetPixel(30, 40, 0xFF8000);  // 0x00RRGGBB
  clock.Advance(100);
  form.PressCopyKeys();
  EXPECT_EQ(images.clipboardText, "qel-find color FF8000 --area 30,40,1,1");
}

TEST_F(DispatcherTest, UnboundEventsAndEventsOfUnboundControlsAreIgnored) {
  form.SetText(EditBox9, "#FF");
  dispatcher.Deliver(Button2, Event::GotFocus, 0, 0);  // the button is bound to its click only
  dispatcher.Deliver(EditBox14, Event::GotFocus, 0, 0);
  dispatcher.Deliver(Label24, Event::Notify, 1, 2);
  EXPECT_EQ(form.Text(EditBox14), "");
  EXPECT_EQ(form.Text(EditBox9), "#FF");
}

TEST_F(DispatcherTest, NothingIsDeliveredBeforeTheFormExists) {
  Dispatcher fresh{EventBindings(), platform, bitmaps, hotkeyRegistration, globals, skin};
  fresh.Deliver(Button2, Event::Click, 0, 0);  // must not touch a form that is not there
  SUCCEED();
}

TEST_F(DispatcherTest, AFatalErrorStopsDeliveryEvenWhileItsBoxIsOpen) {
  form.Focus(EditBox9);  // starts the preview timer
  form.SetText(EditBox9, "#FF");
  dialogs.whileOpen = [&] {
    clock.Advance(1000);
    form.Click(Button2);
  };
  FatalErrorReporter reporter(dispatcher, platform);
  try {
    reporter.Report("boom");
    FAIL() << "a fatal error ends the process";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, -1);
  }
  EXPECT_TRUE(dispatcher.Halted());
  EXPECT_FALSE(form.PanelColor(DrawPanel2).has_value()) << "a tick got through";
  EXPECT_EQ(form.Text(EditBox14), "") << "a click got through";
}

}  // namespace
}  // namespace qel
