#include "bitmap/software_gdi.h"

#include <algorithm>
#include <array>
#include <climits>
#include <new>
#include <utility>

#include "bitmap/clip_run.h"
#include "bitmap/row_split.h"

namespace qel {
namespace {

// With the same format and colour table the pixel values carry over as they are, as in GDI;
// going through colours would move an index to an earlier entry of equal distance.
bool SameValues(const DibSurface& from, const DibSurface& to) {
  return from.bitCount == to.bitCount && (to.bitCount > 8 || from.colors == to.colors);
}

// A 32-bit row holds the screen's own pixel layout, so it converts without going through colours,
// a chunk at a time.
void ConvertFrom32Bits(const DibSurface& from, int fromX, int fromY, DibSurface& to, int x, int y,
                       int count) {
  std::array<std::uint32_t, 1024> chunk;
  for (int done = 0; done < count;) {
    const int part = std::min(count - done, static_cast<int>(chunk.size()));
    const std::span<std::uint32_t> pixels(chunk.data(), static_cast<std::size_t>(part));
    Read32BitPixels(from, fromX + done, fromY, pixels);
    WritePixels(to, x + done, y, pixels);
    done += part;
  }
}

}  // namespace

SoftwareGdi::SoftwareGdi(ScreenSource& screen, Desktop& desktop, ImageServices& images)
    : screen_(screen), desktop_(desktop), images_(images) {
  static constexpr RgbQuad kMonochrome[] = {{0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0}};
  defaultBitmap_ = NewHandle();
  bitmaps_[defaultBitmap_].surface = *MakeDibSurface(1, 1, 1, kMonochrome);
}

GdiHandle SoftwareGdi::NewHandle() {
  do {
    ++lastHandle_;
  } while (lastHandle_ == 0 || dcs_.contains(lastHandle_) || bitmaps_.contains(lastHandle_) ||
           icons_.contains(lastHandle_));
  return lastHandle_;
}

SoftwareGdi::Dc* SoftwareGdi::FindDc(GdiHandle dc) {
  const auto it = dcs_.find(dc);
  return it == dcs_.end() ? nullptr : &it->second;
}

SoftwareGdi::Bitmap* SoftwareGdi::FindBitmap(GdiHandle bitmap) {
  const auto it = bitmaps_.find(bitmap);
  return it == bitmaps_.end() ? nullptr : &it->second;
}

DibSurface* SoftwareGdi::MemorySurface(GdiHandle dc) {
  const Dc* found = FindDc(dc);
  if (!found || found->screen) return nullptr;
  return &bitmaps_.at(found->bitmap).surface;
}

std::shared_ptr<const ColorTableIndex> SoftwareGdi::IndexFor(const std::vector<RgbQuad>& colors) {
  for (const CachedIndex& cached : indexCache_) {
    if (cached.colors == colors) return cached.index;
  }
  if (indexCache_.size() == kCachedTables) indexCache_.erase(indexCache_.begin());
  return indexCache_
      .emplace_back(CachedIndex{colors, std::make_shared<const ColorTableIndex>(colors)})
      .index;
}

GdiHandle SoftwareGdi::GetDC(WindowHandle window) {
  if (window != 0 && !desktop_.IsWindow(window)) return 0;
  const GdiHandle dc = NewHandle();
  dcs_[dc] = Dc{.screen = true, .window = window, .bitmap = 0};
  return dc;
}

bool SoftwareGdi::ReleaseDC(WindowHandle window, GdiHandle dc) {
  const Dc* found = FindDc(dc);
  if (!found || !found->screen || found->window != window) return false;
  dcs_.erase(dc);
  return true;
}

GdiHandle SoftwareGdi::CreateCompatibleDC(GdiHandle dc) {
  if (dc != 0 && !FindDc(dc)) return 0;
  const GdiHandle created = NewHandle();
  dcs_[created] = Dc{.screen = false, .bitmap = defaultBitmap_};
  return created;
}

bool SoftwareGdi::DeleteDC(GdiHandle dc) {
  const Dc* found = FindDc(dc);
  if (!found || found->screen) return false;
  if (found->bitmap != defaultBitmap_) bitmaps_.at(found->bitmap).selectedInto = 0;
  dcs_.erase(dc);
  return true;
}

GdiHandle SoftwareGdi::CreateDIBSection(GdiHandle dc, const DibInfo& info, std::uint8_t** bits,
                                        NewRows rows) {
  if (bits) *bits = nullptr;
  if (dc != 0 && !FindDc(dc)) return 0;
  std::optional<DibSurface> surface;
  try {
    surface = MakeDibSurface(info.width, info.height, info.bitCount, info.colors, spareRows_,
                             rows == NewRows::Zero);
    if (surface && surface->bitCount <= 8) surface->index = IndexFor(surface->colors);
  } catch (const std::bad_alloc&) {
    return 0;  // as GDI does when memory runs out
  }
  if (!surface) return 0;
  const GdiHandle created = AddBitmap(std::move(*surface), true);
  if (bits) *bits = bitmaps_.at(created).surface.bytes.data();
  return created;
}

GdiHandle SoftwareGdi::AddBitmap(DibSurface&& surface, bool dibSection) {
  const GdiHandle created = NewHandle();
  Bitmap& bitmap = bitmaps_[created];
  bitmap.surface = std::move(surface);
  bitmap.dibSection = dibSection;
  return created;
}

GdiHandle SoftwareGdi::CreateCompatibleBitmap(GdiHandle dc, int width, int height) {
  if (!FindDc(dc) || height <= 0) return 0;
  std::optional<DibSurface> surface;
  try {
    surface = MakeDibSurface(width, -height, 32, {});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return surface ? AddBitmap(std::move(*surface), false) : 0;
}

GdiHandle SoftwareGdi::SelectObject(GdiHandle dc, GdiHandle bitmap) {
  if (fonts_.contains(bitmap)) return SelectFont(dc, bitmap);
  Dc* found = FindDc(dc);
  Bitmap* selected = FindBitmap(bitmap);
  if (!found || found->screen || !selected) return 0;
  const bool shared = bitmap == defaultBitmap_;
  if (!shared && selected->selectedInto != 0 && selected->selectedInto != dc) return 0;
  const GdiHandle previous = found->bitmap;
  if (previous != defaultBitmap_) bitmaps_.at(previous).selectedInto = 0;
  if (!shared) selected->selectedInto = dc;
  found->bitmap = bitmap;
  return previous;
}

void SoftwareGdi::KeepRows(std::vector<std::uint8_t>&& rows) {
  constexpr std::size_t kKeptFrom = 256 * 1024;
  // Rows are kept for the next capture, which is at most the whole screen at 32 bits: a larger
  // image (a file that declared one) would only hold its memory for as long as the GDI lives.
  if (rows.size() < kKeptFrom || rows.size() > screenBytes_) return;
  spareRows_[nextSpare_] = std::move(rows);
  nextSpare_ = (nextSpare_ + 1) % spareRows_.size();
}

bool SoftwareGdi::DeleteObject(GdiHandle bitmap) {
  if (fonts_.contains(bitmap)) return DeleteFont(bitmap);
  const Bitmap* found = FindBitmap(bitmap);
  if (!found) return false;
  if (bitmap == defaultBitmap_) return true;
  if (found->selectedInto != 0) return false;
  KeepRows(std::move(bitmaps_.at(bitmap).surface.bytes));
  bitmaps_.erase(bitmap);
  return true;
}

std::optional<BitmapDescription> SoftwareGdi::GetObject(GdiHandle bitmap) {
  Bitmap* found = FindBitmap(bitmap);
  if (!found) return std::nullopt;
  DibSurface& surface = found->surface;
  return BitmapDescription{.width = surface.width,
                           .height = surface.height,
                           .topDown = surface.topDown,
                           .bitCount = surface.bitCount,
                           .stride = surface.stride,
                           .bits = found->dibSection ? surface.bytes.data() : nullptr};
}

bool SoftwareGdi::BitBlt(GdiHandle target, int x, int y, int width, int height, GdiHandle source,
                         int sourceX, int sourceY, std::uint32_t rop) {
  DibSurface* to = MemorySurface(target);
  const Dc* from = FindDc(source);
  if (rop != kSrcCopy || !to || !from) return false;
  if (width <= 0 || height <= 0) return true;
  if (from->window != 0) {
    return BlitFromWindow(from->window, *to, x, y, width, height, sourceX, sourceY);
  }
  if (from->screen) return BlitFromScreen(*to, x, y, width, height, sourceX, sourceY);

  const DibSurface* fromSurface = &bitmaps_.at(from->bitmap).surface;
  const OffsetRange columns =
      ClipRun(ClipRun({0, width}, x, to->width), sourceX, fromSurface->width);
  const OffsetRange rows =
      ClipRun(ClipRun({0, height}, y, to->height), sourceY, fromSurface->height);
  if (columns.Empty() || rows.Empty()) return true;

  // A blit within one image may overlap itself: read from a snapshot.
  std::optional<DibSurface> snapshot;
  if (fromSurface == to) fromSurface = &snapshot.emplace(*to);

  const bool sameValues = SameValues(*fromSurface, *to);
  const int count = static_cast<int>(columns.last - columns.first);
  const int targetX = static_cast<int>(x + columns.first);
  const int fromX = static_cast<int>(sourceX + columns.first);
  PrepareWrites(*to);
  ForRowRanges(rows.first, rows.last, count, [&](long long first, long long last) {
    std::vector<ColorValue> run(
        sameValues || fromSurface->bitCount == 32 ? 0 : static_cast<std::size_t>(count));
    for (long long row = first; row < last; ++row) {
      const int targetY = static_cast<int>(y + row);
      const int fromY = static_cast<int>(sourceY + row);
      if (sameValues) {
        CopyPixels(*fromSurface, fromX, fromY, *to, targetX, targetY, count);
      } else if (fromSurface->bitCount == 32) {
        ConvertFrom32Bits(*fromSurface, fromX, fromY, *to, targetX, targetY, count);
      } else {
        ReadColors(*fromSurface, fromX, fromY, run);
        WriteColors(*to, targetX, targetY, run);
      }
    }
  });
  return true;
}

bool SoftwareGdi::BlitFromScreen(DibSurface& target, int x, int y, int width, int height,
                                 int sourceX, int sourceY) {
  const OffsetRange columns = ClipRun({0, width}, x, target.width);
  const OffsetRange rows = ClipRun({0, height}, y, target.height);
  if (columns.Empty() || rows.Empty()) return true;

  // Only the part on the screen is read; the rest of the rectangle comes out black. The screen DC
  // spans every monitor, which may lie left of or above the primary one.
  const WindowRect bounds = screen_.Bounds();
  screenBytes_ = static_cast<std::size_t>(std::max<std::int64_t>(
      (std::int64_t{bounds.right} - bounds.left) * (std::int64_t{bounds.bottom} - bounds.top) * 4,
      0));
  const OffsetRange onColumns =
      ClipRun(columns, static_cast<long long>(sourceX) - bounds.left, bounds.right - bounds.left);
  const OffsetRange onRows =
      ClipRun(rows, static_cast<long long>(sourceY) - bounds.top, bounds.bottom - bounds.top);
  const bool onScreen = !onColumns.Empty() && !onRows.Empty();
  const int readX = static_cast<int>(sourceX + onColumns.first);
  const int readY = static_cast<int>(sourceY + onRows.first);
  const int readWidth = onScreen ? static_cast<int>(onColumns.last - onColumns.first) : 0;
  const int readHeight = onScreen ? static_cast<int>(onRows.last - onRows.first) : 0;

  const std::vector<std::uint32_t> black(static_cast<std::size_t>(columns.last - columns.first), 0);
  // Writes the target's rows, taking the screen's pixels from `read` (rows `readStride` apart)
  // unless they are in the target already.
  const auto fillRows = [&](const std::uint32_t* read, std::ptrdiff_t readStride) {
    PrepareWrites(target);
    const long long convertedPerRow = read == nullptr ? 0 : columns.last - columns.first;
    ForRowRanges(rows.first, rows.last, convertedPerRow, [&](long long first, long long last) {
      for (long long row = first; row < last; ++row) {
        const int targetY = static_cast<int>(y + row);
        if (row < onRows.first || row >= onRows.last || !onScreen) {
          WritePixels(target, static_cast<int>(x + columns.first), targetY, black);
          continue;
        }
        // Off the screen to the left and right: black.
        if (onColumns.first > columns.first) {
          WritePixels(
              target, static_cast<int>(x + columns.first), targetY,
              std::span(black).first(static_cast<std::size_t>(onColumns.first - columns.first)));
        }
        if (read != nullptr) {
          const std::uint32_t* line = read + (row - onRows.first) * readStride;
          WritePixels(target, static_cast<int>(x + onColumns.first), targetY,
                      {line, static_cast<std::size_t>(readWidth)});
        }
        if (onColumns.last < columns.last) {
          WritePixels(
              target, static_cast<int>(x + onColumns.last), targetY,
              std::span(black).first(static_cast<std::size_t>(columns.last - onColumns.last)));
        }
      }
    });
  };

  if (!onScreen) {
    fillRows(nullptr, 0);
    return true;
  }
  if (target.bitCount == 32) {
    // A 32-bit row holds the screen's own pixel layout, so the screen is read straight into the
    // target's rows, and only the parts off the screen are left to write.
    auto* pixels =
        reinterpret_cast<std::uint32_t*>(target.Row(static_cast<int>(y + onRows.first))) + x +
        onColumns.first;
    const std::ptrdiff_t rowStride =
        (target.topDown ? 1 : -1) * static_cast<std::ptrdiff_t>(target.stride / 4);
    if (!screen_.CaptureRows(readX, readY, readWidth, readHeight, pixels, rowStride)) return false;
    fillRows(nullptr, 0);
    return true;
  }
  // Other formats convert straight from the screen's pixels, lent where the screen can.
  return screen_.VisitRows(
      readX, readY, readWidth, readHeight, capturedScreen_,
      [&](const std::uint32_t* read, std::ptrdiff_t readStride) { fillRows(read, readStride); });
}

bool SoftwareGdi::BlitFromWindow(WindowHandle window, DibSurface& target, int x, int y, int width,
                                 int height, int sourceX, int sourceY) {
  const std::optional<WindowRect> client = desktop_.ClientRectOf(window);
  const std::optional<ScreenPoint> origin = desktop_.ClientToScreen(window, {0, 0});
  if (!client || !origin) return false;
  // Only the client area shows through a window's DC.
  const OffsetRange columns = ClipRun({0, width}, sourceX, client->right);
  const OffsetRange rows = ClipRun({0, height}, sourceY, client->bottom);
  if (columns.Empty() || rows.Empty()) return true;
  const long long screenX = static_cast<long long>(origin->x) + sourceX + columns.first;
  const long long screenY = static_cast<long long>(origin->y) + sourceY + rows.first;
  // A client area is on the int plane, so these fit.
  return BlitFromScreen(
      target, static_cast<int>(x + columns.first), static_cast<int>(y + rows.first),
      static_cast<int>(columns.last - columns.first), static_cast<int>(rows.last - rows.first),
      static_cast<int>(screenX), static_cast<int>(screenY));
}

int SoftwareGdi::GetDIBits(GdiHandle dc, GdiHandle bitmap, int start, int lines,
                           std::span<std::uint8_t> out, const DibInfo& format) {
  const Bitmap* found = FindBitmap(bitmap);
  if (!FindDc(dc) || !found || start < 0 || lines <= 0) return 0;
  const DibSurface& from = found->surface;
  if (format.width != from.width ||
      (format.height != from.height && format.height != -from.height)) {
    return 0;
  }
  // Lines are converted one at a time through a one-row image of the wanted format.
  std::optional<DibSurface> line;
  try {
    line = MakeDibSurface(format.width, 1, format.bitCount, format.colors);
    if (line && line->bitCount <= 8) line->index = IndexFor(line->colors);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (!line || start >= from.height) return 0;
  const int count = std::min(lines, from.height - start);
  const auto stride = static_cast<std::size_t>(line->stride);
  if (out.size() / stride < static_cast<std::size_t>(count)) return 0;

  const bool sameValues = SameValues(from, *line);
  std::vector<ColorValue> run(sameValues ? 0 : static_cast<std::size_t>(from.width));
  for (int i = 0; i < count; ++i) {
    const int scan = start + i;
    const int y = format.height < 0 ? scan : from.height - 1 - scan;
    if (sameValues) {
      CopyPixels(from, 0, y, *line, 0, 0, from.width);
    } else {
      ReadColors(from, 0, y, run);
      WriteColors(*line, 0, 0, run);
    }
    std::copy(line->bytes.begin(), line->bytes.end(),
              out.begin() + static_cast<std::ptrdiff_t>(i * stride));
  }
  return count;
}

ColorValue SoftwareGdi::GetPixel(GdiHandle dc, int x, int y) {
  const Dc* found = FindDc(dc);
  if (!found) return kClrInvalid;
  if (found->window != 0) {
    const std::optional<WindowRect> client = desktop_.ClientRectOf(found->window);
    const std::optional<ScreenPoint> origin = desktop_.ClientToScreen(found->window, {0, 0});
    if (!client || !origin || !Contains(*client, {x, y})) return kClrInvalid;
    const long long screenX = static_cast<long long>(origin->x) + x;
    const long long screenY = static_cast<long long>(origin->y) + y;
    if (screenX < INT_MIN || screenX > INT_MAX || screenY < INT_MIN || screenY > INT_MAX) {
      return kClrInvalid;
    }
    x = static_cast<int>(screenX);
    y = static_cast<int>(screenY);
  }
  if (found->screen) {
    std::uint32_t pixel = 0;
    if (!Contains(screen_.Bounds(), {x, y}) || !screen_.Capture(x, y, 1, 1, &pixel)) {
      return kClrInvalid;
    }
    return SwapRedAndBlue(pixel);
  }
  const DibSurface& surface = bitmaps_.at(found->bitmap).surface;
  if (x < 0 || y < 0 || x >= surface.width || y >= surface.height) return kClrInvalid;
  ColorValue color = 0;
  ReadColors(surface, x, y, {&color, 1});
  return color;
}

bool SoftwareGdi::SetPixelV(GdiHandle dc, int x, int y, ColorValue color) {
  DibSurface* surface = MemorySurface(dc);
  if (!surface || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return false;
  WriteColors(*surface, x, y, {&color, 1});
  return true;
}

int SoftwareGdi::SetDIBitsToDevice(GdiHandle dc, int x, int y, int width, int height, int sourceX,
                                   int sourceY, int startScan, int lines,
                                   std::span<const std::uint8_t> bits, const DibInfo& format) {
  const Dc* found = FindDc(dc);
  if (!found || (found->screen && found->window == 0)) return 0;
  std::optional<DibSurface> image;
  try {
    image = MakeDibSurface(format.width, format.height, format.bitCount, format.colors);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (!image || sourceX != 0 || sourceY != 0 || startScan != 0 || lines != image->height ||
      bits.size() < image->bytes.size()) {
    return 0;
  }
  std::copy_n(bits.begin(), image->bytes.size(), image->bytes.begin());
  const int drawnWidth = std::min(width, image->width);
  const int drawnHeight = std::min(height, image->height);
  if (drawnWidth <= 0 || drawnHeight <= 0) return lines;

  if (found->window == 0) {
    DibSurface& target = bitmaps_.at(found->bitmap).surface;
    const OffsetRange columns = ClipRun({0, drawnWidth}, x, target.width);
    const OffsetRange rows = ClipRun({0, drawnHeight}, y, target.height);
    if (columns.Empty() || rows.Empty()) return lines;
    std::vector<ColorValue> run(static_cast<std::size_t>(columns.last - columns.first));
    for (long long row = rows.first; row < rows.last; ++row) {
      ReadColors(*image, static_cast<int>(columns.first), static_cast<int>(row), run);
      WriteColors(target, static_cast<int>(x + columns.first), static_cast<int>(y + row), run);
    }
    return lines;
  }
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(drawnWidth) *
                                    static_cast<std::size_t>(drawnHeight));
  for (int row = 0; row < drawnHeight; ++row) {
    ReadPixels(*image, 0, row,
               std::span(pixels).subspan(static_cast<std::size_t>(row) * drawnWidth,
                                         static_cast<std::size_t>(drawnWidth)));
  }
  return desktop_.DrawToWindow(found->window, x, y, drawnWidth, drawnHeight, pixels.data()) ? lines
                                                                                            : 0;
}

bool SoftwareGdi::FillRect(GdiHandle dc, const GdiRect& rect, ColorValue color) {
  DibSurface* surface = MemorySurface(dc);
  if (!surface) return false;
  const OffsetRange columns =
      ClipRun({0, static_cast<long long>(rect.right) - rect.left}, rect.left, surface->width);
  const OffsetRange rows =
      ClipRun({0, static_cast<long long>(rect.bottom) - rect.top}, rect.top, surface->height);
  if (columns.Empty() || rows.Empty()) return true;
  const std::vector<ColorValue> run(static_cast<std::size_t>(columns.last - columns.first), color);
  for (long long row = rows.first; row < rows.last; ++row) {
    WriteColors(*surface, static_cast<int>(rect.left + columns.first),
                static_cast<int>(rect.top + row), run);
  }
  return true;
}

int SoftwareGdi::PrintWindow(WindowHandle window, GdiHandle dc, std::uint32_t flags) {
  DibSurface* surface = MemorySurface(dc);
  const std::optional<WindowRect> rect = desktop_.WindowRectOf(window);
  if (flags != 0 || !surface || !rect) return 0;
  const long long width = static_cast<long long>(rect->right) - rect->left;
  const long long height = static_cast<long long>(rect->bottom) - rect->top;
  if (width <= 0 || height <= 0) return 0;
  std::vector<std::uint32_t> drawing;
  try {
    drawing.resize(static_cast<std::size_t>(width * height));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (!desktop_.PrintWindow(window, static_cast<int>(width), static_cast<int>(height),
                            drawing.data())) {
    return 0;
  }
  const OffsetRange columns = ClipRun({0, width}, 0, surface->width);
  const OffsetRange rows = ClipRun({0, height}, 0, surface->height);
  if (columns.Empty() || rows.Empty()) return 1;
  for (long long row = 0; row < rows.last; ++row) {
    WritePixels(*surface, 0, static_cast<int>(row),
                {drawing.data() + row * width, static_cast<std::size_t>(columns.last)});
  }
  return 1;
}

}  // namespace qel
