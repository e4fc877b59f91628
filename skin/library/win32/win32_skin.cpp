// The skin library's Windows half. Not drawn yet: attaching a skin leaves the look as it is.
#include "skin/library/skin_backend.h"

namespace qel::skin {

void ApplyTheme(const Theme&) {}
void ApplyAero(bool) {}

}  // namespace qel::skin
