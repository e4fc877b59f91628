#include "skin/library/linux/qt_skin_style.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "skin/library/skin_look.h"

namespace qel::skin {
namespace {

QPixmap ToPixmap(const Texture* texture) {
  if (texture == nullptr) return {};
  // Our pixels are 0xAARRGGBB words, which is the toolkit's ARGB32 layout on any host.
  const QImage image(reinterpret_cast<const uchar*>(texture->pixels.data()),
                     static_cast<int>(texture->width), static_cast<int>(texture->height),
                     static_cast<qsizetype>(texture->width) * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

// A tile drawn over a gradient face lets the gradient show through.
constexpr double kTileOverGradientOpacity = 0.45;

QRectF Inner(const QRect& rect) { return QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5); }

}  // namespace

QtSkinStyle::QtSkinStyle(Theme theme, bool aero)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))),
      theme_(std::move(theme)),
      aero_(aero),
      windowTile_(ToPixmap(FindTexture(theme_, kWindowTileTexture))),
      buttonFace_(ToPixmap(FindTexture(theme_, kButtonFaceTexture))),
      titleBand_(ToPixmap(FindTexture(theme_, kTitleBandTexture))) {}

void QtSkinStyle::SetAero(bool aero) {
  if (aero == aero_) return;
  aero_ = aero;
  windowFace_ = QPixmap();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) window->update();
  }
}

QPalette QtSkinStyle::standardPalette() const {
  const Theme& t = theme_;
  QPalette palette(ToQColor(t.button.face), ToQColor(t.window.face));
  palette.setColor(QPalette::WindowText, ToQColor(t.window.text));
  palette.setColor(QPalette::Base, ToQColor(t.edit.background));
  palette.setColor(QPalette::AlternateBase, ToQColor(Blend(t.edit.background, t.window.face, 96)));
  palette.setColor(QPalette::Text, ToQColor(t.edit.text));
  palette.setColor(QPalette::ButtonText, ToQColor(t.button.text));
  palette.setColor(QPalette::Highlight, ToQColor(t.edit.selectionBackground));
  palette.setColor(QPalette::HighlightedText, ToQColor(t.edit.selectionText));
  palette.setColor(QPalette::Mid, ToQColor(t.edit.border));
  palette.setColor(QPalette::Dark, ToQColor(t.button.border));
  palette.setColor(QPalette::ToolTipBase, ToQColor(t.edit.background));
  palette.setColor(QPalette::ToolTipText, ToQColor(t.edit.text));
  palette.setColor(QPalette::Link, ToQColor(t.edit.focusBorder));
  palette.setColor(QPalette::PlaceholderText, ToQColor(t.disabledText));
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, ToQColor(t.disabledText));
  return palette;
}

void QtSkinStyle::polish(QWidget* widget) {
  QProxyStyle::polish(widget);
  const Qt::WindowType type = widget->windowType();
  if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog))
    widget->installEventFilter(this);
}

void QtSkinStyle::unpolish(QWidget* widget) {
  widget->removeEventFilter(this);
  QProxyStyle::unpolish(widget);
}

bool QtSkinStyle::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    auto* window = static_cast<QWidget*>(watched);  // only windows are watched
    const QRect area = static_cast<QPaintEvent*>(event)->rect();
    QPainter painter(window);
    painter.drawPixmap(area, WindowFace(window->size()), area);
  }
  return QProxyStyle::eventFilter(watched, event);
}

const QPixmap& QtSkinStyle::WindowFace(QSize size) {
  if (windowFace_.size() == size) return windowFace_;
  windowFace_ = QPixmap(size);
  QPainter painter(&windowFace_);
  const QRect all(QPoint(0, 0), size);
  const Theme::Window& window = theme_.window;
  if (window.faceGradientEnd) {
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, ToQColor(window.face));
    gradient.setColorAt(1, ToQColor(*window.faceGradientEnd));
    painter.fillRect(all, gradient);
    painter.setOpacity(kTileOverGradientOpacity);
  } else {
    painter.fillRect(all, ToQColor(window.face));
  }
  if (!windowTile_.isNull()) painter.drawTiledPixmap(all, windowTile_);
  if (aero_) {
    // The glass band: the title's tint at its opacity, fading into the face below it.
    const QRect band(0, 0, size.width(), std::min(kAeroBandHeight, size.height()));
    const double opacity = theme_.title.opacity / 255.0;
    painter.setOpacity(opacity);
    if (titleBand_.isNull()) {
      painter.fillRect(band, ToQColor(theme_.title.tint));
    } else {
      painter.drawPixmap(band, titleBand_);
    }
    painter.setOpacity(1.0);
    QColor sheen(255, 255, 255, 70);
    painter.fillRect(QRect(0, 0, size.width(), band.height() / 2), sheen);
    const int fadeHeight = 8;
    QLinearGradient fade(0, band.bottom() + 1, 0, band.bottom() + 1 + fadeHeight);
    QColor tint = ToQColor(theme_.title.tint);
    tint.setAlphaF(static_cast<float>(opacity / 2));
    fade.setColorAt(0, tint);
    tint.setAlpha(0);
    fade.setColorAt(1, tint);
    painter.fillRect(QRect(0, band.bottom() + 1, size.width(), fadeHeight), fade);
  }
  return windowFace_;
}

void QtSkinStyle::DrawButtonPanel(const QStyleOption* option, QPainter* painter) const {
  const Theme::Button& button = theme_.button;
  const bool sunken = option->state & (State_Sunken | State_On);
  const bool hover = (option->state & State_MouseOver) && (option->state & State_Enabled);
  const qreal radius = button.cornerRadius;
  QPainterPath shape;
  shape.addRoundedRect(Inner(option->rect), radius, radius);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, radius > 0);
  if (sunken) {
    painter->fillPath(shape, ToQColor(button.pressedFace));
  } else if (hover) {
    painter->fillPath(shape, ToQColor(button.hoverFace));
  } else if (!buttonFace_.isNull()) {
    painter->setClipPath(shape);
    painter->drawPixmap(option->rect, buttonFace_);
    painter->setClipping(false);
  } else {
    QLinearGradient gradient(0, option->rect.top(), 0, option->rect.bottom());
    gradient.setColorAt(0, ToQColor(button.face));
    gradient.setColorAt(1, ToQColor(button.faceGradientEnd));
    painter->fillPath(shape, gradient);
  }
  const bool focused = option->state & State_HasFocus;
  painter->setPen(QPen(ToQColor(focused ? theme_.edit.focusBorder : button.border), 1));
  painter->drawPath(shape);
  painter->restore();
}

void QtSkinStyle::DrawRadio(const QStyleOption* option, QPainter* painter) const {
  const Theme::Radio& radio = theme_.radio;
  const bool enabled = option->state & State_Enabled;
  const bool hover = (option->state & State_MouseOver) && enabled;
  const QRectF ring = QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setBrush(ToQColor(theme_.edit.background));
  const Colour ringColour = enabled ? radio.ring : theme_.disabledText;
  painter->setPen(QPen(ToQColor(hover ? radio.dot : ringColour), hover ? 1.6 : 1.2));
  painter->drawEllipse(ring);
  if (option->state & State_On) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(ToQColor(enabled ? radio.dot : theme_.disabledText));
    const qreal inset = ring.width() * 0.27;
    painter->drawEllipse(ring.adjusted(inset, inset, -inset, -inset));
  }
  painter->restore();
}

void QtSkinStyle::DrawTabShape(const QStyleOption* option, QPainter* painter) const {
  const Theme::Tabs& tabs = theme_.tabs;
  const bool selected = option->state & State_Selected;
  // Tabs in the background sit two pixels lower; the chosen one joins the pane below it.
  const QRect rect =
      selected ? option->rect.adjusted(0, 0, 0, 1) : option->rect.adjusted(1, 2, -1, 0);
  QPainterPath shape;
  const QRectF area = Inner(rect);
  const qreal radius = 3;
  shape.moveTo(area.bottomLeft());
  shape.lineTo(area.left(), area.top() + radius);
  shape.quadTo(area.topLeft(), QPointF(area.left() + radius, area.top()));
  shape.lineTo(area.right() - radius, area.top());
  shape.quadTo(area.topRight(), QPointF(area.right(), area.top() + radius));
  shape.lineTo(area.bottomRight());
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->fillPath(shape, ToQColor(selected ? tabs.selectedFace : tabs.face));
  painter->setPen(QPen(ToQColor(tabs.paneBorder), 1));
  painter->drawPath(shape);
  if (selected) {
    // An accent along the chosen tab's top edge.
    painter->fillRect(QRectF(area.left() + radius, area.top(), area.width() - 2 * radius, 2),
                      ToQColor(tabs.selectedText));
  }
  painter->restore();
}

void QtSkinStyle::DrawGroupBox(const QStyleOptionComplex* option, QPainter* painter,
                               const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (box == nullptr) return;
  const QRect label = subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
  const QRect frame = subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, widget);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  if (!box->text.isEmpty()) {
    // The frame's line stops short of the caption on both sides.
    QRegion clip(option->rect);
    clip -= label.adjusted(-3, 0, 3, 0);
    painter->setClipRegion(clip);
  }
  painter->setPen(QPen(ToQColor(theme_.groupBox.frame), 1));
  painter->drawRoundedRect(Inner(frame), 3, 3);
  painter->setClipping(false);
  if (!box->text.isEmpty()) {
    painter->setPen(
        ToQColor((option->state & State_Enabled) ? theme_.groupBox.caption : theme_.disabledText));
    painter->drawText(label, static_cast<int>(box->textAlignment) | Qt::TextShowMnemonic,
                      box->text);
  }
  painter->restore();
}

void QtSkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  switch (element) {
    case PE_PanelButtonCommand:
      DrawButtonPanel(option, painter);
      return;
    case PE_IndicatorRadioButton:
      DrawRadio(option, painter);
      return;
    case PE_FrameTabWidget:
      painter->save();
      painter->setPen(QPen(ToQColor(theme_.tabs.paneBorder), 1));
      painter->drawRect(Inner(option->rect));
      painter->restore();
      return;
    case PE_PanelLineEdit: {
      const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
      if (frame != nullptr && frame->lineWidth <= 0)
        return QProxyStyle::drawPrimitive(element, option, painter, widget);
      painter->fillRect(option->rect, ToQColor(theme_.edit.background));
      drawPrimitive(PE_FrameLineEdit, option, painter, widget);
      return;
    }
    case PE_FrameLineEdit: {
      const bool focused = option->state & State_HasFocus;
      painter->save();
      painter->setPen(QPen(ToQColor(focused ? theme_.edit.focusBorder : theme_.edit.border), 1));
      painter->drawRect(Inner(option->rect));
      if (focused) {
        painter->drawRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5));
      }
      painter->restore();
      return;
    }
    case PE_FrameFocusRect: {
      painter->save();
      QPen dotted(ToQColor(theme_.edit.focusBorder), 1, Qt::DotLine);
      painter->setPen(dotted);
      painter->drawRect(Inner(option->rect));
      painter->restore();
      return;
    }
    default:
      QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

void QtSkinStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
  switch (element) {
    case CE_TabBarTabShape:
      DrawTabShape(option, painter);
      return;
    case CE_TabBarTabLabel:
      if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option)) {
        QStyleOptionTab coloured = *tab;
        const bool selected = tab->state & State_Selected;
        coloured.palette.setColor(QPalette::WindowText,
                                  ToQColor(selected ? theme_.tabs.selectedText : theme_.tabs.text));
        QProxyStyle::drawControl(element, &coloured, painter, widget);
        return;
      }
      break;
    default:
      break;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

void QtSkinStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
  if (control == CC_GroupBox) return DrawGroupBox(option, painter, widget);
  QProxyStyle::drawComplexControl(control, option, painter, widget);
}

}  // namespace qel::skin
