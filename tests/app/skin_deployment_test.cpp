// The skin library written beside the executable, skins attached, the aero option, and the library
// loaded once and unloaded at the end, on the fake platform.
#include "app/skin_deployment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <set>
#include <tuple>

#include "app/layout_table.h"
#include "bitmap/software_gdi.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_system.h"

namespace qel {
namespace {

constexpr std::string_view kPath = "/opt/qel/bin/SkinH_EL.dll";
constexpr std::array<std::uint8_t, 6> kImage{'M', 'Z', 0, 1, 0xFF, 7};

// Skin n is n bytes long and every byte differs from the same byte of any other skin.
std::span<const std::uint8_t> TestSkinBlock(int number) {
  static const auto blocks = [] {
    std::array<std::vector<std::uint8_t>, kSkinCount + 1> made;
    for (int n = 1; n <= kSkinCount; ++n) {
      for (int i = 0; i < n; ++i) made[n].push_back(static_cast<std::uint8_t>(n * 7 + i));
    }
    return made;
  }();
  return blocks.at(static_cast<std::size_t>(number));
}

class SkinDeploymentTest : public testing::Test, protected FakePlatform {
 protected:
  std::vector<std::string> journal;  // outlives the library, which unloads into it
  ProgramGlobals globals;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext bitmaps{gdi, screen, desktop};
  HotkeyRegistration hotkeyRegistration{hotkeys};
  Dispatcher dispatcher{EventBindings(), platform, bitmaps, hotkeyRegistration, globals, skin};
  FatalErrorReporter fatal{dispatcher, platform};
  SkinLibrary library{platform, fatal};
  SkinDeployment skin{platform, library, kImage, &TestSkinBlock};

  void SetUp() override {
    libraries.available[std::string(kPath)] = {"SkinH_AttachRes", "SkinH_SetAero"};
    files.journal = &journal;
    libraries.journal = &journal;
  }
};

TEST_F(SkinDeploymentTest, TheImageIsWrittenBesideTheExecutableAndHidden) {
  skin.DeploySkinLibrary();
  ASSERT_EQ(files.entries.size(), 1u);
  const FakeFileSystem::Entry& written = files.entries.begin()->second;
  EXPECT_EQ(files.entries.begin()->first, kPath);
  EXPECT_EQ(written.kind, FakeFileSystem::Kind::File);
  EXPECT_EQ(written.bytes, std::vector<std::uint8_t>(kImage.begin(), kImage.end()));
  EXPECT_TRUE(written.hidden);
}

TEST_F(SkinDeploymentTest, AnythingAlreadyOfThatNameIsLeftAsItIs) {
  using enum FakeFileSystem::Kind;
  for (const FakeFileSystem::Kind kind : {File, Folder, Link}) {
    files.entries.clear();
    files.entries[std::string(kPath)] = {.kind = kind, .bytes = {1, 2}, .hidden = false};
    skin.DeploySkinLibrary();
    ASSERT_EQ(files.entries.size(), 1u);
    const FakeFileSystem::Entry& entry = files.entries.begin()->second;
    EXPECT_EQ(entry.kind, kind);
    EXPECT_EQ(entry.bytes, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_FALSE(entry.hidden);
  }
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "write " + std::string(kPath)), 0);
}

TEST_F(SkinDeploymentTest, AWriteThatFailsLeavesNoFileAndNoTemporary) {
  files.failWriteAfter = 3;
  skin.DeploySkinLibrary();
  EXPECT_EQ(files.mostEntries, 1u) << "the bytes went to a temporary file";
  EXPECT_TRUE(files.entries.empty());
  const std::vector<std::string> expected{"exists " + std::string(kPath),
                                          "write " + std::string(kPath)};
  EXPECT_EQ(journal, expected) << "nothing is hidden after a failed write";
}

TEST_F(SkinDeploymentTest, ASkinIsAttachedAsACopyOfItsBytesAndAnyOtherNumberAsNothing) {
  for (const int number : {1, 11, kSkinCount, 0, -1, kSkinCount + 1, INT_MIN, INT_MAX}) {
    libraries.calls.clear();
    skin.AttachSkin(number);
    ASSERT_EQ(libraries.calls.size(), 1u) << number;
    const FakeSkinCall& call = libraries.calls.front();
    const bool isSkin = number >= 1 && number <= kSkinCount;
    const std::span<const std::uint8_t> block =
        isSkin ? TestSkinBlock(number) : std::span<const std::uint8_t>{};
    EXPECT_EQ(call.dataIsNull, !isSkin) << number;
    EXPECT_EQ(call.length, static_cast<int>(block.size())) << number;
    EXPECT_EQ(call.data, std::vector<std::uint8_t>(block.begin(), block.end())) << number;
    EXPECT_FALSE(call.passwordIsNull) << number;
    EXPECT_EQ(call.password, "") << number;
    EXPECT_EQ(std::tie(call.a, call.b, call.c), std::make_tuple(0, 0, 0)) << number;
  }
}

TEST_F(SkinDeploymentTest, EachOperationDeploysFirstAndTheLibraryLoadsOnceByItsFullPath) {
  skin.AttachSkin(11);
  skin.EnableAero();
  skin.AttachSkin(2);
  skin.EnableAero();
  const std::string path(kPath);
  const std::vector<std::string> expected{
      "exists " + path,       "write " + path,        "hidden " + path,       "load " + path,
      "find SkinH_AttachRes", "call SkinH_AttachRes", "exists " + path,       "find SkinH_SetAero",
      "call SkinH_SetAero",   "exists " + path,       "call SkinH_AttachRes", "exists " + path,
      "call SkinH_SetAero"};
  EXPECT_EQ(journal, expected);
  ASSERT_EQ(libraries.calls.size(), 4u);
  EXPECT_EQ(libraries.calls[1].enable, 1);
  EXPECT_EQ(libraries.loaded, 1);
}

TEST_F(SkinDeploymentTest, WithoutTheFileBesideTheExecutableTheBareNameIsSearchedFor) {
  libraries.available.clear();
  libraries.available[std::string(kSkinLibraryName)] = {"SkinH_SetAero"};
  skin.EnableAero();
  const std::vector<std::string> loads{"load " + std::string(kPath), "load SkinH_EL.dll"};
  EXPECT_EQ(std::vector<std::string>(journal.begin() + 3, journal.begin() + 5), loads);
  ASSERT_EQ(libraries.calls.size(), 1u);
  EXPECT_EQ(libraries.calls.front().operation, "SkinH_SetAero");
}

TEST_F(SkinDeploymentTest, ALibraryOrOperationThatCannotBeHadIsAFatalErrorNamingIt) {
  struct Case {
    std::set<std::string, std::less<>> exports;  // empty: no library at all
    bool aero;
    std::string_view operation;
  };
  const Case cases[] = {
      {{}, false, "SkinH_AttachRes"},
      {{}, true, "SkinH_SetAero"},
      {{"SkinH_SetAero"}, false, "SkinH_AttachRes"},
      {{"SkinH_AttachRes"}, true, "SkinH_SetAero"},
  };
  for (const Case& c : cases) {
    SkinLibrary caseLibrary{platform, fatal};
    SkinDeployment caseSkin{platform, caseLibrary, kImage, &TestSkinBlock};
    libraries.available.clear();
    if (!c.exports.empty()) libraries.available[std::string(kPath)] = c.exports;
    dialogs.shown.clear();
    try {
      c.aero ? caseSkin.EnableAero() : caseSkin.AttachSkin(1);
      ADD_FAILURE() << c.operation << ": the program went on";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, kFatalExitCode);
    }
    EXPECT_TRUE(dispatcher.Halted());
    ASSERT_EQ(dialogs.shown.size(), 1u) << c.operation;
    EXPECT_EQ(dialogs.shown.front().text, FatalErrorText(MissingExportMessage(c.operation)));
    EXPECT_EQ(dialogs.shown.front().title, kTextErrorTitle.gbk);
    EXPECT_EQ(dialogs.shown.front().owner, 0u);
    EXPECT_TRUE(libraries.calls.empty());
  }
  EXPECT_EQ(MissingExportMessage("SkinH_SetAero"),
            "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8"
            "DLL\xBF\xE2\xCE\xC4\xBC\xFE\xA1\xB0SkinH_EL.dll\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3"
            "\xF6\xC3\xFC\xC1\xEE\xA1\xB0SkinH_SetAero\xA1\xB1");
}

TEST_F(SkinDeploymentTest, UnloadingReleasesTheLibraryOnceAndNothingWhenNeverLoaded) {
  library.Unload();
  EXPECT_TRUE(journal.empty());
  skin.EnableAero();
  library.Unload();
  library.Unload();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "unload " + std::string(kPath)), 1);
  EXPECT_EQ(libraries.loaded, 0);
}

}  // namespace
}  // namespace qel
