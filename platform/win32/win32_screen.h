// The screen on Windows as a source of pixels: the virtual screen over every monitor read from
// the screen DC into a 32-bit DIB section that is kept between reads and grows to the largest
// rectangle asked for.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace qel {

class Dib32;

// Whether the rectangle is non-empty and lies wholly inside `bounds`, without overflow for any
// integers given.
bool LiesInside(const WindowRect& bounds, int x, int y, int width, int height);

class Win32Screen final : public ScreenSource {
 public:
  Win32Screen();
  ~Win32Screen() override;
  Win32Screen(const Win32Screen&) = delete;
  Win32Screen& operator=(const Win32Screen&) = delete;

  // The primary display's current mode.
  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override;
  int LogicalDotsPerInch() const override;
  // The virtual screen: every monitor, starting left of or above the primary one when a monitor
  // lies there.
  WindowRect Bounds() const override;
  // Refuses a rectangle that is not wholly inside Bounds(), as the X11 source does.
  bool CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                   std::ptrdiff_t rowStride) override;

 private:
  std::unique_ptr<Dib32> target_;
};

}  // namespace qel
