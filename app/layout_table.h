// The main window and every control on it: the one table both views and the tests build from.
#pragma once

#include "platform/layout.h"

namespace qel {

const Layout& MainWindowLayout();

}  // namespace qel
