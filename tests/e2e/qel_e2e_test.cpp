// The real program on its own X server, driven from outside as a user would: pointer clicks and
// key presses through XTest, fields read back through the clipboard, colours read off the screen.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <thread>

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "tests/e2e/worked_examples.h"
#include "tests/support/child_process.h"
#include "tests/support/x11_client.h"
#include "tests/support/xvfb.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using enum ControlId;

struct ScriptRun {
  std::string output;
  int status = -1;
};

// A command line pasted into a shell script, this build's qel-find standing for the installed one.
ScriptRun RunPastedCommand(const std::string& command) {
  const std::string tool = "qel-find ";
  if (command.rfind(tool, 0) != 0) return {};
  FILE* shell = popen((QEL_FIND_BINARY " " + command.substr(tool.size())).c_str(), "r");
  if (shell == nullptr) return {};
  ScriptRun run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, shell) != nullptr) run.output += buffer;
  const int status = pclose(shell);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class QelProgram : public testing::Test {
 protected:
  const Layout& layout = MainWindowLayout();
  test::X11Client x11;
  test::ChildProcess qel{QEL_BINARY};
  std::uint32_t window = 0;
  test::ScreenRect frame;

  void SetUp() override {
    const auto found = x11.WaitForWindow("Qel", 20s);
    ASSERT_TRUE(found) << "the window never appeared; stderr:\n" << qel.Stderr();
    window = *found;
    frame = x11.Geometry(window);
  }

  void Pause() { std::this_thread::sleep_for(150ms); }

  void ClickControl(ControlId id) {
    const Rect rect = layout.RectInClient(id);
    x11.Click(frame.x + rect.left + rect.width / 2, frame.y + rect.top + rect.height / 2);
    Pause();
  }
  void OpenConversionPage() {
    const Rect tabs = layout.RectInClient(TabBox1);
    x11.Click(frame.x + tabs.left + 85, frame.y + tabs.top + 10);  // the second tab
    Pause();
  }
  void TypeInto(ControlId id, const std::string& text) {
    ClickControl(id);
    x11.TypeText(text);
    Pause();
  }
  // What a user gets by select-all and copy in the field; empty when there is nothing to copy.
  std::string ReadField(ControlId id) {
    x11.ClearClipboardOwner();
    ClickControl(id);
    x11.ControlKey('a');
    x11.ControlKey('c');
    std::this_thread::sleep_for(100ms);
    return x11.ReadClipboard(1s);
  }
  std::uint32_t PixelInside(ControlId id) {
    const Rect rect = layout.RectInClient(id);
    return x11.PixelAt(frame.x + rect.left + rect.width / 2, frame.y + rect.top + rect.height / 2);
  }
};

TEST_F(QelProgram, OpensCentredFixedAndAboveOtherWindows) {
  EXPECT_EQ(frame.width, 369);
  EXPECT_EQ(frame.height, 251);
  EXPECT_EQ(frame.x, (1920 - 369) / 2);
  EXPECT_EQ(frame.y, (1080 - 251) / 2);
  EXPECT_TRUE(x11.HasNetWmState(window, "_NET_WM_STATE_ABOVE"));
  const test::SizeLimits limits = x11.NormalHints(window);
  EXPECT_TRUE(limits.hasMin && limits.hasMax);
  EXPECT_EQ(limits.minWidth, limits.maxWidth);
}

TEST_F(QelProgram, ConvertsTheWorkedExamples) {
  OpenConversionPage();
  for (const test::WorkedConversion& conversion : test::WorkedConversions()) {
    for (const test::FieldText& typed : conversion.typed) {
      TypeInto(typed.field, std::string(typed.text));
    }
    ClickControl(Button2);
    for (const test::FieldText& shown : conversion.shown) {
      EXPECT_EQ(ReadField(shown.field), shown.text) << ControlName(shown.field);
    }
  }
}

TEST_F(QelProgram, FocusClearsTheOtherInputForms) {
  OpenConversionPage();
  TypeInto(EditBox13, "123");
  TypeInto(EditBox10, "1");
  TypeInto(EditBox11, "2");
  EXPECT_EQ(ReadField(EditBox13), "");  // cleared when the red field took the focus
  // Reading the decimal field focused it, which clears the components.
  EXPECT_EQ(ReadField(EditBox10), "");
}

TEST_F(QelProgram, ThePreviewSwatchShowsTheTypedColour) {
  OpenConversionPage();
  TypeInto(EditBox9, "#FF");  // red in the low byte
  std::this_thread::sleep_for(800ms);
  EXPECT_EQ(PixelInside(DrawPanel2), 0xFF0000u);
  ClickControl(EditBox13);
  x11.TypeText("16711680");  // blue
  std::this_thread::sleep_for(800ms);
  EXPECT_EQ(PixelInside(DrawPanel2), 0x0000FFu);
}

TEST_F(QelProgram, SamplesThePixelUnderTheCursorAtTheChosenScale) {
  // Red 250, green 250, blue 255 under the physical pixel (126, 50) of cursor (101, 40) at 125 %.
  const std::uint32_t probe =
      x11.CreateWindow({50, 20, 200, 100}, test::kSampledRgb, "probe", "QelProbe");
  ClickControl(RadioBox2);
  ClickControl(Button1);  // the button keeps the keyboard focus
  x11.MovePointer(test::kSampledCursorX, test::kSampledCursorY);
  std::this_thread::sleep_for(400ms);
  x11.PressKey("space");  // stop, without moving the pointer away
  Pause();
  EXPECT_EQ(x11.Title(window), "probe  QelProbe");
  EXPECT_EQ(ReadField(EditBox1), std::to_string(probe));
  for (const test::FieldText& shown : test::WorkedSampleFields()) {
    EXPECT_EQ(ReadField(shown.field), shown.text) << ControlName(shown.field);
  }
  EXPECT_EQ(PixelInside(DrawPanel1), test::kSampledRgb);
  x11.DestroyWindow(probe);
}

TEST_F(QelProgram, CtrlCWhileSamplingCopiesTheFindCommandForTheShownPixel) {
  const std::uint32_t probe =
      x11.CreateWindow({50, 20, 200, 100}, test::kSampledRgb, "probe", "QelProbe");
  ClickControl(RadioBox2);
  ClickControl(Button1);
  x11.MovePointer(test::kSampledCursorX, test::kSampledCursorY);
  std::this_thread::sleep_for(400ms);
  x11.ClearClipboardOwner();
  x11.ControlKey('c');
  std::this_thread::sleep_for(100ms);
  const std::string command = x11.ReadClipboard(1s);
  EXPECT_EQ(command, "qel-find color FAFAFF --area 126,50,1,1");
  x11.PressKey("space");
  // Pasted into a script, it finds the pixel again.
  const ScriptRun run = RunPastedCommand(command);
  EXPECT_EQ(run.output, "126 50\n");
  EXPECT_EQ(run.status, 0);
  x11.DestroyWindow(probe);
}

TEST_F(QelProgram, StartingWithoutAScaleExplainsAndStaysOff) {
  ClickControl(Button1);
  // The box is modal and titled with the request to read the instructions.
  const auto box = x11.WaitForWindow(std::string(kTextScaleBoxTitle.readable), 5s);
  ASSERT_TRUE(box.has_value());
  x11.PressKey("Return");
  Pause();
  EXPECT_FALSE(x11.WaitForWindow(std::string(kTextScaleBoxTitle.readable), 300ms).has_value());
  EXPECT_EQ(x11.Title(window), "Qel") << "sampling did not start";
}

TEST_F(QelProgram, F2TogglesSamplingWhileAnotherProgramHasTheFocus) {
  const std::uint32_t probe = x11.CreateWindow({50, 20, 200, 100}, 0x00FF00, "probe", "QelProbe");
  ClickControl(RadioBox1);
  x11.MovePointer(100, 50);
  x11.Focus(probe);
  x11.PressKey("F2");
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(x11.Title(window), "probe  QelProbe") << "sampling runs";
  x11.PressKey("Num_Lock");  // the key works whatever the lock keys say
  x11.PressKey("F2");
  x11.PressKey("Num_Lock");
  std::this_thread::sleep_for(200ms);
  x11.MovePointer(120, 60);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(PixelInside(DrawPanel1), 0x00FF00u);
  EXPECT_EQ(ReadField(EditBox2), "100") << "stopped before the pointer moved on";
  x11.DestroyWindow(probe);
}

TEST_F(QelProgram, ClosingTheWindowEndsTheProgramNormally) {
  x11.RequestClose(window);
  EXPECT_EQ(qel.Wait(10s), 0) << qel.Stderr();
}

TEST(QelWithF2Taken, LeavesTheKeyAndStillSamplesWithTheButton) {
  test::X11Client other;  // another program that holds F2
  ASSERT_TRUE(other.GrabKey("F2"));
  test::X11Client x11;
  test::ChildProcess qel{QEL_BINARY};
  const auto window = x11.WaitForWindow("Qel", 20s);
  ASSERT_TRUE(window.has_value()) << qel.Stderr();
  const test::ScreenRect frame = x11.Geometry(*window);
  const Layout& layout = MainWindowLayout();
  const auto click = [&](ControlId id) {
    const Rect rect = layout.RectInClient(id);
    x11.Click(frame.x + rect.left + rect.width / 2, frame.y + rect.top + rect.height / 2);
    std::this_thread::sleep_for(150ms);
  };
  click(ControlId::RadioBox1);
  x11.PressKey("F2");
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(x11.Title(*window), "Qel") << "F2 belongs to the other program";
  click(ControlId::Button1);
  std::this_thread::sleep_for(400ms);
  EXPECT_NE(x11.Title(*window), "Qel") << "the button still starts sampling";
  EXPECT_FALSE(qel.Wait(0ms).has_value()) << "and nothing went wrong: " << qel.Stderr();
}

TEST(QelWithoutDisplay, SaysSoAndHowToGetOne) {
  test::ChildProcess qel{QEL_BINARY, {}, {"DISPLAY"}};
  const auto code = qel.Wait(10s);
  ASSERT_TRUE(code.has_value());
  EXPECT_NE(*code, 0);
  const std::string message = qel.Stderr();
  EXPECT_NE(message.find("DISPLAY is not set"), std::string::npos) << message;
  EXPECT_NE(message.find("Xvfb"), std::string::npos) << message;
}

}  // namespace
}  // namespace qel

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  try {
    qel::test::Xvfb server;
    return RUN_ALL_TESTS();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the end-to-end tests: %s\n", error.what());
    return 1;
  }
}
