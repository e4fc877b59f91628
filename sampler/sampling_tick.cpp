#include "sampler/sampling_tick.h"

#include <string>

#include "convert/hex_text.h"
#include "convert/number_text.h"
#include "convert/text_helpers.h"
#include "sampler/window_under_cursor.h"

namespace qel {
namespace {

using enum ControlId;

std::string TitleOf(Desktop& desktop, WindowHandle window) {
  return desktop.IsWindow(window) ? desktop.Title(window) : std::string();
}

std::string ClassNameOf(Desktop& desktop, WindowHandle window) {
  std::string name = desktop.ClassName(window).value_or(std::string());
  if (name.size() >= kClassNameBuffer) name.resize(kClassNameBuffer - 1);
  return name;
}

std::int32_t ScaledCoordinate(int coordinate, float displayScale) {
  return static_cast<std::int32_t>(
      TruncateToInt64(static_cast<double>(coordinate) * static_cast<double>(displayScale)));
}

}  // namespace

// Each step asks the desktop afresh, as the cursor may move between them: the shown position and
// the sampled one can come from different instants.
void OnSampleTick(Form& form, Desktop& desktop, const PixelReader& readPixel, float displayScale,
                  std::optional<std::vector<std::uint8_t>>& lastColorBytes) {
  const std::string title = TitleOf(desktop, WindowUnderCursor(desktop));
  const std::string className = ClassNameOf(desktop, WindowUnderCursor(desktop));
  form.SetText(MainWindow, ConcatTexts({title, "  ", className}));
  form.SetText(EditBox1, FormatDecimal(static_cast<std::int32_t>(WindowUnderCursor(desktop))));

  const double scale = displayScale;
  form.SetText(EditBox2, FormatG13(desktop.CursorPosition().x * scale));
  form.SetText(EditBox3, FormatG13(desktop.CursorPosition().y * scale));

  const ScreenPoint cursor = desktop.CursorPosition();
  const ColorValue color =
      readPixel(ScaledCoordinate(cursor.x, displayScale), ScaledCoordinate(cursor.y, displayScale));

  form.SetText(EditBox7, ConcatTexts({"#", FormatHexShort(color)}));
  form.SetPickerColor(ColorPicker1, color);
  form.SetText(EditBox8, FormatDecimal(static_cast<std::int32_t>(color)));
  form.SetPanelColor(DrawPanel1, color);

  lastColorBytes = std::vector<std::uint8_t>{
      static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
      static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 24)};
  form.SetText(EditBox6, FormatDecimal((*lastColorBytes)[0]));
  form.SetText(EditBox5, FormatDecimal((*lastColorBytes)[1]));
  form.SetText(EditBox4, FormatDecimal((*lastColorBytes)[2]));
}

}  // namespace qel
