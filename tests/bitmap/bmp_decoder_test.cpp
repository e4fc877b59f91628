#include "bitmap/bmp_decoder.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bmp_dib.h"
#include "bitmap/decode_limit.h"
#include "bitmap/icon_file.h"
#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/bmp_sample_files.h"

namespace qel {
namespace {

using bmp_samples::DataPath;
using bmp_samples::ReadBytes;
using bmp_samples::ReadReference;

struct Sample {
  const char* name;
  const char* what;
};

// Every file decodes to exactly the pixels ImageMagick reads from it, into top-down and bottom-up
// targets alike.
TEST(BmpDecoderTest, DecodesWhatImageMagickReads) {
  const Sample samples[] = {
      {"bmp2_1", "core header, 1 bit, 3-byte table entries"},
      {"bmp2_8", "core header, 8 bits"},
      {"bmp2_24", "core header, 24 bits"},
      {"bmp3_1", "1 bit, width 7"},
      {"bmp3_4", "4 bits, width 7"},
      {"bmp3_8", "8 bits"},
      {"bmp3_24", "24 bits"},
      {"bmp3_rle8", "RLE8"},
      {"bmp5_rle8", "RLE8 after a V5 header"},
      {"bmp5_24", "V5 header"},
      {"bmp5_555", "16-bit 5-5-5 bit fields"},
      {"bmp5_565", "16-bit 5-6-5 bit fields"},
      {"bmp5_argb", "32-bit bit fields with alpha"},
      {"v4_24", "V4 header"},
      {"v4_argb", "V4 header, 32-bit bit fields"},
      {"v3_argb", "V3 header, 32-bit bit fields"},
      {"v2_565", "V2 header, 5-6-5 bit fields"},
      {"info_bitfields_565", "masks after a 40-byte header"},
      {"rgb16", "16-bit BI_RGB is 5-5-5"},
      {"rgb32", "32-bit BI_RGB, the fourth byte dropped"},
      {"rle4_delta", "RLE4: two-colour and absolute runs, a delta"},
      {"rle8_delta", "RLE8: absolute runs, a delta"},
      {"topdown_24", "top-down rows"},
      {"topdown_565", "top-down bit fields"},
      {"short_table_8", "colour table shorter than 256"},
      {"gap_before_rows", "the file header's offset to the rows"},
  };
  for (const Sample& sample : samples) {
    SCOPED_TRACE(std::string(sample.name) + ": " + sample.what);
    const std::vector<std::uint8_t> file = ReadBytes(DataPath("bmp/") + sample.name + ".bmp");
    const bmp_samples::Reference expected =
        ReadReference(DataPath("bmp/expected/") + sample.name + ".ppm");
    ASSERT_FALSE(file.empty());
    ASSERT_GT(expected.width, 0);

    const std::optional<BmpDimensions> size = ReadBmpDimensions(file);
    ASSERT_TRUE(size);
    ASSERT_EQ(size->width, expected.width);
    ASSERT_EQ(size->height, expected.height);

    std::vector<std::uint32_t> topDown(expected.pixels.size(), 0xDEADBEEF);
    ASSERT_TRUE(DecodeBmp(file, topDown.data(), size->width));
    EXPECT_EQ(topDown, expected.pixels);

    std::vector<std::uint32_t> bottomUp(expected.pixels.size(), 0xDEADBEEF);
    const std::ptrdiff_t lastRow = std::ptrdiff_t{size->width} * (size->height - 1);
    ASSERT_TRUE(DecodeBmp(file, bottomUp.data() + lastRow, -size->width));
    for (int y = 0; y < size->height; ++y) {
      const auto row = bottomUp.begin() + std::ptrdiff_t{size->width} * (size->height - 1 - y);
      EXPECT_TRUE(std::equal(row, row + size->width,
                             expected.pixels.begin() + std::ptrdiff_t{size->width} * y))
          << "row " << y;
    }
  }
}

// A file with a 40-byte header; the masks, when given, come after it.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bitCount, std::uint32_t compression,
                                  std::vector<std::uint32_t> table,
                                  std::vector<std::uint8_t> rows) {
  std::vector<std::uint8_t> file{'B', 'M'};
  const auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      file.push_back(i < 4 ? static_cast<std::uint8_t>(value >> (8 * i)) : std::uint8_t{0});
    }
  };
  const auto offBits = static_cast<std::uint32_t>(14 + 40 + 4 * table.size());
  put(offBits + static_cast<std::uint32_t>(rows.size()), 4);
  put(0, 4);
  put(offBits, 4);
  for (const std::uint32_t field :
       {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
    put(field, 4);
  }
  put(1, 2);
  put(static_cast<std::uint32_t>(bitCount), 2);
  put(compression, 4);
  put(static_cast<std::uint32_t>(rows.size()), 4);
  put(0, 8);
  put(compression == 3 ? 0 : static_cast<std::uint32_t>(table.size()), 4);
  put(0, 4);
  for (const std::uint32_t entry : table) put(entry, 4);
  file.insert(file.end(), rows.begin(), rows.end());
  return file;
}

// What GDI does that a sample from ImageMagick cannot show.
TEST(BmpDecoderTest, FollowsTheGdiRules) {
  struct Case {
    const char* rule;
    std::vector<std::uint8_t> file;
    std::vector<std::uint32_t> expected;  // top row first
  };
  const Case cases[] = {
      {"an index past a short colour table reads as black",
       MakeBmp(3, 1, 8, 0, {0xFF0000, 0x00FF00}, {0, 1, 5, 0}),
       {0xFF0000, 0x00FF00, 0}},
      {"16-bit BI_RGB widens five bits as (c << 3) | (c >> 2)",
       MakeBmp(3, 1, 16, 0, {}, {0xFF, 0x7F, 0x21, 0x04, 0x10, 0x42, 0, 0}),
       {0xFFFFFF, 0x080808, 0x848484}},
      {"six bits of green widen the same way",
       MakeBmp(3, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x20, 0, 0x00, 0xF8, 0, 0}),
       {0x00FF00, 0x000400, 0xFF0000}},
      {"ten-bit masks keep their top eight bits",
       MakeBmp(1, 1, 32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF}, {0x01, 0x00, 0xF8, 0x3F}),
       {0xFF8000}},
      {"the fourth byte of a 32-bit pixel is dropped",
       MakeBmp(1, 1, 32, 0, {}, {0x56, 0x34, 0x12, 0x80}),
       {0x123456}},
      {"pixels an RLE image never sets are black, whatever entry 0 is",
       MakeBmp(4, 2, 8, 1, {0xFFFFFF, 0xFF0000}, {2, 1, 0, 0, 0, 1}),
       {0, 0, 0, 0, 0xFF0000, 0xFF0000, 0, 0}},
      {"an RLE4 run alternates its two colours; the stream may end once every row is done",
       MakeBmp(5, 1, 4, 2, {0, 0xFF0000, 0x00FF00}, {5, 0x12, 0, 0}),
       {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const std::optional<BmpDimensions> size = ReadBmpDimensions(c.file);
    ASSERT_TRUE(size);
    std::vector<std::uint32_t> pixels(c.expected.size(), 0xDEADBEEF);
    ASSERT_TRUE(DecodeBmp(c.file, pixels.data(), size->width));
    EXPECT_EQ(pixels, c.expected);
  }
}

// Sets the decode limit for one test and puts the one before back.
class DecodeLimitForTest {
 public:
  explicit DecodeLimitForTest(std::int64_t bytes) { SetDecodeLimitBytes(bytes); }
  ~DecodeLimitForTest() { SetDecodeLimitBytes(before_); }

 private:
  std::int64_t before_ = DecodeLimitBytes();
};

// An RLE stream's size says nothing of its image's: a file of a thousand bytes may declare
// gigabytes, and the decode limit refuses it before any room is made.
TEST(BmpDecoderTest, RefusesImagesOverTheDecodeLimitWhereverTheyAreRead) {
  EXPECT_EQ(DecodeLimitBytes(), kDefaultDecodeLimitBytes);
  const std::vector<std::uint8_t> hostile =
      ReadBytes(DataPath("fuzz/seeds/rle8-16000x16000-ends-at-once.bmp"));
  ASSERT_EQ(hostile.size(), 1080u);
  FakeScreen screen{4, 4, 32};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  ScreenBitmap bitmap({gdi, screen, desktop});
  EXPECT_FALSE(ReadBmpDimensions(hostile));
  EXPECT_FALSE(bitmap.LoadBmpBytesViaFile(hostile));

  struct Case {
    int width, height;
    bool taken;
  };
  for (const Case c : {Case{8192, 8192, true}, Case{8192, 8193, false}, Case{1, 1 << 26, true},
                       Case{2, 1 << 26, false}, Case{16000, 16000, false}}) {
    EXPECT_EQ(ReadBmpDimensions(MakeBmp(c.width, c.height, 8, 1, {0}, {0, 1})).has_value(), c.taken)
        << c.width << " x " << c.height;
  }
  const DecodeLimitForTest limit(64);
  EXPECT_TRUE(bitmap.LoadBmpBytesViaFile(MakeBmp(4, 4, 8, 1, {0}, {0, 1})));
  EXPECT_FALSE(bitmap.LoadBmpBytesViaFile(MakeBmp(4, 5, 8, 1, {0}, {0, 1})));
  const std::vector<std::uint8_t> overLimit = MakeBmp(5, 4, 24, 0, {}, {});
  EXPECT_FALSE(ReadDibFormat(std::span(overLimit).subspan(14), false)) << "icons read it too";
}

// How far a file must be read: the rows' end, or for RLE the longest stream that still draws.
TEST(BmpDecoderTest, AFilesHeadersSayHowManyOfItsBytesTheImageNeeds) {
  const std::vector<std::uint8_t> plain = MakeBmp(3, 2, 24, 0, {}, std::vector<std::uint8_t>(24));
  EXPECT_EQ(BmpFileBytesNeeded(plain), std::optional<std::int64_t>(14 + 40 + 24));
  EXPECT_EQ(BmpFileBytesNeeded(std::span(plain).first(14 + 40)),
            std::optional<std::int64_t>(14 + 40 + 24))
      << "the headers alone say it";
  // 2 bytes a pixel of the rows padded to 4 pixels, 2 a row and 2 to end, or the header's size.
  EXPECT_EQ(BmpFileBytesNeeded(MakeBmp(3, 2, 8, 1, {0}, {0, 1})),
            std::optional<std::int64_t>(14 + 40 + 4 + 2 * 5 * 2 + 2));
  EXPECT_EQ(BmpFileBytesNeeded(MakeBmp(3, 2, 8, 1, {0}, std::vector<std::uint8_t>(100))),
            std::optional<std::int64_t>(14 + 40 + 4 + 100));
  std::vector<std::uint8_t> notBmp = plain;
  notBmp[0] = 'X';
  EXPECT_FALSE(BmpFileBytesNeeded(notBmp));
  EXPECT_FALSE(BmpFileBytesNeeded(std::span(plain).first(30)));
}

// As the GDI, images of 2 GiB of 32-bit pixels or more are refused, with the decode limit lifted.
TEST(BmpDecoderTest, TakesImagesUnder2GibOfPixels) {
  const DecodeLimitForTest noLimit(0);
  EXPECT_TRUE(ReadBmpDimensions(MakeBmp(32767, 16384, 8, 1, {0}, {0, 1})));
  EXPECT_FALSE(ReadBmpDimensions(MakeBmp(32768, 16384, 8, 1, {0}, {0, 1})));
  EXPECT_FALSE(ReadBmpDimensions(MakeBmp(16384, 32768, 4, 2, {0}, {0, 1})));
}

std::vector<std::filesystem::path> FilesIn(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(DataPath(folder))) {
    if (entry.is_regular_file() && entry.path().filename() != "README.md") {
      files.push_back(entry.path());
    }
  }
  return files;
}

// Read from a file, every sample loads as its bytes do: the reading stops no earlier than the
// image does, whatever its writer put in the headers.
TEST(BmpDecoderTest, EverySampleLoadsFromItsFileAsFromItsBytes) {
  FakeScreen screen{4, 4, 32};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  ScreenBitmap fromFile({gdi, screen, desktop});
  ScreenBitmap fromBytes({gdi, screen, desktop});
  const std::vector<std::filesystem::path> files = FilesIn("bmp");
  EXPECT_GE(files.size(), 20u);
  for (const auto& path : files) {
    if (path.extension() != ".bmp") continue;
    SCOPED_TRACE(path.filename().string());
    ASSERT_TRUE(fromBytes.LoadBmpBytesViaFile(ReadBytes(path.string())));
    ASSERT_TRUE(fromFile.LoadBmpFile(path.string()));
    EXPECT_EQ(fromFile.FileBytes(), fromBytes.FileBytes());
  }
}

// Whatever is wrong with a file, decoding it says so, and RLE damage is the only kind the headers
// cannot show.
TEST(BmpDecoderTest, RefusesMalformedFiles) {
  const std::vector<std::filesystem::path> files = FilesIn("bmp/malformed");
  EXPECT_GE(files.size(), 44u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const std::vector<std::uint8_t> file = ReadBytes(path.string());
    const std::optional<BmpDimensions> size = ReadBmpDimensions(file);
    EXPECT_EQ(size.has_value(), path.filename().string().starts_with("rle"));
    std::vector<std::uint32_t> pixels(size ? std::size_t(size->width) * size->height : 1);
    EXPECT_FALSE(DecodeBmp(file, pixels.data(), size ? size->width : 1));
  }
}

// Inputs the fuzzer once crashed on, through every reader it runs them through.
TEST(BmpDecoderTest, FuzzRegressionsAreRefusedCleanly) {
  for (const auto& path : FilesIn("fuzz/regressions")) {
    SCOPED_TRACE(path.filename().string());
    const std::vector<std::uint8_t> file = ReadBytes(path.string());
    ASSERT_FALSE(file.empty());
    const std::optional<BmpDimensions> size = ReadBmpDimensions(file);
    std::vector<std::uint32_t> pixels(size ? std::size_t(size->width) * size->height : 1);
    EXPECT_FALSE(DecodeBmp(file, pixels.data(), size ? size->width : 1));
    FakeImageServices images;
    EXPECT_FALSE(ReadIconFile(file, 0, 0, images));
    FakeScreen screen{4, 4, 32};
    FakeDesktop desktop;
    SoftwareGdi gdi{screen, desktop, images};
    ScreenBitmap bitmap({gdi, screen, desktop});
    EXPECT_FALSE(bitmap.LoadBmpBytes(file));
    EXPECT_FALSE(bitmap.LoadBmpBytesViaFile(file));
  }
}

}  // namespace
}  // namespace qel
