#include "bitmap/software_gdi.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

using testing_palettes::TableFor;

class GdiTest : public testing::Test {
 protected:
  GdiHandle Dib(int width, int height, int bitCount, std::uint8_t** bits = nullptr) {
    return gdi_.CreateDIBSection(0,
                                 {.width = width,
                                  .height = height,
                                  .bitCount = static_cast<std::uint16_t>(bitCount),
                                  .colors = TableFor(bitCount)},
                                 bits);
  }
  // A memory DC holding a new DIB section.
  GdiHandle DcWith(int width, int height, int bitCount, std::uint8_t** bits = nullptr) {
    const GdiHandle dc = gdi_.CreateCompatibleDC(0);
    lastDib_ = Dib(width, height, bitCount, bits);
    EXPECT_NE(gdi_.SelectObject(dc, lastDib_), 0u);
    return dc;
  }

  GdiHandle lastDib_ = 0;

  FakeScreen screen_{4, 4};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
};

using GdiHandleTest = GdiTest;

TEST_F(GdiHandleTest, NewDcHoldsTheOneByOneMonochromeDefault) {
  const GdiHandle dc = gdi_.CreateCompatibleDC(0);
  const GdiHandle dib = Dib(2, 2, 32);
  const GdiHandle original = gdi_.SelectObject(dc, dib);
  const auto description = gdi_.GetObject(original);
  ASSERT_TRUE(description);
  EXPECT_EQ(description->width, 1);
  EXPECT_EQ(description->height, 1);
  EXPECT_EQ(description->bitCount, 1);
  EXPECT_EQ(description->bits, nullptr);
  EXPECT_EQ(gdi_.SelectObject(dc, original), dib);
}

TEST_F(GdiHandleTest, DeletedHandlesFailAndAreNotReused) {
  const GdiHandle dc = gdi_.CreateCompatibleDC(0);
  const GdiHandle dib = Dib(2, 2, 24);
  EXPECT_TRUE(gdi_.DeleteObject(dib));
  EXPECT_TRUE(gdi_.DeleteDC(dc));

  EXPECT_FALSE(gdi_.DeleteObject(dib));
  EXPECT_FALSE(gdi_.DeleteDC(dc));
  EXPECT_FALSE(gdi_.GetObject(dib));
  EXPECT_EQ(gdi_.SelectObject(dc, Dib(1, 1, 32)), 0u);
  EXPECT_EQ(gdi_.SelectObject(gdi_.CreateCompatibleDC(0), dib), 0u);
  EXPECT_EQ(gdi_.GetPixel(dc, 0, 0), kClrInvalid);
  EXPECT_FALSE(gdi_.SetPixelV(dc, 0, 0, 0));
  EXPECT_EQ(gdi_.CreateCompatibleDC(dc), 0u);

  const GdiHandle newDc = gdi_.CreateCompatibleDC(0);
  const GdiHandle newDib = Dib(2, 2, 24);
  EXPECT_NE(newDc, dc);
  EXPECT_NE(newDib, dib);
  EXPECT_NE(newDc, dib);
}

TEST_F(GdiHandleTest, WrongKindOfHandleFails) {
  const GdiHandle dc = gdi_.CreateCompatibleDC(0);
  const GdiHandle dib = Dib(2, 2, 8);
  EXPECT_FALSE(gdi_.DeleteDC(dib));
  EXPECT_FALSE(gdi_.DeleteObject(dc));
  EXPECT_EQ(gdi_.SelectObject(dib, dc), 0u);
  EXPECT_EQ(gdi_.SelectObject(dc, dc), 0u);
  EXPECT_FALSE(gdi_.GetObject(dc));
  EXPECT_EQ(gdi_.CreateCompatibleDC(dib), 0u);
  EXPECT_EQ(gdi_.CreateCompatibleBitmap(dib, 2, 2), 0u);
  EXPECT_EQ(gdi_.GetPixel(dib, 0, 0), kClrInvalid);
  EXPECT_FALSE(gdi_.BitBlt(dc, 0, 0, 1, 1, dib, 0, 0, kSrcCopy));
  EXPECT_FALSE(gdi_.BitBlt(dib, 0, 0, 1, 1, dc, 0, 0, kSrcCopy));
  EXPECT_FALSE(gdi_.DeleteObject(0));
  EXPECT_FALSE(gdi_.DeleteDC(0));
}

// A bitmap lives in one DC at a time and cannot be deleted from under it; deleting the DC
// frees it again. The shared default survives any number of deletes.
TEST_F(GdiHandleTest, SelectedBitmapIsHeldByItsDc) {
  const GdiHandle first = gdi_.CreateCompatibleDC(0);
  const GdiHandle second = gdi_.CreateCompatibleDC(0);
  const GdiHandle dib = Dib(2, 2, 32);
  const GdiHandle original = gdi_.SelectObject(first, dib);
  EXPECT_EQ(gdi_.SelectObject(second, dib), 0u);
  EXPECT_FALSE(gdi_.DeleteObject(dib));
  EXPECT_EQ(gdi_.SelectObject(first, dib), dib);

  EXPECT_TRUE(gdi_.DeleteObject(original));
  EXPECT_EQ(gdi_.GetPixel(second, 0, 0), 0u);

  EXPECT_TRUE(gdi_.DeleteDC(first));
  EXPECT_EQ(gdi_.SelectObject(second, dib), original);
  EXPECT_EQ(gdi_.SelectObject(second, original), dib);
  EXPECT_TRUE(gdi_.DeleteObject(dib));
}

TEST_F(GdiHandleTest, ScreenDcIsReleasedNotDeleted) {
  EXPECT_EQ(gdi_.GetDC(7), 0u);
  const GdiHandle screen = gdi_.GetDC(0);
  const GdiHandle other = gdi_.GetDC(0);
  ASSERT_NE(screen, 0u);
  EXPECT_NE(screen, other);
  EXPECT_EQ(gdi_.SelectObject(screen, Dib(1, 1, 32)), 0u);
  EXPECT_FALSE(gdi_.DeleteDC(screen));
  EXPECT_FALSE(gdi_.ReleaseDC(0, gdi_.CreateCompatibleDC(0)));
  EXPECT_NE(gdi_.CreateCompatibleDC(screen), 0u);
  EXPECT_TRUE(gdi_.ReleaseDC(0, screen));
  EXPECT_FALSE(gdi_.ReleaseDC(0, screen));
  EXPECT_EQ(gdi_.GetPixel(screen, 0, 0), kClrInvalid);
  EXPECT_EQ(gdi_.CreateCompatibleDC(screen), 0u);
}

struct BadDib {
  std::string name;
  friend void PrintTo(const BadDib& c, std::ostream* os) { *os << c.name; }
  int width;
  int height;
  int bitCount;
};

class GdiBadDibTest : public GdiTest, public testing::WithParamInterface<BadDib> {};

TEST_P(GdiBadDibTest, IsRefusedWithoutBits) {
  std::uint8_t marker = 0;
  std::uint8_t* bits = &marker;
  EXPECT_EQ(Dib(GetParam().width, GetParam().height, GetParam().bitCount, &bits), 0u);
  EXPECT_EQ(bits, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GdiBadDibTest,
    testing::Values(BadDib{"BitCount0", 1, 1, 0}, BadDib{"BitCount2", 1, 1, 2},
                    BadDib{"BitCount15", 1, 1, 15}, BadDib{"BitCount64", 1, 1, 64},
                    BadDib{"WidthZero", 0, 1, 32}, BadDib{"WidthNegative", -1, 1, 32},
                    BadDib{"HeightZero", 1, 0, 32}, BadDib{"HeightIntMin", 1, INT_MIN, 8},
                    BadDib{"RowTooLong", INT_MAX, 1, 32}, BadDib{"ImageOver2GiB", 65536, 65536, 8}),
    [](const auto& info) { return info.param.name; });

struct Layout {
  int width;
  int bitCount;
  int stride;
  friend void PrintTo(const Layout& c, std::ostream* os) {
    *os << c.width << " pixels at " << c.bitCount << " bits";
  }
};

class GdiLayoutTest : public GdiTest, public testing::WithParamInterface<Layout> {};

// Rows are padded to four bytes.
TEST_P(GdiLayoutTest, StrideIsPaddedToFourBytes) {
  const auto description = gdi_.GetObject(Dib(GetParam().width, 3, GetParam().bitCount));
  ASSERT_TRUE(description);
  EXPECT_EQ(description->stride, GetParam().stride);
  EXPECT_NE(description->bits, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Strides, GdiLayoutTest,
                         testing::Values(Layout{3, 24, 12}, Layout{33, 1, 8}, Layout{1, 32, 4},
                                         Layout{1, 1, 4}, Layout{32, 1, 4}, Layout{9, 4, 8},
                                         Layout{5, 8, 8}, Layout{3, 16, 8}, Layout{1, 24, 4}));

struct PixelBytes {
  std::string name;
  friend void PrintTo(const PixelBytes& c, std::ostream* os) { *os << c.name; }
  int bitCount;
  int x;
  ColorValue color;
  std::vector<std::uint8_t> row;  // the first bytes of the row after the write
};

class GdiPixelBytesTest : public GdiTest, public testing::WithParamInterface<PixelBytes> {};

// Where a pixel lands in memory, per format; the image is bottom-up, so the top row written is
// the last one in memory.
TEST_P(GdiPixelBytesTest, WriteLandsInTheDocumentedBytes) {
  const PixelBytes& p = GetParam();
  std::uint8_t* bits = nullptr;
  const GdiHandle dc = DcWith(8, 2, p.bitCount, &bits);
  const int stride = gdi_.GetObject(lastDib_).value_or(BitmapDescription{}).stride;
  ASSERT_TRUE(gdi_.SetPixelV(dc, p.x, 0, p.color));
  const std::vector<std::uint8_t> lastRow(bits + stride, bits + stride + p.row.size());
  EXPECT_EQ(lastRow, p.row);
  EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + stride), std::vector<std::uint8_t>(stride, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GdiPixelBytesTest,
    testing::Values(PixelBytes{"Bits32", 32, 1, 0x123456, {0, 0, 0, 0, 0x12, 0x34, 0x56, 0}},
                    PixelBytes{"Bits24", 24, 1, 0x123456, {0, 0, 0, 0x12, 0x34, 0x56}},
                    // Red only, five bits of it, in bits 10 to 14, little-endian.
                    PixelBytes{"Bits16Red", 16, 0, 0x0000FF, {0x00, 0x7C}},
                    PixelBytes{"Bits16Blue", 16, 1, 0xFF0000, {0, 0, 0x1F, 0x00}},
                    PixelBytes{"Bits8", 8, 2, 0xFFFFFF, {0, 0, 255}},
                    PixelBytes{"Bits4HighNibbleFirst", 4, 0, 0xFFFFFF, {0xF0}},
                    PixelBytes{"Bits4LowNibble", 4, 1, 0x0000FF, {0x09}},
                    PixelBytes{"Bits1MostSignificantFirst", 1, 0, 0xFFFFFF, {0x80}},
                    PixelBytes{"Bits1Last", 1, 7, 0xFFFFFF, {0x01}}),
    [](const auto& info) { return info.param.name; });

TEST_F(GdiTest, TopDownImageKeepsTheTopRowFirst) {
  std::uint8_t* bits = nullptr;
  const GdiHandle dc = DcWith(1, -2, 32, &bits);
  ASSERT_TRUE(gdi_.SetPixelV(dc, 0, 0, 0x0000FF));
  EXPECT_EQ(bits[2], 0xFF);
  EXPECT_EQ(bits[6], 0);
  EXPECT_TRUE(gdi_.GetObject(lastDib_).value_or(BitmapDescription{}).topDown);
}

TEST_F(GdiTest, GetPixelAndSetPixelVRefuseWhatIsNotThere) {
  const GdiHandle dc = DcWith(3, 2, 24);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{
           {-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, 0}, {0, INT_MAX}}) {
    EXPECT_EQ(gdi_.GetPixel(dc, x, y), kClrInvalid) << x << "," << y;
    EXPECT_FALSE(gdi_.SetPixelV(dc, x, y, 0xFFFFFF)) << x << "," << y;
  }
  EXPECT_EQ(gdi_.GetPixel(dc, 2, 1), 0u);
  EXPECT_EQ(gdi_.GetPixel(0, 0, 0), kClrInvalid);
  // The default bitmap is one black pixel, as in GDI.
  const GdiHandle fresh = gdi_.CreateCompatibleDC(0);
  EXPECT_EQ(gdi_.GetPixel(fresh, 0, 0), 0u);
  EXPECT_EQ(gdi_.GetPixel(fresh, 1, 0), kClrInvalid);
  EXPECT_FALSE(gdi_.SetPixelV(gdi_.GetDC(0), 0, 0, 0));
}

TEST_F(GdiTest, CompatibleBitmapIsThirtyTwoBitsWithHiddenBits) {
  const GdiHandle bitmap = gdi_.CreateCompatibleBitmap(gdi_.GetDC(0), 5, 3);
  const auto description = gdi_.GetObject(bitmap);
  ASSERT_TRUE(description);
  EXPECT_EQ(description->bitCount, 32);
  EXPECT_EQ(description->stride, 20);
  EXPECT_EQ(description->bits, nullptr);
  EXPECT_EQ(gdi_.CreateCompatibleBitmap(0, 5, 3), 0u);
  EXPECT_EQ(gdi_.CreateCompatibleBitmap(gdi_.GetDC(0), 0, 3), 0u);
}

TEST_F(GdiTest, FillRectClipsAndLeavesTheEdgesOut) {
  const GdiHandle dc = DcWith(3, 3, 32);
  ASSERT_TRUE(gdi_.FillRect(dc, {.left = -5, .top = 1, .right = 2, .bottom = INT_MAX}, 0xABCDEF));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(gdi_.GetPixel(dc, x, y), (x < 2 && y >= 1) ? 0xABCDEFu : 0u) << x << "," << y;
    }
  }
  EXPECT_TRUE(gdi_.FillRect(dc, {.left = 2, .top = 2, .right = 1, .bottom = 3}, 0xFFFFFF));
  EXPECT_EQ(gdi_.GetPixel(dc, 2, 2), 0u);
  EXPECT_FALSE(gdi_.FillRect(gdi_.GetDC(0), {0, 0, 1, 1}, 0));
}

struct Blit {
  std::string name;
  friend void PrintTo(const Blit& c, std::ostream* os) { *os << c.name; }
  int x, y, width, height, sourceX, sourceY;
};

class GdiBlitTest : public GdiTest, public testing::WithParamInterface<Blit> {};

constexpr ColorValue kUntouched = 0x00AA55;

ColorValue SourcePattern(int x, int y) {
  return 0x010203u * static_cast<ColorValue>(x + 10 * y + 1);
}

// A 4 x 3 source into a 5 x 4 target: a pixel is copied exactly when both its ends lie inside.
TEST_P(GdiBlitTest, CopiesOnlyWhatLiesInsideBothImages) {
  const Blit& b = GetParam();
  const GdiHandle source = DcWith(4, 3, 32);
  const GdiHandle target = DcWith(5, 4, 24);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) gdi_.SetPixelV(source, x, y, SourcePattern(x, y));
  }
  gdi_.FillRect(target, {0, 0, 5, 4}, kUntouched);
  ASSERT_TRUE(
      gdi_.BitBlt(target, b.x, b.y, b.width, b.height, source, b.sourceX, b.sourceY, kSrcCopy));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      const long long i = static_cast<long long>(x) - b.x;
      const long long j = static_cast<long long>(y) - b.y;
      const long long sx = b.sourceX + i;
      const long long sy = b.sourceY + j;
      const bool copied =
          i >= 0 && i < b.width && j >= 0 && j < b.height && sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
      EXPECT_EQ(gdi_.GetPixel(target, x, y),
                copied ? SourcePattern(static_cast<int>(sx), static_cast<int>(sy)) : kUntouched)
          << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GdiBlitTest,
    testing::Values(
        Blit{"Whole", 0, 0, 4, 3, 0, 0}, Blit{"Offset", 1, 1, 4, 3, 0, 0},
        Blit{"LargerThanBoth", -2, -2, 100, 100, -3, -1},
        Blit{"NegativeTarget", -1, -2, 4, 4, 0, 0}, Blit{"NegativeSource", 0, 0, 4, 3, -2, -1},
        Blit{"PastRightAndBottom", 3, 2, 4, 3, 0, 0}, Blit{"SourcePastEdge", 0, 0, 4, 3, 3, 2},
        Blit{"EntirelyOutside", 5, 0, 2, 2, 0, 0}, Blit{"SourceEntirelyOutside", 0, 0, 2, 2, 4, 0},
        Blit{"ZeroWidth", 0, 0, 0, 3, 0, 0}, Blit{"NegativeHeight", 0, 0, 4, -3, 0, 0},
        Blit{"ExtremeCoordinates", INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0},
        Blit{"ExtremeSource", 0, 0, INT_MAX, INT_MAX, INT_MIN, INT_MAX},
        Blit{"HugeSizeFromNegativeOrigin", -2, 0, INT_MAX, INT_MAX, 0, 0}),
    [](const auto& info) { return info.param.name; });

// Whole-screen conversions are split by rows over two threads: the result is byte for byte that of
// converting one row at a time, from the screen and from another image, in every format.
// Rows of a deleted bitmap are kept for the next capture of the same size, which is never more
// than the whole screen as a capture found it: a larger image's rows are let go with it, and
// before the first capture none are kept. A kept buffer shows itself to a section made to be
// overwritten, which gets it as it was.
TEST(GdiKeptRowsTest, OnlyRowsOfAScreenOrLessAreKeptForReuse) {
  FakeScreen screen(512, 512);
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi(screen, desktop, images);
  bool captured = false;
  for (const auto& [side, kept] :
       {std::pair{512, false}, std::pair{512, true}, std::pair{300, true}, std::pair{513, false},
        std::pair{2048, false}}) {
    const DibInfo info{.width = side, .height = side, .bitCount = 32, .colors = {}};
    std::uint8_t* bits = nullptr;
    const GdiHandle first = gdi.CreateDIBSection(0, info, &bits, Gdi::NewRows::Overwritten);
    ASSERT_NE(first, 0u);
    const auto size = static_cast<std::size_t>(side) * side * 4;
    std::memset(bits, 0xAB, size);
    ASSERT_TRUE(gdi.DeleteObject(first));
    const GdiHandle second = gdi.CreateDIBSection(0, info, &bits, Gdi::NewRows::Overwritten);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(bits[size - 1], kept ? 0xAB : 0)
        << side << " x " << side << (captured ? "" : " first");
    gdi.DeleteObject(second);
    if (!captured) {
      const GdiHandle dc = gdi.CreateCompatibleDC(0);
      const GdiHandle pixel = gdi.CreateDIBSection(
          dc, {.width = 1, .height = 1, .bitCount = 32, .colors = {}}, nullptr);
      gdi.SelectObject(dc, pixel);
      ASSERT_TRUE(gdi.BitBlt(dc, 0, 0, 1, 1, gdi.GetDC(0), 0, 0, kSrcCopy));
      captured = true;
    }
  }
}

TEST(GdiLargeBlitTest, SplitConversionsMatchRowByRowOnes) {
  constexpr int kWidth = 1024;
  constexpr int kHeight = 700;  // more pixels than a conversion is split from
  FakeScreen screen(kWidth, kHeight);
  std::minstd_rand random(5);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) screen.SetPixel(x, y, random() & 0xFFFFFF);
  }
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi(screen, desktop, images);
  const GdiHandle screenDc = gdi.GetDC(0);
  const auto dcWith = [&gdi](int bitCount, std::uint8_t** bits) {
    const GdiHandle dc = gdi.CreateCompatibleDC(0);
    gdi.SelectObject(dc, gdi.CreateDIBSection(0,
                                              {.width = kWidth,
                                               .height = kHeight,
                                               .bitCount = static_cast<std::uint16_t>(bitCount),
                                               .colors = TableFor(bitCount)},
                                              bits));
    return dc;
  };

  std::uint8_t* sourceBits = nullptr;
  const GdiHandle source = dcWith(32, &sourceBits);
  ASSERT_TRUE(gdi.BitBlt(source, 0, 0, kWidth, kHeight, screenDc, 0, 0, kSrcCopy));
  for (const int y : {0, 345, kHeight - 1}) {
    for (const int x : {0, 512, kWidth - 1}) {
      EXPECT_EQ(gdi.GetPixel(source, x, y), gdi.GetPixel(screenDc, x, y)) << x << "," << y;
    }
  }

  for (const int bitCount : {1, 4, 8, 16, 24, 32}) {
    for (const GdiHandle from : {screenDc, source}) {
      std::uint8_t* wholeBits = nullptr;
      std::uint8_t* rowBits = nullptr;
      const GdiHandle whole = dcWith(bitCount, &wholeBits);
      const GdiHandle byRows = dcWith(bitCount, &rowBits);
      ASSERT_TRUE(gdi.BitBlt(whole, 0, 0, kWidth, kHeight, from, 0, 0, kSrcCopy));
      for (int y = 0; y < kHeight; ++y) {
        ASSERT_TRUE(gdi.BitBlt(byRows, 0, y, kWidth, 1, from, 0, y, kSrcCopy));
      }
      const std::size_t bytes = static_cast<std::size_t>(*DibStride(kWidth, bitCount)) * kHeight;
      EXPECT_EQ(std::memcmp(wholeBits, rowBits, bytes), 0)
          << bitCount << " bits from " << (from == screenDc ? "the screen" : "an image");
    }
  }
}

// A copy within one image reads the image as it was before the copy.
TEST_F(GdiTest, OverlappingBlitWithinOneImage) {
  for (int bitCount : {1, 4, 8, 16, 24, 32}) {
    const GdiHandle dc = DcWith(6, 1, bitCount);
    const std::vector<ColorValue> colors{0x000000, 0xFFFFFF, 0xFFFFFF,
                                         0x000000, 0xFFFFFF, 0x000000};
    for (int x = 0; x < 6; ++x) gdi_.SetPixelV(dc, x, 0, colors[x]);
    ASSERT_TRUE(gdi_.BitBlt(dc, 1, 0, 5, 1, dc, 0, 0, kSrcCopy));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(gdi_.GetPixel(dc, x, 0), colors[x - 1]) << bitCount;
  }
}

TEST_F(GdiTest, BlitRefusesOtherOperationsAndTheScreenAsTarget) {
  const GdiHandle dc = DcWith(2, 2, 32);
  EXPECT_FALSE(gdi_.BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, 0x00EE0086));
  EXPECT_FALSE(gdi_.BitBlt(gdi_.GetDC(0), 0, 0, 1, 1, dc, 0, 0, kSrcCopy));
  EXPECT_FALSE(gdi_.BitBlt(dc, 0, 0, 1, 1, 0, 0, 0, kSrcCopy));
  EXPECT_TRUE(gdi_.GdiFlush());
}

// Scan lines come out in the format asked for: a positive height starts from the bottom row.
TEST_F(GdiTest, GetDIBitsConvertsScanLinesInTheOrderAsked) {
  const GdiHandle dc = DcWith(2, -2, 32);
  gdi_.SetPixelV(dc, 0, 0, 0x030201);
  gdi_.SetPixelV(dc, 1, 0, 0x060504);
  gdi_.SetPixelV(dc, 0, 1, 0x090807);
  gdi_.SetPixelV(dc, 1, 1, 0x0C0B0A);
  std::vector<std::uint8_t> out(16, 0xEE);

  EXPECT_EQ(gdi_.GetDIBits(dc, lastDib_, 0, 2, out,
                           {.width = 2, .height = 2, .bitCount = 24, .colors = {}}),
            2);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));

  out.assign(16, 0xEE);
  EXPECT_EQ(gdi_.GetDIBits(dc, lastDib_, 1, 5, out,
                           {.width = 2, .height = -2, .bitCount = 24, .colors = {}}),
            1);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{9, 8, 7, 12, 11, 10, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                            0xEE, 0xEE, 0xEE}));
}

struct BadGetDIBits {
  std::string name;
  friend void PrintTo(const BadGetDIBits& c, std::ostream* os) { *os << c.name; }
  int start, lines;
  std::size_t outSize;
  DibInfo format;
};

class GdiBadGetDIBitsTest : public GdiTest, public testing::WithParamInterface<BadGetDIBits> {};

TEST_P(GdiBadGetDIBitsTest, CopiesNothing) {
  const BadGetDIBits& p = GetParam();
  const GdiHandle dc = DcWith(3, 2, 8);
  std::vector<std::uint8_t> out(p.outSize, 0xEE);
  EXPECT_EQ(gdi_.GetDIBits(dc, lastDib_, p.start, p.lines, out, p.format), 0);
  EXPECT_EQ(out, std::vector<std::uint8_t>(p.outSize, 0xEE));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GdiBadGetDIBitsTest,
    testing::Values(BadGetDIBits{"OneByteShort", 0, 2, 15, {3, 2, 16, {}}},
                    BadGetDIBits{"WidthDiffers", 0, 2, 64, {4, 2, 16, {}}},
                    BadGetDIBits{"HeightDiffers", 0, 2, 64, {3, 3, 16, {}}},
                    BadGetDIBits{"HeightIntMin", 0, 2, 64, {3, INT_MIN, 16, {}}},
                    BadGetDIBits{"BitCount2", 0, 2, 64, {3, 2, 2, {}}},
                    BadGetDIBits{"StartPastEnd", 2, 1, 64, {3, 2, 16, {}}},
                    BadGetDIBits{"NegativeStart", -1, 2, 64, {3, 2, 16, {}}},
                    BadGetDIBits{"NoLines", 0, 0, 64, {3, 2, 16, {}}},
                    BadGetDIBits{"ManyLinesFromLate", INT_MAX, INT_MAX, 64, {3, 2, 16, {}}}),
    [](const auto& info) { return info.param.name; });

TEST_F(GdiTest, GetDIBitsNeedsLiveHandles) {
  const GdiHandle dc = DcWith(1, 1, 32);
  std::vector<std::uint8_t> out(4);
  const DibInfo format{.width = 1, .height = 1, .bitCount = 32, .colors = {}};
  EXPECT_EQ(gdi_.GetDIBits(0, lastDib_, 0, 1, out, format), 0);
  EXPECT_EQ(gdi_.GetDIBits(dc, dc, 0, 1, out, format), 0);
  EXPECT_EQ(gdi_.GetDIBits(dc, lastDib_, 0, 1, out, format), 1);
}

// The window's drawing, frame included, lands at the bitmap's origin, clipped to it.
TEST_F(GdiTest, PrintWindowDrawsTheWholeWindowIntoTheSelectedBitmap) {
  const WindowHandle window = desktop_.Add({.rect = {50, 50, 53, 52},
                                            .frameLeft = 1,
                                            .frameTop = 1,
                                            .frameRgb = 0x102030,
                                            .clientRgb = 0xA0B0C0});
  const GdiHandle dc = DcWith(4, 3, 24);
  gdi_.FillRect(dc, {0, 0, 4, 3}, 0x777777);
  ASSERT_EQ(gdi_.PrintWindow(window, dc, 0), 1);
  const std::vector<std::vector<ColorValue>> want{{0x302010, 0x302010, 0x302010, 0x777777},
                                                  {0x302010, 0xC0B0A0, 0xC0B0A0, 0x777777},
                                                  {0x777777, 0x777777, 0x777777, 0x777777}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(gdi_.GetPixel(dc, x, y), want[y][x]) << x << "," << y;
  }
  const GdiHandle small = DcWith(1, 1, 32);
  EXPECT_EQ(gdi_.PrintWindow(window, small, 0), 1);
  EXPECT_EQ(gdi_.GetPixel(small, 0, 0), 0x302010u);
}

TEST_F(GdiTest, PrintWindowFailsWithoutAWindowOrAMemoryDc) {
  const WindowHandle window = desktop_.Add({.rect = {0, 0, 2, 2}});
  const WindowHandle unprintable = desktop_.Add({.rect = {0, 0, 2, 2}, .canPrint = false});
  const WindowHandle empty = desktop_.Add({.rect = {5, 5, 5, 9}});
  const GdiHandle dc = DcWith(2, 2, 32);
  EXPECT_EQ(gdi_.PrintWindow(0x7777, dc, 0), 0);
  EXPECT_EQ(gdi_.PrintWindow(unprintable, dc, 0), 0);
  EXPECT_EQ(gdi_.PrintWindow(empty, dc, 0), 0);
  EXPECT_EQ(gdi_.PrintWindow(window, dc, 1), 0) << "client-only drawing is not supported";
  EXPECT_EQ(gdi_.PrintWindow(window, gdi_.GetDC(0), 0), 0);
  EXPECT_EQ(gdi_.PrintWindow(window, 0x7777, 0), 0);
}

}  // namespace
}  // namespace qel
