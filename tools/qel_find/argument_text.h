// Texts from qel-find's command line (a text to find, a font's face) in the library's encoding,
// GBK.
#pragma once

#include <string>
#include <string_view>

namespace qel::find {

// On Linux arguments are UTF-8 and characters GBK lacks become '?'. On Windows they come in the
// console's code page, GBK on a Chinese system, and are taken as they are.
std::string LibraryText(std::string_view argument);

}  // namespace qel::find
