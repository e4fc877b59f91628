#include "platform/linux/qt_text_renderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/linux/gbk.h"
#include "platform/linux/private_qt_application.h"

namespace qel {
namespace {

constexpr int kDefaultCellHeight = 16;

QString FromGbk(std::string_view text) {
  const std::u16string utf16 = GbkToUtf16(text);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

int CellHeight(QFont font, int pixelSize) {
  font.setPixelSize(pixelSize);
  return QFontMetrics(font).height();
}

}  // namespace

QFont QtFontFor(const FontRequest& request) {
  QFont font;
  if (!request.face.empty()) font.setFamilies({FromGbk(request.face)});
  font.setWeight(
      static_cast<QFont::Weight>(request.weight <= 0 ? 400 : std::clamp(request.weight, 1, 1000)));
  font.setItalic(request.italic);
  font.setUnderline(request.underline);
  font.setStrikeOut(request.strikeOut);
  font.setStyleStrategy(QFont::NoAntialias);
  // Glyphs at whole pixels, as GDI places them: a run of text then draws each character exactly as
  // it is drawn alone, which reading a number digit by digit relies on.
  font.setHintingPreference(QFont::PreferFullHinting);
  if (request.height < 0) {
    font.setPixelSize(-request.height);
    return font;
  }
  // The cell grows with the pixel size by the face's own ratio, give or take the rounding of its
  // metrics: scale once, then take the largest neighbour whose cell still fits.
  const int wanted = request.height > 0 ? request.height : kDefaultCellHeight;
  const int first = CellHeight(font, wanted);
  int size = std::max(
      1, static_cast<int>(std::lround(static_cast<double>(wanted) * wanted / std::max(1, first))));
  while (size > 1 && CellHeight(font, size) > wanted) --size;
  while (CellHeight(font, size + 1) <= wanted) ++size;
  font.setPixelSize(size);
  return font;
}

std::optional<TextCoverage> RenderTextWithQt(const FontRequest& request, std::string_view text) {
  if (!HaveGuiApplication()) return std::nullopt;
  const QFont font = QtFontFor(request);
  const QFontMetrics metrics(font);
  const QString string = FromGbk(text);
  TextCoverage drawn;
  drawn.width = metrics.horizontalAdvance(string);
  drawn.height = metrics.height();
  drawn.coverage.assign(static_cast<std::size_t>(std::max(0, drawn.width)) *
                            static_cast<std::size_t>(std::max(0, drawn.height)),
                        0);
  if (drawn.width <= 0 || drawn.height <= 0) return drawn;
  QImage image(drawn.width, drawn.height, QImage::Format_Grayscale8);
  image.fill(0);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(0, metrics.ascent(), string);
  }
  for (int y = 0; y < drawn.height; ++y) {
    std::memcpy(drawn.coverage.data() + static_cast<std::size_t>(y) * drawn.width,
                image.constScanLine(y), static_cast<std::size_t>(drawn.width));
  }
  return drawn;
}

}  // namespace qel
