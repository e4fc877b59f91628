// Where a ScreenBitmap's image comes from besides captures: BMP bytes and files, bitmaps, icons,
// any DC, a DIB section handed over, the clipboard, or nothing (a black image).
#include <algorithm>
#include <cstdlib>

#include "bitmap/screen_bitmap.h"
#include "bitmap/temporary_dc.h"

namespace qel {
namespace {

// The fields a plain BMP file's loader reads before anything else, at their file offsets.
constexpr std::size_t kWidthOffset = 18;
constexpr std::size_t kHeightOffset = 22;
constexpr std::size_t kBitCountOffset = 28;

int Field16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8;
}

}  // namespace

bool ScreenBitmap::LoadBmpBytesViaFile(std::span<const std::uint8_t> bytes) {
  Clear();
  // The loader decodes from memory, so the bytes never pass through a file that another user
  // could read or replace.
  return TakeLoadedBitmap(context_.gdi.LoadImageFromMemory(bytes, ImageType::Bitmap, 0, 0));
}

bool ScreenBitmap::LoadBmpBytes(std::span<const std::uint8_t> bytes) {
  Clear();
  if (bytes.size() <= kFileHeaderSize + kInfoHeaderSize) return false;
  const int width = Field16(bytes, kWidthOffset);
  const int height = Field16(bytes, kHeightOffset);
  const int bitsPerPixel = Field16(bytes, kBitCountOffset);
  const std::optional<int> colorCount = ColorCountFor(bitsPerPixel);
  if (width < 1 || height < 1 || !colorCount) return false;
  // The packed copy is the end of the file, so the bytes must hold all the header describes;
  // checked before any room is made, as the header may ask for far more than the bytes hold.
  const std::size_t packedSize =
      kInfoHeaderSize + static_cast<std::size_t>(*colorCount) * 4 +
      static_cast<std::size_t>(RowBytesFor(std::int64_t{width} * bitsPerPixel)) *
          static_cast<std::size_t>(height);
  if (packedSize > bytes.size() - kFileHeaderSize || !LayOutImage(width, height, bitsPerPixel)) {
    Clear();
    return false;
  }
  // It must be the file's own header with everything that header describes, or the two forms
  // would disagree about the rows.
  const std::span<const std::uint8_t> packed = bytes.last(packedSize);
  const InfoHeader header = ReadHeader(packed);
  if (header.size != kInfoHeaderSize || header.width != width || header.height != height ||
      header.planes != 1 || header.bitCount != bitsPerPixel || header.compression != 0 ||
      (header.clrUsed != 0 && header.clrUsed != static_cast<std::uint32_t>(*colorCount))) {
    Clear();
    return false;
  }
  packedDib_.assign(packed.begin(), packed.end());
  // The section is made from the packed copy, so it gets the file's own colour table.
  if (!CreateSection()) {
    Clear();
    return false;
  }
  std::copy_n(PixelData(), PixelDataSize(), bits_);
  return true;
}

bool ScreenBitmap::LoadBmpFile(const std::string& path) {
  Clear();
  return TakeLoadedBitmap(context_.gdi.LoadImageFromFile(path, ImageType::Bitmap, 0, 0));
}

bool ScreenBitmap::TakeLoadedBitmap(GdiHandle loaded) {
  if (loaded == 0) return false;
  const bool taken = FromBitmapHandle(loaded);
  context_.gdi.DeleteObject(loaded);
  return taken;
}

bool ScreenBitmap::FromBitmapHandle(GdiHandle bitmap, int bitsPerPixel) {
  Clear();
  Gdi& gdi = context_.gdi;
  const std::optional<BitmapDescription> source = gdi.GetObject(bitmap);
  if (!source) return false;
  if (bitsPerPixel == 0) bitsPerPixel = source->bitCount;
  const TemporaryDc holding(gdi, screenDc_, bitmap);
  // The copy is the bitmap's own size, so it writes every pixel.
  return holding.Ready() && CopyImageFrom(holding.Dc(), 0, 0, source->width, source->height,
                                          bitsPerPixel, Gdi::NewRows::Overwritten);
}

bool ScreenBitmap::FromIcon(GdiHandle icon, int width, int height, int bitsPerPixel) {
  Clear();
  constexpr int kDefault = 32;
  if (width == 0) width = kDefault;
  if (height == 0) height = kDefault;
  if (bitsPerPixel == 0) bitsPerPixel = kDefault;
  Gdi& gdi = context_.gdi;
  const TemporaryDc canvas(gdi, screenDc_, width, height);
  if (!canvas.Ready()) return false;
  constexpr ColorValue kWhite = 0xFFFFFF;
  gdi.FillRect(canvas.Dc(), {0, 0, width, height}, kWhite);
  // Not an icon: a white square would pass for one.
  if (!gdi.DrawIconEx(canvas.Dc(), 0, 0, icon, width, height)) return false;
  return CaptureDC(canvas.Dc(), {0, 0, width, height}, bitsPerPixel);
}

bool ScreenBitmap::CaptureDC(GdiHandle dc, const GdiRect& rect, int bitsPerPixel) {
  Clear();
  if (!ColorCountFor(bitsPerPixel)) return false;
  return CopyImageFrom(dc, rect.left, rect.top, std::int64_t{rect.right} - rect.left,
                       std::int64_t{rect.bottom} - rect.top, bitsPerPixel);
}

GdiHandle ScreenBitmap::Attach(GdiHandle dibSection, GdiHandle /*unused*/,
                               std::span<const std::uint8_t> packedDib) {
  Clear();
  Gdi& gdi = context_.gdi;
  const std::optional<BitmapDescription> section = gdi.GetObject(dibSection);
  // The packed copy is refreshed from the section's rows by one block copy, so the two must be laid
  // out alike: a bottom-up DIB section of the header's size and depth, and every row present.
  if (!section || section->bits == nullptr || section->topDown ||
      packedDib.size() < kInfoHeaderSize) {
    return 0;
  }
  const InfoHeader header = ReadHeader(packedDib);
  const std::optional<int> colorCount = ColorCountFor(header.bitCount);
  if (header.size != kInfoHeaderSize || header.planes != 1 || header.compression != 0 ||
      header.width != section->width || header.height != section->height ||
      header.bitCount != section->bitCount || !colorCount) {
    return 0;
  }
  const std::size_t expected =
      kInfoHeaderSize + static_cast<std::size_t>(*colorCount) * 4 +
      static_cast<std::size_t>(section->stride) * static_cast<std::size_t>(section->height);
  if (packedDib.size() != expected) return 0;

  const GdiHandle memoryDc = gdi.CreateCompatibleDC(screenDc_);
  const GdiHandle displaced = memoryDc == 0 ? 0 : gdi.SelectObject(memoryDc, dibSection);
  if (displaced == 0) {
    if (memoryDc != 0) gdi.DeleteDC(memoryDc);
    return 0;
  }
  packedDib_.assign(packedDib.begin(), packedDib.end());
  memoryDc_ = memoryDc;
  dibSection_ = dibSection;
  previousBitmap_ = displaced;
  bits_ = section->bits;
  return displaced;
}

bool ScreenBitmap::FromClipboard(int bitsPerPixel) {
  Clear();
  // The clipboard owns the bitmap, so it is only copied.
  const GdiHandle pasted = context_.gdi.ClipboardBitmap();
  return pasted != 0 && FromBitmapHandle(pasted, bitsPerPixel);
}

bool ScreenBitmap::CreateImage(int width, int height, int bitsPerPixel) {
  Clear();
  if (!CreateBlank(width, height, bitsPerPixel) || !CreateSection()) {
    Clear();
    return false;
  }
  CopyRowsFromSection();
  return true;
}

}  // namespace qel
