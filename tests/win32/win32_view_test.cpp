// The Win32 view under Wine: the window and every control as the layout table gives them, the
// radio group, page switching, Tab stops, texts, and the view's events reaching the event sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_swatches.h"
#include "tests/win32/desktop_user.h"

// After windows.h, which the headers above bring in.
#include <commctrl.h>

namespace qel {
namespace {

using namespace std::chrono_literals;
using enum ControlId;
using test::Pump;
using test::PumpUntil;
using test::Utf8ToUtf16;

// Remembers every event with the focus at the time it came.
class RecordingSink final : public EventSink {
 public:
  struct Delivery {
    ControlId control;
    Event event;
    std::int32_t a;
    std::int32_t b;
    HWND focus;
  };
  std::vector<Delivery> deliveries;

  void Deliver(ControlId control, Event event, std::int32_t a, std::int32_t b) override {
    deliveries.push_back({control, event, a, b, GetFocus()});
  }
  int Count(ControlId control, Event event) const {
    return static_cast<int>(std::ranges::count_if(
        deliveries, [&](const Delivery& d) { return d.control == control && d.event == event; }));
  }
};

// The system's own reading of a GBK text, to hold the view's texts against.
std::wstring SystemGbkToUtf16(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int length = static_cast<int>(gbk.size());
  std::wstring text(static_cast<std::size_t>(gbk.size()), L'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(936, 0, gbk.data(), length, text.data(), length)));
  return text;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TabTitle(HWND tabs, std::size_t page) {
  wchar_t title[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = title;
  item.cchTextMax = 64;
  SendMessageW(tabs, TCM_GETITEMW, page, reinterpret_cast<LPARAM>(&item));
  return title;
}

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

// What each type of control is made of on Windows: its window class and, for the button class,
// which kind of button.
struct NativeKind {
  std::wstring className;
  LONG_PTR buttonType = -1;
};

NativeKind ExpectedKind(ControlType type) {
  switch (type) {
    case ControlType::TabBox:
      return {L"SysTabControl32"};
    case ControlType::GroupBox:
      return {L"Button", BS_GROUPBOX};
    case ControlType::Label:
      return {L"Static"};
    case ControlType::EditBox:
      return {L"Edit"};
    case ControlType::Button:
      return {L"Button", BS_PUSHBUTTON};
    case ControlType::RadioBox:
      return {L"Button", BS_AUTORADIOBUTTON};
    case ControlType::DrawPanel:
      return {kDrawPanelClass};
    case ControlType::ColorPicker:
      return {kColorPickerClass};
    case ControlType::Timer:
      break;
  }
  return {};
}

bool ShowsText(ControlType type) {
  return type != ControlType::DrawPanel && type != ControlType::ColorPicker;
}

// The font the table asks for, or the system's default GUI font.
void ExpectFont(HWND control, const FontSpec* spec) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (spec == nullptr) {
    EXPECT_EQ(font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    return;
  }
  LOGFONTW logical{};
  ASSERT_TRUE(GetObjectW(font, sizeof(logical), &logical));
  EXPECT_EQ(logical.lfHeight, spec->height);
  EXPECT_EQ(logical.lfWeight, spec->weight);
  EXPECT_EQ(logical.lfItalic != 0, spec->italic);
  EXPECT_EQ(logical.lfUnderline != 0, spec->underline);
  EXPECT_EQ(logical.lfStrikeOut != 0, spec->strikeOut);
  EXPECT_EQ(logical.lfCharSet, spec->charset);
}

LONG_PTR ExpectedEditAlignment(Align align) {
  return align == Align::Center ? ES_CENTER : align == Align::Right ? ES_RIGHT : ES_LEFT;
}

LONG_PTR ExpectedLabelAlignment(Align align) {
  return align == Align::Center ? SS_CENTER : align == Align::Right ? SS_RIGHT : SS_LEFT;
}

class Win32ViewTest : public testing::Test {
 protected:
  const Layout& layout = MainWindowLayout();
  RecordingSink sink;
  Win32MainWindow window{layout, sink};

  void SetUp() override {
    ASSERT_TRUE(window.Loaded());
    // Activating a window stalls without a window manager; only the focus tests need it.
    window.Show(SW_SHOWNOACTIVATE);
    Pump();
  }

  HWND Main() const { return window.Window(MainWindow); }
  HWND Of(ControlId id) const { return window.Window(id); }

  // The control's outer rectangle in the main window's client area.
  Rect PlaceOf(HWND control) const {
    RECT outer;
    GetWindowRect(control, &outer);
    MapWindowPoints(HWND_DESKTOP, Main(), reinterpret_cast<POINT*>(&outer), 2);
    return {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
  }

  // A click on the page's tab, as the user selects it.
  void SelectPage(int page) {
    HWND tabs = Of(layout.window.tabBox);
    RECT tab;
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(page),
                             reinterpret_cast<LPARAM>(&tab)));
    const LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(tabs, WM_LBUTTONUP, 0, point);
    Pump();
    ASSERT_EQ(window.CurrentPage(), page);
  }

  std::set<ControlId> TabStopsOfPage(int page) const {
    std::set<ControlId> stops;
    for (const ControlSpec& spec : layout.controls) {
      if (spec.tabStop && spec.page == page) stops.insert(spec.id);
    }
    return stops;
  }

  bool ShownOnPage(const ControlSpec& spec, int page) const {
    return spec.page < 0 || spec.page == page;
  }
};

TEST_F(Win32ViewTest, TheFrameIsFixedCentredTopmostAndCaptioned) {
  RECT outer;
  GetWindowRect(Main(), &outer);
  EXPECT_EQ(outer.right - outer.left, layout.window.outerWidth);
  EXPECT_EQ(outer.bottom - outer.top, layout.window.outerHeight);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - layout.window.outerWidth) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - layout.window.outerHeight) / 2);

  const LONG_PTR style = StyleOf(Main());
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, layout.window.minimizeButton);
  EXPECT_EQ((style & WS_MAXIMIZEBOX) != 0, layout.window.maximizeButton);
  EXPECT_EQ((style & WS_THICKFRAME) != 0, layout.window.resizable);
  EXPECT_EQ((ExStyleOf(Main()) & WS_EX_TOPMOST) != 0, layout.window.topmost);

  EXPECT_EQ(WindowText(Main()), Utf8ToUtf16(kTextWindowCaption.readable));
  EXPECT_EQ(window.Text(MainWindow), layout.window.caption);
}

TEST_F(Win32ViewTest, TheTabControlHasThePagesAndTheFirstIsSelected) {
  HWND tabs = Of(layout.window.tabBox);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0),
            static_cast<LRESULT>(layout.window.pageTitles.size()));
  for (std::size_t page = 0; page < layout.window.pageTitles.size(); ++page) {
    EXPECT_EQ(TabTitle(tabs, page), SystemGbkToUtf16(layout.window.pageTitles[page]));
  }
  EXPECT_EQ(TabTitle(tabs, 0), Utf8ToUtf16(kTextPickPage.readable));
  EXPECT_EQ(TabTitle(tabs, 1), Utf8ToUtf16(kTextConvertPage.readable));
  EXPECT_EQ(window.CurrentPage(), layout.window.initialPage);
}

TEST_F(Win32ViewTest, EveryControlIsTheNativeControlTheLayoutTableDescribes) {
  for (const ControlSpec& spec : layout.controls) {
    SCOPED_TRACE(std::string(ControlName(spec.id)));
    HWND control = Of(spec.id);
    if (spec.type == ControlType::Timer) {
      EXPECT_EQ(control, nullptr);
      EXPECT_EQ(window.TimerInterval(spec.id), 0);
      continue;
    }
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(window.NativeHandle(spec.id),
              static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(control)));

    const NativeKind kind = ExpectedKind(spec.type);
    EXPECT_EQ(ClassNameOf(control), kind.className);
    const LONG_PTR style = StyleOf(control);
    if (kind.buttonType >= 0) {
      EXPECT_EQ(style & BS_TYPEMASK, kind.buttonType);
    }

    EXPECT_EQ(GetParent(control), Of(spec.parent));
    EXPECT_EQ(PlaceOf(control), layout.RectInClient(spec.id));
    EXPECT_EQ(IsWindowVisible(control) != 0, ShownOnPage(spec, layout.window.initialPage));
    EXPECT_EQ((style & WS_TABSTOP) != 0, spec.tabStop);
    EXPECT_EQ(WindowText(control), SystemGbkToUtf16(spec.caption));
    EXPECT_EQ(window.Text(spec.id), spec.caption);

    if (ShowsText(spec.type)) ExpectFont(control, spec.font);

    if (spec.type == ControlType::EditBox) {
      EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), ExpectedEditAlignment(spec.align));
      EXPECT_EQ((style & ES_READONLY) != 0, spec.readOnly);
      EXPECT_EQ(style & ES_MULTILINE, 0);
      EXPECT_TRUE(ExStyleOf(control) & WS_EX_CLIENTEDGE);
    } else if (spec.type == ControlType::Label) {
      EXPECT_EQ(style & SS_TYPEMASK, ExpectedLabelAlignment(spec.align));
    } else if (spec.type == ControlType::RadioBox) {
      EXPECT_FALSE(window.IsChecked(spec.id));
    }
  }
}

TEST_F(Win32ViewTest, RadioBoxesExcludeEachOtherAndOnlyPushButtonsReportClicks) {
  SendMessageW(Of(Label10), BM_CLICK, 0, 0);
  SendMessageW(Of(RadioBox2), BM_CLICK, 0, 0);
  SendMessageW(Of(RadioBox4), BM_CLICK, 0, 0);
  SendMessageW(Of(RadioBox4), BM_CLICK, 0, 0);  // a second click keeps it checked
  EXPECT_FALSE(window.IsChecked(RadioBox1));
  EXPECT_FALSE(window.IsChecked(RadioBox2));
  EXPECT_FALSE(window.IsChecked(RadioBox3));
  EXPECT_TRUE(window.IsChecked(RadioBox4));
  SendMessageW(Of(Button1), BM_CLICK, 0, 0);
  std::vector<ControlId> clicked;
  for (const auto& delivery : sink.deliveries) {
    if (delivery.event == Event::Click) clicked.push_back(delivery.control);
  }
  EXPECT_EQ(clicked, std::vector<ControlId>{Button1});
}

TEST_F(Win32ViewTest, SwitchingPagesHidesTheOtherPageButKeepsItsTimerTicking) {
  window.SetTimerInterval(Timer1, 50);
  for (int page : {1, 0}) {
    SelectPage(page);
    for (const ControlSpec& spec : layout.controls) {
      if (spec.type == ControlType::Timer) continue;
      SCOPED_TRACE(std::string(ControlName(spec.id)) + " on page " + std::to_string(page));
      EXPECT_EQ(IsWindowVisible(Of(spec.id)) != 0, ShownOnPage(spec, page));
    }
    const int ticks = sink.Count(Timer1, Event::Tick);
    EXPECT_TRUE(PumpUntil([&] { return sink.Count(Timer1, Event::Tick) >= ticks + 2; }, 2s));
    EXPECT_EQ(window.TimerInterval(Timer1), 50);
  }
}

TEST_F(Win32ViewTest, TimersTickIntoTheSinkUntilStopped) {
  window.SetTimerInterval(Timer2, 30);
  EXPECT_TRUE(PumpUntil([&] { return sink.Count(Timer2, Event::Tick) >= 3; }, 2s));
  EXPECT_EQ(sink.Count(Timer1, Event::Tick), 0);
  window.SetTimerInterval(Timer2, 0);
  const int ticks = sink.Count(Timer2, Event::Tick);
  PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(sink.Count(Timer2, Event::Tick), ticks);
}

TEST_F(Win32ViewTest, AMessageSentToTheHotkeyLabelIsItsNotification) {
  constexpr WPARAM kHotkeyId = 0x4001;
  SendMessageW(Of(Label13), kLabelNotifyMessage, kHotkeyId, 0);
  ASSERT_EQ(sink.deliveries.size(), 1u);
  EXPECT_EQ(sink.deliveries[0].control, Label13);
  EXPECT_EQ(sink.deliveries[0].event, Event::Notify);
  EXPECT_EQ(sink.deliveries[0].a, static_cast<std::int32_t>(kHotkeyId));
  EXPECT_EQ(sink.deliveries[0].b, 0);
  // Other messages leave the label as it was.
  SendMessageW(Of(Label13), kLabelNotifyMessage + 1, kHotkeyId, 0);
  EXPECT_EQ(WindowText(Of(Label13)), L"");
  EXPECT_EQ(sink.deliveries.size(), 1u);
}

TEST_F(Win32ViewTest, AnEditBoxReportsTheFocusOnceItHasIt) {
  SelectPage(1);
  for (ControlId edit : {EditBox9, EditBox13, EditBox18}) {
    SetFocus(Of(edit));
    ASSERT_TRUE(PumpUntil([&] { return sink.Count(edit, Event::GotFocus) == 1; }, 2s))
        << ControlName(edit);
    const auto delivery = std::ranges::find_if(sink.deliveries, [&](const auto& d) {
      return d.control == edit && d.event == Event::GotFocus;
    });
    EXPECT_EQ(delivery->focus, Of(edit)) << ControlName(edit);
  }
  SetFocus(Of(Button2));
  Pump();
  EXPECT_EQ(sink.Count(Button2, Event::GotFocus), 0);
}

TEST_F(Win32ViewTest, TabVisitsTheTabStopsOfThePageAndNoOtherControl) {
  for (int page : {0, 1}) {
    SelectPage(page);
    SetFocus(GetNextDlgTabItem(Main(), nullptr, FALSE));
    std::set<ControlId> visited;
    for (int i = 0; i < 40; ++i) {
      MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
      ASSERT_TRUE(IsDialogMessageW(Main(), &tab));
      const auto focused = std::ranges::find(layout.controls, GetFocus(),
                                             [&](const ControlSpec& spec) { return Of(spec.id); });
      ASSERT_NE(focused, layout.controls.end()) << "the focus left the controls";
      visited.insert(focused->id);
    }
    EXPECT_EQ(visited, TabStopsOfPage(page)) << "page " << page;
  }
}

TEST_F(Win32ViewTest, TextsOfAnySizeAndBytesSurviveTheControls) {
  const std::string longText(100000, '7');
  window.SetText(EditBox9, longText);
  EXPECT_EQ(window.Text(EditBox9), longText);
  window.SetText(EditBox13, "\xA3\xB1\xA3\xB2");  // full-width digits
  EXPECT_EQ(WindowText(Of(EditBox13)), L"\xFF11\xFF12");
  EXPECT_EQ(window.Text(EditBox13), "\xA3\xB1\xA3\xB2");
  window.SetText(Button1, kTextStop.gbk);
  EXPECT_EQ(WindowText(Of(Button1)), Utf8ToUtf16(kTextStop.readable));
  EXPECT_EQ(window.Text(Button1), kTextStop.gbk);
  window.SetText(MainWindow, kTextStop.gbk);
  EXPECT_EQ(window.Text(MainWindow), kTextStop.gbk);
  window.SetText(EditBox9, "");
  EXPECT_EQ(window.Text(EditBox9), "");
}

TEST_F(Win32ViewTest, PanelsAndThePickerShowTheirColourOnTheScreen) {
  constexpr COLORREF kColor = RGB(0x12, 0xA4, 0xF6);
  window.SetPanelColor(DrawPanel1, kColor);
  window.SetPickerColor(ColorPicker1, kColor);
  for (ControlId swatch : {DrawPanel1, ColorPicker1}) {
    HWND control = Of(swatch);
    EXPECT_EQ(SwatchColor(control), kColor);
    RECT client;
    GetClientRect(control, &client);
    const auto centreColor = [&] {
      HDC dc = GetDC(control);
      const COLORREF pixel = GetPixel(dc, client.right / 2, client.bottom / 2);
      ReleaseDC(control, dc);
      return pixel;
    };
    EXPECT_TRUE(PumpUntil([&] { return centreColor() == kColor; }, 2s)) << ControlName(swatch);
  }
}

TEST(Win32ProcessTest, TheExecutablesPathLeadsToItsDirectory) {
  Win32Process process;
  const std::string path = process.ExecutablePath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  const std::string directory = path.substr(0, path.rfind(process.PathSeparator()));
  ASSERT_TRUE(process.SetCurrentDirectory(directory));
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current), SystemGbkToUtf16(directory));
  EXPECT_FALSE(process.SetCurrentDirectory(directory + "\\no such directory"));
}

}  // namespace
}  // namespace qel
