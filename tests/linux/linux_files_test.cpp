// New files put in place whole or not at all, and entries seen without following links, on a real
// Linux file system.
#include "platform/linux/linux_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace qel {
namespace {

namespace fs = std::filesystem;

class LinuxFilesTest : public testing::Test {
 protected:
  fs::path folder;
  LinuxFileSystem files;

  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "qel-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    folder = name;
  }
  void TearDown() override {
    fs::permissions(folder, fs::perms::owner_all);
    fs::remove_all(folder);
  }

  std::vector<fs::path> Entries() const {
    return {fs::directory_iterator(folder), fs::directory_iterator()};
  }
  static std::vector<std::uint8_t> Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::vector<std::uint8_t> Image(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::mt19937 random(7);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
  }
};

TEST_F(LinuxFilesTest, ANewFileAppearsWholeWithNoTemporaryLeft) {
  const std::vector<std::uint8_t> image = Image(88'576);
  const fs::path target = folder / "SkinH_EL.dll";
  ASSERT_TRUE(files.WriteNewFile(target.string(), image));
  EXPECT_EQ(Entries(), std::vector<fs::path>{target});
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
  EXPECT_EQ(Read(target), image);
}

TEST_F(LinuxFilesTest, AnythingOfTheNameIsAnEntryAndIsNeitherFollowedNorReplaced) {
  const fs::path target = folder / "SkinH_EL.dll";
  const fs::path other = folder / "other";
  std::ofstream(other) << "other";
  struct Case {
    const char* what;
    void (*make)(const fs::path& target, const fs::path& other);
  };
  const Case cases[] = {
      {"a file", [](const fs::path& t, const fs::path&) { std::ofstream(t) << "mine"; }},
      {"a folder", [](const fs::path& t, const fs::path&) { fs::create_directory(t); }},
      {"a link to a file", [](const fs::path& t, const fs::path& o) { fs::create_symlink(o, t); }},
      {"a link to nothing",
       [](const fs::path& t, const fs::path& o) { fs::create_symlink(o.string() + "-gone", t); }},
  };
  EXPECT_FALSE(files.EntryExists(target.string()));
  for (const Case& c : cases) {
    fs::remove_all(target);
    c.make(target, other);
    const fs::file_status before = fs::symlink_status(target);
    EXPECT_TRUE(files.EntryExists(target.string())) << c.what;
    EXPECT_FALSE(files.WriteNewFile(target.string(), Image(100))) << c.what;
    EXPECT_EQ(fs::symlink_status(target).type(), before.type()) << c.what;
    EXPECT_EQ(Entries().size(), 2u) << c.what << ": a temporary file was left";
    EXPECT_EQ(Read(other), (std::vector<std::uint8_t>{'o', 't', 'h', 'e', 'r'})) << c.what;
    EXPECT_FALSE(fs::exists(other.string() + "-gone")) << c.what;
  }
}

TEST_F(LinuxFilesTest, AFolderThatTakesNoFilesGetsNothingAndNothingBreaks) {
  const fs::path readOnly = folder / "read-only";
  fs::create_directory(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  std::vector<fs::path> targets = {folder / "missing" / "SkinH_EL.dll", "/proc/SkinH_EL.dll"};
  if (::geteuid() != 0) targets.push_back(readOnly / "SkinH_EL.dll");  // root writes anywhere
  for (const fs::path& target : targets) {
    EXPECT_FALSE(files.WriteNewFile(target.string(), Image(100))) << target;
    EXPECT_FALSE(fs::exists(fs::symlink_status(target))) << target;
  }
  EXPECT_TRUE(fs::is_empty(readOnly));
}

TEST_F(LinuxFilesTest, AWriteCutShortLeavesNoFileAndNoTemporary) {
  // A file size limit makes the write fail part-way, as a full disk would, even for root.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool written = files.WriteNewFile((folder / "SkinH_EL.dll").string(), Image(88'576));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_TRUE(Entries().empty());
}

}  // namespace
}  // namespace qel
