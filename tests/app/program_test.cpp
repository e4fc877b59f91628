// Start-up, the exit routine and the fatal error report, on the fake platform.
#include "app/program.h"
#include "bitmap/software_gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>

#include "app/allocation_failure.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_system.h"
#include "sampler/hotkey_registration.h"
#include "skin/skin_table.h"

namespace qel {
namespace {

using enum ControlId;

TEST(ParentDirectory, CutsBeforeTheLastSeparator) {
  struct Case {
    std::string_view path;
    char separator;
    std::string_view directory;
  };
  const Case cases[] = {
      {"/opt/qel/bin/qel", '/', "/opt/qel/bin"},
      {"C:\\Tools\\Qel\\qel.exe", '\\', "C:\\Tools\\Qel"},
      {"/qel", '/', "/"},
      {"qel", '/', ""},
      {"", '/', ""},
      {"/odd\\name/qel", '/', "/odd\\name"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParentDirectory(c.path, c.separator), c.directory) << c.path;
}

TEST(FatalErrorText, HeadingBlankLineMessageAndOptionalCode) {
  const std::string heading = std::string(kTextRuntimeError.gbk) + "\r\n\r\n";
  EXPECT_EQ(FatalErrorText("oops"), heading + std::string(kTextErrorMessage.gbk) + "oops\r\n");
  EXPECT_EQ(FatalErrorText("oops", -7), heading + std::string(kTextErrorCode.gbk) + "-7\r\n\r\n" +
                                            std::string(kTextErrorMessage.gbk) + "oops\r\n");
}

TEST(FatalErrorText, AllocationFailureNamesTheWholeByteCount) {
  EXPECT_EQ(AllocationFailureMessage(123),
            "\xB7\xD6\xC5\xE4 123 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
  EXPECT_NE(AllocationFailureMessage(5'000'000'000u).find(" 5000000000 "), std::string::npos);
}

TEST(AllocationFailure, GoesToTheHandlerWithTheSizeAskedForOrElseThrows) {
  struct Reported {
    std::size_t bytes;
  };
  SetAllocationFailureHandler(nullptr, nullptr);
  EXPECT_THROW(OnAllocationFailure(64), std::bad_alloc);
  // A real handler ends the process; this one leaves by an exception so that the test can look.
  SetAllocationFailureHandler([](std::size_t bytes, void*) { throw Reported{bytes}; }, nullptr);
  try {
    OnAllocationFailure(123456);
    FAIL() << "the handler was not called";
  } catch (const Reported& reported) {
    EXPECT_EQ(reported.bytes, 123456u);
  }
  SetAllocationFailureHandler(nullptr, nullptr);
}

TEST(ExitRoutines, ARoutineRegisteredTwiceRunsOnce) {
  static int runs = 0;
  ExitRoutines routines;
  routines.Register([](ProgramGlobals&) { ++runs; });
  routines.Register(&ProgramExit);
  routines.Register(&ProgramExit);
  EXPECT_EQ(routines.Count(), 2u);
  ProgramGlobals globals;
  routines.RunAll(globals);
  EXPECT_EQ(runs, 1);
}

class ProgramTest : public testing::Test, protected FakePlatform {
 protected:
  ProgramTest() {
    libraries.available[std::string(kSkinLibraryPath)] = {"SkinH_AttachRes", "SkinH_SetAero"};
  }

  static constexpr std::string_view kSkinLibraryPath = "/opt/qel/bin/SkinH_EL.dll";
  std::vector<std::string> journal;  // outlives the program, whose library unloads into it
  SoftwareGdi gdi{screen, desktop, images};
  Program program{platform, gdi};
};

TEST_F(ProgramTest, TheStartupSkinIsAttachedWithAeroBeforeTheWindowShowsAndUnloadedAtTheEnd) {
  files.journal = &journal;
  libraries.journal = &journal;
  windows.journal = &journal;
  windows.session = [](FakeForm&) {};
  program.ProgramStart();
  program.EndOfProgram();
  const std::string path(kSkinLibraryPath);
  const std::vector<std::string> expected{
      "exists " + path, "write " + path,        "hidden " + path,
      "load " + path,   "find SkinH_AttachRes", "call SkinH_AttachRes",
      "exists " + path, "find SkinH_SetAero",   "call SkinH_SetAero",
      "show",           "unload " + path};
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(files.entries.at(path).bytes.size(), 88576u);
  ASSERT_EQ(libraries.calls.size(), 2u);
  const std::span<const std::uint8_t> skin11 = skin::SkinBlock(11);
  EXPECT_EQ(libraries.calls[0].length, 30738);
  EXPECT_TRUE(std::ranges::equal(libraries.calls[0].data, skin11));
  EXPECT_EQ(libraries.calls[1].enable, 1);
}

TEST_F(ProgramTest, StartsInTheExecutablesDirectoryShowsTheWindowAndReturnsZero) {
  bool colorFinderDuringLoop = false;
  windows.session = [&](FakeForm& form) {
    colorFinderDuringLoop = program.Globals().GlobalColorFinder != nullptr;
    EXPECT_EQ(form.Text(MainWindow), kTextWindowCaption.gbk);
    EXPECT_EQ(form.Text(Button1), kTextStart.gbk);
    EXPECT_EQ(form.TimerInterval(Timer1), 0);
    EXPECT_EQ(form.TimerInterval(Timer2), 0);
  };
  EXPECT_EQ(program.ProgramStart(), 0);
  EXPECT_TRUE(windows.shown);
  EXPECT_TRUE(colorFinderDuringLoop);
  EXPECT_EQ(process.directoriesSet, std::vector<std::string>{"/opt/qel/bin"});
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ProgramTest, TheExitRoutineReleasesTheGlobals) {
  windows.session = [](FakeForm&) {};
  program.ProgramStart();
  EXPECT_NE(program.Globals().GlobalColorFinder, nullptr);
  EXPECT_FALSE(program.Globals().LastColorBytes.has_value());  // nothing sampled: nothing to free
  program.EndOfProgram();
  EXPECT_EQ(program.Globals().GlobalColorFinder, nullptr);
}

TEST_F(ProgramTest, AWindowThatCannotBeLoadedIsAFatalErrorAndSkipsTheExitRoutine) {
  windows.failToLoad = true;
  try {
    program.ProgramStart();
    FAIL() << "start-up went on without a window";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, -1);
  }
  ASSERT_EQ(dialogs.shown.size(), 1u);
  const ShownMessageBox& box = dialogs.shown.front();
  EXPECT_EQ(box.owner, 0u);
  EXPECT_EQ(box.title, kTextErrorTitle.gbk);
  EXPECT_EQ(box.style, 0x10u);
  EXPECT_EQ(box.text, FatalErrorText(kTextWindowLoadFailed.gbk));
  EXPECT_FALSE(windows.shown);
  EXPECT_NE(program.Globals().GlobalColorFinder, nullptr) << "the exit routine must not run";
}

TEST_F(ProgramTest, AConversionSessionRunsThroughTheBoundHandlers) {
  windows.session = [&](FakeForm& form) {
    form.SetText(EditBox13, "17");
    form.Focus(EditBox9);  // clears the other inputs and starts the preview
    EXPECT_EQ(form.Text(EditBox13), "");
    form.SetText(EditBox9, "#FFF00F");
    form.Click(Button2);
    EXPECT_EQ(form.Text(EditBox14), "16773135");
    EXPECT_EQ(form.Text(EditBox17), "15");
    EXPECT_EQ(form.Text(EditBox16), "240");
    EXPECT_EQ(form.Text(EditBox15), "255");
    clock.Advance(499);
    EXPECT_FALSE(form.PanelColor(DrawPanel2).has_value());
    clock.Advance(1);
    EXPECT_EQ(form.PanelColor(DrawPanel2), 0xFFF00Fu);
  };
  EXPECT_EQ(program.ProgramStart(), 0);
}

TEST_F(ProgramTest, ASamplingSessionShowsThePixelUnderTheCursorAndIsReleasedAtTheEnd) {
  desktop.Add({.rect = {0, 0, 400, 300}, .title = "Notes", .className = "Editor"});
  desktop.cursor = {101, 40};
  screen.SetPixel(126, 50, 0xFAFAFF);  // red 250, green 250, blue 255
  windows.session = [&](FakeForm& form) {
    form.Check(RadioBox2);
    form.Click(Button1);
    clock.Advance(100);
    EXPECT_EQ(form.Text(EditBox2), "126.25");
    EXPECT_EQ(form.Text(EditBox7), "#FFFAFA");
    EXPECT_EQ(form.Text(EditBox8), "16775930");
    EXPECT_EQ(form.Text(MainWindow), "Notes  Editor");
    form.SetText(EditBox7, "");
    clock.Advance(99);
    EXPECT_EQ(form.Text(EditBox7), "") << "one tick every 100 ms";
    clock.Advance(1);
    EXPECT_EQ(form.Text(EditBox7), "#FFFAFA");
  };
  EXPECT_EQ(program.ProgramStart(), 0);
  EXPECT_EQ(program.Globals().LastColorBytes, (std::vector<std::uint8_t>{250, 250, 255, 0}));
  program.EndOfProgram();
  EXPECT_FALSE(program.Globals().LastColorBytes.has_value());
  EXPECT_EQ(program.Globals().GlobalColorFinder, nullptr);
}

TEST_F(ProgramTest, F2IsRegisteredBeforeTheWindowShowsAndTogglesSampling) {
  hotkeys.journal = &journal;
  windows.journal = &journal;
  windows.session = [&](FakeForm& form) {
    EXPECT_EQ(program.Globals().HotkeyId, 33001);
    form.Check(RadioBox1);
    hotkeys.Press(0, 0x71);
    EXPECT_EQ(form.TimerInterval(Timer1), 100);
    hotkeys.Press(0, 0x71);
    EXPECT_EQ(form.TimerInterval(Timer1), 0);
  };
  EXPECT_EQ(program.ProgramStart(), 0);
  const std::vector<std::string> order{"register hotkey " + std::to_string(kF2VirtualKey), "show"};
  EXPECT_EQ(journal, order) << "F2 works from the moment the window can be seen";
  ASSERT_EQ(hotkeys.registrations.size(), 1u);
  const FakeHotkeys::Registration& f2 = hotkeys.registrations[0];
  EXPECT_EQ(f2.window, windows.LoadedForm()->NativeHandle(MainWindow));
  EXPECT_EQ(f2.modifiers, 0u);
  EXPECT_EQ(f2.virtualKey, 0x71u);
}

TEST_F(ProgramTest, WithF2HeldElsewhereTheButtonStillWorks) {
  hotkeys.heldElsewhere.insert({0, 0x71});
  windows.session = [&](FakeForm& form) {
    EXPECT_EQ(program.Globals().HotkeyId, 0);
    form.Check(RadioBox1);
    hotkeys.Press(0, 0x71);
    EXPECT_EQ(form.TimerInterval(Timer1), 0);
    form.Click(Button1);
    EXPECT_EQ(form.TimerInterval(Timer1), 100);
  };
  EXPECT_EQ(program.ProgramStart(), 0);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace qel
