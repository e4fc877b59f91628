// The layout table's own rules: what every view relies on when it builds from it.
#include "app/layout_table.h"

#include <gtest/gtest.h>

#include <set>

namespace qel {
namespace {

const Layout& layout = MainWindowLayout();

TEST(LayoutTable, EveryControlHasExactlyOneRowAndParentsComeFirst) {
  std::set<ControlId> seen{ControlId::MainWindow};
  for (const ControlSpec& control : layout.controls) {
    EXPECT_TRUE(seen.contains(control.parent))
        << ControlName(control.id) << " comes before its parent " << ControlName(control.parent);
    EXPECT_TRUE(seen.insert(control.id).second) << ControlName(control.id) << " has two rows";
  }
  EXPECT_EQ(seen.size(), kControlCount);
}

TEST(LayoutTable, TabStopsAreTheInputsButtonsRadiosAndPickerButNotTheFirstThreeEditBoxes) {
  const std::set<ControlId> readOnlyFields{ControlId::EditBox1, ControlId::EditBox2,
                                           ControlId::EditBox3};
  for (const ControlSpec& control : layout.controls) {
    const bool expected =
        (control.type == ControlType::EditBox && !readOnlyFields.contains(control.id)) ||
        control.type == ControlType::Button || control.type == ControlType::RadioBox ||
        control.type == ControlType::ColorPicker;
    EXPECT_EQ(control.tabStop, expected) << ControlName(control.id);
    EXPECT_EQ(control.readOnly, readOnlyFields.contains(control.id)) << ControlName(control.id);
  }
}

TEST(LayoutTable, ChildrenShareTheirParentsPage) {
  for (const ControlSpec& control : layout.controls) {
    if (control.parent == ControlId::MainWindow || control.parent == layout.window.tabBox) continue;
    EXPECT_EQ(control.page, layout.Find(control.parent).page) << ControlName(control.id);
  }
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(LayoutTable, VisibleControlsLieWithinTheirParent) {
  for (const ControlSpec& control : layout.controls) {
    if (control.type == ControlType::Timer || control.parent == ControlId::MainWindow) continue;
    const Rect parent = layout.Find(control.parent).rect;
    EXPECT_TRUE(Inside(control.rect, {0, 0, parent.width, parent.height}))
        << ControlName(control.id);
  }
}

TEST(LayoutTable, TheFieldsDrawnInsideGroupBox1ComeAfterItSoTheyLieAboveIt) {
  const ControlSpec& frame = layout.Find(ControlId::GroupBox1);
  bool afterFrame = false;
  for (const ControlSpec& control : layout.controls) {
    if (control.id == ControlId::GroupBox1) afterFrame = true;
    if (control.page == 0 && control.id != ControlId::GroupBox1 &&
        Inside(control.rect, frame.rect)) {
      EXPECT_TRUE(afterFrame) << ControlName(control.id);
      EXPECT_EQ(control.parent, frame.parent) << ControlName(control.id) << " is a sibling";
    }
  }
}

TEST(LayoutTable, OnlyTheHintHasAFontOfItsOwn) {
  for (const ControlSpec& control : layout.controls) {
    EXPECT_EQ(control.font != nullptr, control.id == ControlId::Label24) << ControlName(control.id);
  }
  const FontSpec& hint = *layout.Find(ControlId::Label24).font;
  EXPECT_EQ(hint.height, -10);
  EXPECT_EQ(hint.weight, 400);
  EXPECT_EQ(hint.charset, kGb2312Charset);
}

}  // namespace
}  // namespace qel
