// The skin library's Windows half under Wine: the library built for the program, loaded as the
// program loads it, skinning windows of the program's kinds of controls; what it paints is read
// back from the screen pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "app/layout_table.h"
#include "platform/win32/win32_main_window.h"
#include "skin/skin_format.h"
#include "skin/skin_table.h"
#include "tests/win32/desktop_user.h"

// After windows.h, which the headers above bring in.
#include <commctrl.h>

namespace qel::skin {
namespace {

using test::Pump;

using AttachResFunction = int (*)(const unsigned char*, int, const char*, int, int, int);
using SetAeroFunction = int (*)(int);

constexpr const wchar_t* kWindowClass = L"QelSkinTestWindow";
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 300;
// Rows of a window face the aero band, its sheen and its fade leave alone.
constexpr int kBelowBand = 40;
// Rows well inside the aero band.
constexpr RECT kBandRows{0, 4, kClientWidth, 20};

std::uint32_t Rgb(Colour colour) {
  return static_cast<std::uint32_t>(colour.r) << 16 | static_cast<std::uint32_t>(colour.g) << 8 |
         colour.b;
}

std::uint32_t Rgb(COLORREF colour) {
  return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
         static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

constexpr int kRed = 16;
constexpr int kBlue = 0;
int Channel(std::uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }

Theme SkinTheme(int number) {
  const std::optional<Theme> theme = ParseSkin(SkinBlock(number));
  if (!theme) test::Fail("skin " + std::to_string(number) + " does not read");
  return *theme;
}

// The button texture's pixel that lands on the middle of row y of a button at `place`.
std::uint32_t ButtonTexel(const Theme& theme, const RECT& place, int y) {
  const Texture& texture = *std::ranges::find(theme.textures, "button_face", &Texture::name);
  const double width = place.right - place.left;
  const auto u = static_cast<std::uint32_t>((std::floor(width / 2) + 0.5) / width * texture.width);
  const auto v =
      static_cast<std::uint32_t>((y + 0.5) / (place.bottom - place.top) * texture.height);
  return texture.pixels[v * texture.width + u] & 0xFFFFFF;
}

// A window's client area as the screen shows it, 0x00RRGGBB from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;

  std::uint32_t At(int x, int y) const { return data[static_cast<std::size_t>(y * width + x)]; }
  std::uint32_t At(POINT point) const { return At(point.x, point.y); }
  bool Holds(const RECT& area, std::uint32_t colour) const {
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (At(x, y) == colour) return true;
      }
    }
    return false;
  }
  // The mean of each channel over a rectangle.
  std::uint32_t Mean(const RECT& area) const {
    std::uint32_t mean = 0;
    for (int shift : {16, 8, 0}) {
      long sum = 0;
      for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) sum += Channel(At(x, y), shift);
      }
      mean |=
          static_cast<std::uint32_t>(sum / ((area.right - area.left) * (area.bottom - area.top)))
          << shift;
    }
    return mean;
  }
  Pixels Part(const RECT& area) const {
    Pixels part{area.right - area.left, area.bottom - area.top, {}};
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) part.data.push_back(At(x, y));
    }
    return part;
  }
};

Pixels Capture(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Pixels pixels{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* words = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < pixels.width * pixels.height; ++i) pixels.data.push_back(words[i] & 0xFFFFFF);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

// A window class like the program's main window's: the system's button face behind its controls.
void RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly once it is registered
}

HWND MakeTopLevel(const wchar_t* title) {
  RegisterWindowClass();
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, 0);
  return CreateWindowExW(0, kWindowClass, title, style, 40, 40, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

HWND MakeControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                 const RECT& place, DWORD exStyle = 0) {
  HWND control =
      CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, place.left,
                      place.top, place.right - place.left, place.bottom - place.top, parent,
                      nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return control;
}

// Lets every waiting paint happen.
void Settle(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (int round = 0; round < 3; ++round) {
    Pump();
    Sleep(10);
  }
}

// A window of each kind of control the program makes, and the skin library loaded as the
// program loads it.
class SkinTest : public testing::Test {
 public:
  const Theme harbour = SkinTheme(11);
  HMODULE library = nullptr;
  AttachResFunction attach = nullptr;
  SetAeroFunction setAero = nullptr;
  HWND window = nullptr;
  HWND label = nullptr;
  HWND group = nullptr;
  HWND button = nullptr;
  HWND edit = nullptr;
  HWND radio = nullptr;
  HWND tabs = nullptr;

  void SetUp() override {
    library = LoadLibraryW(test::WindowsPath(QEL_SKIN_LIBRARY).c_str());
    ASSERT_NE(library, nullptr);
    attach = reinterpret_cast<AttachResFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "SkinH_AttachRes")));
    setAero = reinterpret_cast<SetAeroFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "SkinH_SetAero")));
    ASSERT_NE(attach, nullptr);
    ASSERT_NE(setAero, nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    window = MakeTopLevel(L"Skinned");
    ASSERT_NE(window, nullptr);
    label = MakeControl(window, WC_STATICW, L"Hex", SS_LEFT | SS_CENTERIMAGE, {10, 40, 130, 64});
    group = MakeControl(window, WC_BUTTONW, L"Input", BS_GROUPBOX | BS_CENTER, {150, 34, 320, 104});
    button =
        MakeControl(window, WC_BUTTONW, L"Start", BS_PUSHBUTTON | WS_TABSTOP, {10, 76, 90, 102});
    edit = MakeControl(window, WC_EDITW, L"ABCDEF", ES_AUTOHSCROLL | WS_TABSTOP,
                       {10, 114, 130, 138}, WS_EX_CLIENTEDGE);
    radio = MakeControl(window, WC_BUTTONW, L"Radio", BS_AUTORADIOBUTTON | WS_TABSTOP,
                        {150, 116, 260, 136});
    tabs = MakeControl(window, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, {10, 150, 320, 260});
    for (const wchar_t* title : {L"Pick", L"Convert"}) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(title);
      SendMessageW(tabs, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
    }
  }

  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    if (library != nullptr) FreeLibrary(library);
  }

  int Attach(std::span<const std::uint8_t> bytes) {
    return attach(bytes.data(), static_cast<int>(bytes.size()), "", 0, 0, 0);
  }

  // As the program does: skin 11 and the aero look on the window still hidden, then shown.
  void SkinAndShow() {
    ASSERT_EQ(Attach(SkinBlock(11)), 1);
    ASSERT_EQ(setAero(1), 1);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Settle(window);
  }

  // The control's client rectangle, or its outer one, in the window's client area.
  RECT PlaceOf(HWND control, bool outer = false) const {
    RECT rect;
    if (outer) {
      GetWindowRect(control, &rect);
      MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    } else {
      GetClientRect(control, &rect);
      MapWindowPoints(control, window, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
  }

  // `area` of the control's client area, in the window's.
  RECT InWindow(HWND control, RECT area) const {
    MapWindowPoints(control, window, reinterpret_cast<POINT*>(&area), 2);
    return area;
  }

  // What the window shows at `area` (in its client area) with the control hidden.
  Pixels Behind(HWND control, const RECT& area) {
    ShowWindow(control, SW_HIDE);
    Settle(window);
    Pixels behind = Capture(window).Part(area);
    ShowWindow(control, SW_SHOWNA);
    Settle(window);
    return behind;
  }
};

// Parts of controls where nothing of their own is drawn, in their client areas.
struct SeeThrough {
  const char* what;
  HWND SkinTest::*control;
  RECT area;
};

TEST_F(SkinTest, LabelsGroupBoxesRadioButtonsAndTheTabPaneShowTheWindowFaceBehindThem) {
  SkinAndShow();
  const SeeThrough kParts[] = {
      {"label beside its text", &SkinTest::label, {60, 0, 120, 24}},
      {"group box inside its frame", &SkinTest::group, {4, 18, 166, 66}},
      {"radio button beside its text", &SkinTest::radio, {70, 0, 110, 20}},
      {"tab pane", &SkinTest::tabs, {4, 36, 306, 106}},
      {"tab row beside the tabs", &SkinTest::tabs, {150, 2, 310, 12}},
  };
  const std::uint32_t buttonFace = Rgb(GetSysColor(COLOR_BTNFACE));
  for (const SeeThrough& part : kParts) {
    SCOPED_TRACE(part.what);
    HWND control = this->*part.control;
    const RECT area = InWindow(control, part.area);
    const Pixels shown = Capture(window).Part(area);
    EXPECT_TRUE(shown.data == Behind(control, area).data);
    EXPECT_NE(shown.Mean({0, 0, shown.width, shown.height}), buttonFace);
  }
}

POINT TopMiddle(const RECT& place, int down) {
  return {(place.left + place.right) / 2, place.top + down};
}

// The row through the middle of a radio button's 13-pixel circle.
int RadioMiddle(const RECT& place) { return place.top + (place.bottom - place.top - 13) / 2 + 6; }

// Where to look, given the control and its place in the window's client area.
using Probe = POINT (*)(HWND control, const RECT& place);

POINT TopEdge(HWND, const RECT& p) { return TopMiddle(p, 0); }
POINT NearTop(HWND, const RECT& p) { return TopMiddle(p, 2); }
POINT LeftEdge(HWND, const RECT& p) { return {p.left, (p.top + p.bottom) / 2}; }
POINT SecondColumn(HWND, const RECT& p) { return {p.left + 1, (p.top + p.bottom) / 2}; }
POINT UpperRight(HWND, const RECT& p) { return {p.right - 3, p.top + 2}; }
POINT LowerLeft(HWND, const RECT& p) { return {p.left, p.bottom - 10}; }
POINT RadioRing(HWND, const RECT& p) { return {p.left + 1, RadioMiddle(p)}; }
POINT RadioCentre(HWND, const RECT& p) { return {p.left + 6, RadioMiddle(p)}; }
POINT FirstCharacter(HWND edit, const RECT& p) {
  const auto place = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
  return {p.left + LOWORD(place) + 1, p.top + HIWORD(place)};
}
RECT TabRect(HWND tabs, int item) {
  RECT tab{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&tab));
  return tab;
}
POINT InFirstTab(HWND tabs, const RECT& p) {
  const RECT tab = TabRect(tabs, 0);
  return {p.left + tab.left + 2, p.top + tab.bottom - 2};
}
POINT FirstTabsTop(HWND tabs, const RECT& p) {
  const RECT tab = TabRect(tabs, 0);
  return {p.left + (tab.left + tab.right) / 2, p.top + tab.top - 2};
}
POINT InSecondTab(HWND tabs, const RECT& p) {
  const RECT tab = TabRect(tabs, 1);
  return {p.left + tab.left + 3, p.top + tab.bottom - 2};
}

void Nothing(HWND) {}
void Hovered(HWND control) {
  POINT inside{5, 5};
  ClientToScreen(control, &inside);
  SetCursorPos(inside.x, inside.y);
  SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
}
void Pressed(HWND control) { SendMessageW(control, BM_SETSTATE, TRUE, 0); }
void Focused(HWND control) { SetFocus(control); }
void AllSelected(HWND control) {
  SetFocus(control);
  SendMessageW(control, EM_SETSEL, 0, -1);
}
void Checked(HWND control) { SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0); }
void Disabled(HWND control) { EnableWindow(control, FALSE); }

// What is seen at a point of a control (of its outer rectangle, for borders) in a state; with
// no point, somewhere in it (its text).
struct Look {
  const char* what;
  HWND SkinTest::*control;
  void (*setUp)(HWND control);
  Probe at;
  Colour (*expected)(const Theme&);
  bool outer = false;
};

TEST_F(SkinTest, EachControlTakesTheThemesColoursInEachState) {
  const auto disabled = [](const Theme& t) { return t.disabledText; };
  const Look kLooks[] = {
      {"button border", &SkinTest::button, Nothing, TopEdge,
       [](const Theme& t) { return t.button.border; }},
      {"button under the pointer", &SkinTest::button, Hovered, NearTop,
       [](const Theme& t) { return t.button.hoverFace; }},
      {"button pressed", &SkinTest::button, Pressed, NearTop,
       [](const Theme& t) { return t.button.pressedFace; }},
      {"button with the focus", &SkinTest::button, Focused, TopEdge,
       [](const Theme& t) { return t.edit.focusBorder; }},
      {"button text", &SkinTest::button, Nothing, nullptr,
       [](const Theme& t) { return t.button.text; }},
      {"button disabled", &SkinTest::button, Disabled, nullptr, disabled},
      {"edit box inside", &SkinTest::edit, Nothing, UpperRight,
       [](const Theme& t) { return t.edit.background; }},
      {"edit box border", &SkinTest::edit, Nothing, LeftEdge,
       [](const Theme& t) { return t.edit.border; }, true},
      {"edit box border with the focus", &SkinTest::edit, Focused, SecondColumn,
       [](const Theme& t) { return t.edit.focusBorder; }, true},
      {"edit box selection", &SkinTest::edit, AllSelected, FirstCharacter,
       [](const Theme& t) { return t.edit.selectionBackground; }},
      {"radio button ring", &SkinTest::radio, Nothing, RadioRing,
       [](const Theme& t) { return t.radio.ring; }},
      {"radio button unchecked", &SkinTest::radio, Nothing, RadioCentre,
       [](const Theme& t) { return t.edit.background; }},
      {"radio button checked", &SkinTest::radio, Checked, RadioCentre,
       [](const Theme& t) { return t.radio.dot; }},
      {"radio button text", &SkinTest::radio, Nothing, nullptr,
       [](const Theme& t) { return t.radio.text; }},
      {"radio button disabled", &SkinTest::radio, Disabled, nullptr, disabled},
      {"label text", &SkinTest::label, Nothing, nullptr,
       [](const Theme& t) { return t.labelText; }},
      {"label disabled", &SkinTest::label, Disabled, nullptr, disabled},
      {"group box frame", &SkinTest::group, Nothing, LeftEdge,
       [](const Theme& t) { return t.groupBox.frame; }},
      {"group box caption", &SkinTest::group, Nothing, nullptr,
       [](const Theme& t) { return t.groupBox.caption; }},
      {"group box disabled", &SkinTest::group, Disabled, nullptr, disabled},
      {"selected tab", &SkinTest::tabs, Nothing, InFirstTab,
       [](const Theme& t) { return t.tabs.selectedFace; }},
      {"selected tab's accent", &SkinTest::tabs, Nothing, FirstTabsTop,
       [](const Theme& t) { return t.tabs.selectedText; }},
      {"other tab", &SkinTest::tabs, Nothing, InSecondTab,
       [](const Theme& t) { return t.tabs.face; }},
      {"other tab's text", &SkinTest::tabs, Nothing, nullptr,
       [](const Theme& t) { return t.tabs.text; }},
      {"tabs disabled", &SkinTest::tabs, Disabled, nullptr, disabled},
      {"tab pane border", &SkinTest::tabs, Nothing, LowerLeft,
       [](const Theme& t) { return t.tabs.paneBorder; }},
  };
  SkinAndShow();
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.what);
    HWND control = this->*look.control;
    look.setUp(control);
    Settle(window);
    const RECT place = PlaceOf(control, look.outer);
    const Pixels shown = Capture(window);
    const std::uint32_t expected = Rgb(look.expected(harbour));
    if (look.at == nullptr) {
      EXPECT_TRUE(shown.Holds(place, expected));
    } else {
      const POINT at = look.at(control, place);
      EXPECT_EQ(shown.At(at), expected) << "at " << at.x << ", " << at.y;
    }
    // Back to rest for the next row.
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    SetCursorPos(0, 0);
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    SendMessageW(radio, BM_SETCHECK, BST_UNCHECKED, 0);
    SetFocus(nullptr);
    EnableWindow(control, TRUE);
  }
}

TEST_F(SkinTest, NewTextsNewStatesAndControlsMadeLaterKeepTheSkinsLook) {
  SkinAndShow();
  SetWindowTextW(label, L"Changed");
  SetWindowTextW(button, L"Stop");
  SetWindowTextW(group, L"Output");
  SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  HWND laterLabel = MakeControl(window, WC_STATICW, L"Later", SS_LEFT, {10, 268, 110, 288});
  HWND laterButton = MakeControl(window, WC_BUTTONW, L"Go", BS_PUSHBUTTON, {230, 266, 320, 292});
  Settle(window);
  const Pixels shown = Capture(window);
  for (HWND text : {label, laterLabel}) {
    const RECT beside = InWindow(text, {80, 0, 100, 20});
    EXPECT_TRUE(shown.Part(beside).data == Behind(text, beside).data);
    EXPECT_TRUE(shown.Holds(PlaceOf(text), Rgb(harbour.labelText)));
  }
  for (HWND push : {button, laterButton}) {
    const RECT place = PlaceOf(push);
    EXPECT_EQ(shown.At(TopMiddle(place, 0)), Rgb(harbour.button.border));
    EXPECT_EQ(shown.At(TopMiddle(place, 2)), ButtonTexel(harbour, place, 2));
  }
  EXPECT_EQ(shown.At(LeftEdge(group, PlaceOf(group))), Rgb(harbour.groupBox.frame));
  EXPECT_EQ(shown.At(RadioCentre(radio, PlaceOf(radio))), Rgb(harbour.radio.dot));
}

// The face of a window made after the skin was attached: the band of the title's tint at the
// top with the aero look on, and the face's gradient with the tile over it below.
struct FaceRows {
  const char* what;
  int aeroBefore;  // -1: SetAero is not called before attaching
  int aeroAfter;   // -1: not called after
  bool band;
};

TEST_F(SkinTest, WindowsMadeLaterShowTheFaceAndTheAeroBandAsLastAsked) {
  const FaceRows kCases[] = {
      // First, while the library has had no skin yet.
      {"aero before attaching is remembered", 1, -1, true},
      {"aero after attaching", 0, 1, true},
      {"aero turned off again", 1, 0, false},
      {"aero off", 0, -1, false},
  };
  // The face's colour at a row: the gradient with the tile's mean laid over it at 45 %.
  const Texture& tile = *std::ranges::find(harbour.textures, "window_tile", &Texture::name);
  const Pixels tilePixels{static_cast<int>(tile.width), static_cast<int>(tile.height), tile.pixels};
  const std::uint32_t tileMean = tilePixels.Mean({0, 0, tilePixels.width, tilePixels.height});
  const std::uint32_t top = Rgb(harbour.window.face);
  const std::uint32_t end = Rgb(*harbour.window.faceGradientEnd);
  const auto mix = [](int a, int b, int amount) { return (a * (255 - amount) + b * amount) / 255; };
  for (const FaceRows& rows : kCases) {
    SCOPED_TRACE(rows.what);
    if (rows.aeroBefore >= 0) setAero(rows.aeroBefore);
    ASSERT_EQ(Attach(SkinBlock(11)), 1);
    if (rows.aeroAfter >= 0) setAero(rows.aeroAfter);
    HWND later = MakeTopLevel(L"Later");
    ShowWindow(later, SW_SHOWNOACTIVATE);
    Settle(later);
    const Pixels face = Capture(later);
    const std::uint32_t band = face.Mean(kBandRows);
    EXPECT_EQ(Channel(band, kBlue) - Channel(band, kRed) > 40, rows.band);
    for (int y : {kBelowBand, kClientHeight / 2, kClientHeight - 2}) {
      const std::uint32_t mean = face.Mean({0, y, kClientWidth, y + 1});
      const int amount = (2 * y + 1) * 255 / (2 * kClientHeight);
      for (int shift : {16, 8, 0}) {
        SCOPED_TRACE("row " + std::to_string(y) + ", channel at bit " + std::to_string(shift));
        const int gradient = mix(Channel(top, shift), Channel(end, shift), amount);
        EXPECT_NEAR(Channel(mean, shift), mix(gradient, Channel(tileMean, shift), 115), 3);
      }
    }
    DestroyWindow(later);
    setAero(0);
  }
}

TEST_F(SkinTest, AnotherSkinReplacesTheFirst) {
  SkinAndShow();
  const Theme night = SkinTheme(2);
  ASSERT_EQ(Attach(SkinBlock(2)), 1);
  Settle(window);
  const Pixels shown = Capture(window);
  const RECT place = PlaceOf(button);
  EXPECT_EQ(shown.At(TopMiddle(place, 0)), Rgb(night.button.border));
  const RECT beside = InWindow(label, {60, 0, 120, 24});
  EXPECT_TRUE(shown.Part(beside).data == Behind(label, beside).data);
  EXPECT_LT(Channel(shown.Mean(beside), kRed), 96) << "the second skin's dark face";
}

// Calls that attach nothing; each returns 0 and leaves the program's look alone.
struct NoSkin {
  const char* what;
  const unsigned char* data;
  int length;
};

TEST_F(SkinTest, NoSkinOrBytesNotOursAttachNothingAndChangeNothing) {
  const std::span<const std::uint8_t> harbourBytes = SkinBlock(11);
  const std::vector<unsigned char> garbage(256, 0x5A);
  std::vector<unsigned char> wrongTail(harbourBytes.begin(), harbourBytes.end());
  wrongTail.back() ^= 0xFF;
  const NoSkin kCalls[] = {
      {"no bytes", nullptr, 100},
      {"zero length", harbourBytes.data(), 0},
      {"negative length", harbourBytes.data(), -1},
      {"garbage", garbage.data(), static_cast<int>(garbage.size())},
      {"a skin cut short", harbourBytes.data(), static_cast<int>(harbourBytes.size() / 2)},
      {"a skin with a wrong last byte", wrongTail.data(), static_cast<int>(wrongTail.size())},
  };
  for (const NoSkin& call : kCalls) {
    SCOPED_TRACE(call.what);
    EXPECT_EQ(attach(call.data, call.length, "", 0, 0, 0), 0);
  }
  setAero(1);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  Settle(window);
  const Pixels shown = Capture(window);
  for (HWND control : {window, label}) {
    EXPECT_EQ(shown.At(UpperRight(control, PlaceOf(control))), Rgb(GetSysColor(COLOR_BTNFACE)));
  }
}

TEST_F(SkinTest, AfterUnloadingTheWindowsTakeMessagesAndRepaintInTheirOwnLook) {
  SkinAndShow();
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SetFocus(edit);
  ASSERT_TRUE(FreeLibrary(library));
  library = nullptr;
  ASSERT_EQ(GetModuleHandleW(test::WindowsPath(QEL_SKIN_LIBRARY).c_str()), nullptr)
      << "the library stayed loaded";

  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  SendMessageW(button, BM_SETSTATE, TRUE, 0);
  SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetWindowTextW(label, L"Changed");
  SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
  SetFocus(button);
  HWND later = MakeControl(window, WC_STATICW, L"Later", SS_LEFT, {10, 268, 110, 288});
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle(window);

  EXPECT_EQ(static_cast<int>(SendMessageW(label, WM_GETTEXTLENGTH, 0, 0)), 7);
  const Pixels shown = Capture(window);
  for (HWND control : {window, label, later}) {
    EXPECT_EQ(shown.At(UpperRight(control, PlaceOf(control))), Rgb(GetSysColor(COLOR_BTNFACE)));
  }
}

class NoEvents final : public EventSink {
 public:
  void Deliver(ControlId, Event, std::int32_t, std::int32_t) override {}
};

// The program's own window: its colour picker, a button of the program's own class, keeps the
// colour it shows on the skin's button face; its first page's frame lies beneath the fields in it.
TEST_F(SkinTest, TheProgramsPickerKeepsItsSwatchAndItsFrameLeavesTheFieldsOverItAlone) {
  NoEvents events;
  Win32MainWindow program(MainWindowLayout(), events);
  ASSERT_TRUE(program.Loaded());
  HWND main = program.Window(ControlId::MainWindow);
  HWND picker = program.Window(ControlId::ColorPicker1);
  program.SetPickerColor(ControlId::ColorPicker1, RGB(200, 30, 40));
  ASSERT_EQ(Attach(SkinBlock(11)), 1);
  setAero(1);
  program.Show(SW_SHOWNOACTIVATE);
  Settle(main);

  RECT place;
  GetWindowRect(picker, &place);
  MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&place), 2);
  const POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  const std::uint32_t face = ButtonTexel(harbour, place, 2);
  // At rest, pressed while the pointer is held down on it (which gives it the focus), and let go
  // outside it (so that no dialog opens).
  const std::uint32_t border = Rgb(harbour.button.border);
  const std::uint32_t focused = Rgb(harbour.edit.focusBorder);
  const struct {
    UINT message;
    LPARAM point;
    std::uint32_t face;
    std::uint32_t border;
  } kPresses[] = {{WM_NULL, 0, face, border},
                  {WM_LBUTTONDOWN, MAKELPARAM(5, 5), Rgb(harbour.button.pressedFace), focused},
                  {WM_LBUTTONUP, MAKELPARAM(-20, -20), face, focused}};
  for (const auto& press : kPresses) {
    SendMessageW(picker, press.message, press.message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 press.point);
    Settle(main);
    const Pixels shown = Capture(main);
    EXPECT_EQ(shown.At(centre), 0xC81E28u) << "the swatch";
    EXPECT_EQ(shown.At(centre.x, place.top), press.border);
    EXPECT_EQ(shown.At(centre.x, place.top + 2), press.face);
  }

  // The group box alone repaints; the edit boxes inside its frame lie above it.
  RedrawWindow(program.Window(ControlId::GroupBox1), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW);
  Settle(main);
  const HWND edit = program.Window(ControlId::EditBox2);
  RECT inside;
  GetClientRect(edit, &inside);
  MapWindowPoints(edit, main, reinterpret_cast<POINT*>(&inside), 2);
  EXPECT_EQ(Capture(main).At(inside.right - 3, inside.top + 2), Rgb(harbour.edit.background));
}

}  // namespace
}  // namespace qel::skin
