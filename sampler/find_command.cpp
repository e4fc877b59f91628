#include "sampler/find_command.h"

#include <cstdio>
#include <optional>

#include "convert/hex_text.h"
#include "convert/number_text.h"
#include "convert/text_helpers.h"
#include "sampler/sampling_control.h"

namespace qel {
namespace {

using enum ControlId;

constexpr int kSamplingPage = 0;

// The sampled pixel's coordinate from the field that shows it scaled: the tick read the pixel at
// the truncated value.
std::optional<std::int32_t> ShownCoordinate(const Form& form, ControlId field) {
  const std::string text = form.Text(field);
  if (!IsFilled(text)) return std::nullopt;
  return static_cast<std::int32_t>(TruncateToInt64(ReadNumber(text)));
}

// An unreadable pixel shows as CLR_INVALID, whose top byte no screen colour has.
std::optional<ColorValue> ShownColor(const Form& form) {
  const std::string text = form.Text(EditBox7);
  if (!IsFilled(text)) return std::nullopt;
  const std::int64_t color = ParseHexText(text);
  if (color < 0 || color > 0xFFFFFF) return std::nullopt;
  return static_cast<ColorValue>(color);
}

}  // namespace

std::string FindColorCommand(ColorValue color, std::int32_t x, std::int32_t y) {
  char text[64];
  std::snprintf(text, sizeof text, "qel-find color %02X%02X%02X --area %d,%d,1,1",
                static_cast<unsigned>(color & 0xFF), static_cast<unsigned>(color >> 8 & 0xFF),
                static_cast<unsigned>(color >> 16 & 0xFF), static_cast<int>(x),
                static_cast<int>(y));
  return text;
}

void OnCopyFindCommand(Form& form, ImageServices& images) {
  if (!IsSampling(form) || form.SelectedPage(TabBox1) != kSamplingPage) return;
  const std::optional<ColorValue> color = ShownColor(form);
  const std::optional<std::int32_t> x = ShownCoordinate(form, EditBox2);
  const std::optional<std::int32_t> y = ShownCoordinate(form, EditBox3);
  if (!color || !x || !y) return;
  images.SetClipboardText(FindColorCommand(*color, *x, *y));
}

}  // namespace qel
