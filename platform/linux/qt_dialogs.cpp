#include "platform/linux/qt_dialogs.h"

#include "platform/linux/qt_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace qel {
namespace {

constexpr int kIdOk = 1;

// Ctrl+C copies the whole box, title, text and buttons, as message boxes on Windows do: a user can
// paste an error into a report without typing it off the screen.
class CopyableMessageBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!event->matches(QKeySequence::Copy)) return QMessageBox::keyPressEvent(event);
    const QString rule = QStringLiteral("---------------------------\n");
    QString buttons;
    for (const QAbstractButton* button : this->buttons()) buttons += button->text() + "   ";
    QApplication::clipboard()->setText(rule + windowTitle() + "\n" + rule + text() + "\n" + rule +
                                       buttons + "\n" + rule);
  }
};

}  // namespace

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
  CopyableMessageBox box(MessageBoxIcon(style), ToQString(title), body, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return kIdOk;
}

}  // namespace qel
