#include "platform/win32/win32_dib.h"

namespace qel {

Dib32::Dib32(int width, int height) {
  if (width <= 0 || height <= 0) return;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr || bits == nullptr) return;
  previous_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  bits_ = static_cast<const std::uint32_t*>(bits);
}

Dib32::~Dib32() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

void Dib32::CopyTo(int width, int height, std::uint32_t* out, std::ptrdiff_t outStride) const {
  // Drawing may still be queued for the bitmap; the bits are read only once it is done.
  GdiFlush();
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y) * width_;
    std::uint32_t* target = out + y * outStride;
    for (int x = 0; x < width; ++x) target[x] = row[x] & 0x00FFFFFFu;
  }
}

}  // namespace qel
