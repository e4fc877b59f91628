#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/color_table.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "tests/bitmap/test_palettes.h"

namespace qel {
namespace {

using namespace testing_palettes;

struct NamedTable {
  std::string name;
  friend void PrintTo(const NamedTable& c, std::ostream* os) { *os << c.name; }
  std::vector<RgbQuad> table;
};

class PaletteIndexTest : public testing::TestWithParam<NamedTable> {};

// Every 5-bit bin, with low bits that differ from bin to bin: the low three bits of a channel
// must never change the answer.
TEST_P(PaletteIndexTest, EveryBinMatchesTheBruteForceRule) {
  const std::vector<RgbQuad>& table = GetParam().table;
  const ColorTableIndex index(table);
  int mismatches = 0;
  for (ColorValue bin = 0; bin < 32768; ++bin) {
    const ColorValue low = bin * 5 % 8;
    const ColorValue color = ((bin >> 10 & 31) << 3 | low) |
                             ((bin >> 5 & 31) << 3 | (7 - low)) << 8 |
                             ((bin & 31) << 3 | low) << 16;
    if (index.Nearest(color) != NearestByBruteForce(table, color) && ++mismatches <= 5) {
      ADD_FAILURE() << std::hex << "colour 0x" << color << " gave " << int{index.Nearest(color)}
                    << ", expected " << NearestByBruteForce(table, color);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Entries from a fixed scramble: clustered reds with ties on both sides of a bin, duplicates,
// and more entries than an index byte reaches.
std::vector<RgbQuad> ScrambledTable(std::size_t count, unsigned redMask) {
  std::vector<RgbQuad> table;
  unsigned state = 12345;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1103515245 + 12345;
    const unsigned rgb = state >> 8 & 0xFFFFFF;
    table.push_back(Quad((rgb & 0x00FFFF) | (rgb & redMask << 16)));
  }
  return table;
}

INSTANTIATE_TEST_SUITE_P(Tables, PaletteIndexTest,
                         testing::Values(NamedTable{"Entries256", Table256()},
                                         NamedTable{"Entries16", Table16()},
                                         NamedTable{"Entries2", Table2()},
                                         NamedTable{"FewReds", ScrambledTable(200, 0x18)},
                                         NamedTable{"OneRed", ScrambledTable(64, 0)},
                                         NamedTable{"Entries300", ScrambledTable(300, 0xFF)}),
                         [](const auto& info) { return info.param.name; });

struct TieCase {
  std::string name;
  friend void PrintTo(const TieCase& c, std::ostream* os) { *os << c.name; }
  std::vector<RgbQuad> table;
  ColorValue color;
  int expected;
};

class PaletteTieTest : public testing::TestWithParam<TieCase> {};

TEST_P(PaletteTieTest, NearestEntryWithTheLowestIndexOnATie) {
  EXPECT_EQ(ColorTableIndex(GetParam().table).Nearest(GetParam().color), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaletteTieTest,
    testing::Values(
        // Black's bin centre (4, 4, 4) is as far from 000000 as from 080808.
        TieCase{"EquidistantFirstWins", {Quad(0x000000), Quad(0x080808)}, 0x000000, 0},
        TieCase{"EquidistantReversed", {Quad(0x080808), Quad(0x000000)}, 0x000000, 0},
        // (4, 4, 4) lies 4 below the second entry's red and 4 above the first's.
        TieCase{"EquidistantInRedOnly", {Quad(0x000404), Quad(0x080404)}, 0x040404, 0},
        TieCase{"DuplicateEntries", {Quad(0xFFFFFF), Quad(0x102030), Quad(0x102030)}, 0x302010, 1},
        // 808080 is both entry 164 and entry 248 of the 256-entry table.
        TieCase{"GreyOf256Table", Table256(), 0x808080, 164},
        TieCase{"EmptyTable", {}, 0x123456, 0}),
    [](const auto& info) { return info.param.name; });

// A pixel stored in one format and copied into another reads back as if the colour had been
// stored in the first format and that result stored in the second.
class PaletteConversionTest : public testing::TestWithParam<std::tuple<int, int>> {
 protected:
  GdiHandle MakeDc(int bitCount, int width) {
    const GdiHandle dc = gdi_.CreateCompatibleDC(0);
    const GdiHandle dib = gdi_.CreateDIBSection(dc,
                                                {.width = width,
                                                 .height = 1,
                                                 .bitCount = static_cast<std::uint16_t>(bitCount),
                                                 .colors = TableFor(bitCount)},
                                                nullptr);
    gdi_.SelectObject(dc, dib);
    return dc;
  }

  FakeScreen screen_{1, 1};
  FakeDesktop desktop_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
};

TEST_P(PaletteConversionTest, BitBltConvertsThroughBothFormats) {
  const auto [fromBits, toBits] = GetParam();
  const std::vector<ColorValue> colors{0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080,
                                       0x123456, 0xC0DCC0, 0x070707, 0xF8F9FA, 0x3F7FBF, 0xA6CAF0};
  const int width = static_cast<int>(colors.size());
  const GdiHandle from = MakeDc(fromBits, width);
  const GdiHandle to = MakeDc(toBits, width);
  for (int x = 0; x < width; ++x) ASSERT_TRUE(gdi_.SetPixelV(from, x, 0, colors[x]));
  ASSERT_TRUE(gdi_.BitBlt(to, 0, 0, width, 1, from, 0, 0, kSrcCopy));
  for (int x = 0; x < width; ++x) {
    const ColorValue inSource = StoredColor(colors[x], fromBits);
    EXPECT_EQ(gdi_.GetPixel(from, x, 0), inSource) << std::hex << colors[x];
    EXPECT_EQ(gdi_.GetPixel(to, x, 0), StoredColor(inSource, toBits)) << std::hex << colors[x];
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, PaletteConversionTest,
                         testing::Combine(testing::Values(1, 4, 8, 16, 24, 32),
                                          testing::Values(1, 4, 8, 16, 24, 32)),
                         [](const auto& info) {
                           return "From" + std::to_string(std::get<0>(info.param)) + "To" +
                                  std::to_string(std::get<1>(info.param));
                         });

// With the same table the index itself is copied: going through the colour would turn entry
// 248 (808080) into entry 164, which has the same colour but a different value in memory.
TEST(PaletteCopyTest, SameTableKeepsTheIndex) {
  FakeScreen screen{1, 1};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  std::uint8_t* fromBits = nullptr;
  std::uint8_t* toBits = nullptr;
  const DibInfo info{.width = 1, .height = 1, .bitCount = 8, .colors = Table256()};
  const GdiHandle from = gdi.CreateCompatibleDC(0);
  const GdiHandle to = gdi.CreateCompatibleDC(0);
  gdi.SelectObject(from, gdi.CreateDIBSection(0, info, &fromBits));
  gdi.SelectObject(to, gdi.CreateDIBSection(0, info, &toBits));
  fromBits[0] = 248;
  ASSERT_TRUE(gdi.BitBlt(to, 0, 0, 1, 1, from, 0, 0, kSrcCopy));
  EXPECT_EQ(toBits[0], 248);
}

}  // namespace
}  // namespace qel
