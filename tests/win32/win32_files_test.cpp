// The Win32 file system under Wine: a new file put in place whole and made hidden alone, and
// whatever already has the name left as it is.
#include "platform/win32/win32_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

class Win32FilesTest : public testing::Test {
 protected:
  std::string folder;  // GBK, ends with a separator
  Win32FileSystem files;

  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring wide =
        std::wstring(temp) + L"qel-files-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    folder = Utf16ToGbk(wide);
  }
  void TearDown() override {
    for (const std::string& name : Names()) {
      const std::wstring path = GbkToUtf16(folder + name);
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
    }
    RemoveDirectoryW(GbkToUtf16(folder).c_str());
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((GbkToUtf16(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") names.push_back(Utf16ToGbk(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }
  std::string Read(const std::string& path) const {
    HANDLE file = CreateFileW(GbkToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<none>";
    std::string bytes(1 << 20, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }
};

TEST_F(Win32FilesTest, ANewFileAppearsWholeHiddenAloneWithNoTemporaryLeft) {
  // A GBK name, as the folder beside the executable may have one.
  const std::string target = folder + "\xC6\xA4\xB7\xF4" + "SkinH_EL.dll";
  std::vector<std::uint8_t> image(88'576);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
  EXPECT_FALSE(files.EntryExists(target));
  ASSERT_TRUE(files.WriteNewFile(target, image));
  EXPECT_EQ(Names(), std::vector<std::string>{target.substr(folder.size())});
  EXPECT_EQ(Read(target), std::string(image.begin(), image.end()));

  const std::wstring wide = GbkToUtf16(target);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_TRUE(files.SetHiddenAttribute(target));
  // Wine reports every file as archived whatever is set, so that bit is left out here.
  EXPECT_EQ(GetFileAttributesW(wide.c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(Win32FilesTest, AFileOrFolderOfTheNameIsAnEntryAndIsNotReplaced) {
  const std::string file = folder + "SkinH_EL.dll";
  const std::string subfolder = folder + "Skins";
  const std::vector<std::uint8_t> bytes{'m', 'i', 'n', 'e'};
  ASSERT_TRUE(files.WriteNewFile(file, bytes));
  ASSERT_TRUE(CreateDirectoryW(GbkToUtf16(subfolder).c_str(), nullptr));
  for (const std::string& target : {file, subfolder}) {
    EXPECT_TRUE(files.EntryExists(target)) << target;
    EXPECT_FALSE(files.WriteNewFile(target, {{1, 2, 3}})) << target;
  }
  EXPECT_EQ(Read(file), "mine");
  EXPECT_EQ(Names().size(), 2u) << "a temporary file was left";
  EXPECT_FALSE(files.WriteNewFile(folder + "missing\\SkinH_EL.dll", bytes));
  EXPECT_FALSE(files.EntryExists(folder + "missing\\SkinH_EL.dll"));
}

}  // namespace
}  // namespace qel
