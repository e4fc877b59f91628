// The system's UTF-16 texts as the program's GBK bytes, by the system's own converter.
#pragma once

#include <string>
#include <string_view>

namespace qel {

// Characters GBK cannot hold become '?'.
std::string Utf16ToGbk(std::wstring_view text);

}  // namespace qel
