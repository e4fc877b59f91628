// The program's 32-bit window handles and the system's HWNDs, one to the other. Windows keeps
// window handles within 32 bits so that 32- and 64-bit programs can share them; a 64-bit HWND is
// the 32-bit value sign-extended.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The W functions are called by their full names; the macros that pick A or W would otherwise
// rename the program's own methods of the same names.
#undef MessageBox
#undef SendMessage
#undef SetCurrentDirectory

#include "platform/platform.h"

namespace qel {

HWND HwndOf(WindowHandle window);
WindowHandle HandleOf(HWND hwnd);

}  // namespace qel
