// The bitmap classes' GDI on Windows: every call is the system's own, and every handle given or
// taken is the system's (the 32-bit value, sign-extended in a 64-bit process), so a Windows
// program can draw into a bitmap's memory DC with GDI, hand in a bitmap from LoadImage or capture
// through a window's DC. What each call does is Gdi's (bitmap/gdi.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "bitmap/gdi.h"
#include "platform/platform.h"

namespace qel {

class ClipboardOwner;

class Win32Gdi final : public Gdi {
 public:
  // `images` decodes PNG images inside icon files given as bytes.
  explicit Win32Gdi(ImageServices& images);
  ~Win32Gdi() override;

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
  // Aliased (NONANTIALIASED_QUALITY), as the text searches need every pixel drawn or not.
  GdiHandle CreateFont(const FontRequest& font) override;
  int SetBkMode(GdiHandle dc, int mode) override;
  ColorValue SetTextColor(GdiHandle dc, ColorValue color) override;
  ColorValue SetBkColor(GdiHandle dc, ColorValue color) override;
  bool TextOut(GdiHandle dc, int x, int y, std::string_view text) override;
  int GetDeviceCaps(GdiHandle dc, int index) override;
  bool GdiFlush() override;
  // LoadImage itself; `path` is GBK.
  GdiHandle LoadImageFromFile(const std::string& path, ImageType type, int width,
                              int height) override;
  // LoadImage reads only files: the bytes are decoded as it decodes a file, into what it gives.
  GdiHandle LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type, int width,
                                int height) override;
  // A copy of the window's icon, the caller's to destroy.
  GdiHandle WindowIcon(WindowHandle window) override;
  GdiHandle CreateIcon(ArgbImage image) override;
  bool DestroyIcon(GdiHandle icon) override;
  bool DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height) override;
  bool SetClipboardBitmap(GdiHandle bitmap) override;
  GdiHandle ClipboardBitmap() override;

 private:
  // A large DIB section this object made, by the header and colour table it was made with.
  struct Section {
    std::vector<std::uint8_t> info;
    std::uint8_t* bits = nullptr;
    std::size_t size = 0;
  };
  // Whether the bitmap is selected into no DC, so that it can be deleted or kept.
  bool IsFree(GdiHandle bitmap);
  // Whether the handle still names that section.
  static bool IsSection(GdiHandle handle, const Section& section);

  ImageServices& images_;
  std::unique_ptr<ClipboardOwner> clipboardOwner_;
  // A memory DC that tries bitmaps on (IsFree).
  GdiHandle probeDc_ = 0;
  // Large sections made here and not deleted yet, and the latest ones deleted, kept for the next
  // request with the same header: a capture replaces its image by one of the same size every
  // time, and a fresh section of a whole screen costs more in page faults than the capture.
  std::map<GdiHandle, Section> madeSections_;
  std::vector<std::pair<GdiHandle, Section>> keptSections_;
};

}  // namespace qel
