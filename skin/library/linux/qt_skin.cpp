// The skin library's Qt half: the application takes our style, its palettes and the skin's font
// face. Unloading the library hands the application a plain style again, so that nothing of the
// library's code is left for the toolkit to call.
#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QStyleFactory>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include "skin/library/linux/qt_skin_style.h"
#include "skin/library/skin_backend.h"

namespace qel::skin {
namespace {

struct Session {
  bool aero = false;
  QPointer<QtSkinStyle> style;

  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (style == nullptr || QCoreApplication::instance() == nullptr) return;
    QStyle* plain = QStyleFactory::create(QStringLiteral("Fusion"));
    QApplication::setStyle(plain);
    const QPalette palette = plain->standardPalette();
    QApplication::setPalette(palette);
    QApplication::setPalette(palette, "QLabel");
    QApplication::setPalette(palette, "QRadioButton");
  }
};

Session& CurrentSession() {
  static Session session;
  return session;
}

QApplication* WidgetApplication() {
  return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// `palette` with `text` for the text role of enabled controls; disabled ones keep theirs.
QPalette WithText(QPalette palette, Colour text) {
  for (const auto group : {QPalette::Active, QPalette::Inactive})
    palette.setColor(group, QPalette::WindowText, ToQColor(text));
  return palette;
}

// The skin's face goes first; the faces already chosen stay behind it, for the characters it
// lacks. The size stays: the window's layout is fixed.
QFont WithFace(QFont font, const QString& face) {
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  families.removeAll(face);
  families.prepend(face);
  font.setFamilies(families);
  return font;
}

// Whether the system has the face itself, not a stand-in its font configuration would pick.
bool Installed(const QString& face) {
  return QFontInfo(WithFace(QApplication::font(), face))
             .family()
             .compare(face, Qt::CaseInsensitive) == 0;
}

// Whether the caption of a control of fixed size still fits in `font`.
bool CaptionFits(const QWidget& widget, const QFont& font) {
  QString caption;
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    caption = label->text();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
    caption = button->text();
  }
  if (caption.isEmpty()) return true;
  const int growth = QFontMetrics(font).horizontalAdvance(caption) -
                     widget.fontMetrics().horizontalAdvance(caption);
  return growth <= std::max(0, widget.width() - widget.sizeHint().width());
}

// Every control takes the skin's face, but for those whose caption it would cut short: they
// keep the face they have.
void ApplyFontFace(const QString& face) {
  if (face.isEmpty() || !Installed(face)) return;
  std::vector<std::pair<QWidget*, QFont>> keep;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (!CaptionFits(*widget, WithFace(widget->font(), face)))
      keep.emplace_back(widget, widget->font());
  }
  QApplication::setFont(WithFace(QApplication::font(), face));
  for (QWidget* widget : QApplication::allWidgets()) {
    if (widget->testAttribute(Qt::WA_SetFont)) widget->setFont(WithFace(widget->font(), face));
  }
  for (auto& [widget, font] : keep) widget->setFont(font);
}

}  // namespace

void ApplyTheme(const Theme& theme) {
  if (WidgetApplication() == nullptr) return;  // a program without windows has nothing to skin
  Session& session = CurrentSession();
  auto* style = new QtSkinStyle(theme, session.aero);
  QApplication::setStyle(style);  // the application owns it from here
  session.style = style;
  const QPalette palette = style->standardPalette();
  QApplication::setPalette(palette);
  QApplication::setPalette(WithText(palette, theme.labelText), "QLabel");
  QApplication::setPalette(WithText(palette, theme.radio.text), "QRadioButton");
  ApplyFontFace(QString::fromStdString(theme.fontFamily));
}

void ApplyAero(bool enabled) {
  Session& session = CurrentSession();
  session.aero = enabled;
  if (session.style != nullptr) session.style->SetAero(enabled);
}

}  // namespace qel::skin
