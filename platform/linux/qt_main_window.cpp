#include "platform/linux/qt_main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <climits>
#include <cstdlib>
#include <utility>

#include "platform/linux/qt_controls.h"
#include "platform/linux/qt_text.h"
#include "platform/linux/qt_timer.h"

namespace qel {
namespace {

Qt::Alignment ToQtAlignment(Align align) {
  switch (align) {
    case Align::Center:
      return Qt::AlignHCenter;
    case Align::Right:
      return Qt::AlignRight;
    case Align::Left:
      break;
  }
  return Qt::AlignLeft;
}

Qt::WindowFlags WindowFlags(const WindowSpec& window) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (window.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
  if (window.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
  if (window.topmost) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

QFont ToQFont(const QFont& base, const FontSpec& spec) {
  QFont font = base;
  // Both a negative and a positive height are taken as the character height in pixels here.
  font.setPixelSize(std::abs(spec.height));
  font.setWeight(static_cast<QFont::Weight>(spec.weight));
  font.setItalic(spec.italic);
  font.setUnderline(spec.underline);
  font.setStrikeOut(spec.strikeOut);
  return font;
}

// The layout is drawn for a small dialog font of about 11 pixels. Its texts are Chinese, so a face
// that holds both Chinese and Latin glyphs comes first where there is one: the toolkit then need
// not search the other fonts for the missing glyphs, which costs more than building all the
// controls. The text is not hinted: at this size it reads as well, and preparing a large Chinese
// face for hinting costs the start about a millisecond.
QFont DefaultGuiFont() {
  QFont font = QApplication::font();
  QStringList families{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                       QStringLiteral("Droid Sans Fallback")};
  families << font.families();
  font.setFamilies(families);
  font.setPixelSize(11);
  font.setStretch(QFont::SemiCondensed);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace

QtMainWindow::QtMainWindow(const Layout& layout, EventSink& events)
    : QWidget(nullptr, WindowFlags(layout.window)),
      layout_(layout),
      events_(events),
      timers_(layout, events,
              [](auto onTick) { return std::make_unique<QtTimer>(std::move(onTick)); }) {
  setObjectName(QString::fromLatin1(ControlName(ControlId::MainWindow)));
  setWindowTitle(ToQString(layout.window.caption));
  setFont(DefaultGuiFont());
  if (!layout.window.resizable) setFixedSize(layout.window.outerWidth, layout.window.outerHeight);
  widgets_[Index(ControlId::MainWindow)] = this;

  for (const ControlSpec& spec : layout.controls) {
    QWidget* parent = spec.parent == ControlId::MainWindow ? this : widgets_[Index(spec.parent)];
    QWidget* widget = CreateControl(spec, parent);
    if (widget == nullptr) continue;
    widgets_[Index(spec.id)] = widget;
    widget->setObjectName(QString::fromLatin1(ControlName(spec.id)));
    widget->setGeometry(spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height);
    if (spec.tabStop) {
      widget->setFocusPolicy(Qt::StrongFocus);
    } else if (spec.type == ControlType::EditBox) {
      widget->setFocusPolicy(Qt::ClickFocus);  // selectable and copyable, but no Tab stop
    } else if (spec.type != ControlType::TabBox) {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    if (spec.font != nullptr) widget->setFont(ToQFont(widget->font(), *spec.font));
    if (tabBox_ != nullptr && spec.parent == layout.window.tabBox) {
      tabBox_->AddToPage(spec.page, widget);
    }
  }
  if (tabBox_ != nullptr) tabBox_->SelectPage(layout.window.initialPage);
}

QWidget* QtMainWindow::CreateControl(const ControlSpec& spec, QWidget* parent) {
  const QString caption = ToQString(spec.caption);
  const Qt::Alignment align = ToQtAlignment(spec.align);
  const ControlId id = spec.id;
  switch (spec.type) {
    case ControlType::TabBox: {
      QStringList titles;
      for (std::string_view title : layout_.window.pageTitles) titles << ToQString(title);
      tabBox_ = new TabBox(parent, titles);
      return tabBox_;
    }
    case ControlType::GroupBox: {
      auto* box = new QGroupBox(caption, parent);
      box->setAlignment(align);
      return box;
    }
    case ControlType::Label: {
      auto* label = new QLabel(caption, parent);
      label->setAlignment(align | Qt::AlignVCenter);
      return label;
    }
    case ControlType::EditBox: {
      auto* edit = new EditBox(parent, [this, id] { events_.Deliver(id, Event::GotFocus); });
      edit->setAlignment(align | Qt::AlignVCenter);
      edit->setReadOnly(spec.readOnly);
      edit->setMaxLength(INT_MAX);
      edit->setText(caption);
      return edit;
    }
    case ControlType::Button: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this,
              [this, id] { events_.Deliver(id, Event::Click); });
      return button;
    }
    case ControlType::RadioBox:
      return new RadioBox(caption, parent);
    case ControlType::DrawPanel:
      return new DrawPanel(parent);
    case ControlType::ColorPicker:
      return new ColorPicker(parent);
    case ControlType::Timer:
      return nullptr;  // no widget: FormTimers keeps it
  }
  return nullptr;
}

std::string QtMainWindow::Text(ControlId control) const {
  const QWidget* widget = Widget(control);
  if (control == ControlId::MainWindow) return ToGbk(windowTitle());
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return ToGbk(edit->text());
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    return ToGbk(button->text());
  }
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return ToGbk(label->text());
  if (const auto* box = qobject_cast<const QGroupBox*>(widget)) return ToGbk(box->title());
  return {};
}

void QtMainWindow::SetText(ControlId control, std::string_view text) {
  QWidget* widget = Widget(control);
  const QString qtext = ToQString(text);
  if (control == ControlId::MainWindow) {
    setWindowTitle(qtext);
  } else if (auto* edit = dynamic_cast<EditBox*>(widget)) {
    edit->ShowText(qtext);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(qtext);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(qtext);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    box->setTitle(qtext);
  }
}

bool QtMainWindow::IsChecked(ControlId radio) const {
  const auto* button = qobject_cast<const QAbstractButton*>(Widget(radio));
  return button != nullptr && button->isChecked();
}

int QtMainWindow::TimerInterval(ControlId timer) const { return timers_.Interval(timer); }

void QtMainWindow::SetTimerInterval(ControlId timer, int milliseconds) {
  timers_.SetInterval(timer, milliseconds);
}

void QtMainWindow::SetPanelColor(ControlId panel, ColorValue color) {
  if (auto* drawPanel = dynamic_cast<DrawPanel*>(Widget(panel)))
    drawPanel->SetColor(ToQColor(color));
}

void QtMainWindow::SetPickerColor(ControlId picker, ColorValue color) {
  if (auto* colorPicker = dynamic_cast<ColorPicker*>(Widget(picker))) {
    colorPicker->SetColor(ToQColor(color));
  }
}

WindowHandle QtMainWindow::NativeHandle(ControlId control) {
  if (control == ControlId::MainWindow) return static_cast<WindowHandle>(winId());
  if (Widget(control) == nullptr) return 0;
  std::unique_ptr<X11MessageWindow>& window = messageWindows_[Index(control)];
  if (window == nullptr) {
    window = std::make_unique<X11MessageWindow>();
  }
  return window->Id();
}

int QtMainWindow::SelectedPage(ControlId tabs) const {
  return tabBox_ != nullptr && tabs == layout_.window.tabBox ? tabBox_->CurrentPage() : -1;
}

void QtMainWindow::ReceiveMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  if (message != kLabelNotifyMessage || target == 0) return;
  for (const ControlSpec& spec : layout_.controls) {
    const std::unique_ptr<X11MessageWindow>& window = messageWindows_[Index(spec.id)];
    // Only a control whose handle was handed out can be addressed.
    if (spec.type == ControlType::Label && window != nullptr && window->Id() == target) {
      events_.Deliver(spec.id, Event::Notify, static_cast<std::int32_t>(wParam),
                      static_cast<std::int32_t>(lParam));
    }
  }
}

void QtMainWindow::ShowCentred() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.left() + (screen.width() - layout_.window.outerWidth) / 2,
       screen.top() + (screen.height() - layout_.window.outerHeight) / 2);
  show();
  raise();
  activateWindow();
}

void QtMainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  KeepOuterSize();
}

// The window manager's frame arrives after the window is shown, with a move.
void QtMainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  KeepOuterSize();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  if (!event->matches(QKeySequence::Copy)) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  events_.Deliver(layout_.window.tabBox, Event::Copy);
}

void QtMainWindow::KeepOuterSize() {
  if (outerSizeKept_ || layout_.window.resizable) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame == QSize(0, 0)) return;  // no frame (yet): the outer size is the client size
  outerSizeKept_ = true;
  setFixedSize(layout_.window.outerWidth - frame.width(),
               layout_.window.outerHeight - frame.height());
}

}  // namespace qel
