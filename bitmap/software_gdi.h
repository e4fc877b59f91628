// GDI done in portable software: the image formats, conversions and drawing rules of Windows' GDI
// over our own DIB rows, with the screen, windows, clipboard, image decoding and text rasterising
// taken from the platform's services. What each call does is Gdi's (bitmap/gdi.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "bitmap/dib_surface.h"
#include "bitmap/gdi.h"

namespace qel {

// A handle is not reused before the counter wraps after 2^32 of them, so a stale one fails.
class SoftwareGdi final : public Gdi {
 public:
  // The desktop is where a window's own drawing comes from (PrintWindow).
  SoftwareGdi(ScreenSource& screen, Desktop& desktop, ImageServices& images);

  GdiHandle GetDC(WindowHandle window) override;
  bool ReleaseDC(WindowHandle window, GdiHandle dc) override;
  GdiHandle CreateCompatibleDC(GdiHandle dc) override;
  bool DeleteDC(GdiHandle dc) override;
  GdiHandle CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits,
                             NewRows rows = NewRows::Zero) override;
  GdiHandle CreateCompatibleBitmap(GdiHandle dc, int width, int height) override;
  GdiHandle SelectObject(GdiHandle dc, GdiHandle object) override;
  bool DeleteObject(GdiHandle object) override;
  std::optional<BitmapDescription> GetObject(GdiHandle bitmap) override;
  bool BitBlt(GdiHandle target, int x, int y, int width, int height, GdiHandle source, int sourceX,
              int sourceY, std::uint32_t rop) override;
  int GetDIBits(GdiHandle dc, GdiHandle bitmap, int start, int lines, std::span<std::uint8_t> out,
                const DibInfo& format) override;
  ColorValue GetPixel(GdiHandle dc, int x, int y) override;
  bool SetPixelV(GdiHandle dc, int x, int y, ColorValue color) override;
  bool FillRect(GdiHandle dc, const GdiRect& rect, ColorValue color) override;
  int PrintWindow(WindowHandle window, GdiHandle dc, std::uint32_t flags) override;
  int SetDIBitsToDevice(GdiHandle dc, int x, int y, int width, int height, int sourceX, int sourceY,
                        int startScan, int lines, std::span<const std::uint8_t> bits,
                        const DibInfo& format) override;
  GdiHandle CreateFont(const FontRequest& font) override;
  int SetBkMode(GdiHandle dc, int mode) override;
  ColorValue SetTextColor(GdiHandle dc, ColorValue color) override;
  ColorValue SetBkColor(GdiHandle dc, ColorValue color) override;
  bool TextOut(GdiHandle dc, int x, int y, std::string_view text) override;
  int GetDeviceCaps(GdiHandle dc, int index) override;
  GdiHandle LoadImageFromFile(const std::string& path, ImageType type, int width,
                              int height) override;
  GdiHandle LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type, int width,
                                int height) override;
  GdiHandle WindowIcon(WindowHandle window) override;
  GdiHandle CreateIcon(ArgbImage image) override;
  bool DestroyIcon(GdiHandle icon) override;
  bool DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height) override;
  bool SetClipboardBitmap(GdiHandle bitmap) override;
  GdiHandle ClipboardBitmap() override;
  // Drawing is never batched, so every call has finished when it returns.
  bool GdiFlush() override { return true; }

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
  // None larger than the whole screen at 32 bits, as the latest capture found it, is kept: the
  // screen is not asked for its size at a deletion (on Wayland that would open the screen cast).
  std::array<std::vector<std::uint8_t>, 2> spareRows_;
  std::size_t nextSpare_ = 0;
  std::size_t screenBytes_ = 0;
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
