// BMP files that ScreenBitmap writes, read back by the image tools people use: ImageMagick and Qt
// must see the same pixels at every depth.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace qel {
namespace {

constexpr int kWidth = 13;  // odd, so that every depth pads its rows
constexpr int kHeight = 5;

// ImageMagick's reading of a file as red, green, blue bytes, top row first; empty when it fails.
std::vector<std::uint8_t> ImageMagickPixels(const std::string& path) {
  const std::string command = "convert '" + path + "' -depth 8 rgb:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::vector<std::uint8_t> pixels;
  std::uint8_t buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    pixels.insert(pixels.end(), buffer, buffer + read);
  }
  return pclose(pipe) == 0 ? pixels : std::vector<std::uint8_t>{};
}

class BmpInteropTest : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/qel-bmp-interop-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        screen_.SetPixel(x, y,
                         0x130000u * static_cast<std::uint32_t>(x) + 0x3100u * y + 0x5Bu * (x ^ y));
      }
    }
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  FakeScreen screen_{kWidth, kHeight, 32};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
  std::string folder_;
};

TEST_P(BmpInteropTest, ImageMagickAndQtReadTheWrittenPixels) {
  const int depth = GetParam();
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, depth));
  const std::vector<std::uint8_t> file = bitmap.FileBytes();
  const std::string path = folder_ + "/written.bmp";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

  const std::vector<std::uint8_t> magick = ImageMagickPixels(path);
  ASSERT_EQ(magick.size(), std::size_t{kWidth * kHeight * 3})
      << "ImageMagick's convert could not read " << path << " (is imagemagick installed?)";
  QImage qt;
  ASSERT_TRUE(qt.load(QString::fromStdString(path), "BMP"));
  ASSERT_EQ(qt.width(), kWidth);
  ASSERT_EQ(qt.height(), kHeight);

  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const ColorValue ours = bitmap.ReadPixel(x, y);
      const std::uint8_t* theirs = &magick[static_cast<std::size_t>(y * kWidth + x) * 3];
      EXPECT_EQ(ours,
                ColorValue{theirs[0]} | ColorValue{theirs[1]} << 8 | ColorValue{theirs[2]} << 16)
          << "ImageMagick at " << x << "," << y;
      const QRgb pixel = qt.pixel(x, y);
      const auto qtColor =
          static_cast<ColorValue>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16);
      // Qt widens a 5-bit channel by shifting alone (31 reads as 248) where GDI and ImageMagick
      // repeat its top bits (255): at 16 bits the stored five bits are what must agree.
      const ColorValue compared = depth == 16 ? 0xF8F8F8u : 0xFFFFFFu;
      EXPECT_EQ(ours & compared, qtColor & compared) << "Qt at " << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, BmpInteropTest, testing::Values(1, 4, 8, 16, 24, 32),
                         [](const auto& info) { return std::to_string(info.param) + "Bits"; });

}  // namespace
}  // namespace qel
