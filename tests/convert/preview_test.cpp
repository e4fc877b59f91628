#include "convert/preview.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ostream>

#include "app/layout_table.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_form.h"

namespace qel {
namespace {

using enum ControlId;

constexpr ColorValue kInitialSwatch = 0x00ABCDEF;

// Stands in for the program's bindings: the preview timer's tick and the focus of the five input
// fields reach their handlers, as they do in the running program.
class PreviewBindings final : public EventSink {
 public:
  void Attach(Form& form) { form_ = &form; }
  int Ticks() const { return ticks_; }

  void Deliver(ControlId control, Event event, std::int32_t, std::int32_t) override {
    if (form_ == nullptr) return;
    if (control == Timer2 && event == Event::Tick) {
      ++ticks_;
      OnPreviewTick(*form_);
      return;
    }
    if (event != Event::GotFocus) return;
    switch (control) {
      case EditBox9:
        OnHexInputFocus(*form_);
        break;
      case EditBox10:
        OnRedInputFocus(*form_);
        break;
      case EditBox11:
        OnGreenInputFocus(*form_);
        break;
      case EditBox12:
        OnBlueInputFocus(*form_);
        break;
      case EditBox13:
        OnDecimalInputFocus(*form_);
        break;
      default:
        break;
    }
  }

 private:
  Form* form_ = nullptr;
  int ticks_ = 0;
};

struct Inputs {
  std::string hex;
  std::string decimal;
  std::string red;
  std::string green;
  std::string blue;
};

class PreviewFixture {
 protected:
  PreviewFixture() { bindings_.Attach(form_); }

  void Type(const Inputs& in) {
    form_.SetText(EditBox9, in.hex);
    form_.SetText(EditBox13, in.decimal);
    form_.SetText(EditBox10, in.red);
    form_.SetText(EditBox11, in.green);
    form_.SetText(EditBox12, in.blue);
  }

  std::vector<std::string> AllEditTexts() const {
    std::vector<std::string> texts;
    for (const ControlSpec& control : MainWindowLayout().controls) {
      if (control.type == ControlType::EditBox) texts.push_back(form_.Text(control.id));
    }
    return texts;
  }

  FakeClock clock_;
  PreviewBindings bindings_;
  FakeForm form_{MainWindowLayout(), clock_, bindings_};
};

struct TickCase {
  const char* name;
  friend void PrintTo(const TickCase& c, std::ostream* os) { *os << c.name; }
  Inputs input;
  std::optional<ColorValue> color;  // empty: the swatch keeps what it showed
};

class PreviewTickTest : public PreviewFixture, public testing::TestWithParam<TickCase> {};

TEST_P(PreviewTickTest, ShowsTheTypedColour) {
  form_.SetPanelColor(DrawPanel2, kInitialSwatch);
  Type(GetParam().input);
  form_.SetText(EditBox18, "out");
  const std::vector<std::string> textsBefore = AllEditTexts();
  OnPreviewTick(form_);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), GetParam().color.value_or(kInitialSwatch));
  EXPECT_EQ(AllEditTexts(), textsBefore) << "the tick writes no text";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PreviewTickTest,
    testing::Values(TickCase{"hex_red", {"#FF", "", "", "", ""}, 0x0000FF},
                    TickCase{"hex_wins", {"#10", "99", "1", "2", "3"}, 0x10},
                    TickCase{"hex_spaces_are_filled", {" ", "99", "", "", "3"}, 0},
                    TickCase{"hex_passes_32_bits", {"#123456789", "", "", "", ""}, 0x23456789},
                    TickCase{"decimal_blue", {"", "16711680", "", "", ""}, 0xFF0000},
                    TickCase{"decimal_wins_over_components", {"", "7.9", "1", "2", "3"}, 7},
                    TickCase{"decimal_passes_32_bits", {"", "16777216", "", "", ""}, 0x1000000},
                    TickCase{"decimal_minus_one", {"", "-1", "", "", ""}, 0xFFFFFFFF},
                    TickCase{"decimal_out_of_int64", {"", "1e30", "", "", ""}, 0},
                    TickCase{"decimal_not_a_number", {"", "abc", "", "", ""}, 0},
                    TickCase{"blue_alone", {"", "", "", "", "255"}, 0xFF0000},
                    TickCase{"components", {"", "", "10", "20", "30"}, 1971210},
                    TickCase{"red_spills_into_green", {"", "", "256", "0", "0"}, 256},
                    TickCase{"green_one", {"", "", "0", "1", "0"}, 256},
                    TickCase{"fractions_add_before_truncation", {"", "", "0.5", "0.5", "0"}, 128},
                    TickCase{"full_width_blue", {"", "", "", "", "\xA3\xB1"}, 0x10000},
                    TickCase{"opposite_infinities", {"", "", "1e400", "-1e400", "1"}, 0},
                    TickCase{"blue_empty_keeps_swatch", {"", "", "10", "20", ""}, std::nullopt},
                    TickCase{"nothing_typed_keeps_swatch", {"", "", "", "", ""}, std::nullopt}),
    [](const testing::TestParamInfo<TickCase>& info) { return std::string(info.param.name); });

struct FocusCase {
  ControlId focused;
  std::vector<ControlId> cleared;
  int timerInterval;
  friend void PrintTo(const FocusCase& c, std::ostream* os) { *os << ControlName(c.focused); }
};

class InputFocusTest : public PreviewFixture, public testing::TestWithParam<FocusCase> {};

TEST_P(InputFocusTest, ClearsTheOtherFormsOnly) {
  const ControlId inputs[] = {EditBox9, EditBox10, EditBox11, EditBox12, EditBox13};
  const ControlId outputs[] = {EditBox14, EditBox15, EditBox16, EditBox17, EditBox18};
  for (const ControlId id : inputs) form_.SetText(id, "1");
  for (const ControlId id : outputs) form_.SetText(id, "out");

  form_.Focus(GetParam().focused);

  const auto& cleared = GetParam().cleared;
  for (const ControlId id : inputs) {
    const bool shouldClear = std::find(cleared.begin(), cleared.end(), id) != cleared.end();
    EXPECT_EQ(form_.Text(id), shouldClear ? "" : "1") << ControlName(id);
  }
  for (const ControlId id : outputs) EXPECT_EQ(form_.Text(id), "out") << ControlName(id);
  EXPECT_EQ(form_.TimerInterval(Timer2), GetParam().timerInterval);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputFocusTest,
    testing::Values(FocusCase{EditBox9, {EditBox10, EditBox11, EditBox12, EditBox13}, 500},
                    FocusCase{EditBox10, {EditBox9, EditBox13}, 0},
                    FocusCase{EditBox11, {EditBox9, EditBox13}, 0},
                    FocusCase{EditBox12, {EditBox9, EditBox13}, 500},
                    FocusCase{EditBox13, {EditBox9, EditBox10, EditBox11, EditBox12}, 500}),
    [](const testing::TestParamInfo<FocusCase>& info) {
      return std::string(ControlName(info.param.focused));
    });

class PreviewTimerTest : public PreviewFixture, public testing::Test {};

TEST_F(PreviewTimerTest, SwatchWaitsUntilAStartingFieldHadTheFocus) {
  form_.Focus(EditBox10);
  form_.SetText(EditBox10, "10");
  form_.Focus(EditBox11);
  form_.SetText(EditBox11, "20");
  clock_.Advance(5000);
  EXPECT_EQ(bindings_.Ticks(), 0);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), std::nullopt);

  form_.Focus(EditBox12);
  form_.SetText(EditBox12, "30");
  clock_.Advance(499);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), std::nullopt) << "the first tick is a full period away";
  clock_.Advance(1);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), ColorValue{1971210});
}

class RefocusTest : public PreviewFixture, public testing::TestWithParam<ControlId> {};

// A user tabbing between the inputs faster than 500 ms must still see the swatch refresh.
TEST_P(RefocusTest, FocusingAgainDoesNotPostponeTheNextTick) {
  form_.Focus(EditBox9);
  for (int i = 0; i < 4; ++i) {
    clock_.Advance(400);
    form_.Focus(GetParam());
    clock_.Advance(100);
    EXPECT_EQ(bindings_.Ticks(), i + 1) << "at " << clock_.Now() << " ms";
  }
}

INSTANTIATE_TEST_SUITE_P(StartingFields, RefocusTest,
                         testing::Values(EditBox9, EditBox12, EditBox13),
                         [](const testing::TestParamInfo<ControlId>& info) {
                           return std::string(ControlName(info.param));
                         });

// Nothing stops the preview once started, whichever page shows: focusing other fields leaves it
// running and the swatch follows each change of the input.
TEST_F(PreviewTimerTest, KeepsTickingOnceStarted) {
  form_.Focus(EditBox13);
  form_.SetText(EditBox13, "1");
  clock_.Advance(500);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), ColorValue{1});

  form_.Focus(EditBox10);
  form_.Focus(EditBox11);
  form_.SetText(EditBox12, "2");
  clock_.Advance(500);
  EXPECT_EQ(form_.PanelColor(DrawPanel2), ColorValue{0x20000});

  clock_.Advance(9000);
  EXPECT_EQ(bindings_.Ticks(), 20);
  EXPECT_EQ(form_.TimerInterval(Timer2), 500);
}

}  // namespace
}  // namespace qel
