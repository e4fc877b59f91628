// The small part of GDI that the bitmap classes are built on, done in portable software: device
// contexts, DIB sections and BitBlt behind integer handles, with the screen as the one outside DC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "bitmap/color_table.h"
#include "bitmap/dib_surface.h"
#include "platform/platform.h"

namespace qel {

// A DC or a bitmap. 0 is never a valid handle, and a handle is not reused before the counter
// wraps after 2^32 of them, so a stale one fails.
using GdiHandle = std::uint32_t;

inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;

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

  // Only the whole screen (window 0) has a DC; each call gives a DC of its own.
  GdiHandle GetDC(WindowHandle window);
  bool ReleaseDC(WindowHandle window, GdiHandle dc);

  // A memory DC holding the shared 1 x 1 monochrome default bitmap. `dc` is 0 or a live DC.
  GdiHandle CreateCompatibleDC(GdiHandle dc);
  // Leaves the selected bitmap alive and free to be selected elsewhere. Not for screen DCs.
  bool DeleteDC(GdiHandle dc);

  // `dc` is 0 or a live DC. `bits` (may be null) receives the address of the rows, which stays
  // valid until the section is deleted.
  GdiHandle CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits);
  // A 32-bit bitmap, rows top-down; `dc` must be live.
  GdiHandle CreateCompatibleBitmap(GdiHandle dc, int width, int height);

  // Gives the previously selected bitmap, or 0 when the DC or bitmap is not live, the DC is the
  // screen's, or the bitmap is selected into another DC.
  GdiHandle SelectObject(GdiHandle dc, GdiHandle bitmap);
  // Fails on a bitmap still selected into a DC. The default bitmap is never deleted.
  bool DeleteObject(GdiHandle bitmap);
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

  // Drawing is never batched, so every call has finished when it returns.
  bool GdiFlush() { return true; }

 private:
  struct Dc {
    bool screen = false;
    GdiHandle bitmap = 0;
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

  ScreenSource& screen_;
  Desktop& desktop_;
  ImageServices& images_;
  GdiHandle lastHandle_ = 0;
  // Screen pixels on their way into a bitmap, kept between captures: a fresh buffer of a whole
  // screen costs more in page faults than the capture itself.
  std::vector<std::uint32_t> capturedScreen_;
  GdiHandle defaultBitmap_ = 0;
  std::map<GdiHandle, Dc> dcs_;
  std::map<GdiHandle, Bitmap> bitmaps_;
  struct CachedIndex {
    std::vector<RgbQuad> colors;
    std::shared_ptr<const ColorTableIndex> index;
  };
  // The program uses three tables; the bound only keeps odd callers from growing it forever.
  static constexpr std::size_t kCachedTables = 8;
  std::vector<CachedIndex> indexCache_;
};

}  // namespace qel
