// A platform timer on a window's WM_TIMER messages: SetTimer and KillTimer under an identifier of
// the window's own choosing, which the window maps back to the timer's tick.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

namespace qel {

class Win32Timer final : public PlatformTimer {
 public:
  Win32Timer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
  ~Win32Timer() override { Stop(); }
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  // Setting a running timer again replaces its period and starts it over.
  void Start(int periodMs) override;
  void Stop() override;

 private:
  HWND window_;
  UINT_PTR id_;
};

}  // namespace qel
