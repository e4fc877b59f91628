#include "convert/hex_text.h"

#include <optional>

namespace qel {
namespace {

constexpr int kBitsPerDigit = 4;
constexpr int kValueBits = 64;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::optional<std::uint64_t> HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return std::nullopt;
}

}  // namespace

std::int64_t ParseHexText(std::string_view text) {
  std::uint64_t value = 0;
  int shift = 0;
  // Walking from the end lets a long text stop as soon as the value is full, so the cost never
  // depends on what precedes the last sixteen digits.
  for (auto c = text.rbegin(); c != text.rend() && shift < kValueBits; ++c) {
    if (const auto digit = HexDigitValue(*c)) {
      value |= *digit << shift;
      shift += kBitsPerDigit;
    }
  }
  return static_cast<std::int64_t>(value);
}

std::string FormatHex32(std::uint32_t value) {
  std::string text(8, '0');
  for (auto c = text.rbegin(); c != text.rend(); ++c) {
    *c = kHexDigits[value & 0xFu];
    value >>= kBitsPerDigit;
  }
  return text;
}

std::string FormatHex64(std::int64_t value) {
  const auto bits = static_cast<std::uint64_t>(value);
  const std::string text = FormatHex32(static_cast<std::uint32_t>(bits >> 32)) +
                           FormatHex32(static_cast<std::uint32_t>(bits));
  const auto first = text.find_first_not_of('0');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string FormatHexShort(std::uint32_t value) {
  std::string text = FormatHex64(value);
  return text.empty() ? std::string("0") : text;
}

}  // namespace qel
