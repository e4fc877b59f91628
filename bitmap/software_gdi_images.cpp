// The mini-GDI's image loader, icons and clipboard: where bitmaps come from besides the screen.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "bitmap/bmp_decoder.h"
#include "bitmap/clip_run.h"
#include "bitmap/icon_file.h"
#include "bitmap/image_file.h"
#include "bitmap/software_gdi.h"

namespace qel {
namespace {

// The size of the icons windows and LoadImage default to.
constexpr int kIconSize = 32;

unsigned Channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFFu; }

// Source over target by the source's alpha, as icons are drawn. Both 0x??RRGGBB.
std::uint32_t Blend(std::uint32_t source, std::uint32_t target) {
  const unsigned alpha = source >> 24;
  if (alpha == 0xFF) return source & 0xFFFFFFu;
  if (alpha == 0) return target;
  std::uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const unsigned mixed =
        (Channel(source, shift) * alpha + Channel(target, shift) * (255 - alpha) + 127) / 255;
    out |= mixed << shift;
  }
  return out;
}

}  // namespace

GdiHandle SoftwareGdi::BitmapFromPixels(int width, int height,
                                        std::span<const std::uint32_t> pixels) {
  std::optional<DibSurface> surface;
  try {
    surface = MakeDibSurface(width, -height, 32, {});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (!surface ||
      pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return 0;
  }
  for (int y = 0; y < height; ++y) {
    WritePixels(*surface, 0, y, pixels.subspan(static_cast<std::size_t>(y) * width, width));
  }
  return AddBitmap(std::move(*surface), false);
}

GdiHandle SoftwareGdi::BitmapFromBmpBytes(std::span<const std::uint8_t> bytes) {
  const std::optional<BmpDimensions> size = ReadBmpDimensions(bytes);
  if (!size) return 0;
  std::optional<DibSurface> surface;
  try {
    // The decoder writes every pixel, black where a compressed image skips some.
    surface = MakeDibSurface(size->width, -size->height, 32, {}, spareRows_, false);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  // A compatible bitmap's rows are top-down 32-bit pixels, just what the decoder writes.
  if (!surface || !DecodeBmp(bytes, reinterpret_cast<std::uint32_t*>(surface->bytes.data()),
                             surface->stride / 4)) {
    return 0;
  }
  return AddBitmap(std::move(*surface), false);
}

GdiHandle SoftwareGdi::IconFromBytes(std::span<const std::uint8_t> bytes, int width, int height) {
  std::optional<ArgbImage> image = ReadIconFile(bytes, width, height, images_);
  return image ? CreateIcon(std::move(*image)) : 0;
}

GdiHandle SoftwareGdi::LoadImageFromFile(const std::string& path, ImageType type, int width,
                                         int height) {
  const std::optional<std::vector<std::uint8_t>> bytes = ReadImageFile(path, type);
  return bytes ? LoadImageFromMemory(*bytes, type, width, height) : 0;
}

GdiHandle SoftwareGdi::LoadImageFromMemory(std::span<const std::uint8_t> bytes, ImageType type,
                                           int width, int height) {
  return type == ImageType::Bitmap ? BitmapFromBmpBytes(bytes)
                                   : IconFromBytes(bytes, width, height);
}

GdiHandle SoftwareGdi::WindowIcon(WindowHandle window) {
  std::vector<ArgbImage> icons = desktop_.WindowIcons(window);
  if (icons.empty()) return 0;
  // Nearest the usual size; of two as near, the larger, which loses less when it is drawn.
  const auto distance = [](const ArgbImage& icon) {
    return std::abs(icon.width - kIconSize) + std::abs(icon.height - kIconSize);
  };
  const auto best = std::min_element(icons.begin(), icons.end(), [&](const auto& a, const auto& b) {
    return distance(a) != distance(b) ? distance(a) < distance(b) : a.width > b.width;
  });
  return CreateIcon(std::move(*best));
}

GdiHandle SoftwareGdi::CreateIcon(ArgbImage image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() !=
          static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
    return 0;
  }
  const GdiHandle created = NewHandle();
  icons_[created] = std::move(image);
  return created;
}

bool SoftwareGdi::DestroyIcon(GdiHandle icon) { return icons_.erase(icon) == 1; }

bool SoftwareGdi::DrawIconEx(GdiHandle dc, int x, int y, GdiHandle icon, int width, int height) {
  DibSurface* target = MemorySurface(dc);
  const auto found = icons_.find(icon);
  if (!target || found == icons_.end() || width < 0 || height < 0) return false;
  const ArgbImage& image = found->second;
  if (width == 0) width = image.width;
  if (height == 0) height = image.height;

  const OffsetRange columns = ClipRun({0, width}, x, target->width);
  const OffsetRange rows = ClipRun({0, height}, y, target->height);
  if (columns.Empty() || rows.Empty()) return true;
  const auto count = static_cast<std::size_t>(columns.last - columns.first);
  std::vector<ColorValue> under(count);
  std::vector<std::uint32_t> blended(count);
  for (long long row = rows.first; row < rows.last; ++row) {
    const int targetY = static_cast<int>(y + row);
    const int targetX = static_cast<int>(x + columns.first);
    ReadColors(*target, targetX, targetY, under);
    // Stretched by picking the nearest pixel, as a stretched icon is drawn without smoothing.
    const long long iconY = row * image.height / height;
    for (std::size_t i = 0; i < count; ++i) {
      const long long iconX = (columns.first + static_cast<long long>(i)) * image.width / width;
      const std::uint32_t source =
          image.pixels[static_cast<std::size_t>(iconY * image.width + iconX)];
      blended[i] = Blend(source, SwapRedAndBlue(under[i]));
    }
    WritePixels(*target, targetX, targetY, blended);
  }
  return true;
}

void SoftwareGdi::ReleaseClipboardBitmap() {
  if (clipboardBitmap_ != 0) DeleteObject(clipboardBitmap_);
  clipboardBitmap_ = 0;
}

bool SoftwareGdi::SetClipboardBitmap(GdiHandle bitmap) {
  const Bitmap* found = FindBitmap(bitmap);
  if (!found || bitmap == defaultBitmap_ || found->selectedInto != 0) return false;
  const DibSurface& surface = found->surface;
  ArgbImage image{.width = surface.width, .height = surface.height, .pixels = {}};
  try {
    image.pixels.resize(static_cast<std::size_t>(surface.width) *
                        static_cast<std::size_t>(surface.height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const auto width = static_cast<std::size_t>(surface.width);
  for (int y = 0; y < surface.height; ++y) {
    ReadPixels(surface, 0, y, std::span(image.pixels).subspan(y * width, width));
  }
  for (std::uint32_t& pixel : image.pixels) pixel |= 0xFF000000u;  // a bitmap is opaque
  if (bitmap != clipboardBitmap_) {
    ReleaseClipboardBitmap();
    clipboardBitmap_ = bitmap;
  }
  return images_.SetClipboardImage(image);
}

GdiHandle SoftwareGdi::ClipboardBitmap() {
  const std::optional<ArgbImage> image = images_.ClipboardImage();
  ReleaseClipboardBitmap();
  if (!image) return 0;
  clipboardBitmap_ = BitmapFromPixels(image->width, image->height, image->pixels);
  return clipboardBitmap_;
}

}  // namespace qel
