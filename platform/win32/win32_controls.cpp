#include "platform/win32/win32_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_swatches.h"

namespace qel {
namespace {

// Each control family has its own style bits for the three alignments.
struct AlignmentStyles {
  DWORD left;
  DWORD center;
  DWORD right;
};
inline constexpr AlignmentStyles kEditAlignment{ES_LEFT, ES_CENTER, ES_RIGHT};
inline constexpr AlignmentStyles kLabelAlignment{SS_LEFT, SS_CENTER, SS_RIGHT};
inline constexpr AlignmentStyles kGroupBoxAlignment{BS_LEFT, BS_CENTER, BS_RIGHT};

DWORD AlignmentStyle(Align align, const AlignmentStyles& styles) {
  switch (align) {
    case Align::Center:
      return styles.center;
    case Align::Right:
      return styles.right;
    case Align::Left:
      break;
  }
  return styles.left;
}

std::vector<const ControlSpec*> WindowedSiblings(const Layout& layout, ControlId parent) {
  std::vector<const ControlSpec*> siblings;
  for (const ControlSpec& spec : layout.controls) {
    if (spec.parent == parent && spec.type != ControlType::Timer) siblings.push_back(&spec);
  }
  return siblings;
}

// The radio boxes of one parent make one group: it starts at the first of them and ends before
// the first sibling after the last, so that checking one unchecks exactly the others.
bool StartsGroup(const Layout& layout, const ControlSpec& spec) {
  const std::vector<const ControlSpec*> siblings = WindowedSiblings(layout, spec.parent);
  const auto isRadio = [](const ControlSpec* s) { return s->type == ControlType::RadioBox; };
  const auto first = std::ranges::find_if(siblings, isRadio);
  if (first == siblings.end()) return false;
  const auto last = std::ranges::find_if(siblings.rbegin(), siblings.rend(), isRadio).base();
  return *first == &spec || (last != siblings.end() && *last == &spec);
}

void AddPages(HWND tabControl, const Layout& layout) {
  int index = 0;
  for (std::string_view title : layout.window.pageTitles) {
    std::wstring text = GbkToUtf16(title);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabControl, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                 reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace

int CommandIdOf(ControlId id) { return kFirstControlCommand + static_cast<int>(id); }

std::optional<ControlId> ControlOfCommand(int command) {
  const int index = command - kFirstControlCommand;
  if (index < 0 || index >= static_cast<int>(kControlCount)) return std::nullopt;
  return static_cast<ControlId>(index);
}

bool HoldsControls(const Layout& layout, ControlId id) {
  return std::ranges::any_of(layout.controls,
                             [id](const ControlSpec& spec) { return spec.parent == id; });
}

NativeControlStyle NativeStyleOf(const Layout& layout, const ControlSpec& spec) {
  NativeControlStyle native;
  native.style = WS_CHILD;
  switch (spec.type) {
    case ControlType::TabBox:
      // No WS_CLIPCHILDREN: the tab control's face is also what shows inside the group boxes,
      // which paint only their frames.
      native.className = WC_TABCONTROLW;
      native.style |= WS_CLIPSIBLINGS;
      break;
    case ControlType::GroupBox:
      native.className = WC_BUTTONW;
      native.style |= BS_GROUPBOX | AlignmentStyle(spec.align, kGroupBoxAlignment);
      break;
    case ControlType::Label:
      native.className = WC_STATICW;
      // Single-line labels are centred vertically, as the other view does.
      native.style |= AlignmentStyle(spec.align, kLabelAlignment) | SS_CENTERIMAGE | SS_NOPREFIX;
      break;
    case ControlType::EditBox:
      native.className = WC_EDITW;
      native.style |= ES_AUTOHSCROLL | AlignmentStyle(spec.align, kEditAlignment);
      if (spec.readOnly) native.style |= ES_READONLY;
      native.exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlType::Button:
      native.className = WC_BUTTONW;
      native.style |= BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
      break;
    case ControlType::RadioBox:
      native.className = WC_BUTTONW;
      native.style |= BS_AUTORADIOBUTTON;
      break;
    case ControlType::DrawPanel:
      native.className = kDrawPanelClass;
      break;
    case ControlType::ColorPicker:
      native.className = kColorPickerClass;
      break;
    case ControlType::Timer:
      return {};
  }
  if (spec.tabStop) native.style |= WS_TABSTOP;
  if (StartsGroup(layout, spec)) native.style |= WS_GROUP;
  if (spec.parent != layout.window.tabBox) native.style |= WS_VISIBLE;
  // The dialog keys look for Tab stops inside a control only when it says it holds controls.
  if (HoldsControls(layout, spec.id)) native.exStyle |= WS_EX_CONTROLPARENT;
  return native;
}

HWND CreateNativeControl(const Layout& layout, const ControlSpec& spec, HWND parent) {
  const NativeControlStyle native = NativeStyleOf(layout, spec);
  if (native.className == nullptr) return nullptr;
  const std::wstring caption = GbkToUtf16(spec.caption);
  HWND control =
      CreateWindowExW(native.exStyle, native.className, caption.c_str(), native.style,
                      spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandIdOf(spec.id))),
                      GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return nullptr;
  if (spec.type == ControlType::TabBox) AddPages(control, layout);
  // No length limit: zero asks for the largest the edit control takes.
  if (spec.type == ControlType::EditBox) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
  return control;
}

}  // namespace qel
