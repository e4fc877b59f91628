// The skin's look in Qt: a style over Fusion that draws the window face, the tab control, group
// boxes, buttons, edit boxes and radio buttons from a theme, with the theme's textures.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QProxyStyle>
#include <QSize>

#include "skin/skin_format.h"

namespace qel::skin {

inline QColor ToQColor(Colour colour) { return {colour.r, colour.g, colour.b}; }

class QtSkinStyle : public QProxyStyle {
 public:
  QtSkinStyle(Theme theme, bool aero);

  // Turns the aero band on or off and repaints the windows that show it.
  void SetAero(bool aero);

  // What the theme makes of the toolkit's colour roles.
  QPalette standardPalette() const override;

  void polish(QWidget* widget) override;
  void unpolish(QWidget* widget) override;
  using QProxyStyle::polish;
  using QProxyStyle::unpolish;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override;

 protected:
  // Paints each top-level window's face before the window paints itself.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The face of a top-level window of `size`: the face colour or its gradient, the window tile
  // over it, and the aero band when it is on. Made once for each size.
  const QPixmap& WindowFace(QSize size);
  void DrawButtonPanel(const QStyleOption* option, QPainter* painter) const;
  void DrawRadio(const QStyleOption* option, QPainter* painter) const;
  void DrawTabShape(const QStyleOption* option, QPainter* painter) const;
  void DrawGroupBox(const QStyleOptionComplex* option, QPainter* painter,
                    const QWidget* widget) const;

  Theme theme_;
  bool aero_;
  QPixmap windowTile_;
  QPixmap buttonFace_;
  QPixmap titleBand_;
  QPixmap windowFace_;
};

}  // namespace qel::skin
