#include "platform/win32/win32_icon_image.h"

#include <algorithm>
#include <vector>

#include "platform/win32/win32_dib.h"

namespace qel {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kWhite = 0x00FFFFFFu;
// Icons are at most 256 pixels a side; anything much larger is no icon worth reading.
constexpr int kLargestSide = 1024;

// A bitmap that GetIconInfo hands over, deleted with it.
class OwnedBitmap {
 public:
  explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~OwnedBitmap() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;

  HBITMAP Get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

std::optional<BITMAP> SizeOf(HBITMAP bitmap) {
  BITMAP size{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(size), &size) != sizeof(size)) {
    return std::nullopt;
  }
  return size;
}

// The bitmap's rows top-down as 0xAARRGGBB; a monochrome bitmap reads as black and white.
std::optional<std::vector<std::uint32_t>> ReadRows(HDC dc, HBITMAP bitmap, int width, int rows) {
  BITMAPINFO info = TopDown32BitInfo(width, rows);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(rows));
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(rows), pixels.data(), &info, DIB_RGB_COLORS) !=
      rows) {
    return std::nullopt;
  }
  return pixels;
}

}  // namespace

ArgbImage ComposeIcon(int width, int height, std::span<const std::uint32_t> colour,
                      std::span<const std::uint32_t> mask) {
  ArgbImage image{width, height, {}};
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  image.pixels.resize(count);
  if (colour.empty()) {
    for (std::size_t i = 0; i < count; ++i) {
      const bool keepsBackground = (mask[i] & kWhite) != 0;
      const bool flips = (mask[count + i] & kWhite) != 0;
      if (keepsBackground) {
        // A pixel that inverts what lies beneath has no colour of its own; on the light
        // backgrounds such icons were made for it shows dark.
        image.pixels[i] = flips ? kOpaque : 0u;
      } else {
        image.pixels[i] = kOpaque | (flips ? kWhite : 0u);
      }
    }
    return image;
  }
  const bool hasAlpha =
      std::any_of(colour.begin(), colour.begin() + static_cast<std::ptrdiff_t>(count),
                  [](std::uint32_t pixel) { return (pixel & kOpaque) != 0; });
  for (std::size_t i = 0; i < count; ++i) {
    if (hasAlpha) {
      image.pixels[i] = colour[i];
    } else {
      image.pixels[i] = (mask[i] & kWhite) != 0 ? 0u : kOpaque | (colour[i] & kWhite);
    }
  }
  return image;
}

std::optional<ArgbImage> IconImage(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || GetIconInfo(icon, &info) == 0) return std::nullopt;
  const OwnedBitmap colour(info.hbmColor);
  const OwnedBitmap mask(info.hbmMask);
  const std::optional<BITMAP> maskSize = SizeOf(mask.Get());
  if (!maskSize) return std::nullopt;
  const bool monochrome = colour.Get() == nullptr;
  const int width = maskSize->bmWidth;
  const int height = monochrome ? maskSize->bmHeight / 2 : maskSize->bmHeight;
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
    return std::nullopt;
  }
  const ScreenDc screen;
  if (screen.Get() == nullptr) return std::nullopt;
  const auto maskRows = ReadRows(screen.Get(), mask.Get(), width, monochrome ? 2 * height : height);
  if (!maskRows) return std::nullopt;
  if (monochrome) return ComposeIcon(width, height, {}, *maskRows);
  const std::optional<BITMAP> colourSize = SizeOf(colour.Get());
  if (!colourSize || colourSize->bmWidth != width || colourSize->bmHeight != height) {
    return std::nullopt;
  }
  const auto colourRows = ReadRows(screen.Get(), colour.Get(), width, height);
  if (!colourRows) return std::nullopt;
  return ComposeIcon(width, height, *colourRows, *maskRows);
}

std::vector<HICON> WindowIconHandles(HWND window, UINT answerTimeoutMs) {
  std::vector<HICON> icons;
  for (const WPARAM kind : {ICON_BIG, ICON_SMALL2, ICON_SMALL}) {
    DWORD_PTR icon = 0;
    if (SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, answerTimeoutMs,
                            &icon) != 0 &&
        icon != 0) {
      icons.push_back(reinterpret_cast<HICON>(icon));
    }
  }
  for (const int index : {GCLP_HICON, GCLP_HICONSM}) {
    if (const ULONG_PTR icon = GetClassLongPtrW(window, index); icon != 0) {
      icons.push_back(reinterpret_cast<HICON>(icon));
    }
  }
  return icons;
}

}  // namespace qel
