#include "app/layout_table.h"

#include <array>

#include "convert/ui_texts.h"

namespace qel {
namespace {

using enum ControlId;
using enum ControlType;
constexpr Align kLeft = Align::Left;
constexpr Align kCenter = Align::Center;
constexpr Align kRight = Align::Right;
constexpr bool kTabStop = true;
constexpr bool kReadOnly = true;

constexpr FontSpec kHintFont{.height = -10,
                             .weight = 400,
                             .italic = false,
                             .underline = false,
                             .strikeOut = false,
                             .charset = kGb2312Charset};

constexpr std::array<std::string_view, 2> kPageTitles{kTextPickPage.gbk, kTextConvertPage.gbk};

// clang-format off
constexpr std::array kControls{
    ControlSpec{TabBox1, TabBox, MainWindow, -1, {0, -1, 376, 224}, {}},

    // Page 0: the sampled window, position and colour. Rows inside GroupBox1's frame are its
    // siblings, created after it so they lie above it.
    ControlSpec{GroupBox1, GroupBox, TabBox1, 0, {11, 22, 160, 168}, {}, kCenter},
    ControlSpec{Label1, Label, TabBox1, 0, {21, 33, 24, 24}, kTextHandle.gbk, kLeft},
    ControlSpec{EditBox1, EditBox, TabBox1, 0, {53, 33, 104, 24}, {}, kLeft, kReadOnly},
    ControlSpec{Label2, Label, TabBox1, 0, {29, 73, 16, 24}, kTextX.gbk, kLeft},
    ControlSpec{EditBox2, EditBox, TabBox1, 0, {53, 73, 104, 24}, {}, kLeft, kReadOnly},
    ControlSpec{Label3, Label, TabBox1, 0, {29, 118, 8, 24}, kTextY.gbk, kLeft},
    ControlSpec{EditBox3, EditBox, TabBox1, 0, {53, 118, 104, 24}, {}, kLeft, kReadOnly},
    ControlSpec{Label7, Label, TabBox1, 0, {21, 161, 24, 24}, kTextHex.gbk, kCenter},
    ControlSpec{EditBox7, EditBox, TabBox1, 0, {53, 161, 104, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label8, Label, TabBox1, 0, {176, 33, 48, 24}, kTextDecimal.gbk, kRight},
    ControlSpec{ColorPicker1, ColorPicker, TabBox1, 0, {232, 33, 48, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{EditBox8, EditBox, TabBox1, 0, {282, 33, 66, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{DrawPanel1, DrawPanel, TabBox1, 0, {174, 68, 173, 78}, {}},
    ControlSpec{Timer1, Timer, TabBox1, 0, {270, 98, 0, 0}, {}},
    ControlSpec{Label4, Label, TabBox1, 0, {177, 161, 14, 24}, kTextR.gbk, kLeft},
    ControlSpec{EditBox6, EditBox, TabBox1, 0, {191, 161, 36, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label5, Label, TabBox1, 0, {234, 161, 11, 24}, kTextG.gbk, kLeft},
    ControlSpec{EditBox5, EditBox, TabBox1, 0, {250, 161, 36, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label6, Label, TabBox1, 0, {295, 161, 8, 24}, kTextB.gbk, kLeft},
    ControlSpec{EditBox4, EditBox, TabBox1, 0, {312, 161, 36, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label13, Label, TabBox1, 0, {6, 194, 24, 24}, {}, kLeft},
    ControlSpec{RadioBox1, RadioBox, TabBox1, 0, {30, 201, 16, 16}, kTextRadio.gbk, kLeft, false, kTabStop},
    ControlSpec{Label9, Label, TabBox1, 0, {47, 197, 24, 24}, kText100.gbk, kLeft},
    ControlSpec{RadioBox2, RadioBox, TabBox1, 0, {94, 201, 16, 16}, kTextRadio.gbk, kLeft, false, kTabStop},
    ControlSpec{Label10, Label, TabBox1, 0, {111, 197, 24, 24}, kText125.gbk, kLeft},
    ControlSpec{RadioBox3, RadioBox, TabBox1, 0, {151, 201, 16, 16}, kTextRadio.gbk, kLeft, false, kTabStop},
    ControlSpec{Label11, Label, TabBox1, 0, {171, 196, 24, 24}, kText150.gbk, kLeft},
    ControlSpec{RadioBox4, RadioBox, TabBox1, 0, {207, 201, 16, 16}, kTextRadio.gbk, kLeft, false, kTabStop},
    ControlSpec{Label12, Label, TabBox1, 0, {231, 196, 24, 24}, kText175.gbk, kLeft},
    ControlSpec{Button1, Button, TabBox1, 0, {276, 195, 56, 24}, kTextStart.gbk, kCenter, false, kTabStop},

    // Page 1: conversion. The fields sit inside the two group boxes, which are their parents.
    ControlSpec{GroupBox2, GroupBox, TabBox1, 1, {16, 25, 320, 80}, kTextInput.gbk, kCenter},
    ControlSpec{Label14, Label, GroupBox2, 1, {11, 19, 53, 24}, kTextHexColon.gbk, kRight},
    ControlSpec{EditBox9, EditBox, GroupBox2, 1, {69, 20, 96, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label15, Label, GroupBox2, 1, {22, 47, 42, 24}, kTextDecimalColon.gbk, kRight},
    ControlSpec{EditBox13, EditBox, GroupBox2, 1, {69, 48, 96, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{DrawPanel2, DrawPanel, GroupBox2, 1, {184, 22, 16, 50}, {}},
    ControlSpec{EditBox10, EditBox, GroupBox2, 1, {220, 22, 27, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label16, Label, GroupBox2, 1, {226, 47, 16, 24}, kTextR.gbk, kCenter},
    ControlSpec{EditBox11, EditBox, GroupBox2, 1, {253, 22, 27, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label17, Label, GroupBox2, 1, {258, 47, 16, 24}, kTextG.gbk, kCenter},
    ControlSpec{EditBox12, EditBox, GroupBox2, 1, {286, 22, 27, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label18, Label, GroupBox2, 1, {292, 47, 16, 24}, kTextB.gbk, kCenter},
    ControlSpec{Timer2, Timer, GroupBox2, 1, {1, 20, 0, 0}, {}},
    ControlSpec{GroupBox3, GroupBox, TabBox1, 1, {16, 116, 320, 80}, kTextOutput.gbk, kCenter},
    ControlSpec{Label23, Label, GroupBox3, 1, {11, 19, 53, 24}, kTextHexColon.gbk, kRight},
    ControlSpec{EditBox18, EditBox, GroupBox3, 1, {69, 20, 96, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{Label22, Label, GroupBox3, 1, {22, 47, 42, 24}, kTextDecimalColon.gbk, kRight},
    ControlSpec{EditBox14, EditBox, GroupBox3, 1, {69, 48, 96, 24}, {}, kLeft, false, kTabStop},
    ControlSpec{EditBox17, EditBox, GroupBox3, 1, {220, 22, 27, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label21, Label, GroupBox3, 1, {226, 47, 16, 24}, kTextR.gbk, kCenter},
    ControlSpec{EditBox16, EditBox, GroupBox3, 1, {253, 22, 27, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label20, Label, GroupBox3, 1, {258, 47, 16, 24}, kTextG.gbk, kCenter},
    ControlSpec{EditBox15, EditBox, GroupBox3, 1, {286, 22, 27, 24}, {}, kCenter, false, kTabStop},
    ControlSpec{Label19, Label, GroupBox3, 1, {292, 47, 16, 24}, kTextB.gbk, kCenter},
    ControlSpec{Label24, Label, TabBox1, 1, {25, 201, 264, 16}, kTextHint.gbk, kLeft, false, false, &kHintFont},
    ControlSpec{Button2, Button, TabBox1, 1, {302, 197, 54, 24}, kTextGo.gbk, kCenter, false, kTabStop},
};
// clang-format on

static_assert(kControls.size() == kControlCount - 1, "every control but the window has one row");

const Layout kLayout{
    .window = {.caption = kTextWindowCaption.gbk,
               .outerWidth = 369,
               .outerHeight = 251,
               .minimizeButton = true,
               .maximizeButton = false,
               .resizable = false,
               .topmost = true,
               .tabBox = TabBox1,
               .pageTitles = kPageTitles,
               .initialPage = 0},
    .controls = kControls,
};

}  // namespace

const Layout& MainWindowLayout() { return kLayout; }

}  // namespace qel
