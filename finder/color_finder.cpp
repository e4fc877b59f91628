#include "finder/color_finder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "bitmap/clip_run.h"

namespace qel {

ColorValue ColorFinder::GetPixelColor(const BitmapContext& context, WindowHandle window, int x,
                                      int y, bool fromWindow) const {
  // A bitmap of its own for every read, so no DC or bitmap outlives it.
  ScreenBitmap bitmap(context);
  if (fromWindow) {
    bitmap.CaptureWindow(window, x, y, 1, 1, 24);
  } else {
    ScreenPoint origin;
    if (window != 0) origin = context.desktop.ClientToScreen(window, {0, 0}).value_or(origin);
    bitmap.CaptureScreen(ClampToInt(std::int64_t{origin.x} + x),
                         ClampToInt(std::int64_t{origin.y} + y), 1, 1, 24);
  }
  return bitmap.ReadPixel(0, 0);
}

GdiRect ColorFinder::MakeRect(std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) {
  return {left, top, ClampToInt(std::int64_t{left} + width),
          ClampToInt(std::int64_t{top} + height)};
}

void ColorFinder::SetTextStyle(std::string_view text, std::int32_t color,
                               const FontDescription& font) {
  style_.text = text;
  style_.color = color;
  style_.size = font.size;
  style_.weight = font.bold != 0 ? 700 : 400;
  style_.italic = font.italic;
  style_.underline = font.underline;
  style_.strikeOut = font.strikeOut;
  style_.face = font.face;
}

std::int32_t ColorFinder::ColorToPaletteIndex(const BitmapContext& context, ColorValue color) {
  return ColorToPaletteBytes(context, color).front();
}

std::vector<std::uint8_t> ColorFinder::ColorToPaletteBytes(const BitmapContext& context,
                                                           ColorValue color) {
  // Through the same conversion as every searched image, so the index is the one they hold.
  ScreenBitmap bitmap(context);
  if (!bitmap.CreateImage(1, 1, 32) || !bitmap.WritePixel(0, 0, color) || !bitmap.ConvertDepth(8)) {
    return {0};  // only when memory runs out
  }
  return {bitmap.PixelBytes().front()};
}

namespace {

// An image as the searches see it: 8-bit rows, bottom row first, each `stride` bytes.
struct PaletteImage {
  std::vector<std::uint8_t> rows;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t stride = 0;
};

std::optional<PaletteImage> LoadPaletteImage(const BitmapContext& context, ByteSpan bmpFile) {
  ScreenBitmap bitmap(context);
  if (!bitmap.LoadBmpBytesViaFile(bmpFile) || !bitmap.ConvertDepth(8)) return std::nullopt;
  return PaletteImage{bitmap.PixelBytes(), bitmap.BitmapWidth(), bitmap.BitmapHeight(),
                      static_cast<std::int32_t>(bitmap.RowBytes())};
}

}  // namespace

std::vector<std::uint8_t> ColorFinder::ImagePaletteRows(const BitmapContext& context,
                                                        ByteSpan bmpFile) {
  std::optional<PaletteImage> image = LoadPaletteImage(context, bmpFile);
  return image ? std::move(image->rows) : std::vector<std::uint8_t>{};
}

namespace {

// The 1-based position of the first pixel within tolerance of `index` in 8-bit rows of `width`
// pixels `stride` bytes apart, at or after `start`; -1 when there is none. A hit in the padding
// after a row's last pixel is not a pixel, so the search goes on from the next row.
std::int32_t FindIndexInRows(ByteSpan rows, std::uint8_t index, std::int32_t tolerance,
                             std::int32_t start, std::int32_t width, std::int32_t stride) {
  for (;;) {
    const std::int32_t position = FindToleratedByte(rows, index, tolerance, start);
    if (position == -1 || (position - 1) % stride < width) return position;
    start = ((position - 1) / stride + 1) * stride + 1;
  }
}

ColorFinder::Point PointAt(std::int32_t position, std::int32_t stride, std::int32_t height) {
  if (position == -1) return {};
  return {(position - 1) % stride, height - (position - 1) / stride - 1};
}

}  // namespace

ColorFinder::Point ColorFinder::FindColorInArea(const BitmapContext& context, WindowHandle window,
                                                ColorValue color, SearchArea& area,
                                                std::int32_t tolerance, bool throughWindow) const {
  const std::uint8_t index = ColorToPaletteBytes(context, color).front();
  ScreenBitmap bitmap(context);
  if (throughWindow) {
    if (!bitmap.CaptureWindow(window, area.left, area.top, area.width, area.height, 8)) return {};
  } else {
    ScreenPoint origin;
    if (window != 0) {
      const std::optional<ScreenPoint> clientOrigin =
          context.desktop.ClientToScreen(window, {0, 0});
      const std::optional<WindowRect> client = context.desktop.ClientRectOf(window);
      if (!clientOrigin || !client) return {};
      origin = *clientOrigin;
      const std::int64_t widthLeft = std::int64_t{client->right} - area.left;
      const std::int64_t heightLeft = std::int64_t{client->bottom} - area.top;
      if (area.width == 0 || area.width > widthLeft) area.width = ClampToInt(widthLeft);
      if (area.height == 0 || area.height > heightLeft) area.height = ClampToInt(heightLeft);
    }
    if (!bitmap.CaptureScreen(ClampToInt(std::int64_t{origin.x} + area.left),
                              ClampToInt(std::int64_t{origin.y} + area.top), area.width,
                              area.height, 8)) {
      return {};
    }
  }
  const std::int32_t width = bitmap.BitmapWidth();
  const auto stride = static_cast<std::int32_t>(bitmap.RowBytes());
  const std::vector<std::uint8_t> rows = bitmap.PixelBytes();
  return PointAt(FindIndexInRows(rows, index, tolerance, 1, width, stride), stride,
                 bitmap.BitmapHeight());
}

ColorFinder::Point ColorFinder::FindImageInImage(const BitmapContext& context, ByteSpan largeBmp,
                                                 ByteSpan smallBmp) {
  const std::optional<PaletteImage> large = LoadPaletteImage(context, largeBmp);
  const std::optional<PaletteImage> small =
      large ? LoadPaletteImage(context, smallBmp) : std::nullopt;
  if (!small || small->width > large->width || small->height > large->height) return {};
  const ByteSpan rows = large->rows;
  const auto sliceWidth = static_cast<std::size_t>(small->width);
  const auto slice = [&small, sliceWidth](std::int32_t fromBottom) {
    return ByteSpan(small->rows)
        .subspan(static_cast<std::size_t>(fromBottom) * small->stride, sliceWidth);
  };

  // Candidates are the places of the small image's bottom row in the large image's rows, in
  // memory order; each is checked upwards, row by row.
  for (std::int32_t last = 0;;) {
    last = FindToleratedPattern(rows, slice(0), last + 1, kNoWildcard, 0);
    if (last == -1) return {};
    const std::int32_t x = (last - 1) % large->stride;
    const std::int32_t rowFromBottom = (last - 1) / large->stride;
    // A place must not run across the end of a row, nor past the image's top.
    if (x + small->width > large->width || rowFromBottom + small->height > large->height) {
      continue;
    }
    bool whole = true;
    for (std::int32_t j = 1; j < small->height && whole; ++j) {
      const std::size_t at = static_cast<std::size_t>(last - 1) +
                             static_cast<std::size_t>(j) * static_cast<std::size_t>(large->stride);
      whole = std::equal(slice(j).begin(), slice(j).end(),
                         rows.begin() + static_cast<std::ptrdiff_t>(at));
    }
    // One row high, the first row's match is the whole image.
    if (whole) {
      return {x + small->width / 2, large->height - rowFromBottom - 1 - small->height / 2};
    }
  }
}

}  // namespace qel
