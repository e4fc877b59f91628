#include "platform/win32/win32_dialogs.h"

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {

int Win32Dialogs::MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                             std::uint32_t style) {
  return MessageBoxW(HwndOf(owner), GbkToUtf16(text).c_str(), GbkToUtf16(title).c_str(), style);
}

}  // namespace qel
