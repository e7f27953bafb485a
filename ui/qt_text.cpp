// GBK <-> QString through the code page layer.
#include "ui/qt_text.h"

#include "platform/codepage/codepage.h"

namespace lumeno::ui {

QString ToQString(const Text& gbk) {
    if (gbk.empty()) return {};
    return QString::fromStdU16String(platform::GbkToUtf16(gbk));
}

QString ToQString(const char* gbk) {
    return gbk ? ToQString(Text(gbk)) : QString();
}

Text FromQString(const QString& text) {
    if (text.isEmpty()) return {};
    return platform::Utf16ToGbk(text.toStdU16String());
}

}  // namespace lumeno::ui
