#include "convert/convert_command.h"

#include <string>

#include "convert/hex_text.h"
#include "convert/number_text.h"
#include "convert/text_helpers.h"

namespace qel {
namespace {

using enum ControlId;

void ShowComponents(Form& form, std::int64_t value) {
  const auto bytes = ByteForm(value);
  form.SetText(EditBox17, FormatDecimal(bytes[0]));
  form.SetText(EditBox16, FormatDecimal(bytes[1]));
  form.SetText(EditBox15, FormatDecimal(bytes[2]));
}

void ConvertHex(Form& form) {
  form.SetText(EditBox18, {});
  const std::int64_t value = ParseHexText(form.Text(EditBox9));
  form.SetText(EditBox14, FormatDecimal(value));
  ShowComponents(form, value);
}

void ConvertDecimal(Form& form) {
  form.SetText(EditBox14, {});
  const auto color = static_cast<std::uint32_t>(TruncateToInt64(ReadNumber(form.Text(EditBox13))));
  const std::string digits = FormatHexShort(color);
  form.SetText(EditBox18, ConcatTexts({"#", digits}));
  ShowComponents(form, ParseHexText(digits));
}

// Components are not limited to a byte: a larger one takes more digits and a negative one its
// sixteen-digit pattern, and the decimal output is whatever the resulting text parses to.
std::string ComponentDigits(const Form& form, ControlId field) {
  std::string digits = FormatHex64(TruncateToInt64(ReadNumber(form.Text(field))));
  while (TextLength(digits) < 2) digits.insert(0, 1, '0');
  return digits;
}

void ConvertComponents(Form& form) {
  form.SetText(EditBox15, {});
  form.SetText(EditBox16, {});
  form.SetText(EditBox17, {});
  const std::string red = ComponentDigits(form, EditBox10);
  const std::string green = ComponentDigits(form, EditBox11);
  const std::string blue = ComponentDigits(form, EditBox12);
  form.SetText(EditBox18, ConcatTexts({"#", blue, green, red}));
  // Read back rather than reuse: the decimal output shows what the field actually holds.
  form.SetText(EditBox14, FormatDecimal(ParseHexText(form.Text(EditBox18))));
}

}  // namespace

// Each branch clears the output field of the form it read, so the output group never shows a value
// left over from an earlier conversion beside the two new ones.
void OnConvertClick(Form& form) {
  if (IsFilled(form.Text(EditBox9))) {
    ConvertHex(form);
  } else if (IsFilled(form.Text(EditBox13))) {
    ConvertDecimal(form);
  } else if (IsFilled(form.Text(EditBox10)) && IsFilled(form.Text(EditBox11)) &&
             IsFilled(form.Text(EditBox12))) {
    ConvertComponents(form);
  }
}

}  // namespace qel
