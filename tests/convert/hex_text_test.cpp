#include "convert/hex_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include <ostream>

#include "convert/text_helpers.h"

namespace qel {
namespace {

struct ParseCase {
  const char* name;
  friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  std::int64_t expected;
};

class ParseHexTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseHexTextTest, ReadsTheLastSixteenHexDigits) {
  EXPECT_EQ(ParseHexText(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseHexTextTest,
    testing::Values(
        ParseCase{"hash_colour", "#FFF00F", 16773135}, ParseCase{"bare_colour", "FFF00F", 16773135},
        ParseCase{"lower_case", "fff00f", 16773135}, ParseCase{"mixed_case", "aBcDeF", 0xABCDEF},
        ParseCase{"eight_digits", "#12345678", 305419896},
        ParseCase{"nine_digits_fill_the_high_half", "100000000", 4294967296},
        ParseCase{"sixteen_f_is_minus_one", std::string(16, 'F'), -1},
        ParseCase{"top_bit_only", "8000000000000000", std::numeric_limits<std::int64_t>::min()},
        ParseCase{"largest", "7FFFFFFFFFFFFFFF", std::numeric_limits<std::int64_t>::max()},
        ParseCase{"seventeenth_digit_dropped", ConcatTexts({"1", std::string(16, '0')}), 0},
        ParseCase{"only_last_sixteen_count", "123456789ABCDEF01", 0x23456789ABCDEF01},
        ParseCase{"space_separator", "F F", 255}, ParseCase{"x_of_0x_skipped", "0x1F", 31},
        ParseCase{"letters_beyond_f_skipped", "G#12z", 0x12}, ParseCase{"empty", "", 0},
        ParseCase{"lone_hash", "#", 0}, ParseCase{"no_digit", "xyz!?", 0},
        ParseCase{"high_bytes_only", "\xFF\x80\xC0", 0},
        // A GBK character's trail byte counts when it happens to be a digit's code.
        ParseCase{"trail_byte_as_digit", "\x81\x41", 0xA},
        ParseCase{"trail_byte_lower_digit", "#\x95\x66\x31", 0xF1},
        // Full-width digits are not hexadecimal digits here: neither byte is one.
        ParseCase{"full_width_digit_ignored", "\xA3\xB1\xA3\xC6", 0},
        ParseCase{"long_junk_then_digits", std::string(100000, 'z') + "FF", 255},
        ParseCase{"long_digits", std::string(100000, 'F'), -1},
        ParseCase{"long_no_digit", std::string(100000, '#'), 0}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

// Heap buffers of exactly the text's size let a sanitizer build catch a read before or after it.
TEST(ParseHexTextBounds, NeverReadsOutsideTheText) {
  for (const std::string_view text : {"F", "#", "#FF", "FFFFFFFFFFFFFFFFF"}) {
    const auto buffer = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buffer.get());
    EXPECT_EQ(ParseHexText(std::string_view(buffer.get(), text.size())), ParseHexText(text));
  }
}

struct Hex32Case {
  std::uint32_t value;
  const char* expected;
  friend void PrintTo(const Hex32Case& c, std::ostream* os) { *os << c.value; }
};

class FormatHex32Test : public testing::TestWithParam<Hex32Case> {};

TEST_P(FormatHex32Test, KeepsEightDigits) {
  EXPECT_EQ(FormatHex32(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatHex32Test,
                         testing::Values(Hex32Case{0, "00000000"},
                                         Hex32Case{3735928559, "DEADBEEF"},
                                         Hex32Case{0x0A0B0C0D, "0A0B0C0D"},
                                         Hex32Case{0xFFFFFFFF, "FFFFFFFF"}));

struct Hex64Case {
  std::int64_t value;
  std::string expected;
  friend void PrintTo(const Hex64Case& c, std::ostream* os) { *os << c.value; }
};

class FormatHex64Test : public testing::TestWithParam<Hex64Case> {};

TEST_P(FormatHex64Test, DropsLeadingZerosOnly) {
  EXPECT_EQ(FormatHex64(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatHex64Test,
    testing::Values(Hex64Case{0, ""}, Hex64Case{15, "F"}, Hex64Case{255, "FF"},
                    Hex64Case{0x100, "100"}, Hex64Case{4294967296, "100000000"},
                    Hex64Case{0x1000000000000, "1000000000000"},
                    Hex64Case{-1, std::string(16, 'F')}, Hex64Case{-256, "FFFFFFFFFFFFFF00"},
                    Hex64Case{std::numeric_limits<std::int64_t>::min(), "8000000000000000"}));

struct HexShortCase {
  std::uint32_t value;
  const char* expected;
  friend void PrintTo(const HexShortCase& c, std::ostream* os) { *os << c.value; }
};

class FormatHexShortTest : public testing::TestWithParam<HexShortCase> {};

TEST_P(FormatHexShortTest, PrintsLikePercentX) {
  EXPECT_EQ(FormatHexShort(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatHexShortTest,
                         testing::Values(HexShortCase{0, "0"}, HexShortCase{255, "FF"},
                                         HexShortCase{0x10, "10"},
                                         HexShortCase{0x50B373A, "50B373A"},
                                         HexShortCase{0x80000000, "80000000"},
                                         HexShortCase{static_cast<std::uint32_t>(-1), "FFFFFFFF"}));

// The text helpers have no test file of their own; they sit beside the codecs they serve.
struct CompareCase {
  const char* name;
  friend void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }
  std::string left;
  std::string right;
  int expected;
};

class CompareTextsTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareTextsTest, OrdersByUnsignedBytes) {
  const CompareCase& c = GetParam();
  EXPECT_EQ(CompareTexts(c.left, c.right), c.expected);
  EXPECT_EQ(CompareTexts(c.right, c.left), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CompareTextsTest,
                         testing::Values(CompareCase{"both_empty", "", "", 0},
                                         CompareCase{"equal", "#FF", "#FF", 0},
                                         CompareCase{"spaces_are_not_empty", "  ", "", 1},
                                         CompareCase{"first_difference_decides", "ab", "b", -1},
                                         CompareCase{"prefix_is_smaller", "ab", "abc", -1},
                                         CompareCase{"lead_byte_after_ascii", "\x80", "\x7F", 1},
                                         CompareCase{"gbk_texts", "\xB0\xA1", "\xB0\xA2", -1}),
                         [](const testing::TestParamInfo<CompareCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(TextHelpers, ConcatKeepsArgumentOrder) {
  EXPECT_EQ(ConcatTexts({}), "");
  EXPECT_EQ(ConcatTexts({"#", "", "FF", "00"}), "#FF00");
}

}  // namespace
}  // namespace qel
