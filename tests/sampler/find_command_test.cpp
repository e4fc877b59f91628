// The qel-find command Ctrl+C copies from the sampling page: its text, and when it is copied.
#include "sampler/find_command.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_system.h"
#include "sampler/sampling_tick.h"

namespace qel {
namespace {

using enum ControlId;

TEST(FindColorCommand, RedComesFirstWithEveryDigitAndThePixelIsTheArea) {
  struct Case {
    ColorValue color;
    std::int32_t x, y;
    const char* command;
  };
  const Case cases[] = {
      {0xFFFAFA, 126, 50, "qel-find color FAFAFF --area 126,50,1,1"},
      {0x003412, 7, 0, "qel-find color 123400 --area 7,0,1,1"},  // shown as #3412
      {0x0000FF, 1919, 1079, "qel-find color FF0000 --area 1919,1079,1,1"},
      {0, 0, 0, "qel-find color 000000 --area 0,0,1,1"},
      {0x0A0B0C, -1920, -4,
       "qel-find color 0C0B0A --area -1920,-4,1,1"},  // left of the first screen
      {0xFF123456, 1, 2, "qel-find color 563412 --area 1,2,1,1"},
  };
  for (const Case& c : cases) EXPECT_EQ(FindColorCommand(c.color, c.x, c.y), c.command);
}

// A form whose page 0 shows what one sampling tick showed, with sampling on.
class OnCopyFindCommandTest : public testing::Test {
 protected:
  FakeClock clock;
  NullEventSink events;
  FakeForm form{MainWindowLayout(), clock, events};
  FakeDesktop desktop;
  FakeImageServices images;

  void SetUp() override {
    form.SetText(Button1, kTextStop.gbk);
    images.clipboardText = "earlier";
  }
  void Tick(ScreenPoint cursor, float scale, ColorValue pixel) {
    std::optional<std::vector<std::uint8_t>> lastColorBytes;
    desktop.cursor = cursor;
    OnSampleTick(
        form, desktop, [&](std::int32_t, std::int32_t) { return pixel; }, scale, lastColorBytes);
  }
};

TEST_F(OnCopyFindCommandTest, CopiesTheColourAndThePixelTheTickShowed) {
  struct Case {
    ScreenPoint cursor;
    float scale;
    ColorValue pixel;
    const char* copied;
  };
  const Case cases[] = {
      {{101, 40}, 1.25f, 0xFFFAFA, "qel-find color FAFAFF --area 126,50,1,1"},  // shows 126.25
      {{3, 101}, 1.75f, 0xFF0000, "qel-find color 0000FF --area 5,176,1,1"},
      {{-3, 0}, 1.5f, 0, "qel-find color 000000 --area -4,0,1,1"},
  };
  for (const Case& c : cases) {
    Tick(c.cursor, c.scale, c.pixel);
    OnCopyFindCommand(form, images);
    EXPECT_EQ(images.clipboardText, c.copied);
  }
}

TEST_F(OnCopyFindCommandTest, LeavesTheClipboardAloneWithNothingToCopy) {
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"sampling off", [&] { form.SetText(Button1, kTextStart.gbk); }},
      {"the conversion page shown", [&] { form.SelectPage(1); }},
      {"an unreadable pixel", [&] { form.SetText(EditBox7, "#FFFFFFFF"); }},  // CLR_INVALID
      {"no position shown yet", [&] { form.SetText(EditBox2, ""); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    form.SelectPage(0);
    Tick({101, 40}, 1.25f, 0xFFFAFA);
    c.change();
    OnCopyFindCommand(form, images);
    EXPECT_EQ(images.clipboardText, "earlier");
  }
}

}  // namespace
}  // namespace qel
