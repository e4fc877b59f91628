// One DIB held twice: as a DIB section in a memory DC, for drawing and reading through the GDI, and
// as a packed byte copy (header, colour table, rows). It is filled from the screen, a window, a DC,
// BMP bytes and files, bitmaps, icons or the clipboard, and given out as pixels, BMP bytes, a
// drawing on another bitmap or a window, or the clipboard.
//
// Coordinates: (0, 0) is the top-left pixel whatever the row order in memory. Operations report
// failure as false (or 0) and leave the object empty when a load or capture fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
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

  // Loads BMP file bytes the way LoadBmpFile loads a file (any header, depth and compression the
  // loader takes), as a 32-bit image; decoded from memory, so no file is written.
  bool LoadBmpBytesViaFile(std::span<const std::uint8_t> bytes);
  // Takes the bytes of a plain BMP file as they are: the packed copy is the file after its 14-byte
  // header, at the depth and with the colour table the file has. Only files of that shape are
  // taken: a 40-byte header, uncompressed rows, a width and height of 1 to 65535 (rows bottom-up),
  // a full colour table, and the bytes holding all of it; anything else gives false.
  bool LoadBmpBytes(std::span<const std::uint8_t> bytes);
  // A BMP file through the platform's image loader (every header, depth, compression and row
  // order of the format), as a 32-bit image.
  bool LoadBmpFile(const std::string& path);
  // A copy of the bitmap at `bitsPerPixel` (0: its own depth). The bitmap stays the caller's; it
  // must not be selected into a DC.
  bool FromBitmapHandle(GdiHandle bitmap, int bitsPerPixel = 0);
  // The icon drawn over white at width x height (each 0 or left out: 32) and the depth (0 or left
  // out: 32). Alpha icons are blended over the white; masked ones show white where transparent.
  bool FromIcon(GdiHandle icon, int width = 32, int height = 32, int bitsPerPixel = 32);
  // A width or height of 0 reaches to the display's right or bottom edge; a depth of 0 is the
  // display's. Parts off the screen come out black. False leaves the object empty.
  bool CaptureScreen(int left = 0, int top = 0, int width = 0, int height = 0,
                     int bitsPerPixel = 0);
  // The window's own drawing, whatever covers it. left and top are in client coordinates; a width
  // or height of 0 reaches to the client area's edge, a depth of 0 is 24. False for a minimised or
  // invisible window, or one that cannot draw itself, and leaves the object empty.
  bool CaptureWindow(WindowHandle window, int left = 0, int top = 0, int width = 0, int height = 0,
                     int bitsPerPixel = 0);
  // The rectangle (right and bottom excluded) of any DC: the screen's, a window's (what the screen
  // shows of its client area), or a memory DC such as another bitmap's. The depth must be given.
  bool CaptureDC(GdiHandle dc, const GdiRect& rect, int bitsPerPixel);
  // Takes over a DIB section and its packed copy: the object owns and deletes the section from
  // then on. The packed bytes must describe the section (same width, height and depth, all rows);
  // otherwise, or when the section is selected elsewhere, 0 and the object is empty. The second
  // handle is unused; it keeps the operation's argument order. Gives the bitmap the selection
  // displaced.
  GdiHandle Attach(GdiHandle dibSection, GdiHandle unused, std::span<const std::uint8_t> packedDib);
  // The clipboard's image at `bitsPerPixel` (0: its own depth, 32 bits).
  bool FromClipboard(int bitsPerPixel = 0);
  // A black image; false for a depth other than 1, 4, 8, 16, 24, 32 or an empty size.
  bool CreateImage(int width, int height, int bitsPerPixel);
  // Refreshes the packed copy from the DIB section; false without an image.
  bool SyncPacked();

  // Replaces the packed copy by a black image (colour-table entry 0) of this size and depth, and a
  // DIB section the bitmap held by a black one to match (a new handle). False, changing nothing,
  // for a depth other than 1, 4, 8, 16, 24, 32, an empty size, or an image of 2 GiB or more; false,
  // with the object empty, when the new section cannot be made.
  bool CreateBlank(int width, int height, int bitsPerPixel);
  // The image at another depth, colours mapped to the standard colour table by the platform's
  // rule. False, changing nothing, without an image or for a depth not taken.
  bool ConvertDepth(int bitsPerPixel);
  // Copies width x height pixels (0 or left out: the whole image) from (sourceX, sourceY) to
  // (targetX, targetY) of `target`, clipped to both, converting to its depth.
  bool DrawTo(ScreenBitmap& target, int sourceX = 0, int sourceY = 0, int width = 0, int height = 0,
              int targetX = 0, int targetY = 0);

  GdiHandle DibHandle() const { return dibSection_; }
  GdiHandle MemoryDC() const { return memoryDc_; }
  // Read from the packed copy's header; all of them 0 or null when there is no packed copy.
  int Width() const;
  int Height() const;
  int BitCount() const;
  // What the GDI reports of the DIB section; 0 without one.
  int BitmapWidth() const;
  int BitmapHeight() const;
  int BitmapBitCount() const;
  std::span<const std::uint8_t> PackedDib() const { return packedDib_; }
  const std::uint8_t* PackedData() const {
    return packedDib_.empty() ? nullptr : packedDib_.data();
  }
  const std::uint8_t* PixelData() const;
  std::size_t PixelDataSize() const;
  // Null from 16 bits per pixel up.
  const std::uint8_t* PaletteData() const;
  std::size_t PaletteSize() const;
  int ColorCount() const;
  std::int64_t RowBytes() const;
  // The BMP file image: the 14-byte file header, then the packed copy. Empty without an image.
  std::vector<std::uint8_t> FileBytes();
  // A copy of the pixel rows, bottom row first, each padded to four bytes.
  std::vector<std::uint8_t> PixelBytes();

  // (0, 0) is the top-left pixel. kClrInvalid outside the image or without one.
  ColorValue ReadPixel(int x, int y);
  // Sets one pixel in the DIB section; the packed copy follows on the next read of it (ReadPixel,
  // FileBytes, PixelBytes, SyncPacked). False outside the image or without one.
  bool WritePixel(int x, int y, ColorValue color);
  // Puts a copy of the image on the desktop's clipboard for any program to paste.
  bool CopyToClipboard();
  // Draws the image at the top-left of the window's client area.
  bool DrawToWindow(WindowHandle window);

 private:
  std::size_t PixelOffset() const { return kInfoHeaderSize + PaletteSize(); }
  // The header and colour table of an image, with room made for its rows; false as CreateBlank.
  bool LayOutImage(int width, int height, int bitsPerPixel);
  // The packed copy's header and colour table, as the GDI takes them.
  DibInfo PackedFormat() const;
  // Puts a DIB section matching the packed copy's header and colour table into a new memory DC.
  bool CreateSection(Gdi::NewRows rows = Gdi::NewRows::Zero);
  // Deletes the DIB section and its memory DC; the packed copy and the screen DC stay.
  void ReleaseSection();
  // Refreshes the packed rows from the DIB section, after drawing has finished.
  void CopyRowsFromSection();
  // Brings the packed copy up to date when pixels were written since it was taken.
  void SyncIfChanged();
  std::optional<BitmapDescription> SectionDescription() const;
  // Makes a blank image of the size and depth and copies it from (sourceX, sourceY) of `source`;
  // false, with the object empty, when any step fails.
  // `rows` says whether the source writes every pixel (the screen does).
  bool CopyImageFrom(GdiHandle source, int sourceX, int sourceY, std::int64_t width,
                     std::int64_t height, int bitsPerPixel, Gdi::NewRows rows = Gdi::NewRows::Zero);
  // Copies a bitmap the loader made, then deletes it.
  bool TakeLoadedBitmap(GdiHandle loaded);
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
