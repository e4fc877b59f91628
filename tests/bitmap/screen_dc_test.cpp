#include <climits>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

// The screen stores 0x00RRGGBB; a ColorValue has red in the low byte.
ColorValue AsColorValue(std::uint32_t rgb) {
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

class ScreenDcTest : public testing::Test {
 protected:
  ScreenDcTest() {
    for (int y = 0; y < screen_.Height(); ++y) {
      for (int x = 0; x < screen_.Width(); ++x) screen_.SetPixel(x, y, ScreenPattern(x, y));
    }
  }

  static std::uint32_t ScreenPattern(int x, int y) {
    return 0x100000u * static_cast<std::uint32_t>(x + 1) +
           0x1000u * static_cast<std::uint32_t>(y + 1) + 0x42;
  }

  GdiHandle DcWith(int width, int height, int bitCount, std::uint8_t** bits = nullptr) {
    const GdiHandle dc = gdi_.CreateCompatibleDC(screenDc_);
    gdi_.SelectObject(dc, gdi_.CreateDIBSection(screenDc_,
                                                {.width = width,
                                                 .height = height,
                                                 .bitCount = static_cast<std::uint16_t>(bitCount),
                                                 .colors = testing_palettes::TableFor(bitCount)},
                                                bits));
    return dc;
  }

  FakeScreen screen_{8, 6};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  GdiHandle screenDc_ = gdi_.GetDC(0);
};

struct Capture {
  std::string name;
  friend void PrintTo(const Capture& c, std::ostream* os) { *os << c.name; }
  int left, top;
};

class ScreenCaptureTest : public ScreenDcTest, public testing::WithParamInterface<Capture> {};

// The screen is never asked for pixels it does not have (the fake refuses them); what lies off
// the screen comes out black, over whatever the image held, in either row order.
TEST_P(ScreenCaptureTest, OffScreenPartsComeOutBlack) {
  const auto [name, left, top] = GetParam();
  for (const int height : {3, -3}) {
    const GdiHandle dc = DcWith(4, height, 32);
    gdi_.FillRect(dc, {0, 0, 4, 3}, 0x777777);
    ASSERT_TRUE(gdi_.BitBlt(dc, 0, 0, 4, 3, screenDc_, left, top, kSrcCopy));
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) {
        const long long sx = static_cast<long long>(left) + x;
        const long long sy = static_cast<long long>(top) + y;
        const bool onScreen = sx >= 0 && sx < 8 && sy >= 0 && sy < 6;
        EXPECT_EQ(
            gdi_.GetPixel(dc, x, y),
            onScreen ? AsColorValue(ScreenPattern(static_cast<int>(sx), static_cast<int>(sy))) : 0u)
            << x << "," << y << (height < 0 ? " top-down" : " bottom-up");
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScreenCaptureTest,
    testing::Values(Capture{"Inside", 2, 1}, Capture{"TopLeftCorner", 0, 0},
                    Capture{"BottomRightCorner", 4, 3}, Capture{"LeftOfScreen", -2, 0},
                    Capture{"AboveScreen", 1, -2}, Capture{"PastRightAndBottom", 6, 5},
                    Capture{"EntirelyOff", 100, -100}, Capture{"ExtremeOrigin", INT_MAX, INT_MIN}),
    [](const auto& info) { return info.param.name; });

// The sampling path: one pixel into a 24-bit bottom-up DIB is blue, green, red and a pad byte.
TEST_F(ScreenDcTest, OnePixelCaptureAtTwentyFourBits) {
  std::uint8_t* bits = nullptr;
  const GdiHandle dc = DcWith(1, 1, 24, &bits);
  bits[3] = 0x99;
  ASSERT_TRUE(gdi_.BitBlt(dc, 0, 0, 1, 1, screenDc_, 5, 2, kSrcCopy));
  ASSERT_TRUE(gdi_.GdiFlush());
  const std::uint32_t rgb = ScreenPattern(5, 2);
  EXPECT_EQ(bits[0], rgb & 0xFF);
  EXPECT_EQ(bits[1], rgb >> 8 & 0xFF);
  EXPECT_EQ(bits[2], rgb >> 16 & 0xFF);
  EXPECT_EQ(bits[3], 0x99);
  EXPECT_EQ(gdi_.GetPixel(dc, 0, 0), AsColorValue(rgb));
}

TEST_F(ScreenDcTest, CaptureConvertsToPaletteFormats) {
  screen_.SetPixel(0, 0, 0xC0DCC0);
  screen_.SetPixel(1, 0, 0x808080);
  for (int bitCount : {1, 4, 8, 16}) {
    const GdiHandle dc = DcWith(2, 1, bitCount);
    ASSERT_TRUE(gdi_.BitBlt(dc, 0, 0, 2, 1, screenDc_, 0, 0, kSrcCopy));
    for (int x = 0; x < 2; ++x) {
      const ColorValue color = AsColorValue(screen_.Pixel(x, 0));
      EXPECT_EQ(gdi_.GetPixel(dc, x, 0), testing_palettes::StoredColor(color, bitCount))
          << bitCount << " bits, x " << x;
    }
  }
}

TEST_F(ScreenDcTest, GetPixelReadsTheScreenInsideOnly) {
  EXPECT_EQ(gdi_.GetPixel(screenDc_, 7, 5), AsColorValue(ScreenPattern(7, 5)));
  EXPECT_EQ(gdi_.GetPixel(screenDc_, 8, 0), kClrInvalid);
  EXPECT_EQ(gdi_.GetPixel(screenDc_, 0, -1), kClrInvalid);
}

TEST_F(ScreenDcTest, UnreadableScreenFailsTheCopy) {
  screen_.failing = true;
  const GdiHandle dc = DcWith(2, 2, 32);
  EXPECT_FALSE(gdi_.BitBlt(dc, 0, 0, 2, 2, screenDc_, 0, 0, kSrcCopy));
  EXPECT_EQ(gdi_.GetPixel(screenDc_, 0, 0), kClrInvalid);
}

}  // namespace
}  // namespace qel
