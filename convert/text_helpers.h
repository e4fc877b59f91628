// Small helpers over GBK texts (byte strings) shared by the conversion page and the sampler.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qel {

// In bytes, not characters.
std::size_t TextLength(std::string_view text);

std::string ConcatTexts(std::initializer_list<std::string_view> texts);

// Byte by byte as unsigned bytes, so a GBK lead byte sorts after every ASCII byte. Gives -1, 0
// or 1.
int CompareTexts(std::string_view left, std::string_view right);

// A field counts as filled as soon as it holds any byte; spaces alone fill it.
bool IsFilled(std::string_view text);

}  // namespace qel
