// The sampling tick on a fake desktop: fields, caption and the window-under-cursor rule.
#include "sampler/sampling_tick.h"

#include <gtest/gtest.h>

#include <ostream>

#include "app/layout_table.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_system.h"
#include "sampler/window_under_cursor.h"

namespace qel {
namespace {

using enum ControlId;

class SamplingTickTest : public testing::Test {
 protected:
  FakeClock clock;
  NullEventSink events;
  FakeForm form{MainWindowLayout(), clock, events};
  FakeDesktop desktop;
  std::optional<std::vector<std::uint8_t>> lastColorBytes;
  ScreenPoint sampled{-1, -1};
  ColorValue pixel = 0;

  void Tick(float scale) {
    OnSampleTick(
        form, desktop,
        [&](std::int32_t x, std::int32_t y) {
          sampled = {x, y};
          return pixel;
        },
        scale, lastColorBytes);
  }
};

TEST_F(SamplingTickTest, TheWorkedExample) {
  desktop.Add({.rect = {0, 0, 800, 600}, .title = "Notes", .className = "Editor"});
  desktop.cursor = {101, 40};
  pixel = 250 | 250 << 8 | 255 << 16;
  Tick(1.25f);
  EXPECT_EQ(sampled, (ScreenPoint{126, 50}));
  EXPECT_EQ(form.Text(EditBox2), "126.25");
  EXPECT_EQ(form.Text(EditBox3), "50");
  EXPECT_EQ(form.Text(EditBox7), "#FFFAFA");
  EXPECT_EQ(form.Text(EditBox8), "16775930");
  EXPECT_EQ(form.PanelColor(DrawPanel1), 16775930u);
  EXPECT_EQ(form.PickerColor(ColorPicker1), 16775930u);
  EXPECT_EQ(form.Text(EditBox6), "250");
  EXPECT_EQ(form.Text(EditBox5), "250");
  EXPECT_EQ(form.Text(EditBox4), "255");
  EXPECT_EQ(form.Text(MainWindow), "Notes  Editor");
  EXPECT_EQ(form.Text(EditBox1), "4097");
  EXPECT_EQ(lastColorBytes, (std::vector<std::uint8_t>{250, 250, 255, 0}));
}

struct ColorCase {
  const char* name;
  ColorValue color;
  const char* hex;
  const char* decimal;
  const char* red;
  const char* green;
  const char* blue;
  friend void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.name; }
};

class ShownColourTest : public SamplingTickTest, public testing::WithParamInterface<ColorCase> {};

TEST_P(ShownColourTest, ShowsEveryForm) {
  pixel = GetParam().color;
  Tick(1.0f);
  EXPECT_EQ(form.Text(EditBox7), GetParam().hex);
  EXPECT_EQ(form.Text(EditBox8), GetParam().decimal);
  EXPECT_EQ(form.Text(EditBox6), GetParam().red);
  EXPECT_EQ(form.Text(EditBox5), GetParam().green);
  EXPECT_EQ(form.Text(EditBox4), GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShownColourTest,
    testing::Values(ColorCase{"black", 0, "#0", "0", "0", "0", "0"},
                    ColorCase{"no_blue", 0x3412, "#3412", "13330", "18", "52", "0"},
                    ColorCase{"unreadable", kClrInvalid, "#FFFFFFFF", "-1", "255", "255", "255"},
                    ColorCase{"white", 0xFFFFFF, "#FFFFFF", "16777215", "255", "255", "255"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SamplingTickTest, PositionsAreScaledAndTruncated) {
  struct Case {
    ScreenPoint cursor;
    float scale;
    const char* x;
    const char* y;
    ScreenPoint sampledAt;
  };
  const Case cases[] = {
      {{100, 7}, 1.0f, "100", "7", {100, 7}},
      {{3, 101}, 1.75f, "5.25", "176.75", {5, 176}},
      {{-3, 0}, 1.5f, "-4.5", "0", {-4, 0}},
  };
  for (const Case& c : cases) {
    desktop.cursor = c.cursor;
    Tick(c.scale);
    EXPECT_EQ(form.Text(EditBox2), c.x);
    EXPECT_EQ(form.Text(EditBox3), c.y);
    EXPECT_EQ(sampled, c.sampledAt);
  }
}

TEST_F(SamplingTickTest, NoWindowOrNoTitleLeavesTheTwoSpaces) {
  Tick(1.0f);
  EXPECT_EQ(form.Text(MainWindow), "  ");
  EXPECT_EQ(form.Text(EditBox1), "0");
  desktop.Add({.rect = {0, 0, 50, 50}, .className = std::string(300, 'c')});
  Tick(1.0f);
  EXPECT_EQ(form.Text(MainWindow), "  " + std::string(258, 'c'));
}

TEST(WindowUnderCursor, TheSmallestVisibleSiblingUnderThePointWins) {
  FakeDesktop desktop;
  const WindowHandle top = desktop.Add({.rect = {0, 0, 500, 500}});
  const WindowHandle big = desktop.Add({.parent = top, .rect = {0, 0, 400, 400}});
  const WindowHandle small = desktop.Add({.parent = top, .rect = {10, 10, 60, 60}});
  const WindowHandle hidden =
      desktop.Add({.parent = top, .rect = {10, 10, 20, 20}, .visible = false});
  const WindowHandle sameArea = desktop.Add({.parent = top, .rect = {5, 5, 55, 55}});
  const WindowHandle elsewhere = desktop.Add({.parent = top, .rect = {300, 300, 301, 301}});
  desktop.cursor = {15, 15};
  EXPECT_EQ(desktop.WindowFromPoint(desktop.cursor), big);
  EXPECT_EQ(WindowUnderCursor(desktop), small) << "hidden, same-area and distant siblings lose";
  desktop.cursor = {200, 200};
  EXPECT_EQ(WindowUnderCursor(desktop), big);
  desktop.cursor = {450, 450};
  EXPECT_EQ(WindowUnderCursor(desktop), top) << "a top-level window is taken as it is";
  desktop.cursor = {900, 900};
  EXPECT_EQ(WindowUnderCursor(desktop), 0u);
  (void)hidden;
  (void)sameArea;
  (void)elsewhere;
}

}  // namespace
}  // namespace qel
