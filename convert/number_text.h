// Decimal number codecs: reading a typed number (full-width GBK digits included) and showing
// values in decimal, plus the truncation and byte split the colour forms are built on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// The decimal number at the start of the text, after white space: sign, digits, point, fraction,
// exponent. Full-width GBK digits, signs and points count as their ASCII forms. Locale-independent.
// No number gives 0; a value beyond the double range gives an infinity, one too small for it ±0.
double ReadNumber(std::string_view text);

// Toward zero. NaN and values outside the int64 range give INT64_MIN, the result the platform's
// own truncating conversion gives for them.
std::int64_t TruncateToInt64(double value);

std::string FormatDecimal(std::int32_t value);
std::string FormatDecimal(std::int64_t value);
std::string FormatDecimal(std::uint8_t value);

// Lowest byte first, so bytes 0, 1 and 2 of a colour are its red, green and blue.
std::array<std::uint8_t, 8> ByteForm(std::int64_t value);

// What "%.13g" prints in the C locale, whatever locale the process runs in.
std::string FormatG13(double value);

}  // namespace qel
