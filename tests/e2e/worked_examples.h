// The worked examples as a user goes through them, which the end-to-end tests of both programs
// follow: the conversion page's, one after the other in the same window (what is typed into which
// field, then "Go", then what the output fields read), and the sampled pixel's.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/control_id.h"

namespace qel::test {

struct FieldText {
  ControlId field;
  std::string_view text;
};

struct WorkedConversion {
  std::vector<FieldText> typed;  // each field clicked, then typed into
  std::vector<FieldText> shown;  // after "Go"
};

inline const std::vector<WorkedConversion>& WorkedConversions() {
  using enum ControlId;
  static const std::vector<WorkedConversion> conversions{
      {{{EditBox9, "#FFF00F"}},
       {{EditBox14, "16773135"},
        {EditBox17, "15"},
        {EditBox16, "240"},
        {EditBox15, "255"},
        {EditBox18, ""}}},
      // Focusing the decimal field clears the hex field.
      {{{EditBox13, "84621114"}}, {{EditBox18, "#50B373A"}, {EditBox14, ""}, {EditBox17, "58"}}},
      // Focusing a component clears hex and decimal.
      {{{EditBox10, "250"}, {EditBox11, "250"}, {EditBox12, "255"}},
       {{EditBox18, "#FFFAFA"}, {EditBox14, "16775930"}, {EditBox17, ""}}},
  };
  return conversions;
}

// A window of colour 0xFAFAFF (red 250, green 250, blue 255) under the cursor at (101, 40),
// sampled at 125 %: the physical pixel (126, 50). What the sampling page then shows.
inline constexpr int kSampledCursorX = 101;
inline constexpr int kSampledCursorY = 40;
inline constexpr std::uint32_t kSampledRgb = 0xFAFAFF;

inline const std::vector<FieldText>& WorkedSampleFields() {
  using enum ControlId;
  static const std::vector<FieldText> fields{
      {EditBox2, "126.25"}, {EditBox3, "50"},  {EditBox7, "#FFFAFA"}, {EditBox8, "16775930"},
      {EditBox6, "250"},    {EditBox5, "250"}, {EditBox4, "255"},
  };
  return fields;
}

}  // namespace qel::test
