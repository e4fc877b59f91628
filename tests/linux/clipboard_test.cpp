// The clipboard shared with other programs (xclip here) and PNG decoding. The same tests run in a
// program with a Qt application (qel_x11_tests) and in one without (qel_x11_clipboard_tests).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/linux/qt_image_services.h"
#include "tests/support/child_process.h"
#include "tests/support/x11_client.h"
#include "tests/support/xclip.h"

namespace qel {
namespace {

struct NamedImage {
  const char* name;
  ArgbImage image;
};

ArgbImage Noise(int width, int height, bool opaque) {
  std::mt19937 random(7);
  ArgbImage image{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (auto& pixel : image.pixels) pixel = opaque ? (random() | 0xFF000000u) : random();
  return image;
}

const std::vector<NamedImage>& Images() {
  static const std::vector<NamedImage> images{{"7 x 5, every alpha", Noise(7, 5, false)},
                                              {"1920 x 1080 noise", Noise(1920, 1080, true)}};
  return images;
}

QImage ToQImage(const ArgbImage& image) {
  QImage out(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x)
      out.setPixel(x, y, image.pixels[static_cast<std::size_t>(y) * image.width + x]);
  }
  return out;
}

std::vector<std::uint32_t> Pixels(const QImage& image) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) pixels.push_back(image.pixel(x, y));
  }
  return pixels;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A Qt application answers other programs only from its event loop, which the test must run
// while it waits for them.
void Idle() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

class ClipboardTest : public testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "qel-clipboard-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(ClipboardTest, ACopiedImageIsPastedByAnotherProgram) {
  struct Paste {
    const char* name;
    const ArgbImage& image;
    const char* target;
  };
  // Past the server's largest request (16 MiB on Xvfb) the bytes go over in pieces (INCR).
  const ArgbImage beyondOneRequest = Noise(2600, 2200, true);
  const Paste pastes[] = {
      {Images()[0].name, Images()[0].image, "image/png"},
      {Images()[1].name, Images()[1].image, "image/png"},
      {"2600 x 2200 as BMP, beyond one request", beyondOneRequest, "image/bmp"}};
  for (const Paste& paste : pastes) {
    SCOPED_TRACE(paste.name);
    {
      // The offer outlives the object that made it, as it does on every desktop.
      QtImageServices copier;
      ASSERT_TRUE(copier.SetClipboardImage(paste.image));
    }
    const auto pasted = dir / "pasted";
    ASSERT_TRUE(test::XclipOut(paste.target, pasted.string(), Idle));
    const QImage image =
        QImage(QString::fromStdString(pasted.string())).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.width(), paste.image.width);
    ASSERT_EQ(image.height(), paste.image.height);
    EXPECT_TRUE(Pixels(image) == paste.image.pixels);
  }
}

TEST_F(ClipboardTest, AnImageCopiedByAnotherProgramIsRead) {
  struct Offer {
    const char* name;
    ArgbImage image;
    const char* target;
    const char* format;
  };
  std::vector<Offer> offers;
  for (const NamedImage& entry : Images())
    offers.push_back({entry.name, entry.image, "image/png", "PNG"});
  // Only a PNG keeps alpha, so the BMP is opaque.
  offers.push_back({"a BMP only", Noise(9, 4, true), "image/bmp", "BMP"});
  QtImageServices images;
  for (const Offer& offer : offers) {
    SCOPED_TRACE(offer.name);
    const auto file = dir / "offered";
    ASSERT_TRUE(ToQImage(offer.image).save(QString::fromStdString(file.string()), offer.format));
    ASSERT_TRUE(test::XclipIn(offer.target, file.string()));
    const auto read = images.ClipboardImage();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, offer.image.width);
    EXPECT_EQ(read->height, offer.image.height);
    EXPECT_TRUE(read->pixels == offer.image.pixels);
  }
}

TEST_F(ClipboardTest, WhatTheProgramCopiedItReadsBack) {
  QtImageServices images;
  for (const NamedImage& entry : Images()) {
    SCOPED_TRACE(entry.name);
    ASSERT_TRUE(images.SetClipboardImage(entry.image));
    const auto read = images.ClipboardImage();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->width, entry.image.width);
    EXPECT_TRUE(read->pixels == entry.image.pixels);
  }
}

// Qel's event loop sees the user's input, which keeps Qt's notion of the server's time recent
// enough for Qt's own clipboard to be taken.
TEST_F(ClipboardTest, AfterUserInputQtsOwnClipboardServes) {
  if (QCoreApplication::instance() == nullptr) GTEST_SKIP() << "needs a Qt application";
  QWidget window;
  window.setGeometry(300, 300, 120, 80);
  window.show();
  const auto settle = [](std::chrono::milliseconds time) {
    for (auto end = std::chrono::steady_clock::now() + time;
         std::chrono::steady_clock::now() < end;)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  };
  settle(std::chrono::milliseconds(300));
  const QPoint centre = window.mapToGlobal(QPoint(60, 40));
  test::X11Client().Click(centre.x(), centre.y());
  settle(std::chrono::milliseconds(300));

  ASSERT_TRUE(QtImageServices().SetClipboardImage(Images()[0].image));
  EXPECT_EQ(test::X11Client().Title(test::ClipboardOwner()).rfind("Qt Selection Owner", 0), 0u);
  const auto pasted = dir / "pasted.png";
  ASSERT_TRUE(test::XclipOut("image/png", pasted.string(), Idle));
  EXPECT_TRUE(Pixels(QImage(QString::fromStdString(pasted.string()))
                         .convertToFormat(QImage::Format_ARGB32)) == Images()[0].image.pixels);
}

TEST_F(ClipboardTest, CopiedTextIsPastedByAnotherProgramInPlaceOfAnImage) {
  struct Paste {
    std::string gbk;
    const char* target;
    std::string expected;
  };
  const Paste pastes[] = {
      {"qel-find color FAFAFF --area 126,50,1,1", "UTF8_STRING",
       "qel-find color FAFAFF --area 126,50,1,1"},
      {"\xC8\xA1\xC9\xAB #FFF00F", "UTF8_STRING", "\xE5\x8F\x96\xE8\x89\xB2 #FFF00F"},  // 取色
      {"\xC8\xA1\xC9\xAB #FFF00F", "text/plain;charset=utf-8", "\xE5\x8F\x96\xE8\x89\xB2 #FFF00F"},
      {"#FFF00F", "STRING", "#FFF00F"},
  };
  for (const Paste& paste : pastes) {
    SCOPED_TRACE(paste.target);
    ASSERT_TRUE(QtImageServices().SetClipboardImage(Images()[0].image));
    ASSERT_TRUE(QtImageServices().SetClipboardText(paste.gbk));
    const auto pasted = dir / "pasted";
    ASSERT_TRUE(test::XclipOut(paste.target, pasted.string(), Idle));
    const std::vector<std::uint8_t> bytes = ReadFile(pasted);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), paste.expected);
    EXPECT_FALSE(QtImageServices().ClipboardImage());
  }
}

TEST_F(ClipboardTest, TextOnTheClipboardIsNoImage) {
  const auto file = dir / "text";
  std::ofstream(file) << "not an image";
  ASSERT_TRUE(test::XclipIn("text/plain", file.string()));
  EXPECT_FALSE(QtImageServices().ClipboardImage());
}

TEST_F(ClipboardTest, DecodesPngsOfAnotherToolAndRefusesAnythingElse) {
  // ImageMagick makes the PNG from raw straight-alpha RGBA bytes.
  const ArgbImage image = Noise(5, 3, false);
  std::vector<std::uint8_t> rgba;
  for (const std::uint32_t pixel : image.pixels) {
    rgba.insert(rgba.end(),
                {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                 static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 24)});
  }
  std::ofstream(dir / "raw.rgba", std::ios::binary)
      .write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
  test::ChildProcess convert(
      "/bin/sh", {"-c", "exec convert -size 5x3 -depth 8 '" + (dir / "raw.rgba").string() +
                            "' 'png32:" + (dir / "made.png").string() + "'"});
  ASSERT_EQ(convert.Wait(std::chrono::seconds(30)), 0) << convert.Stderr();
  const auto png = ReadFile(dir / "made.png");

  QtImageServices images;
  const auto decoded = images.DecodePng(png);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 5);
  EXPECT_EQ(decoded->height, 3);
  EXPECT_EQ(decoded->pixels, image.pixels);

  const std::string text = "\x89PNG, or so it says";
  const std::vector<std::vector<std::uint8_t>> refused{
      {}, {png.begin(), png.begin() + png.size() / 2}, {text.begin(), text.end()}};
  for (const auto& bytes : refused)
    EXPECT_FALSE(images.DecodePng(bytes)) << bytes.size() << " bytes";
}

}  // namespace
}  // namespace qel
