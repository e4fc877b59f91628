#include "skin/library/win32/win32_canvas.h"

#include <algorithm>
#include <cmath>

namespace qel::skin {
namespace {

// How much of a pixel lies inside an edge `distance` away from its centre (negative inside).
float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

// Signed distance from (x, y) to the shape's edge, negative inside.
float Distance(const Shape& shape, float x, float y) {
  const float halfWidth = (shape.right - shape.left) / 2;
  const float halfHeight = (shape.bottom - shape.top) / 2;
  const float centreY = shape.top + halfHeight;
  float radius = std::min({shape.radius, halfWidth, halfHeight});
  if (!shape.roundBottom && y > centreY) radius = 0;
  const float qx = std::fabs(x - shape.left - halfWidth) - (halfWidth - radius);
  const float qy = std::fabs(y - centreY) - (halfHeight - radius);
  const float ox = std::max(qx, 0.0f);
  const float oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

std::uint32_t Mix(std::uint32_t under, std::uint32_t over, int alpha) {
  std::uint32_t mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>(under >> shift & 0xFF);
    const int b = static_cast<int>(over >> shift & 0xFF);
    mixed |= static_cast<std::uint32_t>((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
  }
  return mixed;
}

}  // namespace

Shape ShapeOf(const RECT& rect, float radius) {
  return {static_cast<float>(rect.left), static_cast<float>(rect.top),
          static_cast<float>(rect.right), static_cast<float>(rect.bottom), radius};
}

Canvas::Canvas(HDC dc, int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(dc);
  if (dc_ == nullptr) return;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) return;
  previous_ = SelectObject(dc_, bitmap_);
  pixels_ = static_cast<std::uint32_t*>(bits);
}

Canvas::~Canvas() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

std::uint32_t* Canvas::Row(int y) {
  GdiFlush();
  return pixels_ + static_cast<std::ptrdiff_t>(y) * width_;
}

void Canvas::Blend(int x, int y, std::uint32_t source, int coverage) {
  const int alpha = static_cast<int>(source >> 24) * coverage / 255;
  if (alpha <= 0) return;
  std::uint32_t& pixel = pixels_[static_cast<std::ptrdiff_t>(y) * width_ + x];
  pixel = alpha >= 255 ? source & 0xFFFFFF : Mix(pixel, source, alpha);
}

template <class Paint>
void Canvas::Cover(const Shape& shape, float inset, Paint paint) {
  GdiFlush();
  const int left = std::max(0, static_cast<int>(std::floor(shape.left + inset)));
  const int top = std::max(0, static_cast<int>(std::floor(shape.top + inset)));
  const int right = std::min(width_, static_cast<int>(std::ceil(shape.right - inset)));
  const int bottom = std::min(height_, static_cast<int>(std::ceil(shape.bottom - inset)));
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      paint(x, y, Distance(shape, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
    }
  }
}

void Canvas::Fill(const RECT& area, Colour colour, int alpha) {
  FillShape(ShapeOf(area, 0), colour, alpha);
}

void Canvas::FillShape(const Shape& shape, Colour colour, int alpha) {
  const std::uint32_t source = static_cast<std::uint32_t>(alpha) << 24 | PixelOf(colour);
  Cover(shape, 0, [&](int x, int y, float distance) {
    Blend(x, y, source, static_cast<int>(Coverage(distance) * 255 + 0.5f));
  });
}

void Canvas::FillShape(const Shape& shape, const Texture& texture, int opacity) {
  const float width = shape.right - shape.left;
  const float height = shape.bottom - shape.top;
  if (width <= 0 || height <= 0 || texture.pixels.empty()) return;
  Cover(shape, 0, [&](int x, int y, float distance) {
    // Nearest texel, as a plain stretch picks it.
    const auto u = static_cast<std::uint32_t>(
        std::clamp((static_cast<float>(x) + 0.5f - shape.left) / width, 0.0f, 0.999f) *
        static_cast<float>(texture.width));
    const auto v = static_cast<std::uint32_t>(
        std::clamp((static_cast<float>(y) + 0.5f - shape.top) / height, 0.0f, 0.999f) *
        static_cast<float>(texture.height));
    Blend(x, y, texture.pixels[v * texture.width + u],
          static_cast<int>(Coverage(distance) * static_cast<float>(opacity) + 0.5f));
  });
}

void Canvas::Tile(const Texture& texture, int opacity) {
  if (texture.pixels.empty()) return;
  GdiFlush();
  for (int y = 0; y < height_; ++y) {
    const std::uint32_t* row =
        texture.pixels.data() + static_cast<std::size_t>(y) % texture.height * texture.width;
    for (int x = 0; x < width_; ++x) {
      Blend(x, y, row[static_cast<std::size_t>(x) % texture.width], opacity);
    }
  }
}

void Canvas::StrokeShape(const Shape& shape, Colour colour, float width) {
  const std::uint32_t source = 0xFF000000u | PixelOf(colour);
  Cover(shape, 0, [&](int x, int y, float distance) {
    const float ring = Coverage(distance) - Coverage(distance + width);
    Blend(x, y, source, static_cast<int>(ring * 255 + 0.5f));
  });
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, Colour colour) {
  const std::uint32_t source = 0xFF000000u | PixelOf(colour);
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const float length = std::max(dx * dx + dy * dy, 1e-6f);
  const Shape box{std::min(x0, x1) - width, std::min(y0, y1) - width, std::max(x0, x1) + width,
                  std::max(y0, y1) + width};
  Cover(box, 0, [&](int x, int y, float) {
    const float px = static_cast<float>(x) + 0.5f - x0;
    const float py = static_cast<float>(y) + 0.5f - y0;
    const float t = std::clamp((px * dx + py * dy) / length, 0.0f, 1.0f);
    const float ex = px - t * dx;
    const float ey = py - t * dy;
    const float distance = std::sqrt(ex * ex + ey * ey) - width / 2;
    Blend(x, y, source, static_cast<int>(Coverage(distance) * 255 + 0.5f));
  });
}

void Canvas::DottedFrame(const RECT& area, Colour colour) {
  GdiFlush();
  const std::uint32_t source = 0xFF000000u | PixelOf(colour);
  const auto dot = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_ && (x + y) % 2 == 0) Blend(x, y, source, 255);
  };
  for (int x = area.left; x < area.right; ++x) {
    dot(x, area.top);
    dot(x, area.bottom - 1);
  }
  for (int y = area.top; y < area.bottom; ++y) {
    dot(area.left, y);
    dot(area.right - 1, y);
  }
}

void Canvas::Text(const wchar_t* text, int length, RECT area, UINT format, HFONT font,
                  Colour colour) {
  if (length <= 0) return;
  const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc_, font) : nullptr;
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, RGB(colour.r, colour.g, colour.b));
  DrawTextW(dc_, text, length, &area, format);
  if (previousFont != nullptr) SelectObject(dc_, previousFont);
}

void Canvas::CopyTo(HDC target, int x, int y) const {
  BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

}  // namespace qel::skin
