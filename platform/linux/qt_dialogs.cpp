#include "platform/linux/qt_dialogs.h"

#include "platform/linux/qt_text.h"

namespace qel {
namespace {
constexpr int kIdOk = 1;
}

QMessageBox::Icon MessageBoxIcon(std::uint32_t style) {
  switch (style & 0xF0u) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

int QtDialogs::MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                          std::uint32_t style) {
  QWidget* parent = owner == 0 ? nullptr : QWidget::find(static_cast<WId>(owner));
  QString body = ToQString(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(MessageBoxIcon(style), ToQString(title), body, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return kIdOk;
}

}  // namespace qel
