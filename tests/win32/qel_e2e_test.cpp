// The real qel.exe under Wine, driven from outside as a user would: pointer clicks and key presses
// through SendInput, fields read back with their window text, colours read off the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "platform/win32/win32_screen.h"
#include "tests/e2e/worked_examples.h"
#include "tests/win32/desktop_user.h"
#include "tests/win32/other_program.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;
using enum ControlId;

std::string Utf16ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::string WindowText(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return Utf16ToUtf8(text);
}

// A dialog box (a message box, the colour dialog) that `owner` has open, or null.
HWND OwnedDialog(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  EnumWindows(
      [](HWND candidate, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<Search*>(context);
        wchar_t name[16] = {};
        GetClassNameW(candidate, name, 16);
        if (std::wstring_view(name) != L"#32770" ||
            GetWindow(candidate, GW_OWNER) != search->owner || IsWindowVisible(candidate) == 0) {
          return TRUE;
        }
        search->found = candidate;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class QelExe : public testing::Test {
 protected:
  const Layout& layout = MainWindowLayout();
  Win32Screen screen;
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  POINT origin{};  // the client area's top-left corner on the screen

  void SetUp() override {
    std::wstring commandLine = L"\"" + WindowsPath(QEL_EXE) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << "cannot start qel.exe: error " << GetLastError();
    window = WaitForVisibleWindowOf(process.dwProcessId, L"Qel", 30s);
    ASSERT_NE(window, nullptr) << "the window never appeared";
    ClientToScreen(window, &origin);
    // Ready for the pointer once its controls are what lies under it.
    const bool ready = PumpUntil(
        [this] {
          DWORD owner = 0;
          GetWindowThreadProcessId(ControlWindow(Button1), &owner);
          return owner == process.dwProcessId;
        },
        10s);
    ASSERT_TRUE(ready) << "the window's controls never came under the pointer";
  }

  void TearDown() override {
    if (process.hProcess == nullptr) return;
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      ADD_FAILURE() << "qel.exe did not end when its window was closed";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  static void Pause(std::chrono::milliseconds time = 150ms) { std::this_thread::sleep_for(time); }

  POINT CentreOf(ControlId id) const {
    const Rect rect = layout.RectInClient(id);
    return {origin.x + rect.left + rect.width / 2, origin.y + rect.top + rect.height / 2};
  }
  HWND ControlWindow(ControlId id) const { return WindowFromPoint(CentreOf(id)); }

  void ClickControl(ControlId id) {
    const POINT centre = CentreOf(id);
    Click(centre.x, centre.y);
    Pause();
  }
  void OpenConversionPage() {
    const Rect tabs = layout.RectInClient(TabBox1);
    // Clicked again when the first click came before the program was ready for it.
    for (int attempt = 0; attempt < 3; ++attempt) {
      Click(origin.x + tabs.left + 85, origin.y + tabs.top + 10);  // the second tab
      if (PumpUntil([this] { return IsWindowVisible(ControlWindow(EditBox9)) != 0; }, 2s)) return;
    }
    FAIL() << "the conversion page did not open";
  }
  // Input reaches Qel through the X server and may come late or lose a key under load: each step
  // waits for its effect, and a field is clicked and typed into again, over what it holds, until it
  // shows the text.
  void TypeInto(ControlId id, const std::wstring& text, const std::string& utf8) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      ClickControl(id);
      SendMessageW(ControlWindow(id), EM_SETSEL, 0, -1);
      TypeText(text);
      if (PumpUntil([this, id, &utf8] { return ReadField(id) == utf8; }, 2s)) break;
    }
    Pause();
  }
  void TypeInto(ControlId id, std::string_view utf8) {
    TypeInto(id, Utf8ToUtf16(utf8), std::string(utf8));
  }
  std::string ReadField(ControlId id) const { return WindowText(ControlWindow(id)); }
  std::uint32_t PixelInside(ControlId id) {
    const POINT centre = CentreOf(id);
    std::uint32_t pixel = 0;
    return screen.Capture(centre.x, centre.y, 1, 1, &pixel) ? pixel : 0xFFFFFFFFu;
  }
};

TEST_F(QelExe, ConvertsTheWorkedExamples) {
  ASSERT_NO_FATAL_FAILURE(OpenConversionPage());
  for (const WorkedConversion& conversion : WorkedConversions()) {
    for (const FieldText& typed : conversion.typed) TypeInto(typed.field, typed.text);
    ClickControl(Button2);
    PumpUntil(
        [this, &conversion] {
          return std::all_of(
              conversion.shown.begin(), conversion.shown.end(),
              [this](const FieldText& shown) { return ReadField(shown.field) == shown.text; });
        },
        3s);
    for (const FieldText& shown : conversion.shown) {
      EXPECT_EQ(ReadField(shown.field), shown.text) << ControlName(shown.field);
    }
  }
}

TEST_F(QelExe, FocusClearsTheOtherInputForms) {
  ASSERT_NO_FATAL_FAILURE(OpenConversionPage());
  TypeInto(EditBox13, "123");
  TypeInto(EditBox10, "1");
  TypeInto(EditBox11, "2");
  EXPECT_EQ(ReadField(EditBox13), "") << "cleared when the red field took the focus";
  EXPECT_EQ(ReadField(EditBox10), "1");
  ClickControl(EditBox9);
  EXPECT_EQ(ReadField(EditBox10), "");
  EXPECT_EQ(ReadField(EditBox11), "");
}

TEST_F(QelExe, ThePreviewSwatchShowsTheTypedColour) {
  ASSERT_NO_FATAL_FAILURE(OpenConversionPage());
  TypeInto(EditBox9, "#FF");  // red in the low byte
  Pause(800ms);
  EXPECT_EQ(PixelInside(DrawPanel2), 0xFF0000u);
  TypeInto(EditBox13, "16711680");  // blue
  Pause(800ms);
  EXPECT_EQ(PixelInside(DrawPanel2), 0x0000FFu);
}

TEST_F(QelExe, F2InAnotherProgramSamplesThePixelUnderTheCursorAtTheChosenScale) {
  // Red 250, green 250, blue 255 under the physical pixel (126, 50) of cursor (101, 40) at 125 %.
  OtherProgram other;
  HWND probe = nullptr;
  other.Run([&] {
    probe = CreatePaintedWindow(L"QelProbe", L"probe", {50, 20, 250, 120}, kSampledRgb);
  });
  ASSERT_TRUE(PumpUntil(
      [&] {
        std::uint32_t pixel = 0;
        return screen.Capture(126, 50, 1, 1, &pixel) && pixel == kSampledRgb;
      },
      10s))
      << "the probe window never showed";
  ClickControl(RadioBox2);
  other.Run([&] { SetForegroundWindow(probe); });
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == probe; }, 5s));
  SetCursorPos(kSampledCursorX, kSampledCursorY);
  PressKey(VK_F2);
  Pause(500ms);
  PressKey(VK_F2);
  Pause(300ms);

  EXPECT_EQ(WindowText(window), "probe  QelProbe");
  EXPECT_EQ(ReadField(EditBox1), std::to_string(HandleOf(probe)));
  for (const FieldText& shown : WorkedSampleFields()) {
    EXPECT_EQ(ReadField(shown.field), shown.text) << ControlName(shown.field);
  }
  EXPECT_EQ(PixelInside(DrawPanel1), kSampledRgb);

  SetCursorPos(200, 100);
  Pause(300ms);
  EXPECT_EQ(ReadField(EditBox2), WorkedSampleFields().front().text)
      << "the second F2 stopped sampling";
  other.Run([&] { DestroyWindow(probe); });
}

TEST_F(QelExe, StartingWithoutAScaleShowsTheBoxOverTheWindowAndStaysOff) {
  ClickControl(Button1);
  HWND box = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (box = OwnedDialog(window)) != nullptr; }, 5s))
      << "no message box over the window";
  EXPECT_EQ(WindowText(box), std::string(kTextScaleBoxTitle.readable));
  EXPECT_TRUE(IsWindowEnabled(window) == 0) << "and modal to it";
  EXPECT_NE(WindowText(GetDlgItem(box, 0xFFFF)).find("1."), std::string::npos)
      << "the numbered instructions";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsWindow(box) == 0; }, 5s));
  Pause();
  EXPECT_EQ(WindowText(window), "Qel") << "sampling did not start";
  EXPECT_EQ(WindowText(ControlWindow(Button1)), std::string(kTextStart.readable));
}

TEST_F(QelExe, ThePickerOpensTheSystemColourDialog) {
  ClickControl(ColorPicker1);
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = OwnedDialog(window)) != nullptr; }, 5s))
      << "no colour dialog over the window";
  EXPECT_TRUE(IsWindowEnabled(window) == 0) << "the dialog is modal";
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsWindow(dialog) == 0; }, 5s));
  EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(window) != 0; }, 2s)) << "usable again";
}

}  // namespace
}  // namespace qel::test
