// The program's GBK bytes as the system's UTF-16 texts and back, by the system's own converter.
#pragma once

#include <string>
#include <string_view>

namespace qel {

// Characters GBK cannot hold become '?'.
std::string Utf16ToGbk(std::wstring_view text);
// Bytes that are no GBK character become U+FFFD or are dropped, as the system decides.
std::wstring GbkToUtf16(std::string_view text);

}  // namespace qel
