// Text drawn through Qt for the mini-GDI: a GDI font request becomes a Qt font, and text in it
// becomes covered pixels.
#pragma once

#include <QFont>
#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace qel {

// The face asked for (fontconfig's nearest face when it is missing), its weight, slant and lines,
// aliased, and sized so that its cell, ascent plus descent, is the height asked for; a negative
// height is the characters' own height instead, 0 a cell of 16 pixels. Needs a Qt GUI application.
QFont QtFontFor(const FontRequest& font);

// The GBK text in that font, from a Qt GUI application made on first use when the program has no
// Qt application (a command-line tool, a script module) and drawing off screen. nullopt inside a
// Qt application without a GUI, where Qt has no fonts.
std::optional<TextCoverage> RenderTextWithQt(const FontRequest& font, std::string_view text);

}  // namespace qel
