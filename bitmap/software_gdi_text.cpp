// Fonts and text drawing of the mini-GDI: the platform turns a font and a text into covered
// pixels, and they are written into the DC's bitmap in the text colour like any other drawing.
#include <optional>
#include <vector>

#include "bitmap/clip_run.h"
#include "bitmap/software_gdi.h"

namespace qel {

GdiHandle SoftwareGdi::CreateFont(const FontRequest& font) {
  const GdiHandle handle = NewHandle();
  fonts_[handle] = font;
  return handle;
}

GdiHandle SoftwareGdi::SelectFont(GdiHandle dc, GdiHandle font) {
  Dc* found = FindDc(dc);
  if (!found) return 0;
  if (stockFont_ == 0) stockFont_ = CreateFont({});
  const GdiHandle previous = found->font != 0 ? found->font : stockFont_;
  found->font = font;
  return previous;
}

bool SoftwareGdi::DeleteFont(GdiHandle font) {
  if (font == stockFont_) return true;
  for (const auto& [handle, dc] : dcs_) {
    if (dc.font == font) return false;
  }
  fonts_.erase(font);
  return true;
}

int SoftwareGdi::SetBkMode(GdiHandle dc, int mode) {
  Dc* found = FindDc(dc);
  if (!found || (mode != kTransparent && mode != kOpaque)) return 0;
  const int previous = found->bkMode;
  found->bkMode = mode;
  return previous;
}

ColorValue SoftwareGdi::SetTextColor(GdiHandle dc, ColorValue color) {
  Dc* found = FindDc(dc);
  if (!found) return kClrInvalid;
  const ColorValue previous = found->textColor;
  found->textColor = color & 0xFFFFFF;
  return previous;
}

ColorValue SoftwareGdi::SetBkColor(GdiHandle dc, ColorValue color) {
  Dc* found = FindDc(dc);
  if (!found) return kClrInvalid;
  const ColorValue previous = found->bkColor;
  found->bkColor = color & 0xFFFFFF;
  return previous;
}

bool SoftwareGdi::TextOut(GdiHandle dc, int x, int y, std::string_view text) {
  DibSurface* surface = MemorySurface(dc);
  if (!surface) return false;
  const Dc& state = *FindDc(dc);
  const auto font = fonts_.find(state.font);
  const std::optional<TextCoverage> drawn =
      images_.RenderText(font != fonts_.end() ? font->second : FontRequest{}, text);
  if (!drawn || drawn->width < 0 || drawn->height < 0 ||
      drawn->coverage.size() <
          static_cast<std::size_t>(drawn->width) * static_cast<std::size_t>(drawn->height)) {
    return false;
  }

  const OffsetRange columns = ClipRun({0, drawn->width}, x, surface->width);
  const OffsetRange rows = ClipRun({0, drawn->height}, y, surface->height);
  if (columns.Empty() || rows.Empty()) return true;
  std::vector<ColorValue> run(static_cast<std::size_t>(columns.last - columns.first));
  for (long long row = rows.first; row < rows.last; ++row) {
    const int targetY = static_cast<int>(y + row);
    const int targetX = static_cast<int>(x + columns.first);
    // Aliased text covers a pixel wholly or not at all; anything from half up counts as covered.
    if (state.bkMode == kTransparent) ReadColors(*surface, targetX, targetY, run);
    for (std::size_t i = 0; i < run.size(); ++i) {
      const std::size_t at =
          static_cast<std::size_t>(row) * static_cast<std::size_t>(drawn->width) +
          static_cast<std::size_t>(columns.first) + i;
      if (drawn->coverage[at] >= 128) {
        run[i] = state.textColor;
      } else if (state.bkMode == kOpaque) {
        run[i] = state.bkColor;
      }
    }
    WriteColors(*surface, targetX, targetY, run);
  }
  return true;
}

int SoftwareGdi::GetDeviceCaps(GdiHandle dc, int index) {
  if (!FindDc(dc)) return 0;
  switch (index) {
    case kHorzRes:
      return screen_.Width();
    case kVertRes:
      return screen_.Height();
    case kBitsPixel:
      return screen_.BitsPerPixel();
    case kLogPixelsX:
    case kLogPixelsY:
      return screen_.LogicalDotsPerInch();
    default:
      return 0;
  }
}

}  // namespace qel
