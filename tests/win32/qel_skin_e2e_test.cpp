// The skin library as a Windows user's machine meets it: written hidden beside qel.exe on the first
// start, left alone after that, and a folder of its name ending in the fatal error naming the
// operation, with qel.exe under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "convert/ui_texts.h"
#include "skin/skin_library_image.h"
#include "tests/win32/desktop_user.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;

std::string Contents(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A copy of qel.exe alone in a fresh folder, removed with everything in it at the end.
class ProgramFolder {
 public:
  ProgramFolder() {
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    folder_ = std::wstring(temporary) + L"qel-skin-" + std::to_wstring(GetCurrentProcessId()) +
              L"-" + std::to_wstring(GetTickCount());
    if (!CreateDirectoryW(folder_.c_str(), nullptr)) Fail("no private folder");
    if (!CopyFileW(WindowsPath(QEL_EXE).c_str(), Program().c_str(), TRUE)) Fail("no copy");
  }
  ~ProgramFolder() {
    SetFileAttributesW(Library().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Library().c_str());
    RemoveDirectoryW(Library().c_str());
    DeleteFileW(Program().c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  std::wstring Program() const { return folder_ + L"\\qel.exe"; }
  std::wstring Library() const { return folder_ + L"\\SkinH_EL.dll"; }

 private:
  std::wstring folder_;
};

// qel.exe started from its folder, ended at the end of the test if it still runs.
class Started {
 public:
  explicit Started(const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      Fail("cannot start qel.exe");
    }
  }
  ~Started() {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  // Its visible top-level window of that title, or null when none comes within 30 s.
  HWND WaitForWindow(const std::wstring& title) const {
    return WaitForVisibleWindowOf(process_.dwProcessId, title, 30s);
  }
  std::optional<DWORD> WaitForExit() const {
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
};

void StartAndClose(const ProgramFolder& folder) {
  const Started qel(folder.Program());
  const HWND window = qel.WaitForWindow(L"Qel");
  ASSERT_NE(window, nullptr) << "the window never appeared";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(qel.WaitForExit(), 0u);
}

TEST(QelExeSkin, TheFirstStartWritesTheLibraryHiddenAndLaterStartsLeaveAnyFileOfThatName) {
  const ProgramFolder folder;
  StartAndClose(folder);
  WIN32_FILE_ATTRIBUTE_DATA facts{};
  ASSERT_TRUE(GetFileAttributesExW(folder.Library().c_str(), GetFileExInfoStandard, &facts));
  // Hidden alone; Wine reports the archive bit on every file whatever was set.
  EXPECT_EQ(facts.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(facts.nFileSizeLow, skin::kSkinLibraryImageLength);
  EXPECT_EQ(facts.nFileSizeHigh, 0u);
  EXPECT_EQ(Contents(folder.Library()).substr(0, 2), "MZ");

  // Another build of the library under that name, not hidden: used, and never replaced.
  SetFileAttributesW(folder.Library().c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(CopyFileW(WindowsPath(QEL_SKIN_LIBRARY).c_str(), folder.Library().c_str(), FALSE));
  const std::string other = Contents(folder.Library());
  ASSERT_NE(other.size(), skin::kSkinLibraryImageLength);
  StartAndClose(folder);
  EXPECT_EQ(Contents(folder.Library()), other);
  EXPECT_EQ(GetFileAttributesW(folder.Library().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(QelExeSkin, AFolderOfThatNameAndNoLibraryToBeFoundEndWithTheFatalErrorNamingTheOperation) {
  const ProgramFolder folder;
  ASSERT_TRUE(CreateDirectoryW(folder.Library().c_str(), nullptr));
  const Started qel(folder.Program());
  const HWND box = qel.WaitForWindow(Utf8ToUtf16(kTextErrorTitle.readable));
  ASSERT_NE(box, nullptr) << "no error box";
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // a message box's text
  const std::wstring expected =
      Utf8ToUtf16(std::string(kTextMissingExportBefore.readable) + "SkinH_AttachRes" +
                  std::string(kTextMissingExportAfter.readable));
  EXPECT_NE(std::wstring(text).find(expected), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(qel.WaitForExit(), 0xFFFFFFFFu) << "the fatal error's exit code, -1";
}

}  // namespace
}  // namespace qel::test
