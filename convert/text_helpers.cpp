#include "convert/text_helpers.h"

namespace qel {

std::size_t TextLength(std::string_view text) { return text.size(); }

std::string ConcatTexts(std::initializer_list<std::string_view> texts) {
  std::size_t length = 0;
  for (const std::string_view text : texts) length += text.size();
  std::string joined;
  joined.reserve(length);
  for (const std::string_view text : texts) joined += text;
  return joined;
}

int CompareTexts(std::string_view left, std::string_view right) {
  // char_traits<char> compares as unsigned char, whatever the signedness of char.
  const int order = left.compare(right);
  return (order > 0) - (order < 0);
}

bool IsFilled(std::string_view text) { return CompareTexts(text, {}) != 0; }

}  // namespace qel
