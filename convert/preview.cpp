#include "convert/preview.h"

#include <optional>

#include "convert/hex_text.h"
#include "convert/number_text.h"
#include "convert/text_helpers.h"

namespace qel {
namespace {

using enum ControlId;

constexpr int kPreviewIntervalMs = 500;

// Setting the interval again is harmless: an unchanged interval keeps the timer's phase.
void StartPreview(Form& form) { form.SetTimerInterval(Timer2, kPreviewIntervalMs); }

void ClearComponents(Form& form) {
  form.SetText(EditBox10, {});
  form.SetText(EditBox11, {});
  form.SetText(EditBox12, {});
}

void ClearHexAndDecimal(Form& form) {
  form.SetText(EditBox9, {});
  form.SetText(EditBox13, {});
}

std::optional<ColorValue> TypedColor(const Form& form) {
  if (const std::string hex = form.Text(EditBox9); IsFilled(hex)) {
    return static_cast<ColorValue>(ParseHexText(hex));
  }
  if (const std::string decimal = form.Text(EditBox13); IsFilled(decimal)) {
    return static_cast<ColorValue>(TruncateToInt64(ReadNumber(decimal)));
  }
  // Only blue decides: an empty red or green reads as 0. Summing in double and truncating once
  // lets fractional components carry into each other.
  if (const std::string blue = form.Text(EditBox12); IsFilled(blue)) {
    const double red = ReadNumber(form.Text(EditBox10));
    const double green = ReadNumber(form.Text(EditBox11));
    return static_cast<ColorValue>(
        TruncateToInt64(red + green * 256.0 + ReadNumber(blue) * 65536.0));
  }
  return std::nullopt;
}

}  // namespace

void OnPreviewTick(Form& form) {
  if (const auto color = TypedColor(form)) form.SetPanelColor(DrawPanel2, *color);
}

void OnHexInputFocus(Form& form) {
  ClearComponents(form);
  form.SetText(EditBox13, {});
  StartPreview(form);
}

// The components never clear each other: a colour is typed into all three.
void OnRedInputFocus(Form& form) { ClearHexAndDecimal(form); }

void OnGreenInputFocus(Form& form) { ClearHexAndDecimal(form); }

void OnBlueInputFocus(Form& form) {
  ClearHexAndDecimal(form);
  StartPreview(form);
}

void OnDecimalInputFocus(Form& form) {
  ClearComponents(form);
  form.SetText(EditBox9, {});
  StartPreview(form);
}

}  // namespace qel
