#include "platform/win32/win32_screen.h"

#include <algorithm>

#include "platform/win32/win32_dib.h"

namespace qel {
namespace {

DEVMODEW CurrentMode() {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) == 0) return DEVMODEW{};
  return mode;
}

}  // namespace

bool LiesInside(const WindowRect& bounds, int x, int y, int width, int height) {
  return width > 0 && height > 0 && x >= bounds.left && y >= bounds.top &&
         x + static_cast<long long>(width) <= bounds.right &&
         y + static_cast<long long>(height) <= bounds.bottom;
}

Win32Screen::Win32Screen() = default;

Win32Screen::~Win32Screen() = default;

int Win32Screen::Width() const { return static_cast<int>(CurrentMode().dmPelsWidth); }

int Win32Screen::Height() const { return static_cast<int>(CurrentMode().dmPelsHeight); }

int Win32Screen::LogicalDotsPerInch() const {
  const ScreenDc screen;
  return screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

int Win32Screen::BitsPerPixel() const { return static_cast<int>(CurrentMode().dmBitsPerPel); }

WindowRect Win32Screen::Bounds() const {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Win32Screen::CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                              std::ptrdiff_t rowStride) {
  if (!LiesInside(Bounds(), x, y, width, height)) return false;
  if (!target_ || target_->Width() < width || target_->Height() < height) {
    const int targetWidth = std::max(width, target_ ? target_->Width() : 0);
    const int targetHeight = std::max(height, target_ ? target_->Height() : 0);
    target_.reset();
    auto target = std::make_unique<Dib32>(targetWidth, targetHeight);
    if (!target->Ready()) return false;
    target_ = std::move(target);
  }
  // The screen DC's coordinates are the virtual screen's, so a monitor left of or above the
  // primary one is read at its negative coordinates.
  const ScreenDc screen;
  if (screen.Get() == nullptr) return false;
  // CAPTUREBLT takes in layered windows too, as the user sees them.
  if (BitBlt(target_->Dc(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY | CAPTUREBLT) == 0) {
    return false;
  }
  target_->CopyTo(width, height, pixels, rowStride);
  return true;
}

}  // namespace qel
