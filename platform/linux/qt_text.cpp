#include "platform/linux/qt_text.h"

#include "platform/linux/gbk.h"

namespace qel {

QString ToQString(std::string_view gbk) {
  const std::u16string text = GbkToUtf16(gbk);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToGbk(const QString& text) {
  const qsizetype end = text.indexOf(QChar(u'\0'));
  const QStringView visible = end < 0 ? QStringView(text) : QStringView(text).left(end);
  return Utf16ToGbk(std::u16string_view(visible.utf16(), static_cast<std::size_t>(visible.size())));
}

QColor ToQColor(ColorValue color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace qel
