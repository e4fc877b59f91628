#include "platform/linux/gbk.h"
#include "tools/qel_find/argument_text.h"

namespace qel::find {

std::string LibraryText(std::string_view argument) { return Utf8ToGbk(argument); }

}  // namespace qel::find
