// The pixel surface the Windows half of the skin paints on before anything reaches the screen: a
// 32-bit DIB section in a memory DC, with the software fills GDI lacks (alpha, anti-aliased round
// shapes, textures) beside GDI's own text drawing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "skin/skin_format.h"

namespace qel::skin {

// 0x00RRGGBB, the DIB's pixel layout.
constexpr std::uint32_t PixelOf(Colour colour) {
  return static_cast<std::uint32_t>(colour.r) << 16 | static_cast<std::uint32_t>(colour.g) << 8 |
         colour.b;
}

// A rectangle in pixel-edge coordinates with rounded corners. Tabs round their top corners only.
struct Shape {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;
  float radius = 0;
  bool roundBottom = true;
};

Shape ShapeOf(const RECT& rect, float radius);

class Canvas {
 public:
  // Compatible with `dc`; not Ready() when the system refuses the memory.
  Canvas(HDC dc, int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Ready() const { return pixels_ != nullptr; }
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Row y's pixels, GDI's drawing so far included.
  std::uint32_t* Row(int y);

  // `colour` at `alpha` over `area`.
  void Fill(const RECT& area, Colour colour, int alpha = 255);
  void FillShape(const Shape& shape, Colour colour, int alpha = 255);
  // The texture stretched over the shape's box, at its own alpha times opacity / 255.
  void FillShape(const Shape& shape, const Texture& texture, int opacity = 255);
  // The texture repeated from the top left corner over the whole canvas.
  void Tile(const Texture& texture, int opacity);
  // A line of `width` along the inside of the shape's edge.
  void StrokeShape(const Shape& shape, Colour colour, float width = 1);
  // A round-capped line from (x0, y0) to (x1, y1), for check marks.
  void Line(float x0, float y0, float x1, float y1, float width, Colour colour);
  // Every other pixel along the inside of `area`: the focus cue.
  void DottedFrame(const RECT& area, Colour colour);
  // Text in `area` with DrawText's `format`, in the font and colour given.
  void Text(const wchar_t* text, int length, RECT area, UINT format, HFONT font, Colour colour);

  // The whole canvas at (x, y) of `target`.
  void CopyTo(HDC target, int x, int y) const;

 private:
  // Lays `source` (0xAARRGGBB) over pixel (x, y) at its alpha times coverage / 255.
  void Blend(int x, int y, std::uint32_t source, int coverage);
  // Calls paint(x, y, coverage) for each pixel the shape's box touches.
  template <class Paint>
  void Cover(const Shape& shape, float inset, Paint paint);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace qel::skin
