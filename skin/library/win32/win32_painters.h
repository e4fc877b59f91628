// How each kind of control looks in the skin. Every painter draws on a canvas that covers the
// control's client area and already shows what lies behind the control.
#pragma once

#include <windows.h>

#include "skin/library/win32/win32_canvas.h"
#include "skin/skin_format.h"

namespace qel::skin {

// What a control shows of the user's doing.
struct ControlState {
  bool enabled = true;
  bool focused = false;
  bool hot = false;  // the pointer is over it
  bool pressed = false;
  bool showFocus = true;         // the focus cue, unless the keyboard has not been used yet
  bool showAccelerators = true;  // the underlined access keys, likewise
};

// The state `window` is in now; `hot` and `pressed` are the caller's to tell.
ControlState StateOf(HWND window, bool hot, bool pressed);

// The rounded face and border of a push button, without its text.
void PaintButtonPanel(const Theme& theme, Canvas& canvas, const ControlState& state);
void PaintPushButton(const Theme& theme, HWND button, Canvas& canvas, const ControlState& state);
// A check box or a radio button with its text.
void PaintCheckable(const Theme& theme, HWND button, Canvas& canvas, const ControlState& state,
                    bool radio);
// `face` is the top-level window `root`'s face, which shows again where the caption cuts the frame.
void PaintGroupBox(const Theme& theme, HWND box, Canvas& canvas, const ControlState& state,
                   const Canvas& face, HWND root);
void PaintLabel(const Theme& theme, HWND label, Canvas& canvas, const ControlState& state);
// `hotTab` is the tab under the pointer, or -1.
void PaintTabs(const Theme& theme, HWND tabs, Canvas& canvas, const ControlState& state,
               int hotTab);
// The selected text of a single-line edit box over what the box painted itself.
void PaintEditSelection(const Theme& theme, HWND edit, Canvas& canvas);

// Whether the style is one of the label styles this skin draws (text, not pictures or frames).
bool IsTextLabel(LONG_PTR style);

}  // namespace qel::skin
