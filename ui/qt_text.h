// Conversions between the program's GBK texts and Qt's UTF-16 strings, used at every point
// where a Text meets a widget.
#pragma once

#include <QString>

#include "util/text_types.h"

namespace lumeno::ui {

QString ToQString(const Text& gbk);
QString ToQString(const char* gbk);
Text FromQString(const QString& text);

}  // namespace lumeno::ui
