// The view's text boundary on Linux: the program's GBK bytes to and from the toolkit's UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace qel {

// Bytes that are not GBK become U+FFFD; nothing is dropped silently.
std::u16string GbkToUtf16(std::string_view gbk);
// Characters GBK cannot hold become '?', as the platform's own converter does.
std::string Utf16ToGbk(std::u16string_view text);
// The same for UTF-8, as X11 window titles come; bytes that are not UTF-8 become '?' too.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace qel
