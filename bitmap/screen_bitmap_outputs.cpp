// What a ScreenBitmap gives out and how it changes in place: the packed copy kept in step, another
// depth, pixels written, BMP bytes, drawings on another bitmap or a window, the clipboard.
#include <algorithm>

#include "bitmap/screen_bitmap.h"
#include "bitmap/temporary_dc.h"

namespace qel {

bool ScreenBitmap::SyncPacked() {
  if (packedDib_.empty()) return false;
  CopyRowsFromSection();
  pixelsChanged_ = false;
  return true;
}

bool ScreenBitmap::ConvertDepth(int bitsPerPixel) {
  const std::optional<BitmapDescription> section = SectionDescription();
  if (!section || !ColorCountFor(bitsPerPixel)) return false;
  // The old image is the conversion's source, and stays whole until the new one is complete.
  const GdiHandle oldDc = memoryDc_;
  const GdiHandle oldSection = dibSection_;
  const GdiHandle oldPrevious = previousBitmap_;
  std::uint8_t* const oldBits = bits_;
  std::vector<std::uint8_t> oldPacked = std::move(packedDib_);
  const bool oldChanged = pixelsChanged_;
  memoryDc_ = dibSection_ = previousBitmap_ = 0;
  bits_ = nullptr;
  packedDib_.clear();

  if (!CopyImageFrom(oldDc, 0, 0, section->width, section->height, bitsPerPixel)) {
    memoryDc_ = oldDc;
    dibSection_ = oldSection;
    previousBitmap_ = oldPrevious;
    bits_ = oldBits;
    packedDib_ = std::move(oldPacked);
    pixelsChanged_ = oldChanged;
    return false;
  }
  Gdi& gdi = context_.gdi;
  gdi.SelectObject(oldDc, oldPrevious);
  gdi.DeleteObject(oldSection);
  gdi.DeleteDC(oldDc);
  pixelsChanged_ = false;
  return true;
}

bool ScreenBitmap::DrawTo(ScreenBitmap& target, int sourceX, int sourceY, int width, int height,
                          int targetX, int targetY) {
  const std::optional<BitmapDescription> section = SectionDescription();
  if (!section) return false;
  if (width == 0) width = section->width;
  if (height == 0) height = section->height;
  Gdi& gdi = context_.gdi;
  const bool copied = gdi.BitBlt(target.MemoryDC(), targetX, targetY, width, height, memoryDc_,
                                 sourceX, sourceY, kSrcCopy);
  gdi.GdiFlush();
  return copied && target.SyncPacked();
}

std::vector<std::uint8_t> ScreenBitmap::FileBytes() {
  SyncIfChanged();
  if (packedDib_.empty()) return {};
  const auto header =
      FileHeaderBytes({.size = static_cast<std::uint32_t>(packedDib_.size() + kFileHeaderSize),
                       .pixelOffset = static_cast<std::uint32_t>(kFileHeaderSize + PixelOffset())});
  std::vector<std::uint8_t> file;
  file.reserve(kFileHeaderSize + packedDib_.size());
  file.assign(header.begin(), header.end());
  file.insert(file.end(), packedDib_.begin(), packedDib_.end());
  return file;
}

std::vector<std::uint8_t> ScreenBitmap::PixelBytes() {
  SyncIfChanged();
  if (packedDib_.empty()) return {};
  return {PixelData(), PixelData() + PixelDataSize()};
}

bool ScreenBitmap::WritePixel(int x, int y, ColorValue color) {
  // Not every GDI refuses a point outside the bitmap.
  if (x < 0 || y < 0 || x >= BitmapWidth() || y >= BitmapHeight()) return false;
  // A failed write leaves the flag as it was: earlier writes still wait to reach the packed copy.
  if (!context_.gdi.SetPixelV(memoryDc_, x, y, color)) return false;
  pixelsChanged_ = true;
  return true;
}

bool ScreenBitmap::CopyToClipboard() {
  const std::optional<BitmapDescription> section = SectionDescription();
  if (!section) return false;
  Gdi& gdi = context_.gdi;
  const GdiHandle copy = gdi.CreateCompatibleBitmap(screenDc_, section->width, section->height);
  if (copy == 0) return false;
  bool copied = false;
  {
    const TemporaryDc target(gdi, screenDc_, copy);
    copied = target.Ready() && gdi.BitBlt(target.Dc(), 0, 0, section->width, section->height,
                                          memoryDc_, 0, 0, kSrcCopy);
  }
  if (!copied) {
    gdi.DeleteObject(copy);
    return false;
  }
  // The clipboard owns the copy from here on, whatever the answer.
  return gdi.SetClipboardBitmap(copy);
}

bool ScreenBitmap::DrawToWindow(WindowHandle window) {
  const std::optional<BitmapDescription> section = SectionDescription();
  if (!section) return false;
  Gdi& gdi = context_.gdi;
  // The rows as they are, with the whole colour table the section has.
  const DibInfo format = PackedFormat();
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(section->stride) *
                                 static_cast<std::size_t>(section->height));
  if (gdi.GetDIBits(memoryDc_, dibSection_, 0, section->height, rows, format) != section->height) {
    return false;
  }
  const GdiHandle windowDc = gdi.GetDC(window);
  if (windowDc == 0) return false;
  const int drawn = gdi.SetDIBitsToDevice(windowDc, 0, 0, section->width, section->height, 0, 0, 0,
                                          section->height, rows, format);
  gdi.ReleaseDC(window, windowDc);
  return drawn == section->height;
}

}  // namespace qel
