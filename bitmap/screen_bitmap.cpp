#include "bitmap/screen_bitmap.h"

#include <algorithm>
#include <climits>
#include <new>
#include <optional>

#include "bitmap/clip_run.h"
#include "bitmap/temporary_dc.h"

namespace qel {
namespace {

// The mini-GDI refuses images this large, so the packed copy is never made for one either.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 31;

// A width or height the image can take: 1 up to INT_MAX.
std::optional<int> AsExtent(std::int64_t value) {
  if (value <= 0 || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

// The display mode is read as the 16-bit fields of the platform's mode record.
int DisplayModeField(int value) { return static_cast<std::int16_t>(value); }

}  // namespace

ScreenBitmap::ScreenBitmap(const BitmapContext& context) : context_(context) {
  BuildPalettes();
  screenDc_ = context_.gdi.GetDC(0);
}

ScreenBitmap::~ScreenBitmap() { ReleaseImage(); }

void ScreenBitmap::BuildPalettes() {
  palette2_ = StandardColorTable(1);
  palette16_ = StandardColorTable(4);
  palette256_ = StandardColorTable(8);
}

void ScreenBitmap::ReleaseSection() {
  Gdi& gdi = context_.gdi;
  if (memoryDc_ != 0 && previousBitmap_ != 0) gdi.SelectObject(memoryDc_, previousBitmap_);
  if (dibSection_ != 0) gdi.DeleteObject(dibSection_);
  if (memoryDc_ != 0) gdi.DeleteDC(memoryDc_);
  memoryDc_ = dibSection_ = previousBitmap_ = 0;
  bits_ = nullptr;
  pixelsChanged_ = false;
}

void ScreenBitmap::ReleaseImage() {
  ReleaseSection();
  if (screenDc_ != 0) context_.gdi.ReleaseDC(0, screenDc_);
  screenDc_ = 0;
  // The room stays for the next image, which is most often one of the same size.
  packedDib_.clear();
}

void ScreenBitmap::Clear() {
  if (packedDib_.empty() && dibSection_ == 0) return;
  ReleaseImage();
  screenDc_ = context_.gdi.GetDC(0);
}

bool ScreenBitmap::CreateBlank(int width, int height, int bitsPerPixel) {
  const bool heldSection = dibSection_ != 0;
  if (!LayOutImage(width, height, bitsPerPixel)) return false;
  packedDib_.resize(PixelOffset() + PixelDataSize());  // the rows, zero, in the room made
  if (!heldSection) return true;
  // The section held the image being replaced: every read and copy of the two forms takes the
  // packed copy's size, so the section must be remade to match it.
  ReleaseSection();
  if (!CreateSection()) {
    Clear();
    return false;
  }
  return true;
}

bool ScreenBitmap::LayOutImage(int width, int height, int bitsPerPixel) {
  const std::optional<int> colorCount = ColorCountFor(bitsPerPixel);
  if (!colorCount || width <= 0 || height <= 0) return false;
  const std::int64_t rowBytes = RowBytesFor(std::int64_t{width} * bitsPerPixel);
  // Divided, not multiplied: the product of two large extents does not fit even 64 bits.
  if (rowBytes > (kMaxImageBytes - 1) / height) return false;
  const auto tableBytes = static_cast<std::size_t>(*colorCount) * 4;

  const std::size_t size =
      kInfoHeaderSize + tableBytes + static_cast<std::size_t>(rowBytes * height);
  if (packedDib_.capacity() < size) {
    std::vector<std::uint8_t> room;
    try {
      room.reserve(size);
    } catch (const std::bad_alloc&) {
      return false;
    }
    packedDib_.swap(room);
  }
  const auto header = HeaderBytes(
      {.width = width, .height = height, .bitCount = static_cast<std::uint16_t>(bitsPerPixel)});
  packedDib_.assign(header.begin(), header.end());
  const std::vector<std::uint8_t>& table = bitsPerPixel == 1   ? palette2_
                                           : bitsPerPixel == 4 ? palette16_
                                                               : palette256_;
  packedDib_.resize(kInfoHeaderSize + tableBytes);
  std::copy_n(table.begin(), std::min(table.size(), tableBytes),
              packedDib_.begin() + kInfoHeaderSize);
  return true;
}

bool ScreenBitmap::CreateSection(Gdi::NewRows rows) {
  Gdi& gdi = context_.gdi;
  const DibInfo info = PackedFormat();
  memoryDc_ = gdi.CreateCompatibleDC(screenDc_);
  dibSection_ = gdi.CreateDIBSection(screenDc_, info, &bits_, rows);
  if (memoryDc_ == 0 || dibSection_ == 0) return false;
  previousBitmap_ = gdi.SelectObject(memoryDc_, dibSection_);
  return previousBitmap_ != 0;
}

DibInfo ScreenBitmap::PackedFormat() const {
  const InfoHeader header = ReadHeader(packedDib_);
  DibInfo info{
      .width = header.width, .height = header.height, .bitCount = header.bitCount, .colors = {}};
  const std::uint8_t* table = PaletteData();
  for (int i = 0; i < ColorCount(); ++i) {
    const std::uint8_t* entry = table + 4 * i;
    info.colors.push_back({entry[0], entry[1], entry[2], entry[3]});
  }
  return info;
}

void ScreenBitmap::CopyRowsFromSection() {
  if (bits_ == nullptr) return;
  std::copy_n(bits_, PixelDataSize(),
              packedDib_.begin() + static_cast<std::ptrdiff_t>(PixelOffset()));
}

bool ScreenBitmap::CopyImageFrom(GdiHandle source, int sourceX, int sourceY, std::int64_t width,
                                 std::int64_t height, int bitsPerPixel, Gdi::NewRows rows) {
  const std::optional<int> fullWidth = AsExtent(width);
  const std::optional<int> fullHeight = AsExtent(height);
  // The rows of the packed copy are taken from the section once it holds the image, so they
  // are never zero-filled first.
  if (!fullWidth || !fullHeight || !LayOutImage(*fullWidth, *fullHeight, bitsPerPixel) ||
      !CreateSection(rows)) {
    Clear();
    return false;
  }
  Gdi& gdi = context_.gdi;
  const bool copied =
      gdi.BitBlt(memoryDc_, 0, 0, *fullWidth, *fullHeight, source, sourceX, sourceY, kSrcCopy);
  gdi.GdiFlush();
  // A source that cannot be read (a locked desktop) would otherwise pass for a black image.
  if (!copied) {
    Clear();
    return false;
  }
  packedDib_.insert(packedDib_.end(), bits_, bits_ + PixelDataSize());  // within the room made
  return true;
}

bool ScreenBitmap::CaptureScreen(int left, int top, int width, int height, int bitsPerPixel) {
  Clear();
  const ScreenSource& screen = context_.screen;
  if (bitsPerPixel == 0) bitsPerPixel = DisplayModeField(screen.BitsPerPixel());
  if (!ColorCountFor(bitsPerPixel)) return false;
  const std::int64_t fullWidth =
      width != 0 ? width : std::int64_t{DisplayModeField(screen.Width())} - left;
  const std::int64_t fullHeight =
      height != 0 ? height : std::int64_t{DisplayModeField(screen.Height())} - top;
  // The screen DC writes every pixel of the rectangle, black where it is off the screen.
  return CopyImageFrom(screenDc_, left, top, fullWidth, fullHeight, bitsPerPixel,
                       Gdi::NewRows::Overwritten);
}

bool ScreenBitmap::CaptureWindow(WindowHandle window, int left, int top, int width, int height,
                                 int bitsPerPixel) {
  Clear();
  Desktop& desktop = context_.desktop;
  if (desktop.IsIconic(window) || !desktop.IsVisible(window)) return false;
  if (bitsPerPixel == 0) bitsPerPixel = 24;
  if (!ColorCountFor(bitsPerPixel)) return false;
  const std::optional<WindowRect> windowRect = desktop.WindowRectOf(window);
  if (!windowRect) return false;
  const std::optional<int> windowWidth =
      AsExtent(std::int64_t{windowRect->right} - windowRect->left);
  const std::optional<int> windowHeight =
      AsExtent(std::int64_t{windowRect->bottom} - windowRect->top);
  if (!windowWidth || !windowHeight) return false;

  Gdi& gdi = context_.gdi;
  const TemporaryDc drawing(gdi, screenDc_, *windowWidth, *windowHeight);
  if (!drawing.Ready() || (gdi.PrintWindow(window, drawing.Dc(), 0) & 1) == 0) return false;

  const std::optional<WindowRect> clientRect = desktop.ClientRectOf(window);
  const std::optional<ScreenPoint> origin = desktop.ClientToScreen(window, {0, 0});
  if (!clientRect || !origin) return false;
  const std::int64_t fullWidth = width != 0 ? width : std::int64_t{clientRect->right} - left;
  const std::int64_t fullHeight = height != 0 ? height : std::int64_t{clientRect->bottom} - top;
  // The drawing includes the frame, so the client area starts at its offset in the window.
  const std::int64_t sourceX = std::int64_t{left} + origin->x - windowRect->left;
  const std::int64_t sourceY = std::int64_t{top} + origin->y - windowRect->top;
  return CopyImageFrom(drawing.Dc(), ClampToInt(sourceX), ClampToInt(sourceY), fullWidth,
                       fullHeight, bitsPerPixel);
}

void ScreenBitmap::SyncIfChanged() {
  if (!pixelsChanged_) return;
  CopyRowsFromSection();
  pixelsChanged_ = false;
}

ColorValue ScreenBitmap::ReadPixel(int x, int y) {
  SyncIfChanged();
  return context_.gdi.GetPixel(memoryDc_, x, y);
}

std::optional<BitmapDescription> ScreenBitmap::SectionDescription() const {
  return dibSection_ == 0 ? std::nullopt : context_.gdi.GetObject(dibSection_);
}

int ScreenBitmap::Width() const { return packedDib_.empty() ? 0 : ReadHeader(packedDib_).width; }

int ScreenBitmap::BitmapWidth() const {
  const std::optional<BitmapDescription> section = SectionDescription();
  return section ? section->width : 0;
}

int ScreenBitmap::BitmapHeight() const {
  const std::optional<BitmapDescription> section = SectionDescription();
  return section ? section->height : 0;
}

int ScreenBitmap::BitmapBitCount() const {
  const std::optional<BitmapDescription> section = SectionDescription();
  return section ? section->bitCount : 0;
}

std::int64_t ScreenBitmap::RowBytes() const {
  if (packedDib_.empty()) return 0;
  const InfoHeader header = ReadHeader(packedDib_);
  return RowBytesFor(std::int64_t{header.width} * header.planes * header.bitCount);
}

int ScreenBitmap::Height() const { return packedDib_.empty() ? 0 : ReadHeader(packedDib_).height; }

int ScreenBitmap::BitCount() const {
  return packedDib_.empty() ? 0 : ReadHeader(packedDib_).bitCount;
}

int ScreenBitmap::ColorCount() const { return ColorCountFor(BitCount()).value_or(0); }

std::size_t ScreenBitmap::PaletteSize() const { return static_cast<std::size_t>(ColorCount()) * 4; }

const std::uint8_t* ScreenBitmap::PaletteData() const {
  if (packedDib_.empty() || BitCount() >= 16) return nullptr;
  return packedDib_.data() + kInfoHeaderSize;
}

const std::uint8_t* ScreenBitmap::PixelData() const {
  return packedDib_.empty() ? nullptr : packedDib_.data() + PixelOffset();
}

std::size_t ScreenBitmap::PixelDataSize() const {
  return static_cast<std::size_t>(std::int64_t{Height()} * RowBytes());
}

}  // namespace qel
