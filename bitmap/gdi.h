// The small part of GDI that the bitmap classes are built on: device contexts, DIB sections and
// BitBlt behind integer handles, with the screen and windows as the outside DCs, and the image
// loader, icons and clipboard that GDI programs use beside them. Two implementations stand behind
// it: our portable software one (bitmap/software_gdi.h) and, on Windows, the system's own
// (platform/win32/win32_gdi.h), whose handles are the system's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bitmap/color_table.h"
#include "platform/platform.h"

namespace qel {

// A DC, a bitmap, a font or an icon. 0 is never a valid handle. The system's handles are 32-bit
// values on Windows, sign-extended in a 64-bit process, as window handles are.
using GdiHandle = std::uint32_t;

inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;

// GetDeviceCaps indices.
inline constexpr int kHorzRes = 8;
inline constexpr int kVertRes = 10;
inline constexpr int kBitsPixel = 12;
inline constexpr int kLogPixelsX = 88;
inline constexpr int kLogPixelsY = 90;

// Background modes of text drawing.
inline constexpr int kTransparent = 1;
inline constexpr int kOpaque = 2;

// What LoadImage loads.
enum class ImageType { Bitmap, Icon };

// What CreateDIBSection takes: the header fields that matter, and the colour table for 1, 4 and
// 8 bits (entries past the given ones read as black and are never chosen).
struct DibInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;  // below zero: rows top-down
  std::uint16_t bitCount = 0;
  std::vector<RgbQuad> colors;
};

// GetObject's answer for a bitmap. Only a DIB section shows its bits.
struct BitmapDescription {
  int width = 0;
  int height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  int stride = 0;
  std::uint8_t* bits = nullptr;
};

struct GdiRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Gdi {
 public:
  Gdi() = default;
  virtual ~Gdi() = default;
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;

  // The whole screen's DC for window 0, else the window's: reading it reads what the screen shows
  // of the client area, (0, 0) at the client area's top-left corner; drawing into it draws there.
  // Each call gives a DC of its own; 0 for a handle that is not a window.
  virtual GdiHandle GetDC(WindowHandle window) = 0;
  // `window` must be the one the DC was got for.
  virtual bool ReleaseDC(WindowHandle window, GdiHandle dc) = 0;

  // A memory DC holding the shared 1 x 1 monochrome default bitmap. `dc` is 0 or a live DC.
  virtual GdiHandle CreateCompatibleDC(GdiHandle dc) = 0;
  // Leaves the selected bitmap alive and free to be selected elsewhere. Not for screen DCs.
  virtual bool DeleteDC(GdiHandle dc) = 0;

  // `dc` is 0 or a live DC. `bits` (may be null) receives the address of the rows, which stays
  // valid until the section is deleted. The rows are zero unless the caller says it overwrites
  // every pixel before any is read (a capture of the screen), when they may hold anything.
  enum class NewRows { Zero, Overwritten };
  virtual GdiHandle CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits,
                                     NewRows rows = NewRows::Zero) = 0;
  // A 32-bit bitmap, rows top-down; `dc` must be live.
  virtual GdiHandle CreateCompatibleBitmap(GdiHandle dc, int width, int height) = 0;

  // A bitmap: gives the previously selected bitmap, or 0 when the DC or bitmap is not live, the
  // DC is the screen's, or the bitmap is selected into another DC. A font: gives the previous
  // font (the stock font's handle the first time), or 0 when the DC or font is not live.
  virtual GdiHandle SelectObject(GdiHandle dc, GdiHandle object) = 0;
  // Fails on a bitmap or font still selected into a DC. The default bitmap and the stock font are
  // never deleted.
  virtual bool DeleteObject(GdiHandle object) = 0;
  virtual std::optional<BitmapDescription> GetObject(GdiHandle bitmap) = 0;

  // SRCCOPY only. The target is a memory DC. Clipped to the target and to a memory source;
  // screen areas outside the screen come out black. Zero or negative sizes copy nothing.
  virtual bool BitBlt(GdiHandle target, int x, int y, int width, int height, GdiHandle source,
                      int sourceX, int sourceY, std::uint32_t rop) = 0;

  // Copies `lines` scan lines from `start`, converted to `format`, into `out`. The format's width
  // and row count must be the bitmap's; its sign says the scan order (positive: from the bottom
  // row up). Gives the number of lines copied: fewer when the image ends first, 0 on a bad
  // handle or format or when `out` cannot hold them.
  virtual int GetDIBits(GdiHandle dc, GdiHandle bitmap, int start, int lines,
                        std::span<std::uint8_t> out, const DibInfo& format) = 0;

  // kClrInvalid outside the image or for a DC that is not live.
  virtual ColorValue GetPixel(GdiHandle dc, int x, int y) = 0;
  virtual bool SetPixelV(GdiHandle dc, int x, int y, ColorValue color) = 0;
  // Fills the rectangle, right and bottom excluded, clipped to the image.
  virtual bool FillRect(GdiHandle dc, const GdiRect& rect, ColorValue color) = 0;

  // Draws the whole window, frame included and whatever covers it, at (0, 0) of the bitmap
  // selected into `dc`, clipped to it. 1 on success, 0 for a DC that is not a live memory DC, a
  // window that cannot draw itself, or any flag (only the whole window is supported).
  virtual int PrintWindow(WindowHandle window, GdiHandle dc, std::uint32_t flags) = 0;

  // Draws the DIB in `bits` (laid out as `format` says) at (x, y) of `dc`, its width x height
  // corner at the top-left, clipped: onto the window for a window's DC, into the bitmap for a
  // memory DC. Only the whole image at once is taken (source 0, 0, start scan 0, lines all its
  // rows), which keeps clear of GDI's bottom-left source origin. Gives the lines drawn, 0 on
  // failure.
  virtual int SetDIBitsToDevice(GdiHandle dc, int x, int y, int width, int height, int sourceX,
                                int sourceY, int startScan, int lines,
                                std::span<const std::uint8_t> bits, const DibInfo& format) = 0;

  // A font for TextOut; the platform draws it, so a face it lacks becomes its nearest one.
  virtual GdiHandle CreateFont(const FontRequest& font) = 0;
  // The previous value, or 0 (mode) and kClrInvalid (colours) for a DC that is not live.
  virtual int SetBkMode(GdiHandle dc, int mode) = 0;
  virtual ColorValue SetTextColor(GdiHandle dc, ColorValue color) = 0;
  virtual ColorValue SetBkColor(GdiHandle dc, ColorValue color) = 0;
  // Draws GBK text with the DC's font and text colour, its cell's top-left corner at (x, y) of a
  // memory DC's bitmap, clipped to it; in opaque mode the cell is filled with the background
  // colour first. False for a DC that is not a live memory DC or when no font can be had.
  virtual bool TextOut(GdiHandle dc, int x, int y, std::string_view text) = 0;
  // The screen's size, depth and dots per inch, for any live DC; 0 for other indices.
  virtual int GetDeviceCaps(GdiHandle dc, int index) = 0;

  // Every drawing call made so far has finished when this returns: the rows of a DIB section
  // then hold what was drawn into them.
  virtual bool GdiFlush() = 0;

  // A BMP file as a screen-compatible bitmap (32 bits, as LoadImage gives without
  // LR_CREATEDIBSECTION), or an .ico file as an icon, the image nearest width x height (0 x 0 for
  // the usual 32 x 32). 0 when the file cannot be read or decoded.
  virtual GdiHandle LoadImageFromFile(const std::string& path, ImageType type, int width,
                                      int height) = 0;
  virtual GdiHandle LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type,
                                        int width, int height) = 0;
  // The icon a window offers for itself, nearest the usual 32 x 32; 0 when it offers none.
  virtual GdiHandle WindowIcon(WindowHandle window) = 0;
  virtual GdiHandle CreateIcon(ArgbImage image) = 0;
  virtual bool DestroyIcon(GdiHandle icon) = 0;
  // Draws the icon stretched to width x height (0 for its own size) at (x, y), blended over what is
  // there by its alpha (a masked icon's transparent parts leave the target as it is). DI_NORMAL
  // is the only way of drawing.
  virtual bool DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height) = 0;

  // Puts the bitmap on the desktop's clipboard. As with SetClipboardData, the clipboard owns the
  // bitmap from then on, also when this fails: the caller neither uses nor deletes it again.
  virtual bool SetClipboardBitmap(GdiHandle bitmap) = 0;
  // The image on the desktop's clipboard as a bitmap the clipboard owns (valid until the
  // clipboard's next use; the caller must not delete it); 0 when there is none.
  virtual GdiHandle ClipboardBitmap() = 0;
};

}  // namespace qel
