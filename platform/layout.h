// The shape of the layout table: what a view needs to know to build the window and its controls.
#pragma once

#include <span>
#include <string_view>

#include "platform/control_id.h"

namespace qel {

enum class ControlType : std::uint8_t {
  TabBox,
  GroupBox,
  Label,
  EditBox,
  Button,
  RadioBox,
  DrawPanel,
  ColorPicker,
  Timer,
};

enum class Align : std::uint8_t { Left, Center, Right };

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const Rect&, const Rect&) = default;
};

// A font set on a control, described the way the platforms take it: a negative height is the
// character height without the internal leading.
struct FontSpec {
  int height = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charset = 0;
};

inline constexpr int kGb2312Charset = 134;

// One control. Texts are GBK bytes; `page` is the tab page the control is shown on.
struct ControlSpec {
  ControlId id;
  ControlType type;
  ControlId parent;
  int page;
  Rect rect;
  std::string_view caption;
  Align align = Align::Left;
  bool readOnly = false;
  bool tabStop = false;
  const FontSpec* font = nullptr;
};

struct WindowSpec {
  std::string_view caption;
  int outerWidth;
  int outerHeight;
  bool minimizeButton;
  bool maximizeButton;
  bool resizable;
  bool topmost;
  ControlId tabBox;
  std::span<const std::string_view> pageTitles;
  int initialPage;
};

struct Layout {
  WindowSpec window;
  std::span<const ControlSpec> controls;

  // The row of `id`; every control has exactly one.
  const ControlSpec& Find(ControlId id) const;
  // Where a control lies in the window's client area: its rectangle moved by its parents'.
  Rect RectInClient(ControlId id) const;
};

}  // namespace qel
