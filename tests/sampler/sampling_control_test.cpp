// Starting and stopping sampling by click and by hotkey, and the box shown without a scale.
#include "sampler/sampling_control.h"

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_system.h"

namespace qel {
namespace {

using enum ControlId;

class SamplingControlTest : public testing::Test {
 protected:
  FakeClock clock;
  NullEventSink events;
  FakeForm form{MainWindowLayout(), clock, events};
  FakeDialogs dialogs;
  float displayScale = 0.0f;

  void Click() { OnStartStopClick(form, dialogs, displayScale); }
  bool Sampling() const { return form.Text(Button1) != kTextStart.gbk; }
};

TEST_F(SamplingControlTest, WithoutAScaleTheBoxExplainsAndNothingChanges) {
  Click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  const ShownMessageBox& box = dialogs.shown[0];
  EXPECT_EQ(box.owner, form.NativeHandle(MainWindow));
  EXPECT_EQ(box.style, 0x2000u);
  EXPECT_EQ(box.title, kTextScaleBoxTitle.gbk);
  EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 7);
  EXPECT_TRUE(box.text.starts_with(kTextScaleBoxLine1.gbk));
  EXPECT_TRUE(box.text.ends_with(kTextScaleBoxLine8.gbk)) << "no line break after the last line";
  EXPECT_NE(box.text.find(std::string("\r\n") + std::string(14, ' ') + "1."), std::string::npos);
  EXPECT_FALSE(Sampling());
  EXPECT_EQ(form.TimerInterval(Timer1), 0);
  EXPECT_EQ(displayScale, 0.0f);
}

TEST_F(SamplingControlTest, EachScaleStartsSamplingWithItsFactor) {
  const std::pair<ControlId, float> cases[] = {
      {RadioBox1, 1.0f}, {RadioBox2, 1.25f}, {RadioBox3, 1.5f}, {RadioBox4, 1.75f}};
  for (const auto& [radio, factor] : cases) {
    form.Check(radio);
    Click();
    EXPECT_EQ(form.Text(Button1), kTextStop.gbk);
    EXPECT_EQ(form.TimerInterval(Timer1), 100);
    EXPECT_EQ(displayScale, factor) << ControlName(radio);
    Click();
    EXPECT_EQ(form.Text(Button1), kTextStart.gbk);
    EXPECT_EQ(form.TimerInterval(Timer1), 0);
    EXPECT_EQ(displayScale, factor) << "stopping keeps the scale";
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SamplingControlTest, AScaleChosenWhileSamplingCountsAtTheNextStart) {
  form.Check(RadioBox2);
  Click();
  form.Check(RadioBox4);
  EXPECT_EQ(displayScale, 1.25f);
  Click();
  Click();
  EXPECT_EQ(displayScale, 1.75f);
}

TEST_F(SamplingControlTest, AnyCaptionButStartMeansSamplingIsOn) {
  form.SetText(Button1, "x");
  form.SetTimerInterval(Timer1, 100);
  Click();
  EXPECT_EQ(form.Text(Button1), kTextStart.gbk);
  EXPECT_EQ(form.TimerInterval(Timer1), 0);
}

TEST_F(SamplingControlTest, OnlyTheRegisteredHotkeyTogglesSampling) {
  form.Check(RadioBox1);
  OnHotkeyNotify(form, dialogs, displayScale, 33001, 33002, 0);
  EXPECT_FALSE(Sampling());
  OnHotkeyNotify(form, dialogs, displayScale, 33001, 33001, 0);
  EXPECT_TRUE(Sampling());
  OnHotkeyNotify(form, dialogs, displayScale, 33001, 33001, 7);
  EXPECT_FALSE(Sampling());
  // A failed registration leaves the identifier 0; no real hotkey carries 0.
  OnHotkeyNotify(form, dialogs, displayScale, 0, 33001, 0);
  EXPECT_FALSE(Sampling());
}

}  // namespace
}  // namespace qel
