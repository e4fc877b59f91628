// Hexadecimal text codecs: the tolerant reader of typed hexadecimal colours and the formatters that
// show values in upper-case hexadecimal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// The last sixteen hexadecimal digit characters of the text read as one 64-bit two's-complement
// number; every other byte is ignored wherever it stands. No digit gives 0.
std::int64_t ParseHexText(std::string_view text);

// Always eight digits, leading zeros kept.
std::string FormatHex32(std::uint32_t value);

// No leading zeros, so 0 gives the empty text and a negative value its sixteen-digit pattern.
std::string FormatHex64(std::int64_t value);

// What "%X" prints: no leading zeros, but 0 gives "0".
std::string FormatHexShort(std::uint32_t value);

}  // namespace qel
