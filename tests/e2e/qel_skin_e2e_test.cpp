// The skin library as a user's machine meets it: written beside the program on the first start,
// left alone after that, searched for by its bare name when it cannot be had there, and installed
// where an installed program finds it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "convert/ui_texts.h"
#include "skin/skin_library_image.h"
#include "tests/support/child_process.h"
#include "tests/support/x11_client.h"

namespace qel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kLibraryName = "SkinH_EL.dll";

std::string Contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A fresh folder of the test's own, removed at the end.
class PrivateFolder {
 public:
  PrivateFolder() {
    std::string pattern = (fs::temp_directory_path() / "qel-skin-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    path_ = pattern;
  }
  ~PrivateFolder() {
    std::error_code ignored;
    fs::permissions(path_ / "bin", fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// A copy of the program, alone in a folder.
fs::path CopyOfTheProgram(const PrivateFolder& folder) {
  const fs::path program = folder.Path() / "qel";
  fs::copy_file(QEL_BINARY, program);
  return program;
}

// Starts the program, waits for its window, checks that the skin shows with the aero band (skin
// 11's blue tint across the top right of the window, where no control is), and closes it.
void StartSkinnedAndClose(const fs::path& program) {
  test::X11Client x11;
  test::ChildProcess qel{program.string()};
  const auto window = x11.WaitForWindow("Qel", 20s);
  ASSERT_TRUE(window.has_value()) << qel.Stderr();
  std::this_thread::sleep_for(300ms);
  const test::ScreenRect frame = x11.Geometry(*window);
  const std::uint32_t band = x11.PixelAt(frame.x + frame.width - 12, frame.y + 6);
  const int red = static_cast<int>(band >> 16 & 0xFF);
  const int blue = static_cast<int>(band & 0xFF);
  EXPECT_GT(blue, red + 40) << "no aero band: the pixel is " << std::hex << band;
  x11.RequestClose(*window);
  EXPECT_EQ(qel.Wait(10s), 0) << qel.Stderr();
}

TEST(QelSkin, TheFirstStartWritesTheLibraryAndLaterStartsLeaveAnyFileOfThatNameAsItIs) {
  const PrivateFolder folder;
  const fs::path program = CopyOfTheProgram(folder);
  const fs::path library = folder.Path() / kLibraryName;
  StartSkinnedAndClose(program);
  ASSERT_TRUE(fs::is_regular_file(library));
  EXPECT_EQ(fs::file_size(library), skin::kSkinLibraryImageLength);

  // Another build of the library under that name: used, and never replaced.
  fs::copy_file(QEL_SKIN_LIBRARY, library, fs::copy_options::overwrite_existing);
  const std::string other = Contents(library);
  ASSERT_NE(other.size(), skin::kSkinLibraryImageLength);
  StartSkinnedAndClose(program);
  EXPECT_EQ(Contents(library), other);
}

TEST(QelSkin, AFolderOfThatNameAndNoLibraryToBeFoundEndWithTheFatalErrorNamingTheOperation) {
  const PrivateFolder folder;
  const fs::path program = CopyOfTheProgram(folder);
  fs::create_directory(folder.Path() / kLibraryName);
  test::X11Client x11;
  test::ChildProcess qel{program.string(), {}, {"LD_LIBRARY_PATH"}};
  const auto box = x11.WaitForWindow(std::string(kTextErrorTitle.readable), 20s);
  ASSERT_TRUE(box.has_value()) << qel.Stderr();
  std::this_thread::sleep_for(300ms);
  x11.ClearClipboardOwner();
  x11.Focus(*box);
  x11.ControlKey('c');  // a message box copies its text
  std::this_thread::sleep_for(100ms);
  const std::string text = x11.ReadClipboard(2s);
  EXPECT_NE(text.find(std::string(kTextMissingExportBefore.readable) + "SkinH_AttachRes" +
                      std::string(kTextMissingExportAfter.readable)),
            std::string::npos)
      << text;
  x11.PressKey("Return");
  EXPECT_EQ(qel.Wait(10s), 255) << "the fatal error's exit code, -1";
  EXPECT_TRUE(fs::is_directory(folder.Path() / kLibraryName));
}

TEST(QelSkin, AnInstalledQelThatCannotWriteBesideItselfFindsTheInstalledLibraryAndStartsSkinned) {
  const PrivateFolder prefix;
  const std::string install = std::string(QEL_CMAKE) + " --install " + QEL_BUILD_DIR +
                              " --prefix " + prefix.Path().string() + " > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0) << install;
  const fs::path bin = prefix.Path() / "bin";
  // A folder no one may write; the superuser may all the same, so something of the library's name
  // takes its place there too.
  fs::create_directory(bin / kLibraryName);
  fs::permissions(bin, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  StartSkinnedAndClose(bin / "qel");
  EXPECT_TRUE(fs::is_directory(bin / kLibraryName)) << "nothing was written beside the program";
}

}  // namespace
}  // namespace qel
