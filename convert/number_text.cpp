#include "convert/number_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace qel {
namespace {

constexpr unsigned char kFirstLeadByte = 0x81;
constexpr unsigned char kLastLeadByte = 0xFE;
constexpr unsigned char kFullWidthLead = 0xA3;  // full-width ASCII forms, trail 0xA1 to 0xFE
constexpr unsigned char kSymbolLead = 0xA1;     // punctuation row
constexpr unsigned char kIdeographicSpaceTrail = 0xA1;
constexpr unsigned char kFirstTrail = 0xA1;
constexpr unsigned char kLastTrail = 0xFE;

bool IsLeadByte(unsigned char byte) { return byte >= kFirstLeadByte && byte <= kLastLeadByte; }

// The single byte a double-byte character stands for inside a number, or 0 when it has none. Of
// the punctuation row only the ideographic space matters, as leading white space: its other
// symbols would end the number just as the unmapped character does.
char AsciiForm(unsigned char lead, unsigned char trail) {
  if (lead == kFullWidthLead && trail >= kFirstTrail && trail <= kLastTrail) {
    return static_cast<char>(trail & 0x7F);
  }
  if (lead == kSymbolLead && trail == kIdeographicSpaceTrail) return ' ';
  return 0;
}

// Walks character by character so that a trail byte is never taken for the lead of the next one.
std::string ToHalfWidth(std::string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(lead) || i + 1 == text.size()) {
      narrow += text[i];
      ++i;
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    if (const char ascii = AsciiForm(lead, trail)) {
      narrow += ascii;
    } else {
      narrow.append(text, i, 2);
    }
    i += 2;
  }
  return narrow;
}

// The white space of the C locale.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Tells overflow from underflow for a number std::from_chars found out of range: such a number is
// far from 1, so the decimal position of its first significant digit decides.
bool IsHuge(std::string_view number) {
  constexpr std::int64_t kExponentCap = 1'000'000'000;
  const auto exponentAt = number.find_first_of("eE");
  std::int64_t exponent = 0;
  if (exponentAt != std::string_view::npos) {
    std::size_t i = exponentAt + 1;
    const bool negative = number[i] == '-';
    if (number[i] == '-' || number[i] == '+') ++i;
    for (; i < number.size() && exponent < kExponentCap; ++i) {
      exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = number.substr(0, exponentAt);
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto firstSignificant = std::min(mantissa.find_first_not_of("0."), mantissa.size());
  const auto position =
      static_cast<std::int64_t>(point) - static_cast<std::int64_t>(firstSignificant);
  return position + exponent > 0;
}

template <typename Integer>
std::string IntegerText(Integer value) {
  std::array<char, 24> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), end);
}

}  // namespace

double ReadNumber(std::string_view text) {
  const std::string narrow = ToHalfWidth(text);
  const char* at = narrow.data();
  const char* const end = narrow.data() + narrow.size();
  while (at != end && IsSpace(*at)) ++at;
  bool negative = false;
  if (at != end && (*at == '+' || *at == '-')) {
    negative = *at == '-';
    ++at;
  }
  // std::from_chars would also take "inf" and "nan", which are no typed colour.
  const bool startsNumber =
      at != end && (IsDigit(*at) || (*at == '.' && at + 1 != end && IsDigit(at[1])));
  if (!startsNumber) return 0.0;
  double magnitude = 0.0;
  const auto [stop, error] = std::from_chars(at, end, magnitude, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    magnitude = IsHuge(std::string_view(at, static_cast<std::size_t>(stop - at)))
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
  }
  return negative ? -magnitude : magnitude;
}

std::int64_t TruncateToInt64(double value) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (!(value >= -kLimit && value < kLimit)) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

std::string FormatDecimal(std::int32_t value) { return IntegerText(value); }

std::string FormatDecimal(std::int64_t value) { return IntegerText(value); }

std::string FormatDecimal(std::uint8_t value) { return IntegerText(value); }

std::array<std::uint8_t, 8> ByteForm(std::int64_t value) {
  auto bits = static_cast<std::uint64_t>(value);
  std::array<std::uint8_t, 8> bytes{};
  for (std::uint8_t& byte : bytes) {
    byte = static_cast<std::uint8_t>(bits & 0xFFu);
    bits >>= 8;
  }
  return bytes;
}

std::string FormatG13(double value) {
  constexpr int kPrecision = 13;
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, kPrecision)
                       .ptr;
  return std::string(buffer.data(), end);
}

}  // namespace qel
