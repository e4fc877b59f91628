// The two controls of the layout that the system has no class for, both showing one colour: the
// drawing panel, a borderless rectangle filled with it, and the colour picker, a push button with
// the colour on its face that opens the system colour dialog when pressed.
#pragma once

#include "platform/win32/win32_handles.h"

namespace qel {

inline constexpr const wchar_t* kDrawPanelClass = L"QelDrawPanel";
inline constexpr const wchar_t* kColorPickerClass = L"QelColorPicker";

// Registers both classes in the process once; false when the system refuses.
bool RegisterSwatchClasses();

// A new swatch shows the button face colour until it is given another.
void SetSwatchColor(HWND swatch, COLORREF color);
COLORREF SwatchColor(HWND swatch);

}  // namespace qel
