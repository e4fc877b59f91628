// Message boxes on Windows: the system's own, with the program's GBK texts shown in Unicode.
#pragma once

#include "platform/platform.h"

namespace qel {

class Win32Dialogs final : public Dialogs {
 public:
  int MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                 std::uint32_t style) override;
};

}  // namespace qel
