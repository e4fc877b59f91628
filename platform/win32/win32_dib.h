// A 32-bit top-down DIB section selected into a memory DC: what the screen and windows are drawn
// into before their pixels are handed on as 0x00RRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/win32_handles.h"

namespace qel {

// The header of a 32-bit DIB whose first row in memory is the top one: how pixels are handed
// between the program and GDI.
inline BITMAPINFO TopDown32BitInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The screen's device context, released when it goes.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class Dib32 {
 public:
  // Empty when the system refuses the DC or the bitmap; see Ready.
  Dib32(int width, int height);
  ~Dib32();
  Dib32(const Dib32&) = delete;
  Dib32& operator=(const Dib32&) = delete;

  bool Ready() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC Dc() const { return dc_; }

  // Copies the top-left `width` x `height` pixels into rows `outStride` pixels apart, the unused
  // top byte cleared. The rectangle must lie inside the bitmap.
  void CopyTo(int width, int height, std::uint32_t* out, std::ptrdiff_t outStride) const;

 private:
  int width_ = 0;
  int height_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
};

}  // namespace qel
