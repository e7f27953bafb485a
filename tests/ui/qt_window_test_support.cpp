// The window tests' view of the Qt window system: widgets read through their Qt classes,
// input through QTest.
#include "tests/ui/window_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "tests/ui/window_test_backend.h"
#include "ui/picture_box.h"
#include "ui/qt_form.h"
#include "ui/qt_text.h"

namespace lumeno::testing {
namespace {

QMessageBox* FindVisibleMessageBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible()) return box;
    }
    return nullptr;
}

Rect ToRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

class QtFormDriver final : public FormDriver {
public:
    explicit QtFormDriver(ui::QtForm& form) : form_(form) {}

    bool WaitExposed() override { return QTest::qWaitForWindowExposed(&form_.Window()); }

    FrameView Frame() override {
        const ui::FormWindow& window = form_.Window();
        FrameView frame;
        frame.caption = ui::FromQString(window.windowTitle());
        frame.client = {window.width(), window.height()};
        frame.outer = ToRect(window.frameGeometry());
        if (const QScreen* screen = window.screen()) {
            frame.workArea = ToRect(screen->availableGeometry());
        }
        // The desktop draws the frame; the window asks for a fixed size and its buttons.
        frame.resizable = window.minimumSize() != window.maximumSize();
        const Qt::WindowFlags flags = window.windowFlags();
        frame.minimizeButton = flags.testFlag(Qt::WindowMinimizeButtonHint);
        frame.maximizeButton = flags.testFlag(Qt::WindowMaximizeButtonHint);
        frame.systemMenu =
            flags.testFlag(Qt::WindowSystemMenuHint) && flags.testFlag(Qt::WindowCloseButtonHint);
        return frame;
    }

    std::vector<Text> ControlNames() override { return form_.Window().ControlNames(); }

    std::optional<ControlView> Control(const Text& name) override {
        QWidget* widget = Widget(name);
        if (!widget) return std::nullopt;
        ControlView view;
        if (qobject_cast<QLabel*>(widget)) {
            view.kind = ui::ControlKind::Label;
            view.text = ui::FromQString(qobject_cast<QLabel*>(widget)->text());
        } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            view.kind = ui::ControlKind::EditBox;
            view.text = ui::FromQString(line->text());
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            view.kind = ui::ControlKind::EditBox;
            view.text = ui::FromQString(edit->toPlainText());
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            view.kind = ui::ControlKind::CheckBox;
            view.text = ui::FromQString(box->text());
            view.checked = box->isChecked();
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            view.kind = ui::ControlKind::Button;
            view.text = ui::FromQString(button->text());
        } else if (qobject_cast<QTableWidget*>(widget)) {
            view.kind = ui::ControlKind::ListView;
        } else if (dynamic_cast<ui::PictureBox*>(widget)) {
            view.kind = ui::ControlKind::PictureBox;
        }
        view.geometry = ToRect(widget->geometry());
        view.enabled = widget->isEnabled();
        view.visible = !widget->isHidden();
        return view;
    }

    EditStyle EditStyleOf(const Text& name) override {
        EditStyle style;
        if (auto* line = qobject_cast<QLineEdit*>(Widget(name)))
            style.readOnly = line->isReadOnly();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(Widget(name))) {
            style.readOnly = edit->isReadOnly();
            style.multiLine = true;
            style.verticalScrollBar = edit->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
        }
        return style;
    }

    ListStyle ListStyleOf(const Text& name) override {
        ListStyle style;
        QTableWidget* table = Table(name);
        if (!table) return style;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* header = table->horizontalHeaderItem(c);
            style.columns.emplace_back(header ? ui::FromQString(header->text()) : Text(),
                                       table->columnWidth(c));
        }
        style.headerVisible = !table->horizontalHeader()->isHidden();
        style.headerDragDrop = table->horizontalHeader()->sectionsMovable();
        style.gridLines = table->showGrid();
        style.fullRowSelect = table->selectionBehavior() == QAbstractItemView::SelectRows;
        style.singleSelection = table->selectionMode() == QAbstractItemView::SingleSelection;
        style.editable = table->editTriggers() != QAbstractItemView::NoEditTriggers;
        return style;
    }

    int Rows(const Text& list) override {
        QTableWidget* table = Table(list);
        return table ? table->rowCount() : 0;
    }

    Text Cell(const Text& list, int row, int column) override {
        QTableWidget* table = Table(list);
        const QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
        return item ? ui::FromQString(item->text()) : Text();
    }

    bool HasPicture(const Text& name) override {
        auto* box = dynamic_cast<ui::PictureBox*>(Widget(name));
        return box && box->HasPicture();
    }

    ui::PictureSize PictureShown(const Text& name) override {
        auto* box = dynamic_cast<ui::PictureBox*>(Widget(name));
        if (!box || !box->HasPicture()) return {};
        return {box->PictureSize().width(), box->PictureSize().height()};
    }

    Colour ColourAt(const Text& name, int x, int y) override {
        QWidget* widget = Widget(name);
        if (!widget) return {};
        const QColor colour = widget->grab().toImage().pixelColor(x, y);
        return {colour.red(), colour.green(), colour.blue()};
    }

    void Click(const Text& name) override {
        if (QWidget* widget = Widget(name)) QTest::mouseClick(widget, Qt::LeftButton);
    }

    void ClickAt(const Text& name, int x, int y) override {
        if (QWidget* widget = Widget(name)) QTest::mouseClick(widget, Qt::LeftButton, {}, {x, y});
    }

    void ClickListRow(const Text& list, int row, bool rightButton) override {
        QTableWidget* table = Table(list);
        if (!table) return;
        const QRect rect = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), rightButton ? Qt::RightButton : Qt::LeftButton, {},
                          rect.center());
    }

    void ClickListBelowRows(const Text& list) override {
        QTableWidget* table = Table(list);
        if (!table) return;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          QPoint(20, table->viewport()->height() - 5));
    }

    void TypeText(const Text& name, const std::string& keys) override {
        QWidget* widget = Widget(name);
        if (!widget) return;
        widget->setFocus();
        QTest::keyClicks(widget, QString::fromStdString(keys));
    }

    void PressBackspace(const Text& name) override {
        if (QWidget* widget = Widget(name)) QTest::keyClick(widget, Qt::Key_Backspace);
    }

    void SelectAllText(const Text& name) override {
        if (auto* line = qobject_cast<QLineEdit*>(Widget(name))) {
            line->setFocus();
            line->selectAll();
        }
    }

    void SetEditText(const Text& name, const Text& text) override {
        if (auto* line = qobject_cast<QLineEdit*>(Widget(name))) line->setText(ui::ToQString(text));
    }

    std::size_t PendingCalls() override { return form_.QtControls().PendingCalls(); }
    void FlushCalls() override { form_.QtControls().Flush(); }

private:
    QWidget* Widget(const Text& name) { return form_.Window().Control(name); }
    QTableWidget* Table(const Text& name) { return qobject_cast<QTableWidget*>(Widget(name)); }

    ui::QtForm& form_;
};

}  // namespace

std::unique_ptr<ui::WindowSystem> CreateTestWindowSystem() {
    static char name[] = "lumeno-window-tests";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<ui::WindowSystem> system = ui::CreateWindowSystem(1, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return system;
}

// Through the application object rather than TestWindowSystem(): the tests of Qt pieces wait
// too, with a QApplication of their own and no window system (qt_test_environment.h).
void HandleEventsBriefly() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
}

std::optional<MessageBoxView> VisibleMessageBox() {
    QMessageBox* box = FindVisibleMessageBox();
    if (!box) return std::nullopt;
    return MessageBoxView{ui::FromQString(box->windowTitle()), ui::FromQString(box->text()),
                          box->parentWidget() != nullptr, box->icon() == QMessageBox::Critical};
}

bool PressMessageBoxButton(int answer) {
    QMessageBox* box = FindVisibleMessageBox();
    if (!box) return false;
    const QMessageBox::StandardButton which = answer == kAnswerYes  ? QMessageBox::Yes
                                              : answer == kAnswerNo ? QMessageBox::No
                                                                    : QMessageBox::Ok;
    QAbstractButton* button = box->button(which);
    if (!button) return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

struct WindowThreadTimer::State {
    QTimer timer;
};

WindowThreadTimer::WindowThreadTimer(std::chrono::milliseconds interval, std::function<void()> tick)
    : state_(std::make_unique<State>()) {
    QObject::connect(&state_->timer, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
    state_->timer.start(static_cast<int>(interval.count()));
}

WindowThreadTimer::~WindowThreadTimer() = default;

void WindowThreadTimer::Stop() {
    state_->timer.stop();
}

void RunSoonOnWindowThread(std::function<void()> call) {
    QTimer::singleShot(0, QCoreApplication::instance(), [call = std::move(call)] { call(); });
}

std::unique_ptr<FormDriver> DriveForm(ui::Form& form) {
    return std::make_unique<QtFormDriver>(dynamic_cast<ui::QtForm&>(form));
}

}  // namespace lumeno::testing
