// One widget per control kind. Labels, edit boxes and buttons map onto their Qt twins; a list
// view is a report-style QTableWidget (QTreeWidget cannot draw grid lines).
#include "ui/control_factory.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "ui/picture_box.h"
#include "ui/qt_text.h"

namespace lumeno::ui {
namespace {

// A check box that toggles on a click anywhere in its control rectangle, as a Win32 check box
// does; QCheckBox answers only on its indicator and caption, which leave most of a 54-pixel
// box dead.
class RectangleCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

QWidget* CreateEditBox(const ControlRow& spec, QWidget* parent) {
    const QString text = ToQString(spec.text);
    const bool readOnly = (spec.flags & kReadOnly) != 0;
    if (spec.flags & kMultiLine) {
        auto* edit = new QPlainTextEdit(text, parent);
        edit->setReadOnly(readOnly);
        if (spec.flags & kVerticalScrollBar) {
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        }
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(readOnly);
    return edit;
}

QWidget* CreateListView(const ControlRow& spec, QWidget* parent) {
    int columnCount = 0;
    while (columnCount < static_cast<int>(spec.columns.size()) &&
           spec.columns[static_cast<std::size_t>(columnCount)].title) {
        ++columnCount;
    }
    auto* list = new QTableWidget(0, columnCount, parent);
    QStringList titles;
    for (int c = 0; c < columnCount; ++c) {
        titles << ToQString(spec.columns[static_cast<std::size_t>(c)].title);
    }
    list->setHorizontalHeaderLabels(titles);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    // Uniform row heights keep appends cheap on long lists.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    QHeaderView* header = list->horizontalHeader();
    header->setVisible(true);
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < columnCount; ++c) {
        list->setColumnWidth(c, spec.columns[static_cast<std::size_t>(c)].width);
    }
    return list;
}

}  // namespace

QWidget* CreateControl(const ControlRow& spec, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (spec.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(ToQString(spec.text), parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case ControlKind::EditBox:
            widget = CreateEditBox(spec, parent);
            break;
        case ControlKind::Button:
            widget = new QPushButton(ToQString(spec.text), parent);
            break;
        case ControlKind::CheckBox:
            widget = new RectangleCheckBox(ToQString(spec.text), parent);
            break;
        case ControlKind::PictureBox:
            widget = new PictureBox(parent);
            break;
        case ControlKind::ListView:
            widget = CreateListView(spec, parent);
            break;
    }
    widget->setObjectName(ToQString(spec.name));
    widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
    widget->setEnabled(spec.enabled);
    widget->setVisible(spec.visible);
    return widget;
}

}  // namespace lumeno::ui
