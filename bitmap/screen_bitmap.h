// One DIB held twice: as a DIB section in a memory DC, for drawing and reading through the GDI, and
// as a packed byte copy (header, colour table, rows). Captures fill it from the screen or a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/gdi.h"
#include "bitmap/packed_dib.h"
#include "platform/platform.h"

namespace qel {

// What the bitmap classes reach the world through.
struct BitmapContext {
  Gdi& gdi;
  ScreenSource& screen;
  Desktop& desktop;
};

class ScreenBitmap {
 public:
  // Empty, with the standard colour tables built and the screen's DC held.
  explicit ScreenBitmap(const BitmapContext& context);
  ScreenBitmap(const ScreenBitmap&) = delete;
  ScreenBitmap& operator=(const ScreenBitmap&) = delete;
  ~ScreenBitmap();

  // Drops the image, if any, and takes a fresh screen DC.
  void Clear();
  void BuildPalettes();

  // A width or height of 0 reaches to the display's right or bottom edge; a depth of 0 is the
  // display's. Parts off the screen come out black. False leaves the object empty.
  bool CaptureScreen(int left = 0, int top = 0, int width = 0, int height = 0,
                     int bitsPerPixel = 0);
  // The window's own drawing, whatever covers it. left and top are in client coordinates; a width
  // or height of 0 reaches to the client area's edge, a depth of 0 is 24. False for a minimised or
  // invisible window, or one that cannot draw itself, and leaves the object empty.
  bool CaptureWindow(WindowHandle window, int left = 0, int top = 0, int width = 0, int height = 0,
                     int bitsPerPixel = 0);
  // (0, 0) is the top-left pixel. kClrInvalid outside the image or without one.
  ColorValue ReadPixel(int x, int y);

  // Replaces the packed copy by a black image (colour-table entry 0) of this size and depth. False,
  // changing nothing, for a depth other than 1, 4, 8, 16, 24, 32, an empty size, or an image of
  // 2 GiB or more.
  bool CreateBlank(int width, int height, int bitsPerPixel);

  std::span<const std::uint8_t> PackedDib() const { return packedDib_; }
  // Read from the packed copy's header; all of them 0 or null when there is no packed copy.
  std::int64_t RowBytes() const;
  int Height() const;
  int BitCount() const;
  int ColorCount() const;
  std::size_t PaletteSize() const;
  // Null from 16 bits per pixel up.
  const std::uint8_t* PaletteData() const;
  const std::uint8_t* PixelData() const;
  std::size_t PixelDataSize() const;

 private:
  std::size_t PixelOffset() const { return kInfoHeaderSize + PaletteSize(); }
  // The header and colour table of an image, with room made for its rows; false as CreateBlank.
  bool LayOutImage(int width, int height, int bitsPerPixel);
  // Puts a DIB section matching the packed copy's header into a new memory DC.
  bool CreateSection();
  // Refreshes the packed rows from the DIB section, after drawing has finished.
  void CopyRowsFromSection();
  // Makes a blank image of the size and depth and copies it from (sourceX, sourceY) of `source`;
  // false, with the object empty, when any step fails.
  bool CopyImageFrom(GdiHandle source, int sourceX, int sourceY, std::int64_t width,
                     std::int64_t height, int bitsPerPixel);
  void ReleaseImage();

  BitmapContext context_;
  std::vector<std::uint8_t> palette2_;
  std::vector<std::uint8_t> palette16_;
  std::vector<std::uint8_t> palette256_;
  GdiHandle screenDc_ = 0;
  GdiHandle memoryDc_ = 0;
  GdiHandle dibSection_ = 0;
  GdiHandle previousBitmap_ = 0;
  std::vector<std::uint8_t> packedDib_;
  std::uint8_t* bits_ = nullptr;  // the DIB section's rows, owned by the GDI
  bool pixelsChanged_ = false;    // the DIB section was drawn on after the packed copy was taken
};

}  // namespace qel
