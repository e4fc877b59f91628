// A memory DC with a bitmap selected into it for the length of one operation, put back as it was
// when the operation ends, however it ends.
#pragma once

#include "bitmap/gdi.h"

namespace qel {

class TemporaryDc {
 public:
  // Selects the caller's bitmap, which stays the caller's.
  TemporaryDc(Gdi& gdi, GdiHandle compatibleWith, GdiHandle bitmap)
      : gdi_(gdi),
        dc_(gdi.CreateCompatibleDC(compatibleWith)),
        bitmap_(bitmap),
        ownsBitmap_(false) {
    Select();
  }
  // Selects a compatible bitmap of its own of this size, deleted at the end.
  TemporaryDc(Gdi& gdi, GdiHandle compatibleWith, int width, int height)
      : gdi_(gdi),
        dc_(gdi.CreateCompatibleDC(compatibleWith)),
        bitmap_(gdi.CreateCompatibleBitmap(compatibleWith, width, height)),
        ownsBitmap_(true) {
    Select();
  }
  TemporaryDc(const TemporaryDc&) = delete;
  TemporaryDc& operator=(const TemporaryDc&) = delete;
  ~TemporaryDc() {
    if (previous_ != 0) gdi_.SelectObject(dc_, previous_);
    if (ownsBitmap_ && bitmap_ != 0) gdi_.DeleteObject(bitmap_);
    if (dc_ != 0) gdi_.DeleteDC(dc_);
  }

  // False when the DC or bitmap could not be had, or the bitmap is selected elsewhere.
  bool Ready() const { return previous_ != 0; }
  GdiHandle Dc() const { return dc_; }

 private:
  void Select() {
    if (dc_ != 0 && bitmap_ != 0) previous_ = gdi_.SelectObject(dc_, bitmap_);
  }

  Gdi& gdi_;
  GdiHandle dc_;
  GdiHandle bitmap_;
  bool ownsBitmap_;
  GdiHandle previous_ = 0;
};

}  // namespace qel
