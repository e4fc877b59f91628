#include "platform/win32/win32_timer.h"

namespace qel {

void Win32Timer::Start(int periodMs) {
  SetTimer(window_, id_, static_cast<UINT>(periodMs), nullptr);
}

void Win32Timer::Stop() { KillTimer(window_, id_); }

}  // namespace qel
