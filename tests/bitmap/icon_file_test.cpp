#include "bitmap/icon_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/bitmap/bmp_sample_files.h"

namespace qel {
namespace {

using bmp_samples::DataPath;
using bmp_samples::ReadBytes;
using bmp_samples::ReadReference;

// Decodes no PNG itself: it notes the bytes it was given and answers with a set image.
class RecordingImages final : public ImageServices {
 public:
  std::vector<std::vector<std::uint8_t>> pngCalls;
  std::optional<ArgbImage> answer = ArgbImage{2, 1, {0xFF102030, 0x00405060}};

  bool SetClipboardImage(const ArgbImage&) override { return false; }
  bool SetClipboardText(std::string_view) override { return false; }
  std::optional<ArgbImage> ClipboardImage() override { return std::nullopt; }
  std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t> bytes) override {
    pngCalls.emplace_back(bytes.begin(), bytes.end());
    return answer;
  }
  std::optional<TextCoverage> RenderText(const FontRequest&, std::string_view) override {
    return std::nullopt;
  }
};

std::uint32_t Field32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t at,
                                  std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

// multi.ico: 0 is 16 x 16 at 4 bits, 1-3 are 32 x 32 at 4, 8 and 32 bits, 4 is 48 x 48 at 8 bits.
// Each image is compared with what ImageMagick reads from it, alpha included.
TEST(IconFileTest, PicksTheNearestSizeThenTheDeepestImage) {
  struct Case {
    int width, height, entry;
  };
  const std::vector<std::uint8_t> file = ReadBytes(DataPath("ico/multi.ico"));
  ASSERT_FALSE(file.empty());
  for (const Case c :
       {Case{16, 16, 0}, Case{20, 20, 0}, Case{32, 32, 3}, Case{0, 0, 3}, Case{24, 24, 3},
        Case{40, 40, 3}, Case{16, 48, 3}, Case{48, 48, 4}, Case{256, 256, 4}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const bmp_samples::Reference expected =
        ReadReference(DataPath("ico/expected/multi_") + std::to_string(c.entry) + ".pam");
    ASSERT_GT(expected.width, 0);
    RecordingImages images;
    const std::optional<ArgbImage> image = ReadIconFile(file, c.width, c.height, images);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, expected.width);
    EXPECT_EQ(image->height, expected.height);
    EXPECT_EQ(image->pixels, expected.pixels);
    EXPECT_TRUE(images.pngCalls.empty());
  }
}

// Read from a file, an icon needs its directory, then every image the directory places.
TEST(IconFileTest, TheDirectorySaysHowManyOfTheFilesBytesItsImagesNeed) {
  const std::vector<std::uint8_t> file = ReadBytes(DataPath("ico/multi.ico"));
  ASSERT_EQ(Field32(file, 6 + 4 * 16 + 12) + Field32(file, 6 + 4 * 16 + 8), file.size())
      << "the last image ends the file";
  const std::span<const std::uint8_t> bytes(file);
  EXPECT_EQ(IconFileBytesNeeded(bytes.first(3)), std::optional<std::int64_t>(6));
  EXPECT_EQ(IconFileBytesNeeded(bytes.first(6)), std::optional<std::int64_t>(6 + 5 * 16));
  EXPECT_EQ(IconFileBytesNeeded(bytes.first(6 + 5 * 16)), std::optional<std::int64_t>(file.size()));
  EXPECT_EQ(IconFileBytesNeeded(Patched(file, 6 + 16 + 12, 0xFFFFFFF0, 4)),
            std::optional<std::int64_t>(std::int64_t{0xFFFFFFF0} + Field32(file, 6 + 16 + 8)));
  EXPECT_FALSE(IconFileBytesNeeded(Patched(file, 2, 2, 2))) << "a cursor file";
}

TEST(IconFileTest, ATransparentColourImageTakesItsAlphaFromTheMask) {
  const std::vector<std::uint8_t> file = ReadBytes(DataPath("ico/mask_alpha.ico"));
  const bmp_samples::Reference expected = ReadReference(DataPath("ico/expected/mask_alpha_0.pam"));
  RecordingImages images;
  const std::optional<ArgbImage> image = ReadIconFile(file, 16, 16, images);
  ASSERT_TRUE(image);
  ASSERT_GT(expected.width, 0);
  EXPECT_EQ(image->pixels, expected.pixels);
}

// png.ico: 32 x 32 at 32 bits, then 256 x 256 as PNG.
TEST(IconFileTest, APngImageIsDecodedByThePlatform) {
  const std::vector<std::uint8_t> file = ReadBytes(DataPath("ico/png.ico"));
  ASSERT_GE(file.size(), 38u);
  const std::size_t pngOffset = Field32(file, 6 + 16 + 12);
  const std::vector<std::uint8_t> png(file.begin() + pngOffset,
                                      file.begin() + pngOffset + Field32(file, 6 + 16 + 8));

  RecordingImages images;
  const std::optional<ArgbImage> image = ReadIconFile(file, 200, 200, images);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, images.answer->pixels);
  ASSERT_EQ(images.pngCalls.size(), 1u);
  EXPECT_EQ(images.pngCalls[0], png);

  const std::optional<ArgbImage> small = ReadIconFile(file, 0, 0, images);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->width, 32);
  EXPECT_EQ(images.pngCalls.size(), 1u);

  images.answer = std::nullopt;
  EXPECT_FALSE(ReadIconFile(file, 256, 256, images));
  images.answer = ArgbImage{2, 2, {0, 0, 0}};
  EXPECT_FALSE(ReadIconFile(file, 256, 256, images)) << "fewer pixels than its size";
}

TEST(IconFileTest, RefusesDamagedFiles) {
  const std::vector<std::uint8_t> file = ReadBytes(DataPath("ico/multi.ico"));
  ASSERT_GE(file.size(), 86u);
  constexpr std::size_t kEntry0 = 6;
  constexpr std::size_t kEntry3 = 6 + 3 * 16;
  const std::size_t image0 = Field32(file, kEntry0 + 12);
  const std::size_t image3 = Field32(file, kEntry3 + 12);
  std::vector<std::uint8_t> noEntryInside = file;
  for (std::size_t entry = 0; entry < 5; ++entry) {
    noEntryInside = Patched(noEntryInside, 6 + entry * 16 + 12, 0xFFFFFF00, 4);
  }
  struct Case {
    const char* what;
    std::vector<std::uint8_t> file;
    int width = 32;
    int height = 32;
  };
  const Case cases[] = {
      {"empty", {}},
      {"directory cut short", {file.begin(), file.begin() + 5}},
      {"entries cut short", {file.begin(), file.begin() + 40}},
      {"a cursor", Patched(file, 2, 2, 2)},
      {"reserved field set", Patched(file, 0, 1, 2)},
      {"no entries", Patched(file, 4, 0, 2)},
      {"more entries than the file holds", Patched(file, 4, 0xFFFF, 2)},
      {"no entry inside the file", noEntryInside},
      {"the chosen image cut short", Patched(file, kEntry3 + 8, 100, 4)},
      {"the chosen image's mask missing", Patched(file, kEntry0 + 8, 296 - 64, 4), 16, 16},
      {"the chosen image top-down", Patched(file, image0 + 8, static_cast<std::uint32_t>(-32), 4),
       16, 16},
      {"the chosen image at 7 bits", Patched(file, image3 + 14, 7, 2)},
      {"the chosen image RLE-compressed", Patched(file, image0 + 16, 2, 4), 16, 16},
      {"a negative size", file, -16, 16},
  };
  for (const Case& c : cases) {
    RecordingImages images;
    EXPECT_FALSE(ReadIconFile(c.file, c.width, c.height, images)) << c.what;
  }
}

}  // namespace
}  // namespace qel
