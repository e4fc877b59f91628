// Loading an image file by its path reads only what a BMP file's headers say it needs: what is
// not a regular file is refused at once, and a large file that is no image costs its first bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/image_file.h"
#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace qel {
namespace {

namespace fs = std::filesystem;

class ImageFileKindsTest : public testing::Test {
 protected:
  fs::path folder;
  FakeScreen screen{8, 8, 32};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  ScreenBitmap bitmap{{gdi, screen, desktop}};

  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "qel-image-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    folder = name;
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // A 2 x 1 24-bit image: a red pixel and a blue one.
  std::vector<std::uint8_t> TwoPixels() {
    EXPECT_TRUE(bitmap.CreateImage(2, 1, 24));
    bitmap.WritePixel(0, 0, 0x0000FF);
    bitmap.WritePixel(1, 0, 0xFF0000);
    return bitmap.FileBytes();
  }
};

TEST_F(ImageFileKindsTest, WhatIsNoRegularFileIsRefusedWithoutWaiting) {
  const fs::path fifo = folder / "fifo.bmp";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(bitmap.LoadBmpFile(fifo.string())) << "opening it would wait for a writer";
  EXPECT_FALSE(bitmap.LoadBmpFile(folder.string()));
  EXPECT_FALSE(bitmap.LoadBmpFile("/dev/zero"));
  EXPECT_FALSE(bitmap.LoadBmpFile((folder / "absent.bmp").string()));
  EXPECT_FALSE(MayLoadBmpFile(fifo)) << "nor is it handed to a system's loader";
}

// What a system's own loader may be given: a regular file declaring no image over the limit.
TEST_F(ImageFileKindsTest, OnlyFilesWithinTheDecodeLimitGoToASystemsLoader) {
  EXPECT_TRUE(MayLoadBmpFile(Write("image.bmp", TwoPixels())));
  EXPECT_TRUE(MayLoadBmpFile(Write("other.bmp", {'X', 'X', 'X'}))) << "the loader judges that";
  std::vector<std::uint8_t> huge = TwoPixels();
  huge[18] = huge[19] = huge[22] = huge[23] = 0x7F;  // 32639 x 32639
  EXPECT_FALSE(MayLoadBmpFile(Write("huge.bmp", huge)));
}

TEST_F(ImageFileKindsTest, AFileIsReadAsFarAsItsImageNeeds) {
  // A sparse file of 3 GiB that is no BMP: refused from its first bytes.
  const fs::path large = Write("large.bmp", {'X', 'X'});
  fs::resize_file(large, std::uintmax_t{3} << 30);
  EXPECT_FALSE(bitmap.LoadBmpFile(large.string()));

  // An image with anything after it loads as the image alone.
  std::vector<std::uint8_t> padded = TwoPixels();
  const fs::path image = Write("padded.bmp", padded);
  fs::resize_file(image, padded.size() + (std::uintmax_t{1} << 30));
  ASSERT_TRUE(bitmap.LoadBmpFile(image.string()));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), ColorValue{0x0000FF});
  EXPECT_EQ(bitmap.ReadPixel(1, 0), ColorValue{0xFF0000});

  // One shorter than its headers say is refused, as its bytes would be.
  padded.resize(padded.size() - 1);
  EXPECT_FALSE(bitmap.LoadBmpFile(Write("short.bmp", padded).string()));
}

}  // namespace
}  // namespace qel
