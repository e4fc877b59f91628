// GBK texts at the Qt boundary, and colour values as Qt colours.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace qel {

QString ToQString(std::string_view gbk);
// The program's texts end at their first zero byte, as the platform's own texts do.
std::string ToGbk(const QString& text);
// The top byte of a colour value is not a colour; it is left out.
QColor ToQColor(ColorValue color);

}  // namespace qel
