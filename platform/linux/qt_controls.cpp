#include "platform/linux/qt_controls.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <utility>

namespace qel {

EditBox::EditBox(QWidget* parent, std::function<void()> onFocus)
    : QLineEdit(parent), onFocus_(std::move(onFocus)) {
  HideSelectionWhenInactive();
}

void EditBox::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) HideSelectionWhenInactive();
}

void EditBox::HideSelectionWhenInactive() {
  QPalette colors = palette();
  const QColor base = colors.color(QPalette::Inactive, QPalette::Base);
  const QColor text = colors.color(QPalette::Inactive, QPalette::Text);
  // Setting the palette changes it again, so only a palette that differs is set.
  if (colors.color(QPalette::Inactive, QPalette::Highlight) == base &&
      colors.color(QPalette::Inactive, QPalette::HighlightedText) == text) {
    return;
  }
  colors.setColor(QPalette::Inactive, QPalette::Highlight, base);
  colors.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
  setPalette(colors);
}

void EditBox::ShowText(const QString& text) {
  const bool asSetTextLeavesIt = !hasFocus() && this->text() == text && !hasSelectedText() &&
                                 cursorPosition() == text.size() && !isUndoAvailable() &&
                                 !isRedoAvailable() && !isModified();
  if (!asSetTextLeavesIt) setText(text);
}

void EditBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  onFocus_();
}

void EditBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy) && !hasSelectedText()) {
    event->ignore();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

RadioBox::RadioBox(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  setAutoExclusive(false);
  connect(this, &QRadioButton::clicked, this, [this] { setChecked(true); });
  connect(this, &QRadioButton::toggled, this, [this](bool checked) {
    if (!checked) return;
    for (RadioBox* sibling : parentWidget()->findChildren<RadioBox*>(Qt::FindDirectChildrenOnly)) {
      if (sibling != this) sibling->setChecked(false);
    }
  });
}

DrawPanel::DrawPanel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

void DrawPanel::SetColor(const QColor& color) {
  // A palette of its own stays the panel's even when it shows the inherited colour: the
  // application's palette may change later.
  if (testAttribute(Qt::WA_SetPalette) && Color() == color) return;
  QPalette colors = palette();
  colors.setColor(QPalette::Window, color);
  setPalette(colors);
  update();
}

QColor DrawPanel::Color() const { return palette().color(QPalette::Window); }

ColorPicker::ColorPicker(QWidget* parent)
    : QPushButton(parent), color_(palette().color(QPalette::Window)) {
  connect(this, &QPushButton::clicked, this, [this] { Choose(); });
}

void ColorPicker::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void ColorPicker::Choose() {
  const QColor chosen = QColorDialog::getColor(color_, this);
  if (chosen.isValid()) SetColor(chosen);
}

void ColorPicker::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  const int inset = 4;
  const QRect swatch = rect().adjusted(inset, inset, -inset, -inset);
  painter.fillRect(swatch, color_);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

TabBox::TabBox(QWidget* parent, const QStringList& titles)
    : QWidget(parent), bar_(new QTabBar(this)), pages_(static_cast<std::size_t>(titles.size())) {
  for (const QString& title : titles) bar_->addTab(title);
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  // The tab control is no Tab-key stop; its pages are chosen with the mouse.
  bar_->setFocusPolicy(Qt::NoFocus);
  setFocusPolicy(Qt::NoFocus);
  connect(bar_, &QTabBar::currentChanged, this, [this](int page) { ShowPage(page); });
}

void TabBox::AddToPage(int page, QWidget* control) {
  pages_.at(static_cast<std::size_t>(page)).push_back(control);
  control->setVisible(page == CurrentPage());
}

void TabBox::SelectPage(int page) {
  bar_->setCurrentIndex(page);
  ShowPage(page);
}

void TabBox::ShowPage(int page) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    for (QWidget* control : pages_[i]) control->setVisible(static_cast<int>(i) == page);
  }
}

void TabBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
}

void TabBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  frame.rect = rect().adjusted(0, bar_->height() - overlap, 0, 0);
  frame.tabBarSize = bar_->sizeHint();
  frame.shape = bar_->shape();
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace qel
