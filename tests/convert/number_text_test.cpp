#include "convert/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include <ostream>

namespace qel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

struct ReadCase {
  const char* name;
  friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
  std::string text;
  double expected;
};

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsTheLeadingDecimalNumber) {
  const ReadCase& c = GetParam();
  const double value = ReadNumber(c.text);
  EXPECT_EQ(value, c.expected);
  EXPECT_EQ(std::signbit(value), std::signbit(c.expected));
}

// Full-width forms in GBK: lead 0xA3, trail = ASCII | 0x80.
INSTANTIATE_TEST_SUITE_P(
    Table, ReadNumberTest,
    testing::Values(
        ReadCase{"integer", "84621114", 84621114}, ReadCase{"fraction", "255.9", 255.9},
        ReadCase{"negative", "-2.5", -2.5}, ReadCase{"plus_sign", "+7", 7},
        ReadCase{"exponent", "1e3", 1000}, ReadCase{"negative_exponent", "1.5E-1", 0.15},
        ReadCase{"leading_white_space", " \t\n\v\f\r42", 42}, ReadCase{"point_first", ".5", 0.5},
        ReadCase{"point_last", "5.", 5}, ReadCase{"negative_point_first", "-.5", -0.5},
        ReadCase{"point_last_exponent", "5.e2", 500}, ReadCase{"trailing_letters", "12abc", 12},
        ReadCase{"exponent_without_digits", "1e", 1}, ReadCase{"exponent_sign_only", "1e+", 1},
        ReadCase{"comma_is_no_point", "1,5", 1}, ReadCase{"negative_zero", "-0", -0.0},
        ReadCase{"empty", "", 0}, ReadCase{"letters", "abc", 0}, ReadCase{"lone_point", ".", 0},
        ReadCase{"lone_sign", "-", 0}, ReadCase{"double_sign", "+-5", 0},
        ReadCase{"space_after_sign", "- 5", 0}, ReadCase{"hexadecimal_is_not_read", "0x10", 0},
        ReadCase{"infinity_word", "inf", 0}, ReadCase{"nan_word", "nan", 0},
        ReadCase{"full_width_digits", "\xA3\xB8\xA3\xB4\xA3\xB6", 846},
        ReadCase{"full_width_sign_and_point", "\xA3\xAD\xA3\xB1\xA3\xAE\xA3\xB5", -1.5},
        ReadCase{"full_width_exponent", "\xA3\xB1\xA3\xC5\xA3\xB3", 1000},
        ReadCase{"mixed_widths",
                 "1\xA3\xB2"
                 "3",
                 123},
        ReadCase{"ideographic_space",
                 "\xA1\xA1\xA1\xA1"
                 "7",
                 7},
        ReadCase{"other_symbol_stops",
                 "\xA1\xA2"
                 "7",
                 0},
        ReadCase{"hanzi_stops",
                 "5\xB0\xA1"
                 "6",
                 5},
        ReadCase{"lone_lead_byte_at_end", "7\xA3", 7}, ReadCase{"only_lead_byte", "\xA3", 0},
        ReadCase{"lead_then_invalid_trail",
                 "\xA3\xFF"
                 "1",
                 0},
        ReadCase{"overflow", "1e400", kInf}, ReadCase{"negative_overflow", "-1e400", -kInf},
        ReadCase{"huge_exponent", "1e99999999999999999999999", kInf},
        ReadCase{"many_digits_overflow", std::string(100000, '9'), kInf},
        ReadCase{"underflow", "1e-400", 0.0}, ReadCase{"negative_underflow", "-1e-400", -0.0},
        ReadCase{"fraction_underflow", std::string("0.").append(400, '0').append("1"), 0.0},
        ReadCase{"small_mantissa_big_exponent", "0.000001e310", 1e304},
        ReadCase{"long_fraction_overflow", std::string("0.").append(1000, '0').append("1e1500"),
                 kInf},
        ReadCase{"long_integer_underflow", std::string("1").append(1000, '0').append("e-1500"),
                 0.0},
        ReadCase{"smallest_subnormal", "4.9e-324", std::numeric_limits<double>::denorm_min()},
        ReadCase{"zero_with_huge_exponent", "0e999999", 0.0},
        ReadCase{"long_junk", std::string(100000, '\xA3'), 0}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// Each text sits in a heap buffer of exactly its size, so a sanitizer build catches a read past
// its end that a std::string's terminator would hide.
TEST(ReadNumberBounds, NeverReadsPastTheText) {
  const std::pair<std::string_view, double> cases[] = {{"7\xA3", 7}, {"\xA3", 0}, {"\xA1", 0},
                                                       {"1e", 1},    {"1e+", 1},  {"5.", 5},
                                                       {"-", 0},     {".", 0},    {" ", 0}};
  for (const auto& [text, expected] : cases) {
    const auto buffer = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buffer.get());
    EXPECT_EQ(ReadNumber(std::string_view(buffer.get(), text.size())), expected) << text;
  }
}

struct TruncateCase {
  const char* name;
  friend void PrintTo(const TruncateCase& c, std::ostream* os) { *os << c.name; }
  double value;
  std::int64_t expected;
};

class TruncateToInt64Test : public testing::TestWithParam<TruncateCase> {};

TEST_P(TruncateToInt64Test, TruncatesTowardZero) {
  EXPECT_EQ(TruncateToInt64(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TruncateToInt64Test,
    testing::Values(TruncateCase{"positive", 2.9, 2}, TruncateCase{"negative", -2.9, -2},
                    TruncateCase{"below_one", 0.999, 0}, TruncateCase{"above_minus_one", -0.999, 0},
                    TruncateCase{"negative_zero", -0.0, 0},
                    TruncateCase{"colour_sized", 4294967295.9, 4294967295},
                    TruncateCase{"largest_below_two_to_63", 9223372036854774784.0,
                                 9223372036854774784},
                    TruncateCase{"minus_two_to_63", -9223372036854775808.0, kInt64Min},
                    TruncateCase{"two_to_63", 9223372036854775808.0, kInt64Min},
                    TruncateCase{"below_int64", -9223372036854777856.0, kInt64Min},
                    TruncateCase{"huge", 1e300, kInt64Min},
                    TruncateCase{"infinity", kInf, kInt64Min},
                    TruncateCase{"minus_infinity", -kInf, kInt64Min},
                    TruncateCase{"nan", std::numeric_limits<double>::quiet_NaN(), kInt64Min}),
    [](const testing::TestParamInfo<TruncateCase>& info) { return std::string(info.param.name); });

TEST(FormatDecimal, SignedAndByteForms) {
  EXPECT_EQ(FormatDecimal(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(FormatDecimal(kInt64Min), "-9223372036854775808");
  EXPECT_EQ(FormatDecimal(kInt64Max), "9223372036854775807");
  EXPECT_EQ(FormatDecimal(std::uint8_t{255}), "255");
}

TEST(ByteForm, LowestByteFirst) {
  using Bytes = std::array<std::uint8_t, 8>;
  EXPECT_EQ(ByteForm(0x0102030405060708), (Bytes{8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(ByteForm(0xFFF00F), (Bytes{0x0F, 0xF0, 0xFF, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ByteForm(kInt64Min), (Bytes{0, 0, 0, 0, 0, 0, 0, 0x80}));
}

class FormatG13Test : public testing::TestWithParam<double> {};

// The process runs in the C locale here, so printf is the reference.
TEST_P(FormatG13Test, MatchesPrintf) {
  std::array<char, 64> expected{};
  std::snprintf(expected.data(), expected.size(), "%.13g", GetParam());
  EXPECT_EQ(FormatG13(GetParam()), expected.data());
}

INSTANTIATE_TEST_SUITE_P(Table, FormatG13Test,
                         testing::Values(0.0, -0.0, 1.0, -1.0, 0.1, 1.0 / 3.0, 100 * 1.25,
                                         333 * 1.75, 1e-4, 1e-5, 1e12, 1e13, 9999999999999.0,
                                         99999999999995.0, 123456789012345.0, 1e20, 1e-300,
                                         std::numeric_limits<double>::denorm_min(),
                                         std::numeric_limits<double>::max(), kInf, -kInf,
                                         std::numeric_limits<double>::quiet_NaN()));

}  // namespace
}  // namespace qel
