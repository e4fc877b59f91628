// Message boxes on Qt, taking the platform's style bits for icon and buttons.
#pragma once

#include <QMessageBox>

#include "platform/platform.h"

namespace qel {

// The icon a message box style asks for.
QMessageBox::Icon MessageBoxIcon(std::uint32_t style);

class QtDialogs final : public Dialogs {
 public:
  int MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                 std::uint32_t style) override;
};

}  // namespace qel
