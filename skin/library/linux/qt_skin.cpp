// The skin library's Qt half: the application takes our style, its palettes and the skin's font
// face. Unloading the library hands the application a plain style again, so that nothing of the
// library's code is left for the toolkit to call.
#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QWidget>
#include <optional>

#include "skin/library/linux/qt_skin_style.h"
#include "skin/library/skin_backend.h"

namespace qel::skin {
namespace {

struct Session {
  std::optional<Theme> theme;
  bool aero = false;
  QPointer<QtSkinStyle> style;

  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (style != nullptr && QCoreApplication::instance() != nullptr)
      QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
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
// lacks and for a system that lacks the face. The size stays: the window's layout is fixed.
QFont WithFace(QFont font, const QString& face) {
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  families.removeAll(face);
  families.prepend(face);
  font.setFamilies(families);
  return font;
}

void ApplyFontFace(const QString& face) {
  if (face.isEmpty()) return;
  QApplication::setFont(WithFace(QApplication::font(), face));
  for (QWidget* widget : QApplication::allWidgets()) {
    if (widget->testAttribute(Qt::WA_SetFont)) widget->setFont(WithFace(widget->font(), face));
  }
}

}  // namespace

void ApplyTheme(const Theme& theme) {
  if (WidgetApplication() == nullptr) return;  // a program without windows has nothing to skin
  Session& session = CurrentSession();
  session.theme = theme;
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
