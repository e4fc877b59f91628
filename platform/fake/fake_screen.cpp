#include "platform/fake/fake_screen.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace qel {

FakeScreen::FakeScreen(int width, int height, int bitsPerPixel)
    : width_(width),
      height_(height),
      bitsPerPixel_(bitsPerPixel),
      pixels_(static_cast<std::size_t>(std::max(width, 0)) *
              static_cast<std::size_t>(std::max(height, 0))) {}

bool FakeScreen::CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                             std::ptrdiff_t rowStride) {
  ++captureCount;
  if (failing || width <= 0 || height <= 0 || x < 0 || y < 0 || x > width_ - width ||
      y > height_ - height) {
    return false;
  }
  for (int row = 0; row < height; ++row) {
    const auto first = pixels_.begin() + static_cast<std::ptrdiff_t>(Offset(x, y + row));
    std::copy(first, first + width, pixels + row * rowStride);
  }
  return true;
}

void FakeScreen::Fill(std::uint32_t rgb) { std::fill(pixels_.begin(), pixels_.end(), rgb); }

std::size_t FakeScreen::Offset(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("off the screen");
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
         static_cast<std::size_t>(x);
}

}  // namespace qel
