// The small part of GDI that the bitmap classes are built on, done in portable software: device
// contexts, DIB sections and BitBlt behind integer handles, with the screen and windows as the
// outside DCs, and the image loader, icons and clipboard that GDI programs use beside them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bitmap/color_table.h"
#include "bitmap/dib_surface.h"
#include "platform/platform.h"

namespace qel {

// A DC, a bitmap or an icon. 0 is never a valid handle, and a handle is not reused before the
// counter wraps after 2^32 of them, so a stale one fails.
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
  // The desktop is where a window's own drawing comes from (PrintWindow).
  Gdi(ScreenSource& screen, Desktop& desktop, ImageServices& images);
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;

  // The whole screen's DC for window 0, else the window's: reading it reads what the screen shows
  // of the client area, (0, 0) at the client area's top-left corner; drawing into it draws there.
  // Each call gives a DC of its own; 0 for a handle that is not a window.
  GdiHandle GetDC(WindowHandle window);
  // `window` must be the one the DC was got for.
  bool ReleaseDC(WindowHandle window, GdiHandle dc);

  // A memory DC holding the shared 1 x 1 monochrome default bitmap. `dc` is 0 or a live DC.
  GdiHandle CreateCompatibleDC(GdiHandle dc);
  // Leaves the selected bitmap alive and free to be selected elsewhere. Not for screen DCs.
  bool DeleteDC(GdiHandle dc);

  // `dc` is 0 or a live DC. `bits` (may be null) receives the address of the rows, which stays
  // valid until the section is deleted. The rows are zero unless the caller says it overwrites
  // every pixel before any is read (a capture of the screen), when they may hold anything.
  enum class NewRows { Zero, Overwritten };
  GdiHandle CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits,
                             NewRows rows = NewRows::Zero);
  // A 32-bit bitmap, rows top-down; `dc` must be live.
  GdiHandle CreateCompatibleBitmap(GdiHandle dc, int width, int height);

  // A bitmap: gives the previously selected bitmap, or 0 when the DC or bitmap is not live, the
  // DC is the screen's, or the bitmap is selected into another DC. A font: gives the previous
  // font (the stock font's handle the first time), or 0 when the DC or font is not live.
  GdiHandle SelectObject(GdiHandle dc, GdiHandle object);
  // Fails on a bitmap or font still selected into a DC. The default bitmap and the stock font are
  // never deleted.
  bool DeleteObject(GdiHandle object);
  std::optional<BitmapDescription> GetObject(GdiHandle bitmap);

  // SRCCOPY only. The target is a memory DC. Clipped to the target and to a memory source;
  // screen areas outside the screen come out black. Zero or negative sizes copy nothing.
  bool BitBlt(GdiHandle target, int x, int y, int width, int height, GdiHandle source, int sourceX,
              int sourceY, std::uint32_t rop);

  // Copies `lines` scan lines from `start`, converted to `format`, into `out`. The format's width
  // and row count must be the bitmap's; its sign says the scan order (positive: from the bottom
  // row up). Gives the number of lines copied: fewer when the image ends first, 0 on a bad
  // handle or format or when `out` cannot hold them.
  int GetDIBits(GdiHandle dc, GdiHandle bitmap, int start, int lines, std::span<std::uint8_t> out,
                const DibInfo& format);

  // kClrInvalid outside the image or for a DC that is not live.
  ColorValue GetPixel(GdiHandle dc, int x, int y);
  bool SetPixelV(GdiHandle dc, int x, int y, ColorValue color);
  // Fills the rectangle, right and bottom excluded, clipped to the image.
  bool FillRect(GdiHandle dc, const GdiRect& rect, ColorValue color);

  // Draws the whole window, frame included and whatever covers it, at (0, 0) of the bitmap
  // selected into `dc`, clipped to it. 1 on success, 0 for a DC that is not a live memory DC, a
  // window that cannot draw itself, or any flag (only the whole window is supported).
  int PrintWindow(WindowHandle window, GdiHandle dc, std::uint32_t flags);

  // Draws the DIB in `bits` (laid out as `format` says) at (x, y) of `dc`, its width x height
  // corner at the top-left, clipped: onto the window for a window's DC, into the bitmap for a
  // memory DC. Only the whole image at once is taken (source 0, 0, start scan 0, lines all its
  // rows), which keeps clear of GDI's bottom-left source origin. Gives the lines drawn, 0 on
  // failure.
  int SetDIBitsToDevice(GdiHandle dc, int x, int y, int width, int height, int sourceX, int sourceY,
                        int startScan, int lines, std::span<const std::uint8_t> bits,
                        const DibInfo& format);

  // A font for TextOut; the platform draws it, so a face it lacks becomes its nearest one.
  GdiHandle CreateFont(const FontRequest& font);
  // The previous value, or 0 (mode) and kClrInvalid (colours) for a DC that is not live.
  int SetBkMode(GdiHandle dc, int mode);
  ColorValue SetTextColor(GdiHandle dc, ColorValue color);
  ColorValue SetBkColor(GdiHandle dc, ColorValue color);
  // Draws GBK text with the DC's font and text colour, its cell's top-left corner at (x, y) of a
  // memory DC's bitmap, clipped to it; in opaque mode the cell is filled with the background
  // colour first. False for a DC that is not a live memory DC or when no font can be had.
  bool TextOut(GdiHandle dc, int x, int y, std::string_view text);
  // The screen's size, depth and dots per inch, for any live DC; 0 for other indices.
  int GetDeviceCaps(GdiHandle dc, int index);

  // Drawing is never batched, so every call has finished when it returns.
  bool GdiFlush() { return true; }

  // A BMP file as a screen-compatible bitmap (32 bits, as LoadImage gives without
  // LR_CREATEDIBSECTION), or an .ico file as an icon, the image nearest width x height (0 x 0 for
  // the usual 32 x 32). 0 when the file cannot be read or decoded.
  GdiHandle LoadImageFromFile(const std::string& path, ImageType type, int width, int height);
  GdiHandle LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type, int width,
                                int height);
  // The icon a window offers for itself, nearest the usual 32 x 32; 0 when it offers none.
  GdiHandle WindowIcon(WindowHandle window);
  GdiHandle CreateIcon(ArgbImage image);
  bool DestroyIcon(GdiHandle icon);
  // Draws the icon stretched to width x height (0 for its own size) at (x, y), blended over what is
  // there by its alpha (a masked icon's transparent parts leave the target as it is). DI_NORMAL
  // is the only way of drawing.
  bool DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height);

  // Puts the bitmap on the desktop's clipboard. As with SetClipboardData, the clipboard owns the
  // bitmap from then on, also when this fails: the caller neither uses nor deletes it again.
  bool SetClipboardBitmap(GdiHandle bitmap);
  // The image on the desktop's clipboard as a bitmap the clipboard owns (valid until the
  // clipboard's next use; the caller must not delete it); 0 when there is none.
  GdiHandle ClipboardBitmap();

 private:
  struct Dc {
    bool screen = false;  // the screen's or a window's
    WindowHandle window = 0;
    GdiHandle bitmap = 0;
    GdiHandle font = 0;  // 0 until one is selected: the stock font
    ColorValue textColor = 0x000000;
    ColorValue bkColor = 0xFFFFFF;
    int bkMode = kOpaque;
  };
  struct Bitmap {
    DibSurface surface;
    bool dibSection = false;
    GdiHandle selectedInto = 0;  // the default bitmap is shared and never records this
  };

  GdiHandle NewHandle();
  Dc* FindDc(GdiHandle dc);
  Bitmap* FindBitmap(GdiHandle bitmap);
  // The bitmap of a live memory DC.
  DibSurface* MemorySurface(GdiHandle dc);
  // One lookup per colour table, shared by every DIB section that uses that table.
  std::shared_ptr<const ColorTableIndex> IndexFor(const std::vector<RgbQuad>& colors);
  bool BlitFromScreen(DibSurface& target, int x, int y, int width, int height, int sourceX,
                      int sourceY);
  // Reads what the screen shows of the window's client area, whose (0, 0) is (sourceX, sourceY)'s
  // origin; the parts outside it stay as they are.
  bool BlitFromWindow(WindowHandle window, DibSurface& target, int x, int y, int width, int height,
                      int sourceX, int sourceY);
  // A handle for a new bitmap with these rows.
  GdiHandle AddBitmap(DibSurface&& surface, bool dibSection);
  // A new 32-bit screen-compatible bitmap holding the pixels (0x??RRGGBB, rows top-down).
  GdiHandle BitmapFromPixels(int width, int height, std::span<const std::uint32_t> pixels);
  GdiHandle IconFromBytes(std::span<const std::uint8_t> bytes, int width, int height);
  GdiHandle BitmapFromBmpBytes(std::span<const std::uint8_t> bytes);
  void ReleaseClipboardBitmap();
  GdiHandle SelectFont(GdiHandle dc, GdiHandle font);
  bool DeleteFont(GdiHandle font);

  ScreenSource& screen_;
  Desktop& desktop_;
  ImageServices& images_;
  GdiHandle lastHandle_ = 0;
  // Screen pixels on their way into a bitmap, kept between captures: a fresh buffer of a whole
  // screen costs more in page faults than the capture itself.
  std::vector<std::uint32_t> capturedScreen_;
  // The rows of the latest large bitmaps deleted, for the next ones of the same size: a capture
  // replaces its image by one of the same size every time, a load passes through two bitmaps.
  std::array<std::vector<std::uint8_t>, 2> spareRows_;
  std::size_t nextSpare_ = 0;
  void KeepRows(std::vector<std::uint8_t>&& rows);
  GdiHandle defaultBitmap_ = 0;
  std::map<GdiHandle, Dc> dcs_;
  std::map<GdiHandle, Bitmap> bitmaps_;
  std::map<GdiHandle, ArgbImage> icons_;
  std::map<GdiHandle, FontRequest> fonts_;
  GdiHandle stockFont_ = 0;
  // The bitmap the clipboard holds, put there or read from the desktop's clipboard.
  GdiHandle clipboardBitmap_ = 0;
  struct CachedIndex {
    std::vector<RgbQuad> colors;
    std::shared_ptr<const ColorTableIndex> index;
  };
  // The program uses three tables; the bound only keeps odd callers from growing it forever.
  static constexpr std::size_t kCachedTables = 8;
  std::vector<CachedIndex> indexCache_;
};

}  // namespace qel
