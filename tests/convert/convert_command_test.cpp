#include "convert/convert_command.h"

#include <string>

#include <gtest/gtest.h>

#include <ostream>

#include "app/layout_table.h"
#include "convert/preview.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_form.h"

namespace qel {
namespace {

using enum ControlId;

class IgnoreEvents final : public EventSink {
 public:
  void Deliver(ControlId, Event, std::int32_t, std::int32_t) override {}
};

// The five colour fields of one group, in the order hexadecimal, decimal, red, green, blue.
struct Fields {
  std::string hex;
  std::string decimal;
  std::string red;
  std::string green;
  std::string blue;

  friend bool operator==(const Fields&, const Fields&) = default;
  friend void PrintTo(const Fields& f, std::ostream* os) {
    *os << "{hex '" << f.hex << "', decimal '" << f.decimal << "', rgb '" << f.red << "' '"
        << f.green << "' '" << f.blue << "'}";
  }
};

const Fields kStale{"stale", "stale", "stale", "stale", "stale"};

class ConvertFixture {
 protected:
  void TypeInput(const Fields& in) {
    form_.SetText(EditBox9, in.hex);
    form_.SetText(EditBox13, in.decimal);
    form_.SetText(EditBox10, in.red);
    form_.SetText(EditBox11, in.green);
    form_.SetText(EditBox12, in.blue);
  }
  void FillOutput(const Fields& out) {
    form_.SetText(EditBox18, out.hex);
    form_.SetText(EditBox14, out.decimal);
    form_.SetText(EditBox17, out.red);
    form_.SetText(EditBox16, out.green);
    form_.SetText(EditBox15, out.blue);
  }
  Fields Input() const {
    return {form_.Text(EditBox9), form_.Text(EditBox13), form_.Text(EditBox10),
            form_.Text(EditBox11), form_.Text(EditBox12)};
  }
  Fields Output() const {
    return {form_.Text(EditBox18), form_.Text(EditBox14), form_.Text(EditBox17),
            form_.Text(EditBox16), form_.Text(EditBox15)};
  }

  FakeClock clock_;
  IgnoreEvents events_;
  FakeForm form_{MainWindowLayout(), clock_, events_};
};

struct ConvertCase {
  const char* name;
  friend void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }
  Fields input;
  Fields output;
};

class ConvertCommandTest : public ConvertFixture, public testing::TestWithParam<ConvertCase> {};

// Stale text in every output field shows which fields a branch writes and which it leaves.
TEST_P(ConvertCommandTest, WritesTheOtherTwoForms) {
  TypeInput(GetParam().input);
  FillOutput(kStale);
  OnConvertClick(form_);
  EXPECT_EQ(Output(), GetParam().output);
  EXPECT_EQ(Input(), GetParam().input);
}

const std::string k16F(16, 'F');

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertCommandTest,
    testing::Values(
        // Hexadecimal input.
        ConvertCase{"hex", {"#FFF00F", "", "", "", ""}, {"", "16773135", "15", "240", "255"}},
        ConvertCase{"hex_wins_over_decimal",
                    {"#FFF00F", "84621114", "1", "2", "3"},
                    {"", "16773135", "15", "240", "255"}},
        ConvertCase{"hex_lone_hash", {"#", "", "", "", ""}, {"", "0", "0", "0", "0"}},
        ConvertCase{"hex_fourth_byte_not_shown",
                    {"#12345678", "", "", "", ""},
                    {"", "305419896", "120", "86", "52"}},
        ConvertCase{"hex_sixteen_f", {k16F, "", "", "", ""}, {"", "-1", "255", "255", "255"}},
        ConvertCase{"hex_spaces_are_filled", {"  ", "5", "", "", ""}, {"", "0", "0", "0", "0"}},
        // Decimal input.
        ConvertCase{"decimal", {"", "84621114", "", "", ""}, {"#50B373A", "", "58", "55", "11"}},
        ConvertCase{"decimal_wins_over_components",
                    {"", "84621114", "1", "2", "3"},
                    {"#50B373A", "", "58", "55", "11"}},
        ConvertCase{"decimal_truncates", {"", "255.9", "", "", ""}, {"#FF", "", "255", "0", "0"}},
        ConvertCase{
            "decimal_minus_one", {"", "-1", "", "", ""}, {"#FFFFFFFF", "", "255", "255", "255"}},
        ConvertCase{"decimal_not_a_number", {"", "abc", "", "", ""}, {"#0", "", "0", "0", "0"}},
        ConvertCase{
            "decimal_full_width",
            {"", "\xA3\xB8\xA3\xB4\xA3\xB6\xA3\xB2\xA3\xB1\xA3\xB1\xA3\xB1\xA3\xB4", "", "", ""},
            {"#50B373A", "", "58", "55", "11"}},
        ConvertCase{"decimal_fourth_byte_not_shown",
                    {"", "16777216", "", "", ""},
                    {"#1000000", "", "0", "0", "0"}},
        ConvertCase{"decimal_keeps_low_32_bits",
                    {"", "4294967551", "", "", ""},
                    {"#FF", "", "255", "0", "0"}},
        ConvertCase{"decimal_out_of_int64", {"", "1e30", "", "", ""}, {"#0", "", "0", "0", "0"}},
        // Red, green and blue input.
        ConvertCase{
            "components", {"", "", "250", "250", "255"}, {"#FFFAFA", "16775930", "", "", ""}},
        ConvertCase{
            "components_padded", {"", "", "1", "2", "3"}, {"#030201", "197121", "", "", ""}},
        ConvertCase{
            "components_mixed", {"", "", "0", "128", "255"}, {"#FF8000", "16744448", "", "", ""}},
        ConvertCase{"components_zero", {"", "", "0", "0", "0"}, {"#000000", "0", "", "", ""}},
        ConvertCase{"components_truncate", {"", "", "2.9", "0", "0"}, {"#000002", "2", "", "", ""}},
        ConvertCase{"components_spaces_read_as_zero",
                    {"", "", " ", " ", " "},
                    {"#000000", "0", "", "", ""}},
        ConvertCase{
            "component_above_byte", {"", "", "256", "0", "0"}, {"#0000100", "256", "", "", ""}},
        ConvertCase{"negative_red", {"", "", "-1", "0", "0"}, {"#0000" + k16F, "-1", "", "", ""}},
        ConvertCase{
            "negative_blue", {"", "", "0", "0", "-1"}, {"#" + k16F + "0000", "-65536", "", "", ""}},
        ConvertCase{"red_out_of_int64",
                    {"", "", "1e300", "0", "0"},
                    {"#00008000000000000000", "-9223372036854775808", "", "", ""}},
        // Nothing to read: no field is written.
        ConvertCase{"nothing_typed", {"", "", "", "", ""}, kStale},
        ConvertCase{"red_and_green_only", {"", "", "1", "2", ""}, kStale},
        ConvertCase{"blue_only", {"", "", "", "", "3"}, kStale}),
    [](const testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

class ConvertAgreesWithPreview : public ConvertFixture, public testing::Test {};

// Both pages of the conversion must name the same colour for the same components.
TEST_F(ConvertAgreesWithPreview, DecimalOutputIsTheSwatchColour) {
  for (const int red : {0, 1, 127, 128, 254, 255}) {
    for (const int green : {0, 1, 128, 255}) {
      for (const int blue : {0, 2, 129, 255}) {
        TypeInput({"", "", std::to_string(red), std::to_string(green), std::to_string(blue)});
        OnConvertClick(form_);
        OnPreviewTick(form_);
        const std::int64_t expected = red + green * 256 + blue * 65536;
        EXPECT_EQ(form_.Text(EditBox14), std::to_string(expected));
        EXPECT_EQ(form_.PanelColor(DrawPanel2), static_cast<ColorValue>(expected));
      }
    }
  }
}

}  // namespace
}  // namespace qel
