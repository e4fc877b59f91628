#include "skin/library/win32/win32_face.h"

#include <algorithm>

#include "skin/library/skin_look.h"

namespace qel::skin {
namespace {

// A tile over a gradient face lets the gradient show through.
constexpr int kTileOverGradientOpacity = 115;  // 45 %
// The light over the upper half of the aero band.
constexpr int kSheenOpacity = 70;
// The band's tint fades out over this many rows below it.
constexpr int kFadeRows = 8;

void ComposeBand(const Theme& theme, Canvas& canvas) {
  const int width = canvas.Width();
  const int bandHeight = std::min(kAeroBandHeight, canvas.Height());
  const int opacity = theme.title.opacity;
  const RECT band{0, 0, width, bandHeight};
  if (const Texture* stripes = FindTexture(theme, kTitleBandTexture)) {
    canvas.FillShape(ShapeOf(band, 0), *stripes, opacity);
  } else {
    canvas.Fill(band, theme.title.tint, opacity);
  }
  canvas.Fill({0, 0, width, bandHeight / 2}, {255, 255, 255}, kSheenOpacity);
  for (int row = 0; row < kFadeRows; ++row) {
    const int alpha = opacity * (2 * (kFadeRows - row) - 1) / (4 * kFadeRows);
    canvas.Fill({0, bandHeight + row, width, bandHeight + row + 1}, theme.title.tint, alpha);
  }
}

}  // namespace

void ComposeFace(const Theme& theme, bool aero, Canvas& canvas) {
  const Theme::Window& window = theme.window;
  const int height = canvas.Height();
  int tileOpacity = 255;
  if (window.faceGradientEnd) {
    for (int y = 0; y < height; ++y) {
      const int amount = (2 * y + 1) * 255 / (2 * height);
      canvas.Fill({0, y, canvas.Width(), y + 1},
                  Blend(window.face, *window.faceGradientEnd, amount));
    }
    tileOpacity = kTileOverGradientOpacity;
  } else {
    canvas.Fill({0, 0, canvas.Width(), height}, window.face);
  }
  if (const Texture* tile = FindTexture(theme, kWindowTileTexture)) canvas.Tile(*tile, tileOpacity);
  if (aero) ComposeBand(theme, canvas);
}

Canvas* FaceCache::Of(HWND root, const Theme& theme, bool aero) {
  RECT client;
  if (!GetClientRect(root, &client)) return nullptr;
  std::erase_if(faces_, [](const Entry& entry) { return !IsWindow(entry.root); });
  auto entry = std::ranges::find(faces_, root, &Entry::root);
  if (entry != faces_.end() && entry->face->Width() == client.right &&
      entry->face->Height() == client.bottom) {
    return entry->face.get();
  }
  auto face = std::make_unique<Canvas>(nullptr, client.right, client.bottom);
  if (!face->Ready()) return nullptr;
  ComposeFace(theme, aero, *face);
  if (entry == faces_.end()) {
    faces_.push_back({root, std::move(face)});
    return faces_.back().face.get();
  }
  entry->face = std::move(face);
  return entry->face.get();
}

void FaceCache::Forget(HWND root) {
  std::erase_if(faces_, [root](const Entry& entry) { return entry.root == root; });
}

void CopyFaceBehind(const Canvas& face, HWND root, HWND window, const RECT& area, Canvas& canvas) {
  POINT origin{0, 0};
  MapWindowPoints(window, root, &origin, 1);
  BitBlt(canvas.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
         face.Dc(), origin.x + area.left, origin.y + area.top, SRCCOPY);
}

}  // namespace qel::skin
