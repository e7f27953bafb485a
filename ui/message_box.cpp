// Mapping between the platform's message-box numbers and QMessageBox.
#include "ui/message_box.h"

#include <QAbstractButton>

#include "ui/qt_text.h"

namespace lumeno::ui {
namespace {

QMessageBox::StandardButtons ButtonsFor(int style) {
    switch (style & 0x0F) {
        case 1:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case 2:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case 3:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case 4:
            return QMessageBox::Yes | QMessageBox::No;
        case 5:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(int style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QMessageBox* CreateMessageBox(const Text& message, int style, const Text& title) {
    auto* box =
        new QMessageBox(IconFor(style), ToQString(title), ToQString(message), ButtonsFor(style));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    return box;
}

int MessageBoxAnswer(const QMessageBox& box) {
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    switch (clicked ? box.standardButton(const_cast<QAbstractButton*>(clicked))
                    : QMessageBox::NoButton) {
        case QMessageBox::Cancel:
            return 1;
        case QMessageBox::Abort:
            return 2;
        case QMessageBox::Retry:
            return 3;
        case QMessageBox::Ignore:
            return 4;
        case QMessageBox::Yes:
            return 5;
        case QMessageBox::No:
            return 6;
        default:
            return 0;
    }
}

}  // namespace lumeno::ui
