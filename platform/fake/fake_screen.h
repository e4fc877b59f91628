// A screen that is a plain pixel buffer: what the mini-GDI's screen DC reads in tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace qel {

class FakeScreen final : public ScreenSource {
 public:
  FakeScreen(int width, int height, int bitsPerPixel = 32);

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int BitsPerPixel() const override { return bitsPerPixel_; }
  // Refuses a rectangle that is not wholly on the screen, so that a caller that forgets to clip
  // is caught.
  bool CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                   std::ptrdiff_t rowStride) override;

  // 0x00RRGGBB, as the screen stores it.
  void SetPixel(int x, int y, std::uint32_t rgb) { pixels_.at(Offset(x, y)) = rgb; }
  std::uint32_t Pixel(int x, int y) const { return pixels_.at(Offset(x, y)); }
  void Fill(std::uint32_t rgb);

  // A screen that cannot be read, as when the desktop is locked.
  bool failing = false;
  int captureCount = 0;

 private:
  std::size_t Offset(int x, int y) const;

  int width_;
  int height_;
  int bitsPerPixel_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace qel
