// Loading Qt's zh_CN translation of its own texts from Qt's translations folder.
#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumeno::ui {
namespace {

constexpr const char* kTranslatorName = "lumeno-qt-zh_CN";

}  // namespace

bool InstallChineseQtTranslations() {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return false;
    if (application->findChild<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
        return true;
    }
    // Owned by the application: it stays installed as long as the application lives.
    auto* translator = new QTranslator(application);
    translator->setObjectName(kTranslatorName);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_", folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace lumeno::ui
