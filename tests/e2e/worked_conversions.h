// The conversion page's worked examples as a user goes through them, one after the other in the
// same window: what is typed into which field, then "Go", then what the output fields read. The
// end-to-end tests of both programs follow it.
#pragma once

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

}  // namespace qel::test
