#include "platform/win32/win32_text.h"

#include <string>
#include <vector>

#include "platform/win32/win32_dib.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

constexpr int kDefaultCellHeight = 16;

// A font handle, deleted when it goes.
class FontHandle {
 public:
  explicit FontHandle(const FontRequest& request) {
    const std::wstring face = GbkToUtf16(request.face);
    font_ = CreateFontW(request.height != 0 ? request.height : kDefaultCellHeight, 0, 0, 0,
                        request.weight, request.italic, request.underline, request.strikeOut,
                        request.charSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
  }
  ~FontHandle() {
    if (font_ != nullptr) DeleteObject(font_);
  }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

}  // namespace

std::optional<TextCoverage> RenderTextWithGdi(const FontRequest& request, std::string_view text) {
  const FontHandle font(request);
  if (font.Get() == nullptr) return std::nullopt;
  const std::wstring wide = GbkToUtf16(text);
  const auto length = static_cast<int>(wide.size());

  // Measured in a DC of its own, as the drawing DC needs the size first.
  SIZE size{};
  TEXTMETRICW metrics{};
  {
    const ScreenDc screen;
    HDC measuring = CreateCompatibleDC(screen.Get());
    if (measuring == nullptr) return std::nullopt;
    const HGDIOBJ previous = SelectObject(measuring, font.Get());
    const bool measured = GetTextExtentPoint32W(measuring, wide.c_str(), length, &size) &&
                          GetTextMetricsW(measuring, &metrics);
    SelectObject(measuring, previous);
    DeleteDC(measuring);
    if (!measured) return std::nullopt;
  }
  TextCoverage drawn;
  drawn.width = static_cast<int>(size.cx);
  drawn.height = static_cast<int>(metrics.tmHeight);
  drawn.coverage.assign(static_cast<std::size_t>(drawn.width) * drawn.height, 0);
  if (drawn.width <= 0 || drawn.height <= 0) return drawn;

  const Dib32 target(drawn.width, drawn.height);
  if (!target.Ready()) return std::nullopt;
  const HGDIOBJ previous = SelectObject(target.Dc(), font.Get());
  SetBkMode(target.Dc(), TRANSPARENT);
  SetTextColor(target.Dc(), RGB(255, 255, 255));
  const bool done = TextOutW(target.Dc(), 0, 0, wide.c_str(), length);
  SelectObject(target.Dc(), previous);
  if (!done) return std::nullopt;
  std::vector<std::uint32_t> pixels(drawn.coverage.size());
  target.CopyTo(drawn.width, drawn.height, pixels.data(), drawn.width);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    drawn.coverage[i] = static_cast<std::uint8_t>(pixels[i] >> 8);  // green: white text on black
  }
  return drawn;
}

}  // namespace qel
