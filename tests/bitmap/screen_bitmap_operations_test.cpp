// ScreenBitmap's loading, conversion, drawing and output operations over the fake platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing_palettes::StoredColor;

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};

void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

class OperationsTest : public testing::Test {
 protected:
  OperationsTest() {
    for (int y = 0; y < screen_.Height(); ++y) {
      for (int x = 0; x < screen_.Width(); ++x) {
        screen_.SetPixel(x, y, 0x1F0000u * static_cast<std::uint32_t>(x) + 0x3300u * y + 0x11);
      }
    }
  }

  // The screen pixel as a colour value.
  ColorValue ScreenColor(int x, int y) const {
    const std::uint32_t rgb = screen_.Pixel(x, y);
    return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;
  }

  static std::vector<ColorValue> Pixels(ScreenBitmap& bitmap) {
    std::vector<ColorValue> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
      for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.ReadPixel(x, y));
    }
    return pixels;
  }

  static void ExpectEmpty(const ScreenBitmap& bitmap) {
    EXPECT_EQ(bitmap.PackedData(), nullptr);
    EXPECT_EQ(bitmap.DibHandle(), 0u);
    EXPECT_EQ(bitmap.MemoryDC(), 0u);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.BitmapWidth(), 0);
  }

  FakeScreen screen_{7, 5, 32};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
};

TEST_F(OperationsTest, FileBytesAreTheFileHeaderThenThePackedCopy) {
  ScreenBitmap bitmap(context_);
  EXPECT_TRUE(bitmap.FileBytes().empty());
  ASSERT_TRUE(bitmap.CaptureScreen(2, 3, 1, 1, 24));
  const Bytes file = bitmap.FileBytes();
  ASSERT_EQ(file.size(), 58u);
  const Bytes header{'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 14), header);
  EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), bitmap.PackedDib().begin()));

  ASSERT_TRUE(bitmap.CreateImage(3, 2, 8));
  const Bytes palettized = bitmap.FileBytes();
  EXPECT_EQ(palettized[10] | palettized[11] << 8, 54 + 1024) << "the rows follow the colour table";
}

TEST_F(OperationsTest, BmpBytesRoundTripAtEveryDepth) {
  for (const int depth : kDepths) {
    SCOPED_TRACE(depth);
    ScreenBitmap written(context_);
    ASSERT_TRUE(written.CaptureScreen(0, 0, 0, 0, depth));
    const Bytes file = written.FileBytes();

    ScreenBitmap loaded(context_);
    ASSERT_TRUE(loaded.LoadBmpBytes(file));
    EXPECT_TRUE(std::equal(loaded.PackedDib().begin(), loaded.PackedDib().end(), file.begin() + 14,
                           file.end()));
    EXPECT_EQ(Pixels(loaded), Pixels(written)) << "the section shows what the packed copy holds";

    // Through the image loader every depth comes back as 32 bits with the same colours.
    ASSERT_TRUE(loaded.LoadBmpBytesViaFile(file));
    EXPECT_EQ(loaded.BitCount(), 32);
    EXPECT_EQ(Pixels(loaded), Pixels(written));
  }
}

TEST_F(OperationsTest, LoadBmpBytesShowsTheFilesOwnColourTable) {
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CreateImage(2, 1, 8));
  Bytes file = bitmap.FileBytes();
  Put32(file, 54, 0x00123456);  // entry 0, blue-green-red-reserved in memory
  ASSERT_TRUE(bitmap.LoadBmpBytes(file));
  EXPECT_EQ(bitmap.ReadPixel(1, 0), 0x563412u);
}

TEST_F(OperationsTest, LoadBmpBytesRefusesWhatItCannotTakeAsItIs) {
  ScreenBitmap source(context_);
  ASSERT_TRUE(source.CaptureScreen(0, 0, 3, 2, 24));
  const Bytes good = source.FileBytes();
  struct Case {
    std::string name;
    void (*spoil)(Bytes&);
  };
  for (const Case& c : {
           Case{"54 bytes", [](Bytes& b) { b.resize(54); }},
           Case{"one byte short", [](Bytes& b) { b.pop_back(); }},
           Case{"a byte too many", [](Bytes& b) { b.push_back(0); }},
           Case{"V5 header size", [](Bytes& b) { Put32(b, 14, 124); }},
           Case{"RLE8 compression", [](Bytes& b) { Put32(b, 30, 1); }},
           Case{"width 0", [](Bytes& b) { Put32(b, 18, 0); }},
           Case{"width past 16 bits", [](Bytes& b) { Put32(b, 18, 0x10003); }},
           Case{"top-down rows", [](Bytes& b) { Put32(b, 22, static_cast<std::uint32_t>(-2)); }},
           Case{"two planes", [](Bytes& b) { b[26] = 2; }},
           Case{"depth 2", [](Bytes& b) { b[28] = 2; }},
       }) {
    SCOPED_TRACE(c.name);
    Bytes bad = good;
    c.spoil(bad);
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CreateImage(1, 1, 24));
    EXPECT_FALSE(bitmap.LoadBmpBytes(bad));
    ExpectEmpty(bitmap);
  }
}

TEST_F(OperationsTest, LoadBmpFileReadsAFileAndRefusesAMissingOne) {
  ScreenBitmap written(context_);
  ASSERT_TRUE(written.CaptureScreen(0, 0, 0, 0, 4));
  const std::string path = testing::TempDir() + "qel_load_bmp_file_test.bmp";
  {
    const Bytes file = written.FileBytes();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
  }
  ScreenBitmap loaded(context_);
  ASSERT_TRUE(loaded.LoadBmpFile(path));
  EXPECT_EQ(loaded.BitCount(), 32);
  EXPECT_EQ(Pixels(loaded), Pixels(written));
  std::filesystem::remove(path);
  EXPECT_FALSE(loaded.LoadBmpFile(path));
  ExpectEmpty(loaded);
}

TEST_F(OperationsTest, ConvertDepthStoresEachColourAsTheNewDepthWould) {
  for (const int from : kDepths) {
    for (const int to : kDepths) {
      SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
      ScreenBitmap bitmap(context_);
      ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, from));
      ASSERT_TRUE(bitmap.ConvertDepth(to));
      EXPECT_EQ(bitmap.BitCount(), to);
      EXPECT_EQ(bitmap.BitmapBitCount(), to);
      for (int y = 0; y < screen_.Height(); ++y) {
        for (int x = 0; x < screen_.Width(); ++x) {
          ASSERT_EQ(bitmap.ReadPixel(x, y), StoredColor(StoredColor(ScreenColor(x, y), from), to))
              << x << "," << y;
        }
      }
    }
  }
}

TEST_F(OperationsTest, ConvertDepthToADepthNotTakenKeepsTheImage) {
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.ConvertDepth(24)) << "no image";
  ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, 24));
  ASSERT_TRUE(bitmap.WritePixel(0, 0, 0xABCDEF));
  const std::vector<ColorValue> before = Pixels(bitmap);
  for (const int bad : {0, 2, 64}) EXPECT_FALSE(bitmap.ConvertDepth(bad)) << bad;
  EXPECT_EQ(Pixels(bitmap), before);
}

TEST_F(OperationsTest, WrittenPixelsReachThePackedCopyOnItsNextRead) {
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.WritePixel(0, 0, 0)) << "no image";
  ASSERT_TRUE(bitmap.CreateImage(2, 2, 24));
  ASSERT_TRUE(bitmap.WritePixel(0, 1, 0x0000FF));  // bottom-left: the first bytes of the rows
  EXPECT_EQ(bitmap.PixelData()[2], 0) << "not yet in the packed copy";
  EXPECT_FALSE(bitmap.WritePixel(2, 0, 0xFFFFFF));
  EXPECT_FALSE(bitmap.WritePixel(0, -1, 0xFFFFFF));
  const Bytes rows = bitmap.PixelBytes();  // the failed writes did not lose the first one
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(Bytes(rows.begin(), rows.begin() + 3), (Bytes{0, 0, 0xFF}));
  EXPECT_EQ(bitmap.PixelData()[2], 0xFF);

  ASSERT_TRUE(bitmap.WritePixel(1, 0, 0x00FF00));
  EXPECT_EQ(bitmap.FileBytes()[14 + 40 + 8 + 4], 0xFF);
  ASSERT_TRUE(bitmap.WritePixel(1, 1, 0xFF0000));
  EXPECT_TRUE(bitmap.SyncPacked());
  EXPECT_EQ(bitmap.PixelData()[3 + 0], 0xFF);
}

TEST_F(OperationsTest, DrawToCopiesThePlainWidthClippedAndConverted) {
  ScreenBitmap source(context_);
  ASSERT_TRUE(source.CaptureScreen(0, 0, 0, 0, 24));
  ScreenBitmap target(context_);
  ASSERT_TRUE(target.CreateImage(4, 3, 8));
  // Two columns from (5, 1) at (3, 1): the second column falls off the target.
  ASSERT_TRUE(source.DrawTo(target, 5, 1, 2, 1, 3, 1));
  EXPECT_EQ(target.ReadPixel(3, 1), StoredColor(ScreenColor(5, 1), 8));
  EXPECT_EQ(target.ReadPixel(2, 1), 0u);
  EXPECT_EQ(target.ReadPixel(3, 2), 0u) << "one row only";
  const Bytes rows(target.PixelData(), target.PixelData() + target.PixelDataSize());
  EXPECT_EQ(rows, target.PixelBytes()) << "the target's packed copy follows";

  ASSERT_TRUE(source.DrawTo(target));  // the whole source, from (0, 0)
  EXPECT_EQ(target.ReadPixel(3, 2), StoredColor(ScreenColor(3, 2), 8));
  ScreenBitmap empty(context_);
  EXPECT_FALSE(source.DrawTo(empty));
  EXPECT_FALSE(empty.DrawTo(target));
}

TEST_F(OperationsTest, CaptureDCReadsAWindowsClientAreaAndOtherBitmaps) {
  const WindowHandle window = desktop_.Add({.rect = {1, 1, 6, 5}, .frameLeft = 1, .frameTop = 1});
  const GdiHandle windowDc = gdi_.GetDC(window);
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureDC(windowDc, {1, 0, 4, 2}, 32));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), ScreenColor(3, 2)) << "client (1, 0) is screen (3, 2)";
  EXPECT_EQ(bitmap.ReadPixel(2, 1), ScreenColor(5, 3));
  ASSERT_TRUE(bitmap.CaptureDC(windowDc, {3, 0, 5, 1}, 32));
  EXPECT_EQ(bitmap.ReadPixel(1, 0), 0u) << "past the client area's right edge";
  EXPECT_TRUE(gdi_.ReleaseDC(window, windowDc));

  ScreenBitmap other(context_);
  ASSERT_TRUE(other.CaptureScreen(0, 0, 0, 0, 16));
  ASSERT_TRUE(bitmap.CaptureDC(other.MemoryDC(), {2, 2, 4, 4}, 24));
  EXPECT_EQ(bitmap.ReadPixel(1, 1), StoredColor(ScreenColor(3, 3), 16));
  EXPECT_FALSE(bitmap.CaptureDC(other.MemoryDC(), {0, 0, 1, 1}, 0)) << "the depth must be given";
  EXPECT_FALSE(bitmap.CaptureDC(0x7777, {0, 0, 1, 1}, 24)) << "not a DC";
  ExpectEmpty(bitmap);
}

TEST_F(OperationsTest, FromBitmapHandleCopiesAndLeavesTheHandleToTheCaller) {
  ScreenBitmap owner(context_);
  ASSERT_TRUE(owner.CaptureScreen(0, 0, 0, 0, 4));
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.FromBitmapHandle(owner.DibHandle())) << "selected into the owner's DC";

  const GdiHandle loose = gdi_.CreateCompatibleBitmap(owner.MemoryDC(), 7, 5);
  ASSERT_TRUE(gdi_.SelectObject(owner.MemoryDC(), loose));
  ASSERT_TRUE(gdi_.BitBlt(owner.MemoryDC(), 0, 0, 7, 5, gdi_.GetDC(0), 0, 0, kSrcCopy));
  ASSERT_TRUE(gdi_.SelectObject(owner.MemoryDC(), owner.DibHandle()));
  ASSERT_TRUE(bitmap.FromBitmapHandle(loose));
  EXPECT_EQ(bitmap.BitCount(), 32) << "a compatible bitmap's own depth";
  EXPECT_EQ(bitmap.ReadPixel(6, 4), ScreenColor(6, 4));
  ASSERT_TRUE(bitmap.FromBitmapHandle(loose, 1));
  EXPECT_EQ(bitmap.ReadPixel(6, 4), StoredColor(ScreenColor(6, 4), 1));
  EXPECT_TRUE(gdi_.DeleteObject(loose)) << "still the caller's, and free";
  EXPECT_FALSE(bitmap.FromBitmapHandle(loose));
}

TEST_F(OperationsTest, AttachTakesASectionThatItsPackedCopyDescribes) {
  ScreenBitmap maker(context_);
  ASSERT_TRUE(maker.CreateBlank(3, 2, 8));
  const Bytes packed(maker.PackedDib().begin(), maker.PackedDib().end());
  std::uint8_t* bits = nullptr;
  const auto section = [&] {
    return gdi_.CreateDIBSection(
        0, {.width = 3, .height = 2, .bitCount = 8, .colors = testing_palettes::Table256()}, &bits);
  };

  ScreenBitmap bitmap(context_);
  Bytes wrongSize = packed;
  wrongSize[4] = 4;
  const GdiHandle refused = section();
  EXPECT_EQ(bitmap.Attach(refused, 0, wrongSize), 0u);
  EXPECT_EQ(bitmap.Attach(refused, 0, Bytes(packed.begin(), packed.end() - 1)), 0u);
  ExpectEmpty(bitmap);
  EXPECT_TRUE(gdi_.DeleteObject(refused)) << "a refused section stays the caller's";

  const GdiHandle taken = section();
  bits[0] = 9;  // bottom-left pixel: the cube's first green step
  EXPECT_NE(bitmap.Attach(taken, 0x1234, packed), 0u);
  EXPECT_EQ(bitmap.DibHandle(), taken);
  EXPECT_EQ(bitmap.ReadPixel(0, 1), 0xF0CAA6u) << "entry 9 of the section's table";
  EXPECT_TRUE(bitmap.SyncPacked());
  EXPECT_EQ(bitmap.PixelData()[0], 9);
  bitmap.Clear();
  EXPECT_FALSE(gdi_.DeleteObject(taken)) << "the object deleted it";
}

TEST_F(OperationsTest, FromIconBlendsOverWhiteAndStretches) {
  // Opaque red, transparent, half-covering black, opaque blue; 2 x 2 drawn at 4 x 4.
  const GdiHandle icon =
      gdi_.CreateIcon({2, 2, {0xFFFF0000u, 0x00123456u, 0x80000000u, 0xFF0000FFu}});
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.FromIcon(icon, 4, 4, 24));
  EXPECT_EQ(bitmap.ReadPixel(1, 1), 0x0000FFu);
  EXPECT_EQ(bitmap.ReadPixel(2, 1), 0xFFFFFFu);
  EXPECT_EQ(bitmap.ReadPixel(1, 2), 0x7F7F7Fu);
  EXPECT_EQ(bitmap.ReadPixel(3, 3), 0xFF0000u);

  ASSERT_TRUE(bitmap.FromIcon(icon));
  EXPECT_EQ(bitmap.Width(), 32);
  EXPECT_EQ(bitmap.Height(), 32);
  EXPECT_EQ(bitmap.BitCount(), 32);
  EXPECT_EQ(bitmap.ReadPixel(31, 0), 0xFFFFFFu);
  EXPECT_TRUE(gdi_.DestroyIcon(icon));
  EXPECT_FALSE(bitmap.FromIcon(icon)) << "not an icon: no white square instead";
  ExpectEmpty(bitmap);
}

TEST_F(OperationsTest, AWindowsOwnIconNearestTheUsualSize) {
  const WindowHandle window =
      desktop_.Add({.rect = {0, 0, 2, 2},
                    .icons = {{64, 64, std::vector<std::uint32_t>(64 * 64, 0xFF00FF00u)},
                              {16, 16, std::vector<std::uint32_t>(16 * 16, 0xFFFF0000u)}}});
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.FromIcon(gdi_.WindowIcon(window), 0, 0, 24));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), 0x0000FFu) << "16 is nearer 32 than 64 is";
  EXPECT_EQ(gdi_.WindowIcon(desktop_.Add({})), 0u);
}

TEST_F(OperationsTest, ClipboardRoundTripAndALockedClipboard) {
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.CopyToClipboard()) << "no image";
  ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, 16));
  ASSERT_TRUE(bitmap.CopyToClipboard());
  ASSERT_TRUE(images_.clipboard);
  const ColorValue stored = StoredColor(ScreenColor(1, 1), 16);
  EXPECT_EQ(images_.clipboard->pixels[8],
            0xFF000000u | (stored & 0xFF) << 16 | (stored & 0xFF00) | stored >> 16)
      << "pixel (1, 1), opaque, as the 16-bit image holds it";

  ScreenBitmap pasted(context_);
  ASSERT_TRUE(pasted.FromClipboard());
  EXPECT_EQ(pasted.BitCount(), 32);
  EXPECT_EQ(Pixels(pasted), Pixels(bitmap));
  ASSERT_TRUE(pasted.FromClipboard(8));
  EXPECT_EQ(pasted.BitCount(), 8);

  images_.clipboardLocked = true;
  EXPECT_FALSE(bitmap.CopyToClipboard());
  EXPECT_FALSE(pasted.FromClipboard());
  ExpectEmpty(pasted);
}

TEST_F(OperationsTest, DrawToWindowPaintsTheClientAreaAtEveryDepth) {
  const WindowHandle window = desktop_.Add({.rect = {0, 0, 4, 3}, .clientRgb = 0x000000});
  for (const int depth : kDepths) {
    SCOPED_TRACE(depth);
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureScreen(1, 1, 0, 0, depth));
    ASSERT_TRUE(bitmap.DrawToWindow(window));
    const std::vector<std::uint32_t>& drawn = desktop_.Window(window).drawn;
    ASSERT_EQ(drawn.size(), 12u);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) {
        const ColorValue color = bitmap.ReadPixel(x, y);
        EXPECT_EQ(drawn[static_cast<std::size_t>(y * 4 + x)],
                  (color & 0xFF) << 16 | (color & 0xFF00) | color >> 16)
            << x << "," << y;
      }
    }
  }
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.DrawToWindow(window)) << "no image";
  ASSERT_TRUE(bitmap.CreateImage(1, 1, 24));
  EXPECT_FALSE(bitmap.DrawToWindow(0x7777)) << "not a window";
}

TEST_F(OperationsTest, ImagesMadeOnTheRowsOfAnEarlierOneShowNothingOfIt) {
  // Large enough for the GDI to keep the rows of a deleted image for the next one of its size.
  FakeScreen screen(600, 600, 32);
  screen.Fill(0xFFFFFF);
  SoftwareGdi gdi(screen, desktop_, images_);
  const BitmapContext context{gdi, screen, desktop_};
  for (const int depth : {8, 32}) {
    SCOPED_TRACE(depth);
    ScreenBitmap bitmap(context);
    ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, depth));
    ASSERT_TRUE(bitmap.CaptureScreen(-100, 550, 600, 600, depth));
    EXPECT_EQ(bitmap.ReadPixel(99, 0), 0u) << "off the screen";
    EXPECT_EQ(bitmap.ReadPixel(100, 49), 0xFFFFFFu);
    EXPECT_EQ(bitmap.ReadPixel(100, 50), 0u) << "below the screen";
    ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 0, 0, depth));
    ASSERT_TRUE(bitmap.CreateImage(600, 600, depth));
    const std::vector<std::uint8_t> rows = bitmap.PixelBytes();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 0), static_cast<std::ptrdiff_t>(rows.size()));
    EXPECT_EQ(bitmap.ReadPixel(150, 150), 0u);
  }
}

TEST_F(OperationsTest, AccessorsReadTheHeaderAndTheSection) {
  ScreenBitmap bitmap(context_);
  ExpectEmpty(bitmap);
  EXPECT_FALSE(bitmap.SyncPacked());
  EXPECT_TRUE(bitmap.PixelBytes().empty());
  for (const int bad : {0, 3}) EXPECT_FALSE(bitmap.CreateImage(2, 2, bad));
  ASSERT_TRUE(bitmap.CreateImage(5, 3, 4));
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.BitmapWidth(), 5);
  EXPECT_EQ(bitmap.BitmapHeight(), 3);
  EXPECT_EQ(bitmap.BitmapBitCount(), 4);
  EXPECT_EQ(bitmap.PackedData(), bitmap.PackedDib().data());
  EXPECT_NE(bitmap.MemoryDC(), 0u);
  EXPECT_EQ(bitmap.PixelBytes(), Bytes(12, 0));
}

}  // namespace
}  // namespace qel
