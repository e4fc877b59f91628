#include "platform/win32/win32_gdi.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "bitmap/bmp_decoder.h"
#include "bitmap/icon_file.h"
#include "bitmap/image_file.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_dib.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_icon_image.h"

// Called by their full names below; the macros would rename the class's own methods.
#undef CreateFont
#undef GetObject
#undef TextOut

namespace qel {
namespace {

// Sections this large are kept when deleted, two at most.
constexpr std::size_t kKeptSectionBytes = std::size_t{1} << 20;
constexpr std::size_t kKeptSections = 2;

// Whether a section of `size` bytes is kept when deleted: a kept one is for the next capture, at
// most the whole virtual screen at 32 bits, not a cache of the largest image ever loaded.
bool KeptWhenDeleted(std::size_t size) {
  const auto screenBytes = std::size_t{4} *
                           static_cast<std::size_t>(::GetSystemMetrics(SM_CXVIRTUALSCREEN)) *
                           static_cast<std::size_t>(::GetSystemMetrics(SM_CYVIRTUALSCREEN));
  return size >= kKeptSectionBytes && size <= screenBytes;
}

// The size of the icons windows and LoadImage default to.
constexpr int kIconSize = 32;
// How long a window may take to answer for its icon.
constexpr UINT kIconAnswerTimeoutMs = 50;

template <typename Handle>
Handle SystemHandle(GdiHandle handle) {
  return reinterpret_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

HDC Dc(GdiHandle handle) { return SystemHandle<HDC>(handle); }

GdiHandle HandleOfObject(const void* object) {
  return static_cast<GdiHandle>(reinterpret_cast<std::uintptr_t>(object));
}

// BITMAPINFO with room for a whole colour table, built from what CreateDIBSection and GetDIBits
// take. Given fewer entries than the depth has, the header says how many, so that those past
// them are never chosen.
class DibHeader {
 public:
  explicit DibHeader(const DibInfo& info) {
    BITMAPINFOHEADER& header = Info()->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = info.width;
    header.biHeight = info.height;
    header.biPlanes = 1;
    header.biBitCount = info.bitCount;
    header.biCompression = BI_RGB;
    if (info.bitCount <= 8 && !info.colors.empty()) {
      const std::size_t count =
          std::min<std::size_t>(info.colors.size(), std::size_t{1} << info.bitCount);
      std::memcpy(Info()->bmiColors, info.colors.data(), count * sizeof(RGBQUAD));
      if (count < (std::size_t{1} << info.bitCount)) header.biClrUsed = static_cast<DWORD>(count);
    }
  }

  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(bytes_.data()); }
  // The header and the entries it uses, which make a section what it is.
  std::vector<std::uint8_t> Bytes() const {
    const auto& header = reinterpret_cast<const BITMAPINFOHEADER&>(bytes_);
    const std::size_t entries = header.biBitCount > 8   ? 0
                                : header.biClrUsed != 0 ? header.biClrUsed
                                                        : std::size_t{1} << header.biBitCount;
    return {bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(
                                                 sizeof header + entries * sizeof(RGBQUAD))};
  }

 private:
  alignas(BITMAPINFO)
      std::array<std::uint8_t, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)> bytes_{};
};

// The bytes of `lines` rows of the format; nullopt when it overflows.
std::optional<std::size_t> RowsSize(const DibInfo& format, int lines) {
  if (format.width <= 0 || lines < 0) return std::nullopt;
  const std::uint64_t rowBytes =
      (static_cast<std::uint64_t>(format.width) * format.bitCount + 31) / 32 * 4;
  const std::uint64_t size = rowBytes * static_cast<std::uint64_t>(lines);
  if (size > std::numeric_limits<std::size_t>::max()) return std::nullopt;
  return static_cast<std::size_t>(size);
}

bool IsDepth(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
         bitCount == 32;
}

// A screen-compatible bitmap holding the pixels (0x??RRGGBB, rows top-down), as LoadImage gives
// without LR_CREATEDIBSECTION.
HBITMAP CompatibleBitmapOf(int width, int height, const std::uint32_t* pixels) {
  const ScreenDc screen;
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen.Get(), width, height);
  if (bitmap == nullptr) return nullptr;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  if (::SetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels, &info,
                  DIB_RGB_COLORS) != height) {
    ::DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

HBITMAP BitmapFromBmpBytes(std::span<const std::uint8_t> bytes) {
  const std::optional<BmpDimensions> size = ReadBmpDimensions(bytes);
  if (!size) return nullptr;
  std::vector<std::uint32_t> pixels;
  try {
    pixels.resize(static_cast<std::size_t>(size->width) * static_cast<std::size_t>(size->height));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!DecodeBmp(bytes, pixels.data(), size->width)) return nullptr;
  return CompatibleBitmapOf(size->width, size->height, pixels.data());
}

// A bitmap deleted when it goes.
class OwnedBitmap {
 public:
  explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~OwnedBitmap() {
    if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  HBITMAP Get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

HICON IconOf(const ArgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() <
          static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
    return nullptr;
  }
  // The colour with its alpha in a 32-bit DIB section; the mask all clear, as alpha decides.
  BITMAPINFO info = TopDown32BitInfo(image.width, image.height);
  void* bits = nullptr;
  const OwnedBitmap colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (colour.Get() == nullptr) return nullptr;
  std::memcpy(bits, image.pixels.data(),
              static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
                  sizeof(std::uint32_t));
  // Monochrome rows are padded to 16 bits.
  const std::vector<std::uint8_t> clear(static_cast<std::size_t>((image.width + 15) / 16 * 2) *
                                        static_cast<std::size_t>(image.height));
  const OwnedBitmap mask(::CreateBitmap(image.width, image.height, 1, 1, clear.data()));
  if (mask.Get() == nullptr) return nullptr;
  ICONINFO parts{};
  parts.fIcon = TRUE;
  parts.hbmColor = colour.Get();
  parts.hbmMask = mask.Get();
  return ::CreateIconIndirect(&parts);  // copies both bitmaps
}

// What a DC of the screen or of a window can be read from, in its own coordinates: the whole
// virtual screen, the window's client area (GetDC), or the whole window (GetWindowDC). Nullopt
// for other DCs.
std::optional<RECT> DrawnArea(HDC dc) {
  if (::GetObjectType(dc) != OBJ_DC) return std::nullopt;
  const HWND window = ::WindowFromDC(dc);
  if (window == nullptr || window == ::GetDesktopWindow()) {
    // The screen DC's clip box is the virtual screen, and far cheaper to ask for than the
    // system metrics under Wine, where each costs a round trip.
    RECT screen{};
    if (::GetClipBox(dc, &screen) == ERROR) return std::nullopt;
    return screen;
  }
  RECT client{};
  RECT whole{};
  POINT origin{};
  if (::GetClientRect(window, &client) == 0 || ::GetWindowRect(window, &whole) == 0 ||
      ::GetDCOrgEx(dc, &origin) == 0) {
    return std::nullopt;
  }
  POINT clientOrigin{};
  ::ClientToScreen(window, &clientOrigin);
  if (origin.x == clientOrigin.x && origin.y == clientOrigin.y) return client;
  return RECT{0, 0, whole.right - whole.left, whole.bottom - whole.top};
}

}  // namespace

Win32Gdi::Win32Gdi(ImageServices& images)
    : images_(images),
      clipboardOwner_(std::make_unique<ClipboardOwner>()),
      probeDc_(HandleOfObject(::CreateCompatibleDC(nullptr))) {}

Win32Gdi::~Win32Gdi() {
  for (const auto& [handle, section] : keptSections_) ::DeleteObject(SystemHandle<HGDIOBJ>(handle));
  if (probeDc_ != 0) ::DeleteDC(Dc(probeDc_));
}

bool Win32Gdi::IsSection(GdiHandle handle, const Section& section) {
  DIBSECTION found{};
  return ::GetObjectW(SystemHandle<HGDIOBJ>(handle), sizeof found, &found) == sizeof found &&
         found.dsBm.bmBits == section.bits;
}

bool Win32Gdi::IsFree(GdiHandle bitmap) {
  // A bitmap goes into one DC at a time: one that the probe can take is in none.
  const HGDIOBJ previous = ::SelectObject(Dc(probeDc_), SystemHandle<HGDIOBJ>(bitmap));
  if (previous == nullptr || previous == HGDI_ERROR) return false;
  ::SelectObject(Dc(probeDc_), previous);
  return true;
}

GdiHandle Win32Gdi::GetDC(WindowHandle window) {
  return HandleOfObject(::GetDC(window == 0 ? nullptr : HwndOf(window)));
}

bool Win32Gdi::ReleaseDC(WindowHandle window, GdiHandle dc) {
  return ::ReleaseDC(window == 0 ? nullptr : HwndOf(window), Dc(dc)) == 1;
}

GdiHandle Win32Gdi::CreateCompatibleDC(GdiHandle dc) {
  return HandleOfObject(::CreateCompatibleDC(dc == 0 ? nullptr : Dc(dc)));
}

bool Win32Gdi::DeleteDC(GdiHandle dc) { return ::DeleteDC(Dc(dc)) != 0; }

GdiHandle Win32Gdi::CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits,
                                     NewRows /*rows: every section starts zero here*/) {
  if (bits != nullptr) *bits = nullptr;
  const int height = info.height < 0 ? -info.height : info.height;
  const std::optional<std::size_t> size = RowsSize(info, height);
  if (!IsDepth(info.bitCount) || !size) return 0;
  DibHeader header(info);
  Section section{header.Bytes(), nullptr, *size};
  const auto kept = std::find_if(keptSections_.begin(), keptSections_.end(), [&](const auto& one) {
    return one.second.info == section.info && IsSection(one.first, one.second);
  });
  GdiHandle handle = 0;
  if (kept != keptSections_.end()) {
    handle = kept->first;
    section = std::move(kept->second);
    keptSections_.erase(kept);
    // Zeroed even for a caller that means to overwrite every pixel: the system's BitBlt leaves
    // the part of a screen area off the screen as it was, which must come out black.
    std::memset(section.bits, 0, section.size);
  } else {
    void* made = nullptr;
    handle = HandleOfObject(::CreateDIBSection(dc == 0 ? nullptr : Dc(dc), header.Info(),
                                               DIB_RGB_COLORS, &made, nullptr, 0));
    if (handle == 0) return 0;
    section.bits = static_cast<std::uint8_t*>(made);
  }
  if (bits != nullptr) *bits = section.bits;
  if (KeptWhenDeleted(section.size)) madeSections_[handle] = std::move(section);
  return handle;
}

GdiHandle Win32Gdi::CreateCompatibleBitmap(GdiHandle dc, int width, int height) {
  return HandleOfObject(::CreateCompatibleBitmap(Dc(dc), width, height));
}

GdiHandle Win32Gdi::SelectObject(GdiHandle dc, GdiHandle object) {
  const HGDIOBJ previous = ::SelectObject(Dc(dc), SystemHandle<HGDIOBJ>(object));
  return previous == HGDI_ERROR ? 0 : HandleOfObject(previous);
}

bool Win32Gdi::DeleteObject(GdiHandle object) {
  auto made = madeSections_.find(object);
  // A handle the caller deleted behind this object's back may since name something else.
  if (made != madeSections_.end() && !IsSection(made->first, made->second)) {
    madeSections_.erase(made);
    made = madeSections_.end();
  }
  if (made == madeSections_.end()) return ::DeleteObject(SystemHandle<HGDIOBJ>(object)) != 0;
  // As the system refuses to delete a bitmap still selected into a DC.
  if (!IsFree(object)) return false;
  keptSections_.emplace_back(made->first, std::move(made->second));
  madeSections_.erase(made);
  if (keptSections_.size() > kKeptSections) {
    ::DeleteObject(SystemHandle<HGDIOBJ>(keptSections_.front().first));
    keptSections_.erase(keptSections_.begin());
  }
  return true;
}

std::optional<BitmapDescription> Win32Gdi::GetObject(GdiHandle bitmap) {
  const HGDIOBJ object = SystemHandle<HGDIOBJ>(bitmap);
  if (::GetObjectType(object) != OBJ_BITMAP) return std::nullopt;
  DIBSECTION section{};
  const int size = ::GetObjectW(object, sizeof section, &section);
  if (size != sizeof section && size != sizeof(BITMAP)) return std::nullopt;
  const BITMAP& plain = section.dsBm;
  BitmapDescription description;
  description.width = plain.bmWidth;
  description.height = std::abs(plain.bmHeight);
  description.bitCount = plain.bmBitsPixel;
  description.stride = plain.bmWidthBytes;
  if (size == sizeof section) {
    description.topDown = section.dsBmih.biHeight < 0;
    description.bits = static_cast<std::uint8_t*>(plain.bmBits);
  } else {
    description.topDown = true;  // a device-dependent bitmap's rows run from the top
  }
  return description;
}

bool Win32Gdi::BitBlt(GdiHandle target, int x, int y, int width, int height, GdiHandle source,
                      int sourceX, int sourceY, std::uint32_t rop) {
  HDC from = Dc(source);
  // From the screen or a window, only the part of the area on it is copied, the rest of the target
  // left as it is, as Windows does; Wine copies nothing of an area that reaches past the edge, so
  // the area is cut to the edges here.
  if (const std::optional<RECT> bounds = DrawnArea(from); bounds && width > 0 && height > 0) {
    const auto cut = [](int& at, int& length, int& targetAt, long low, long high) {
      const long first = std::max<long>(at, low);
      const long last = std::min<long>(static_cast<long>(at) + length, high);
      if (first >= last) return false;
      targetAt = static_cast<int>(targetAt + (first - at));
      at = static_cast<int>(first);
      length = static_cast<int>(last - first);
      return true;
    };
    if (!cut(sourceX, width, x, bounds->left, bounds->right) ||
        !cut(sourceY, height, y, bounds->top, bounds->bottom)) {
      return ::GetObjectType(Dc(target)) != 0;  // nothing of it is on the screen
    }
  }
  return ::BitBlt(Dc(target), x, y, width, height, from, sourceX, sourceY, rop) != 0;
}

int Win32Gdi::GetDIBits(GdiHandle dc, GdiHandle bitmap, int start, int lines,
                        std::span<std::uint8_t> out, const DibInfo& format) {
  // The system trusts the buffer to hold the lines; it is checked here.
  const std::optional<std::size_t> needed = RowsSize(format, lines);
  if (!IsDepth(format.bitCount) || !needed || out.size() < *needed || start < 0) return 0;
  DibHeader header(format);
  return ::GetDIBits(Dc(dc), SystemHandle<HBITMAP>(bitmap), static_cast<UINT>(start),
                     static_cast<UINT>(lines), out.data(), header.Info(), DIB_RGB_COLORS);
}

ColorValue Win32Gdi::GetPixel(GdiHandle dc, int x, int y) { return ::GetPixel(Dc(dc), x, y); }

bool Win32Gdi::SetPixelV(GdiHandle dc, int x, int y, ColorValue color) {
  return ::SetPixelV(Dc(dc), x, y, color) != 0;
}

bool Win32Gdi::FillRect(GdiHandle dc, const GdiRect& rect, ColorValue color) {
  HBRUSH brush = ::CreateSolidBrush(color);
  if (brush == nullptr) return false;
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  const bool filled = ::FillRect(Dc(dc), &area, brush) != 0;
  ::DeleteObject(brush);
  return filled;
}

int Win32Gdi::PrintWindow(WindowHandle window, GdiHandle dc, std::uint32_t flags) {
  return ::PrintWindow(HwndOf(window), Dc(dc), flags);
}

int Win32Gdi::SetDIBitsToDevice(GdiHandle dc, int x, int y, int width, int height, int sourceX,
                                int sourceY, int startScan, int lines,
                                std::span<const std::uint8_t> bits, const DibInfo& format) {
  const int rows = format.height < 0 ? -format.height : format.height;
  const std::optional<std::size_t> needed = RowsSize(format, rows);
  if (!IsDepth(format.bitCount) || !needed || bits.size() < *needed || width < 0 || height < 0 ||
      startScan < 0 || lines < 0 || lines > rows) {
    return 0;
  }
  DibHeader header(format);
  return ::SetDIBitsToDevice(Dc(dc), x, y, static_cast<DWORD>(width), static_cast<DWORD>(height),
                             sourceX, sourceY, static_cast<UINT>(startScan),
                             static_cast<UINT>(lines), bits.data(), header.Info(), DIB_RGB_COLORS);
}

GdiHandle Win32Gdi::CreateFont(const FontRequest& font) {
  const std::wstring face = GbkToUtf16(font.face);
  return HandleOfObject(::CreateFontW(font.height, 0, 0, 0, font.weight, font.italic,
                                      font.underline, font.strikeOut, font.charSet,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str()));
}

int Win32Gdi::SetBkMode(GdiHandle dc, int mode) { return ::SetBkMode(Dc(dc), mode); }

ColorValue Win32Gdi::SetTextColor(GdiHandle dc, ColorValue color) {
  return ::SetTextColor(Dc(dc), color);
}

ColorValue Win32Gdi::SetBkColor(GdiHandle dc, ColorValue color) {
  return ::SetBkColor(Dc(dc), color);
}

bool Win32Gdi::TextOut(GdiHandle dc, int x, int y, std::string_view text) {
  const std::wstring wide = GbkToUtf16(text);
  if (wide.size() > static_cast<std::size_t>(INT_MAX)) return false;
  return ::TextOutW(Dc(dc), x, y, wide.c_str(), static_cast<int>(wide.size())) != 0;
}

int Win32Gdi::GetDeviceCaps(GdiHandle dc, int index) { return ::GetDeviceCaps(Dc(dc), index); }

bool Win32Gdi::GdiFlush() { return ::GdiFlush() != 0; }

GdiHandle Win32Gdi::LoadImageFromFile(const std::string& path, ImageType type, int width,
                                      int height) {
  const std::wstring widePath = GbkToUtf16(path);
  if (type == ImageType::Bitmap) {
    // The system's loader makes whatever image a file declares, and waits on a pipe.
    if (!MayLoadBmpFile(std::filesystem::path(widePath))) return 0;
    return HandleOfObject(
        ::LoadImageW(nullptr, widePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  }
  // 0 x 0 asks for the usual size, not the first image's.
  return HandleOfObject(::LoadImageW(nullptr, widePath.c_str(), IMAGE_ICON, width, height,
                                     LR_LOADFROMFILE | LR_DEFAULTSIZE));
}

GdiHandle Win32Gdi::LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type,
                                        int width, int height) {
  if (type == ImageType::Bitmap) return HandleOfObject(BitmapFromBmpBytes(bytes));
  const std::optional<ArgbImage> image = ReadIconFile(bytes, width, height, images_);
  return image ? HandleOfObject(IconOf(*image)) : 0;
}

GdiHandle Win32Gdi::WindowIcon(WindowHandle window) {
  const HWND hwnd = HwndOf(window);
  if (window == 0 || ::IsWindow(hwnd) == 0) return 0;
  // Nearest the usual size; of two as near, the larger, which loses less when it is drawn.
  HICON best = nullptr;
  int bestDistance = INT_MAX;
  int bestWidth = 0;
  for (const HICON icon : WindowIconHandles(hwnd, kIconAnswerTimeoutMs)) {
    const std::optional<ArgbImage> image = IconImage(icon);
    if (!image) continue;
    const int distance = std::abs(image->width - kIconSize) + std::abs(image->height - kIconSize);
    if (distance < bestDistance || (distance == bestDistance && image->width > bestWidth)) {
      best = icon;
      bestDistance = distance;
      bestWidth = image->width;
    }
  }
  return best == nullptr ? 0 : HandleOfObject(::CopyIcon(best));
}

GdiHandle Win32Gdi::CreateIcon(ArgbImage image) { return HandleOfObject(IconOf(image)); }

bool Win32Gdi::DestroyIcon(GdiHandle icon) { return ::DestroyIcon(SystemHandle<HICON>(icon)) != 0; }

bool Win32Gdi::DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height) {
  return ::DrawIconEx(Dc(dc), x, y, SystemHandle<HICON>(icon), width, height, 0, nullptr,
                      DI_NORMAL) != 0;
}

bool Win32Gdi::SetClipboardBitmap(GdiHandle bitmap) {
  const HBITMAP handle = SystemHandle<HBITMAP>(bitmap);
  madeSections_.erase(bitmap);  // the clipboard's from now on
  {
    const OpenedClipboard clipboard(clipboardOwner_->Get());
    if (clipboard.IsOpen() && ::EmptyClipboard() != 0 &&
        ::SetClipboardData(CF_BITMAP, handle) != nullptr) {
      return true;
    }
  }
  // The clipboard owns the bitmap whatever happened; one it did not take is deleted here.
  ::DeleteObject(handle);
  return false;
}

GdiHandle Win32Gdi::ClipboardBitmap() {
  const OpenedClipboard clipboard(clipboardOwner_->Get());
  if (!clipboard.IsOpen()) return 0;
  return HandleOfObject(::GetClipboardData(CF_BITMAP));
}

}  // namespace qel
