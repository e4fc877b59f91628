#include "skin/library/win32/win32_painters.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/library/skin_look.h"
#include "skin/library/win32/win32_face.h"

namespace qel::skin {
namespace {

// The side of a check box's or radio button's box, as the system draws it at 96 dpi.
constexpr int kBoxSide = 13;
// Between the box and its text.
constexpr int kBoxGap = 4;
// Tabs and group boxes round their corners this much.
constexpr float kFrameRadius = 3;
// The selected tab stands out above and beside the others by this much.
constexpr int kSelectedTabRise = 2;

std::vector<wchar_t> TextOf(HWND window) {
  std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1);
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

int Length(const std::vector<wchar_t>& text) { return static_cast<int>(text.size()); }

UINT AcceleratorFormat(const ControlState& state) {
  return state.showAccelerators ? 0 : DT_HIDEPREFIX;
}

// The button styles' text placement as DrawText flags; `horizontal` when the style names none.
UINT ButtonTextFormat(LONG_PTR style, UINT horizontal) {
  UINT format = horizontal;
  switch (style & BS_CENTER) {
    case BS_LEFT:
      format = DT_LEFT;
      break;
    case BS_RIGHT:
      format = DT_RIGHT;
      break;
    case BS_CENTER:
      format = DT_CENTER;
      break;
    default:
      break;
  }
  if (style & BS_MULTILINE) return format | DT_WORDBREAK;
  switch (style & BS_VCENTER) {
    case BS_TOP:
      return format | DT_SINGLELINE | DT_TOP;
    case BS_BOTTOM:
      return format | DT_SINGLELINE | DT_BOTTOM;
    default:
      return format | DT_SINGLELINE | DT_VCENTER;
  }
}

// Draws the text in `area` and returns the rectangle it took, for the focus cue around it.
RECT DrawWindowText(Canvas& canvas, HWND window, RECT area, UINT format, Colour colour) {
  const std::vector<wchar_t> text = TextOf(window);
  if (text.empty()) return {area.left, area.top, area.left, area.top};
  const HFONT font = FontOf(window);
  RECT measured = area;
  const HGDIOBJ previous = font != nullptr ? SelectObject(canvas.Dc(), font) : nullptr;
  DrawTextW(canvas.Dc(), text.data(), Length(text), &measured, format | DT_CALCRECT);
  if (previous != nullptr) SelectObject(canvas.Dc(), previous);
  const int width = measured.right - measured.left;
  const int height = measured.bottom - measured.top;
  // DrawText centres a single line only; wrapped lines are centred here.
  if (format & DT_WORDBREAK) area.top += std::max<LONG>(0, (area.bottom - area.top - height) / 2);
  const int left = (format & DT_CENTER)  ? (area.left + area.right - width) / 2
                   : (format & DT_RIGHT) ? area.right - width
                                         : area.left;
  const int top = (format & DT_VCENTER)  ? (area.top + area.bottom - height) / 2
                  : (format & DT_BOTTOM) ? area.bottom - height
                                         : area.top;
  canvas.Text(text.data(), Length(text), area, format, font, colour);
  RECT taken{left, top, left + width, top + height};
  IntersectRect(&taken, &taken, &area);
  return taken;
}

// A vertical gradient as a one-pixel-wide texture, to stretch like the button texture.
Texture Gradient(Colour top, Colour bottom, int height) {
  Texture gradient{{}, 1, static_cast<std::uint32_t>(height), {}};
  for (int y = 0; y < height; ++y) {
    gradient.pixels.push_back(0xFF000000u |
                              PixelOf(Blend(top, bottom, (2 * y + 1) * 255 / (2 * height))));
  }
  return gradient;
}

}  // namespace

ControlState StateOf(HWND window, bool hot, bool pressed) {
  const auto cues = static_cast<UINT>(SendMessageW(window, WM_QUERYUISTATE, 0, 0));
  ControlState state;
  state.enabled = IsWindowEnabled(window) != 0;
  state.focused = GetFocus() == window;
  state.hot = hot && state.enabled;
  state.pressed = pressed;
  state.showFocus = !(cues & UISF_HIDEFOCUS);
  state.showAccelerators = !(cues & UISF_HIDEACCEL);
  return state;
}

bool IsTextLabel(LONG_PTR style) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_LEFTNOWORDWRAP:
      return true;
    default:
      return false;
  }
}

void PaintButtonPanel(const Theme& theme, Canvas& canvas, const ControlState& state) {
  const Theme::Button& button = theme.button;
  const Shape shape = ShapeOf({0, 0, canvas.Width(), canvas.Height()}, button.cornerRadius);
  if (state.pressed) {
    canvas.FillShape(shape, button.pressedFace);
  } else if (state.hot) {
    canvas.FillShape(shape, button.hoverFace);
  } else if (const Texture* face = FindTexture(theme, kButtonFaceTexture)) {
    canvas.FillShape(shape, *face);
  } else {
    canvas.FillShape(shape, Gradient(button.face, button.faceGradientEnd, canvas.Height()));
  }
  canvas.StrokeShape(shape, state.focused ? theme.edit.focusBorder : button.border);
}

void PaintPushButton(const Theme& theme, HWND button, Canvas& canvas, const ControlState& state) {
  PaintButtonPanel(theme, canvas, state);
  const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
  RECT area{3, 3, canvas.Width() - 3, canvas.Height() - 3};
  // A pressed button's text sinks with it.
  if (state.pressed) OffsetRect(&area, 1, 1);
  DrawWindowText(canvas, button, area,
                 ButtonTextFormat(style, DT_CENTER) | AcceleratorFormat(state),
                 state.enabled ? theme.button.text : theme.disabledText);
  if (state.focused && state.showFocus) {
    canvas.DottedFrame({3, 3, canvas.Width() - 3, canvas.Height() - 3}, theme.edit.focusBorder);
  }
}

void PaintCheckable(const Theme& theme, HWND button, Canvas& canvas, const ControlState& state,
                    bool radio) {
  const Theme::Radio& colours = theme.radio;
  const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
  const auto check = SendMessageW(button, BM_GETCHECK, 0, 0);
  const int width = canvas.Width();
  const int height = canvas.Height();
  const bool boxOnRight = style & BS_LEFTTEXT;
  const int boxTop = (style & BS_VCENTER) == BS_TOP      ? 0
                     : (style & BS_VCENTER) == BS_BOTTOM ? height - kBoxSide
                                                         : (height - kBoxSide) / 2;
  const int boxLeft = boxOnRight ? width - kBoxSide : 0;
  const RECT box{boxLeft, boxTop, boxLeft + kBoxSide, boxTop + kBoxSide};

  const Colour ink = state.enabled ? colours.dot : theme.disabledText;
  const bool lit = state.hot || state.pressed;
  Shape mark = ShapeOf(box, radio ? kBoxSide / 2.0f : 2.0f);
  mark.left += 1;
  mark.top += 1;
  mark.right -= 1;
  mark.bottom -= 1;
  canvas.FillShape(mark, theme.edit.background);
  canvas.StrokeShape(mark,
                     lit             ? colours.dot
                     : state.enabled ? colours.ring
                                     : theme.disabledText,
                     lit ? 1.5f : 1.2f);
  if (radio && check == BST_CHECKED) {
    const float inset = (mark.right - mark.left) * 0.27f;
    canvas.FillShape({mark.left + inset, mark.top + inset, mark.right - inset, mark.bottom - inset,
                      kBoxSide / 2.0f},
                     ink);
  } else if (!radio && check == BST_CHECKED) {
    const float left = mark.left;
    const float top = mark.top;
    canvas.Line(left + 2.5f, top + 5.5f, left + 4.5f, top + 8, 1.6f, ink);
    canvas.Line(left + 4.5f, top + 8, left + 8.5f, top + 2.5f, 1.6f, ink);
  } else if (!radio && check == BST_INDETERMINATE) {
    canvas.FillShape({mark.left + 3, mark.top + 3, mark.right - 3, mark.bottom - 3}, ink);
  }

  const RECT area = boxOnRight ? RECT{0, 0, width - kBoxSide - kBoxGap, height}
                               : RECT{kBoxSide + kBoxGap, 0, width, height};
  RECT taken = DrawWindowText(canvas, button, area,
                              ButtonTextFormat(style, DT_LEFT) | AcceleratorFormat(state),
                              state.enabled ? colours.text : theme.disabledText);
  if (state.focused && state.showFocus) {
    if (IsRectEmpty(&taken)) taken = box;
    InflateRect(&taken, 1, 1);
    canvas.DottedFrame(taken, theme.edit.focusBorder);
  }
}

void PaintGroupBox(const Theme& theme, HWND box, Canvas& canvas, const ControlState& state,
                   const Canvas& face, HWND root) {
  const std::vector<wchar_t> caption = TextOf(box);
  const HFONT font = FontOf(box);
  const HGDIOBJ previous = font != nullptr ? SelectObject(canvas.Dc(), font) : nullptr;
  TEXTMETRICW metrics{};
  GetTextMetricsW(canvas.Dc(), &metrics);
  SIZE extent{0, metrics.tmHeight};
  if (!caption.empty())
    GetTextExtentPoint32W(canvas.Dc(), caption.data(), Length(caption), &extent);
  if (previous != nullptr) SelectObject(canvas.Dc(), previous);

  const int width = canvas.Width();
  Shape frame = ShapeOf({0, metrics.tmHeight / 2, width, canvas.Height()}, kFrameRadius);
  canvas.StrokeShape(frame, theme.groupBox.frame);
  if (caption.empty()) return;
  const LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
  const int left = (style & BS_CENTER) == BS_CENTER  ? (width - extent.cx) / 2
                   : (style & BS_CENTER) == BS_RIGHT ? width - 8 - extent.cx
                                                     : 8;
  // The frame's line stops short of the caption on both sides.
  const RECT gap{left - 3, 0, left + extent.cx + 3, metrics.tmHeight};
  CopyFaceBehind(face, root, box, gap, canvas);
  canvas.Text(caption.data(), Length(caption), {left, 0, left + extent.cx, metrics.tmHeight},
              DT_SINGLELINE | DT_LEFT | AcceleratorFormat(state), font,
              state.enabled ? theme.groupBox.caption : theme.disabledText);
}

void PaintLabel(const Theme& theme, HWND label, Canvas& canvas, const ControlState& state) {
  const LONG_PTR style = GetWindowLongPtrW(label, GWL_STYLE);
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      format |= DT_CENTER | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format |= DT_RIGHT | DT_WORDBREAK;
      break;
    case SS_LEFTNOWORDWRAP:
      format |= DT_LEFT;
      break;
    default:
      format |= DT_LEFT | DT_WORDBREAK;
      break;
  }
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS:
      format |= DT_END_ELLIPSIS;
      break;
    case SS_PATHELLIPSIS:
      format |= DT_PATH_ELLIPSIS;
      break;
    case SS_WORDELLIPSIS:
      format |= DT_WORD_ELLIPSIS;
      break;
    default:
      break;
  }
  const std::vector<wchar_t> text = TextOf(label);
  canvas.Text(text.data(), Length(text), {0, 0, canvas.Width(), canvas.Height()},
              format | AcceleratorFormat(state), FontOf(label),
              state.enabled ? theme.labelText : theme.disabledText);
}

void PaintTabs(const Theme& theme, HWND tabs, Canvas& canvas, const ControlState& state,
               int hotTab) {
  const Theme::Tabs& colours = theme.tabs;
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
  const auto itemRect = [tabs](int item) {
    RECT rect{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    return rect;
  };
  int rowBottom = 0;
  for (int item = 0; item < count; ++item)
    rowBottom = std::max<int>(rowBottom, itemRect(item).bottom);
  canvas.StrokeShape(ShapeOf({0, rowBottom, canvas.Width(), canvas.Height()}, 0),
                     colours.paneBorder);

  const HFONT font = FontOf(tabs);
  const UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | AcceleratorFormat(state);
  // The selected tab last, over its neighbours' edges.
  for (int pass = 0; pass < 2; ++pass) {
    for (int item = 0; item < count; ++item) {
      const bool isSelected = item == selected;
      if (isSelected != (pass == 1)) continue;
      RECT rect = itemRect(item);
      wchar_t title[128] = {};
      TCITEMW query{};
      query.mask = TCIF_TEXT;
      query.pszText = title;
      query.cchTextMax = 128;
      SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&query));
      RECT shape = rect;
      shape.bottom = rowBottom + 1;  // the tab's lower edge lies on the pane's upper one
      Colour fill = colours.face;
      if (isSelected) {
        InflateRect(&shape, kSelectedTabRise, 0);
        shape.top -= kSelectedTabRise;
        OffsetRect(&rect, 0, -1);
        fill = colours.selectedFace;
      } else if (item == hotTab && state.enabled) {
        fill = Blend(colours.face, colours.selectedFace, 128);
      }
      Shape tab = ShapeOf(shape, kFrameRadius);
      tab.roundBottom = false;
      canvas.FillShape(tab, fill);
      canvas.StrokeShape(tab, colours.paneBorder);
      if (isSelected) {
        // The chosen tab opens into the pane, with an accent along its top.
        canvas.Fill({shape.left + 1, rowBottom, shape.right - 1, rowBottom + 1}, fill);
        canvas.Fill({shape.left + 3, shape.top, shape.right - 3, shape.top + 2},
                    colours.selectedText);
      }
      const Colour ink = !state.enabled ? theme.disabledText
                         : isSelected   ? colours.selectedText
                                        : colours.text;
      canvas.Text(title, lstrlenW(title), rect, format, font, ink);
      if (isSelected && state.focused && state.showFocus) {
        InflateRect(&shape, -3, -3);
        shape.bottom = rowBottom - 1;
        canvas.DottedFrame(shape, theme.edit.focusBorder);
      }
    }
  }
}

void PaintEditSelection(const Theme& theme, HWND edit, Canvas& canvas) {
  const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
  if (style & (ES_MULTILINE | ES_PASSWORD)) return;
  if (GetFocus() != edit && !(style & ES_NOHIDESEL)) return;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::vector<wchar_t> text = TextOf(edit);
  end = std::min<DWORD>(end, static_cast<DWORD>(text.size()));
  if (start >= end) return;
  const auto place = SendMessageW(edit, EM_POSFROMCHAR, start, 0);
  if (place == -1) return;
  const int left = static_cast<short>(LOWORD(place));
  const int top = static_cast<short>(HIWORD(place));

  const HDC dc = canvas.Dc();
  const HFONT font = FontOf(edit);
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  const int count = static_cast<int>(end - start);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data() + start, count, &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT visible{};
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&visible));
  RECT selection{left, top, left + extent.cx, top + metrics.tmHeight};
  IntersectRect(&selection, &selection, &visible);
  canvas.Fill(selection, theme.edit.selectionBackground);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(
      dc, RGB(theme.edit.selectionText.r, theme.edit.selectionText.g, theme.edit.selectionText.b));
  ExtTextOutW(dc, left, top, ETO_CLIPPED, &selection, text.data() + start, static_cast<UINT>(count),
              nullptr);
  if (previous != nullptr) SelectObject(dc, previous);
}

}  // namespace qel::skin
