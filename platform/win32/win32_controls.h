// The native control behind each row of the layout table: its window class and styles, and the
// window made from them at the row's place with the row's text.
#pragma once

#include <optional>

#include "platform/win32/win32_handles.h"

namespace qel {

// A control's child-window identifier is its number above this base, clear of IDOK and IDCANCEL,
// which the dialog keys send to the window.
inline constexpr int kFirstControlCommand = 1000;

int CommandIdOf(ControlId id);
std::optional<ControlId> ControlOfCommand(int command);

struct NativeControlStyle {
  const wchar_t* className = nullptr;  // null for a control with no window (a timer)
  DWORD style = 0;
  DWORD exStyle = 0;
};

// The controls on a page of the tab control start hidden: the view shows the selected page.
NativeControlStyle NativeStyleOf(const Layout& layout, const ControlSpec& spec);

// A control that other controls of the layout are placed in.
bool HoldsControls(const Layout& layout, ControlId id);

// Creates the control in `parent`, with its caption (the page titles for the tab control). Null
// when the system would not make it.
HWND CreateNativeControl(const Layout& layout, const ControlSpec& spec, HWND parent);

}  // namespace qel
