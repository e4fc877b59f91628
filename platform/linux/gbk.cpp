#include "platform/linux/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <type_traits>
#include <stdexcept>

namespace qel {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert GBK");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; on a unit it cannot convert it writes `replacement` and skips the
  // unit, whose length in bytes `unitLength` tells from the unit's first bytes.
  template <typename UnitLength>
  std::string Convert(std::string_view in, std::string_view replacement, UnitLength unitLength) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 2 + 8, '\0');
    char* inPtr = const_cast<char*>(in.data());  // iconv's signature; it does not write input
    std::size_t inLeft = in.size();
    std::size_t used = 0;
    while (inLeft > 0) {
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      used = out.size() - outLeft;
      if (result != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ or EINVAL: an unconvertible or truncated unit
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
        const std::size_t skip = std::min(unitLength(inPtr, inLeft), inLeft);
        inPtr += skip;
        inLeft -= skip;
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

std::size_t ByteUnit(const char*, std::size_t) { return 1; }

// A surrogate pair is one character.
std::size_t Utf16Unit(const char* at, std::size_t left) {
  const auto high = static_cast<unsigned char>(at[1]);
  return left >= 4 && high >= 0xD8 && high <= 0xDB ? 4 : 2;
}

// A sequence the lead byte announces, but never past a byte that cannot continue it.
std::size_t Utf8Unit(const char* at, std::size_t left) {
  const auto lead = static_cast<unsigned char>(at[0]);
  const std::size_t announced = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t length = 1;
  while (length < announced && length < left &&
         (static_cast<unsigned char>(at[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

// Plain ASCII reads the same in all three encodings, and most texts the program shows are numbers.
template <typename Text>
bool IsAscii(const Text& text) {
  return std::all_of(text.begin(), text.end(), [](auto unit) {
    return static_cast<std::make_unsigned_t<decltype(unit)>>(unit) < 0x80;
  });
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  if (IsAscii(gbk)) return std::u16string(gbk.begin(), gbk.end());
  thread_local Converter converter("UTF-16LE", "CP936");
  static constexpr char kReplacement[] = {'\xFD', '\xFF'};  // U+FFFD, little-endian
  const std::string bytes = converter.Convert(gbk, {kReplacement, 2}, ByteUnit);
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return text;
}

std::string Utf16ToGbk(std::u16string_view text) {
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  thread_local Converter converter("CP936", "UTF-16LE");
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return converter.Convert(bytes, "?", Utf16Unit);
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter converter("CP936", "UTF-8");
  return converter.Convert(utf8, "?", Utf8Unit);
}

}  // namespace qel
