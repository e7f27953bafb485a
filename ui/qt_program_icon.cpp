// The program's icon from the Qt resources built into lumeno-box.
#include "ui/qt_program_icon.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QString>

namespace lumeno::ui {

void InstallProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral(":/icons/lumeno-box-%1.png").arg(size);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    if (!icon.isNull()) QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(LUMENO_APP_ID));
}

}  // namespace lumeno::ui
