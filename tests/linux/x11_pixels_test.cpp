// The X server's pixel layouts turned into 0x00RRGGBB.
#include "platform/linux/x11_pixels.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qel {
namespace {

TEST(ConvertXRow, ReadsTheLayoutsServersUse) {
  struct Case {
    const char* name;
    XPixelFormat format;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> pixels;
  };
  const Case cases[] = {
      {"32-bit little-endian, padding byte ignored",
       {32, false, 0xFF0000, 0xFF00, 0xFF},
       {0x56, 0x34, 0x12, 0xAB, 0xFF, 0x00, 0x80, 0x00},
       {0x123456, 0x8000FF}},
      {"32-bit big-endian",
       {32, true, 0xFF0000, 0xFF00, 0xFF},
       {0x00, 0x12, 0x34, 0x56},
       {0x123456}},
      {"24-bit packed",
       {24, false, 0xFF0000, 0xFF00, 0xFF},
       {3, 2, 1, 6, 5, 4},
       {0x010203, 0x040506}},
      {"32-bit with red and blue swapped",
       {32, false, 0xFF, 0xFF00, 0xFF0000},
       {0x56, 0x34, 0x12, 0x00},
       {0x563412}},
      {"16-bit 5-6-5 stretches full scale to 255",
       {16, false, 0xF800, 0x07E0, 0x001F},
       {0xFF, 0xFF, 0x00, 0x00, 0x1F, 0x00, 0x00, 0xF8},
       {0xFFFFFF, 0x000000, 0x0000FF, 0xFF0000}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint32_t> out(c.pixels.size(), 0xDEADBEEF);
    ASSERT_TRUE(ConvertXRow(c.format, c.bytes.data(), static_cast<int>(out.size()), out.data()))
        << c.name;
    EXPECT_EQ(out, c.pixels) << c.name;
  }
}

TEST(ConvertXImage, KeepsEachSidesRowSpacing) {
  // Two rows of two 24-bit pixels, each row padded to 8 bytes; written four pixels apart.
  const std::uint8_t bytes[16] = {1, 0, 0, 2, 0, 0, 0xEE, 0xEE, 3, 0, 0, 4, 0, 0, 0xEE, 0xEE};
  std::vector<std::uint32_t> out(8, 0xDEADBEEF);
  ASSERT_TRUE(ConvertXImage({24, false, 0xFF0000, 0xFF00, 0xFF}, bytes, 8, 2, 2, out.data(), 4));
  EXPECT_EQ(out, (std::vector<std::uint32_t>{1, 2, 0xDEADBEEF, 0xDEADBEEF, 3, 4, 0xDEADBEEF,
                                             0xDEADBEEF}));
}

TEST(ConvertXRow, RefusesLayoutsItDoesNotKnow) {
  const std::uint8_t bytes[8] = {};
  std::uint32_t out[2] = {};
  for (int bits : {1, 4, 8, 12, 64}) {
    EXPECT_FALSE(ConvertXRow({bits, false, 0xFF0000, 0xFF00, 0xFF}, bytes, 2, out)) << bits;
  }
}

// A capture at the screen's depth must be at a depth a DIB has, whatever the server's visual.
TEST(DibDepthOfVisual, GivesADepthADibHas) {
  for (const auto& [visual, dib] :
       {std::pair{1, 1}, std::pair{4, 4}, std::pair{8, 8}, std::pair{15, 16}, std::pair{16, 16},
        std::pair{24, 32}, std::pair{30, 32}, std::pair{32, 32}}) {
    EXPECT_EQ(DibDepthOfVisual(visual), dib) << visual;
  }
}

}  // namespace
}  // namespace qel
