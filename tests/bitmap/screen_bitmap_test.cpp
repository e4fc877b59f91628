#include "bitmap/screen_bitmap.h"

#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

using testing_palettes::StoredColor;
using testing_palettes::TableFor;

// The screen stores 0x00RRGGBB; a ColorValue has red in the low byte.
ColorValue AsColorValue(std::uint32_t rgb) {
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

std::int32_t Field32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::int32_t>(bytes[offset] | bytes[offset + 1] << 8 |
                                   bytes[offset + 2] << 16 |
                                   static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::uint16_t Field16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

class ScreenBitmapTest : public testing::Test {
 protected:
  ScreenBitmapTest() {
    for (int y = 0; y < screen_.Height(); ++y) {
      for (int x = 0; x < screen_.Width(); ++x) screen_.SetPixel(x, y, ScreenPattern(x, y));
    }
  }

  static std::uint32_t ScreenPattern(int x, int y) {
    return 0x110000u * static_cast<std::uint32_t>(x + 1) +
           0x000D00u * static_cast<std::uint32_t>(y + 1) + 0x37;
  }

  static void ExpectEmpty(ScreenBitmap& bitmap) {
    EXPECT_TRUE(bitmap.PackedDib().empty());
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.BitCount(), 0);
    EXPECT_EQ(bitmap.PixelData(), nullptr);
    EXPECT_EQ(bitmap.PixelDataSize(), 0u);
    EXPECT_EQ(bitmap.ReadPixel(0, 0), kClrInvalid);
  }

  FakeScreen screen_{12, 10, 32};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
};

// --- Packed layout ---

TEST(PackedDibTest, HeaderBytesAreLittleEndianInFieldOrder) {
  const auto bytes = HeaderBytes({.width = 3,
                                  .height = -2,
                                  .bitCount = 24,
                                  .sizeImage = 0x01020304,
                                  .clrImportant = 0xA0B0C0D0});
  const std::vector<std::uint8_t> expected{40,   0,    0,    0,    3,  0, 0,    0,    0xFE, 0xFF,
                                           0xFF, 0xFF, 1,    0,    24, 0, 0,    0,    0,    0,
                                           0x04, 0x03, 0x02, 0x01, 0,  0, 0,    0,    0,    0,
                                           0,    0,    0,    0,    0,  0, 0xD0, 0xC0, 0xB0, 0xA0};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
}

TEST(PackedDibTest, RowsArePaddedToFourBytes) {
  struct Case {
    std::int64_t bits, rowBytes;
  };
  for (const Case c : {Case{0, 0}, Case{1, 4}, Case{32, 4}, Case{33, 8}, Case{3 * 24, 12},
                       Case{5 * 24, 16}, Case{std::int64_t{INT_MAX} * 32, 8589934588}}) {
    EXPECT_EQ(RowBytesFor(c.bits), c.rowBytes) << c.bits;
  }
}

struct BlankCase {
  int width, height, bitCount;
  std::int64_t rowBytes;
  std::size_t paletteSize;
  friend void PrintTo(const BlankCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height << " at " << c.bitCount << " bits";
  }
};

class CreateBlankTest : public ScreenBitmapTest, public testing::WithParamInterface<BlankCase> {};

TEST_P(CreateBlankTest, LaysOutHeaderColourTableAndZeroRows) {
  const BlankCase c = GetParam();
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CreateBlank(c.width, c.height, c.bitCount));
  const std::span<const std::uint8_t> packed = bitmap.PackedDib();

  ASSERT_EQ(packed.size(), 40 + c.paletteSize + c.rowBytes * c.height);
  EXPECT_EQ(Field32(packed, 0), 40);
  EXPECT_EQ(Field32(packed, 4), c.width);
  EXPECT_EQ(Field32(packed, 8), c.height);
  EXPECT_EQ(Field16(packed, 12), 1);
  EXPECT_EQ(Field16(packed, 14), c.bitCount);
  for (std::size_t offset = 16; offset < 40; offset += 4) EXPECT_EQ(Field32(packed, offset), 0);

  EXPECT_EQ(bitmap.RowBytes(), c.rowBytes);
  EXPECT_EQ(bitmap.Height(), c.height);
  EXPECT_EQ(bitmap.BitCount(), c.bitCount);
  EXPECT_EQ(bitmap.PaletteSize(), c.paletteSize);
  EXPECT_EQ(bitmap.PixelData(), packed.data() + 40 + c.paletteSize);
  EXPECT_EQ(bitmap.PixelDataSize(), static_cast<std::size_t>(c.rowBytes * c.height));
  for (const std::uint8_t byte : packed.subspan(40 + c.paletteSize)) ASSERT_EQ(byte, 0);

  const std::vector<RgbQuad> table = TableFor(c.bitCount);
  ASSERT_EQ(table.size() * 4, c.paletteSize);
  if (table.empty()) {
    EXPECT_EQ(bitmap.PaletteData(), nullptr);
  } else {
    EXPECT_EQ(bitmap.PaletteData(), packed.data() + 40);
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    const RgbQuad entry{packed[40 + 4 * i], packed[41 + 4 * i], packed[42 + 4 * i],
                        packed[43 + 4 * i]};
    EXPECT_EQ(entry, table[i]) << "entry " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, CreateBlankTest,
                         testing::Values(BlankCase{1, 1, 24, 4, 0}, BlankCase{3, 2, 24, 12, 0},
                                         BlankCase{33, 2, 1, 8, 8}, BlankCase{1, 1, 32, 4, 0},
                                         BlankCase{5, 3, 4, 4, 64}, BlankCase{5, 1, 8, 8, 1024},
                                         BlankCase{3, 2, 16, 8, 0}),
                         [](const auto& info) {
                           const BlankCase& c = info.param;
                           return std::to_string(c.width) + "x" + std::to_string(c.height) + "At" +
                                  std::to_string(c.bitCount);
                         });

TEST_F(ScreenBitmapTest, CreateBlankRefusesBadSizesAndDepthsAndKeepsWhatItHeld) {
  struct Case {
    int width, height, bitCount;
  };
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CreateBlank(2, 1, 24));
  const std::vector<std::uint8_t> before(bitmap.PackedDib().begin(), bitmap.PackedDib().end());
  for (const Case c : {Case{1, 1, 0}, Case{1, 1, 2}, Case{1, 1, 7}, Case{1, 1, 64}, Case{1, 1, -24},
                       Case{0, 1, 24}, Case{1, 0, 24}, Case{-1, 1, 24}, Case{1, -1, 24},
                       Case{INT_MAX, INT_MAX, 32}, Case{INT_MAX, 1, 32}}) {
    EXPECT_FALSE(bitmap.CreateBlank(c.width, c.height, c.bitCount))
        << c.width << "x" << c.height << " at " << c.bitCount;
    EXPECT_EQ(std::vector<std::uint8_t>(bitmap.PackedDib().begin(), bitmap.PackedDib().end()),
              before);
  }
}

// Every read of the two forms takes the packed copy's size, so a section left from the image
// before would be read past its end (or its stale pixels passed off as the new image's).
TEST_F(ScreenBitmapTest, CreateBlankOverAnImageRemakesTheSectionToMatch) {
  struct Case {
    int heldWidth, heldHeight, heldDepth, width, height, depth;
  };
  for (const Case c : {Case{1, 1, 24, 300, 300, 32}, Case{3, 2, 8, 40, 30, 1},
                       Case{12, 10, 32, 2, 2, 24}, Case{5, 5, 4, 5, 5, 16}}) {
    SCOPED_TRACE(testing::Message() << c.heldWidth << "x" << c.heldHeight << " then " << c.width
                                    << "x" << c.height << " at " << c.depth);
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureScreen(0, 0, c.heldWidth, c.heldHeight, c.heldDepth));
    ASSERT_TRUE(bitmap.CreateBlank(c.width, c.height, c.depth));
    EXPECT_EQ(bitmap.BitmapWidth(), c.width);
    EXPECT_EQ(bitmap.BitmapHeight(), c.height);
    EXPECT_EQ(bitmap.BitmapBitCount(), c.depth);
    ASSERT_TRUE(bitmap.SyncPacked());
    for (const std::uint8_t byte : bitmap.PixelBytes()) ASSERT_EQ(byte, 0);

    constexpr ColorValue kWhite = 0xFFFFFF;
    ASSERT_TRUE(bitmap.WritePixel(c.width - 1, 0, kWhite));
    EXPECT_EQ(bitmap.ReadPixel(c.width - 1, 0), kWhite);
    EXPECT_EQ(bitmap.FileBytes().size(), 14 + bitmap.PackedDib().size());
    ScreenBitmap source(context_);
    ASSERT_TRUE(source.CaptureScreen(0, 0, 12, 10, 32));
    EXPECT_TRUE(source.DrawTo(bitmap));
    EXPECT_EQ(bitmap.ReadPixel(0, 0), StoredColor(AsColorValue(ScreenPattern(0, 0)), c.depth));
  }
}

// --- CaptureScreen ---

class CaptureDepthTest : public ScreenBitmapTest, public testing::WithParamInterface<int> {};

TEST_P(CaptureDepthTest, ReadsTheScreenAreaInTheChosenDepth) {
  const int bitCount = GetParam();
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureScreen(2, 3, 4, 3, bitCount));
  EXPECT_EQ(bitmap.BitCount(), bitCount);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(Field32(bitmap.PackedDib(), 4), 4);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(bitmap.ReadPixel(x, y),
                StoredColor(AsColorValue(ScreenPattern(2 + x, 3 + y)), bitCount))
          << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, CaptureDepthTest, testing::Values(1, 4, 8, 16, 24, 32));

// The packed copy holds the captured rows bottom-up, each pixel blue, green, red (and a zero byte
// at 32 bits), rows padded with zeros.
TEST_F(ScreenBitmapTest, PackedRowsAreTheCapturedPixelsBottomUp) {
  for (const int bitCount : {24, 32}) {
    const int bytes = bitCount / 8;
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureScreen(1, 1, 3, 2, bitCount));
    ASSERT_EQ(bitmap.RowBytes(), 12);  // 9 bytes padded, or 12
    const std::uint8_t* rows = bitmap.PixelData();
    for (int y = 0; y < 2; ++y) {
      const std::uint8_t* row = rows + (1 - y) * 12;
      for (int x = 0; x < 3; ++x) {
        const std::uint32_t rgb = ScreenPattern(1 + x, 1 + y);
        EXPECT_EQ(row[bytes * x], rgb & 0xFF);
        EXPECT_EQ(row[bytes * x + 1], rgb >> 8 & 0xFF);
        EXPECT_EQ(row[bytes * x + 2], rgb >> 16 & 0xFF);
        if (bytes == 4) {
          EXPECT_EQ(row[bytes * x + 3], 0);
        }
      }
      for (int pad = 3 * bytes; pad < 12; ++pad) EXPECT_EQ(row[pad], 0);
    }
  }
}

TEST_F(ScreenBitmapTest, OnePixelAt24BitsIsFortyFourBytesWithPadding) {
  screen_.SetPixel(5, 4, 0xFAFAFF);
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureScreen(5, 4, 1, 1, 24));
  const std::span<const std::uint8_t> packed = bitmap.PackedDib();
  ASSERT_EQ(packed.size(), 44u);
  EXPECT_EQ(std::vector<std::uint8_t>(packed.begin() + 40, packed.end()),
            (std::vector<std::uint8_t>{0xFF, 0xFA, 0xFA, 0}));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), 16775930u);
}

TEST(ScreenBitmapDefaultsTest, ZeroSizesReachTheDisplayEdgesAndZeroDepthIsTheDisplays) {
  struct Case {
    int displayBits, left, top, width, height, bitCount;
    int wantWidth, wantHeight, wantBits;
  };
  for (const Case c : {Case{32, 100, 0, 0, 1, 24, 1820, 1, 24}, Case{32, 0, 2, 1, 0, 24, 1, 2, 24},
                       Case{16, 0, 0, 1, 1, 0, 1, 1, 16}, Case{24, 1919, 3, 0, 0, 0, 1, 1, 24},
                       Case{32, -5, 0, 0, 1, 32, 1925, 1, 32}}) {
    FakeScreen screen(1920, 4, c.displayBits);
    FakeDesktop desktop;
    FakeImageServices images;
    SoftwareGdi gdi(screen, desktop, images);
    ScreenBitmap bitmap({gdi, screen, desktop});
    ASSERT_TRUE(bitmap.CaptureScreen(c.left, c.top, c.width, c.height, c.bitCount));
    EXPECT_EQ(Field32(bitmap.PackedDib(), 4), c.wantWidth) << c.left << "," << c.top;
    EXPECT_EQ(bitmap.Height(), c.wantHeight) << c.left << "," << c.top;
    EXPECT_EQ(bitmap.BitCount(), c.wantBits) << c.left << "," << c.top;
  }
}

// What lies off the screen comes out black, and the capture still succeeds.
TEST_F(ScreenBitmapTest, AreasOffTheScreenAreBlack) {
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureScreen(-1, -1, 3, 3, 24));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), 0u);
  EXPECT_EQ(bitmap.ReadPixel(1, 0), 0u);
  EXPECT_EQ(bitmap.ReadPixel(1, 1), AsColorValue(ScreenPattern(0, 0)));
  EXPECT_EQ(bitmap.ReadPixel(2, 2), AsColorValue(ScreenPattern(1, 1)));

  ASSERT_TRUE(bitmap.CaptureScreen(screen_.Width() + 5, 0, 2, 2, 32));
  EXPECT_EQ(bitmap.ReadPixel(1, 1), 0u);
  ASSERT_TRUE(bitmap.CaptureScreen(INT_MAX, INT_MIN, 1, 1, 24));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), 0u);
}

// Every failed capture discards the image held before it.
TEST_F(ScreenBitmapTest, BadCapturesGiveFalseAndLeaveTheObjectEmpty) {
  struct Case {
    std::string name;
    int left, top, width, height, bitCount;
  };
  const int w = screen_.Width();
  const int h = screen_.Height();
  for (const Case& c :
       {Case{"depth 2", 0, 0, 1, 1, 2}, Case{"depth 48", 0, 0, 1, 1, 48},
        Case{"negative width", 0, 0, -1, 1, 24}, Case{"negative height", 0, 0, 1, -3, 24},
        Case{"default width past the right edge", w, 0, 0, 1, 24},
        Case{"default height past the bottom", 0, h + 4, 1, 0, 24},
        Case{"default width that overflows", INT_MIN, 0, 0, 1, 24},
        Case{"too large", 0, 0, INT_MAX, INT_MAX, 32}}) {
    SCOPED_TRACE(c.name);
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 2, 2, 24));
    EXPECT_FALSE(bitmap.CaptureScreen(c.left, c.top, c.width, c.height, c.bitCount));
    ExpectEmpty(bitmap);
  }
}

// A screen that cannot be read is not passed off as a black one.
TEST_F(ScreenBitmapTest, UnreadableScreenGivesFalse) {
  ScreenBitmap bitmap(context_);
  screen_.failing = true;
  EXPECT_FALSE(bitmap.CaptureScreen(0, 0, 1, 1, 24));
  ExpectEmpty(bitmap);
}

TEST_F(ScreenBitmapTest, ReadPixelOutsideTheImageOrWithoutOneIsInvalid) {
  ScreenBitmap bitmap(context_);
  EXPECT_EQ(bitmap.ReadPixel(0, 0), kClrInvalid);
  ASSERT_TRUE(bitmap.CreateBlank(1, 1, 24));
  EXPECT_EQ(bitmap.ReadPixel(0, 0), kClrInvalid) << "a packed copy alone is not an image";
  ASSERT_TRUE(bitmap.CaptureScreen(0, 0, 2, 2, 24));
  for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{2, 0}, std::pair{0, 2},
                             std::pair{INT_MIN, INT_MAX}}) {
    EXPECT_EQ(bitmap.ReadPixel(x, y), kClrInvalid) << x << "," << y;
  }
  bitmap.Clear();
  ExpectEmpty(bitmap);
}

// --- CaptureWindow ---

class CaptureWindowTest : public ScreenBitmapTest {
 protected:
  CaptureWindowTest() {
    // Whatever the screen shows over the window must not matter.
    screen_.Fill(0x00FF00);
    window_ = desktop_.Add({.rect = {2, 1, 10, 9},
                            .frameLeft = 1,
                            .frameTop = 3,
                            .frameRight = 2,
                            .frameBottom = 1,
                            .frameRgb = 0x404040,
                            .clientRgb = 0x123400});
  }

  static constexpr ColorValue kClient = 0x003412;
  static constexpr ColorValue kFrame = 0x404040;
  static constexpr int kClientWidth = 5;
  static constexpr int kClientHeight = 4;
  WindowHandle window_ = 0;
};

TEST_F(CaptureWindowTest, ReadsTheWindowsOwnDrawingRelativeToItsClientArea) {
  struct Case {
    int left, top;
    ColorValue want;
  };
  for (const Case c : {Case{0, 0, kClient}, Case{kClientWidth - 1, kClientHeight - 1, kClient},
                       Case{-1, 0, kFrame}, Case{-1, -3, kFrame}, Case{kClientWidth, 0, kFrame},
                       Case{0, kClientHeight, kFrame}, Case{-2, 0, 0}, Case{0, -4, 0},
                       Case{kClientWidth + 2, 0, 0}, Case{INT_MAX, INT_MIN, 0}}) {
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureWindow(window_, c.left, c.top, 1, 1, 24));
    EXPECT_EQ(bitmap.ReadPixel(0, 0), c.want) << c.left << "," << c.top;
  }
}

TEST_F(CaptureWindowTest, DefaultsAreTheClientAreaAndTwentyFourBits) {
  ScreenBitmap bitmap(context_);
  ASSERT_TRUE(bitmap.CaptureWindow(window_));
  EXPECT_EQ(bitmap.BitCount(), 24);
  EXPECT_EQ(Field32(bitmap.PackedDib(), 4), kClientWidth);
  EXPECT_EQ(bitmap.Height(), kClientHeight);
  EXPECT_EQ(bitmap.ReadPixel(kClientWidth - 1, kClientHeight - 1), kClient);

  ASSERT_TRUE(bitmap.CaptureWindow(window_, 2, 1, 0, 0, 8));
  EXPECT_EQ(Field32(bitmap.PackedDib(), 4), kClientWidth - 2);
  EXPECT_EQ(bitmap.Height(), kClientHeight - 1);
  EXPECT_EQ(bitmap.BitCount(), 8);
  EXPECT_EQ(bitmap.ReadPixel(0, 0), StoredColor(kClient, 8));
}

TEST_F(CaptureWindowTest, WindowsThatCannotBeDrawnAndBadArgumentsGiveFalse) {
  struct Case {
    std::string name;
    void (*spoil)(FakeWindow&);
    int left, top, width, height, bitCount;
  };
  const auto keep = [](FakeWindow&) {};
  for (const Case& c :
       {Case{"minimised", [](FakeWindow& w) { w.iconic = true; }, 0, 0, 1, 1, 24},
        Case{"invisible", [](FakeWindow& w) { w.visible = false; }, 0, 0, 1, 1, 24},
        Case{"cannot print", [](FakeWindow& w) { w.canPrint = false; }, 0, 0, 1, 1, 24},
        Case{"empty window", [](FakeWindow& w) { w.rect.right = w.rect.left; }, 0, 0, 1, 1, 24},
        Case{"depth 2", keep, 0, 0, 1, 1, 2}, Case{"negative width", keep, 0, 0, -1, 1, 24},
        Case{"default width past the client edge", keep, kClientWidth, 0, 0, 1, 24},
        Case{"default height that overflows", keep, 0, INT_MIN, 1, 0, 24}}) {
    SCOPED_TRACE(c.name);
    ScreenBitmap bitmap(context_);
    ASSERT_TRUE(bitmap.CaptureWindow(window_));
    FakeWindow saved = desktop_.Window(window_);
    c.spoil(desktop_.Window(window_));
    EXPECT_FALSE(bitmap.CaptureWindow(window_, c.left, c.top, c.width, c.height, c.bitCount));
    ExpectEmpty(bitmap);
    desktop_.Window(window_) = saved;
  }
  ScreenBitmap bitmap(context_);
  EXPECT_FALSE(bitmap.CaptureWindow(0x7777)) << "not a window";
  ExpectEmpty(bitmap);
}

}  // namespace
}  // namespace qel
