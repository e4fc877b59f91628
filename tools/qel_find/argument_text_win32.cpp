#include "tools/qel_find/argument_text.h"

namespace qel::find {

std::string LibraryText(std::string_view argument) { return std::string(argument); }

}  // namespace qel::find
