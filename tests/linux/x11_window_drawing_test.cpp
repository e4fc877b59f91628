// The program's pixels turned into the image bytes of the visuals a window may have.
#include "platform/linux/x11_window_drawing.h"

#include <gtest/gtest.h>

#include <vector>

namespace qel {
namespace {

TEST(PackXImage, WritesTheLayoutsOfTrueColourVisuals) {
  struct Case {
    const char* name;
    XPixelFormat format;
    std::uint32_t extraBits;
    std::vector<std::uint8_t> bytes;  // of the pixels 0x123456 and 0xFF0080
  };
  const Case cases[] = {
      {"32-bit little-endian",
       {32, false, 0xFF0000, 0xFF00, 0xFF},
       0,
       {0x56, 0x34, 0x12, 0, 0x80, 0, 0xFF, 0}},
      {"32-bit with opaque alpha",
       {32, false, 0xFF0000, 0xFF00, 0xFF},
       0xFF000000u,
       {0x56, 0x34, 0x12, 0xFF, 0x80, 0, 0xFF, 0xFF}},
      {"32-bit big-endian",
       {32, true, 0xFF0000, 0xFF00, 0xFF},
       0,
       {0, 0x12, 0x34, 0x56, 0, 0xFF, 0, 0x80}},
      {"32-bit, red and blue swapped",
       {32, false, 0xFF, 0xFF00, 0xFF0000},
       0,
       {0x12, 0x34, 0x56, 0, 0xFF, 0, 0x80, 0}},
      {"24-bit packed", {24, false, 0xFF0000, 0xFF00, 0xFF}, 0, {0x56, 0x34, 0x12, 0x80, 0, 0xFF}},
  };
  const std::uint32_t pixels[] = {0x123456, 0xFF0080};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // One row of two pixels; the line's padding must stay as it was.
    std::vector<std::uint8_t> line(c.bytes.size() + 3, 0xEE);
    ASSERT_TRUE(PackXImage(c.format, c.extraBits, pixels, 2, 2, 1, line.data(),
                           static_cast<int>(line.size())));
    EXPECT_EQ(std::vector<std::uint8_t>(line.begin(), line.begin() + c.bytes.size()), c.bytes);
    EXPECT_EQ(line.back(), 0xEE);
  }
  std::uint8_t bytes[4] = {};
  EXPECT_FALSE(PackXImage({16, false, 0xF800, 0x07E0, 0x001F}, 0, pixels, 1, 1, 1, bytes, 4))
      << "a 16-bit visual";
}

}  // namespace
}  // namespace qel
