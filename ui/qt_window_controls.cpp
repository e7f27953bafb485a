// Control properties, list views, message boxes and the shell's open verb on Qt widgets.
#include "ui/qt_window_controls.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "ui/message_box.h"
#include "ui/picture_box.h"
#include "ui/picture_decoder.h"
#include "ui/qt_text.h"
#include "util/runtime_services.h"

namespace lumeno::ui {
namespace {

// Addresses ("scheme://...") go to the desktop as they are; everything else is a path of the
// logic, mapped to the local file system.
QUrl ShellUrlFor(const Text& target) {
    const QString text = ToQString(target);
    const qsizetype separator = text.indexOf(u"://");
    if (separator > 1) {
        const QUrl url(text, QUrl::TolerantMode);
        if (url.isValid() && url.scheme().size() == separator) return url;
    }
    return QUrl::fromLocalFile(QString::fromStdString(NativePath(target)));
}

}  // namespace

QtWindowControls::QtWindowControls(FormWindow& window, ShellOpener opener)
    : QueuedWindowControls([this](bool) {
          QMetaObject::invokeMethod(
              &batchContext_, [this] { Calls().RunBatch(); }, Qt::QueuedConnection);
      }),
      window_(&window),
      opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    for (const Text& name : window.ControlNames()) {
        QWidget* control = window.Control(name);
        if (auto* list = qobject_cast<QTableWidget*>(control)) CountRows(name, list->rowCount());
        if (window.KindOf(control) == ControlKind::PictureBox) {
            pictureBoxes_[name] = control->size();
        }
    }
    window.OnClose([this] { Shutdown(); });
}

QtWindowControls::~QtWindowControls() {
    // Before batchContext_ goes: no batch may be scheduled on it any more.
    Calls().Close();
}

int QtWindowControls::Checked(const Text& control) {
    return Ask(
        [this, control] {
            auto* box = qobject_cast<QCheckBox*>(window_->Control(control));
            return box && box->isChecked() ? 1 : 0;
        },
        0);
}

void QtWindowControls::SetChecked(const Text& control, int value) {
    Do([this, control, value] {
        if (auto* box = qobject_cast<QCheckBox*>(window_->Control(control))) {
            box->setChecked(value == 1);
        }
    });
}

int QtWindowControls::Disabled(const Text& control) {
    return Ask(
        [this, control] {
            QWidget* widget = window_->Control(control);
            return widget && !widget->isEnabled() ? 1 : 0;
        },
        0);
}

void QtWindowControls::SetDisabled(const Text& control, int value) {
    Do([this, control, value] {
        if (QWidget* widget = window_->Control(control)) widget->setEnabled(value == 0);
    });
}

Text QtWindowControls::Content(const Text& control) {
    return Ask(
        [this, control]() -> Text {
            QWidget* widget = window_->Control(control);
            if (auto* line = qobject_cast<QLineEdit*>(widget)) return FromQString(line->text());
            if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
                return FromQString(edit->toPlainText());
            }
            return {};
        },
        Text());
}

void QtWindowControls::SetCaption(const Text& control, const Text& caption) {
    Do([this, control, caption] {
        QWidget* widget = window_->Control(control);
        if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(ToQString(caption));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(ToQString(caption));
        }
    });
}

void QtWindowControls::SetPicture(const Text& control, const ByteSet& bytes) {
    if (IsShutDown()) return;
    const auto box = pictureBoxes_.find(control);
    if (box == pictureBoxes_.end()) return;
    // Decoding happens on the calling thread; only the finished image crosses over.
    QImage image = DecodePicture(bytes, box->second);
    Do([this, control, image = std::move(image)] {
        if (auto* picture = dynamic_cast<PictureBox*>(window_->Control(control))) {
            picture->SetImage(image);
        }
    });
}

int QtWindowControls::CurrentRow(const Text& list) {
    return Ask(
        [this, list] {
            auto* table = qobject_cast<QTableWidget*>(window_->Control(list));
            if (!table || !table->selectionModel()) return -1;
            int first = -1;
            for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
                if (first < 0 || index.row() < first) first = index.row();
            }
            return first;
        },
        -1);
}

Text QtWindowControls::ListCellText(const Text& list, int row, int column) {
    return Ask(
        [this, list, row, column]() -> Text {
            auto* table = qobject_cast<QTableWidget*>(window_->Control(list));
            const QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
            return item ? FromQString(item->text()) : Text();
        },
        Text());
}

void QtWindowControls::SetListCellText(const Text& list, int row, int column, const Text& text) {
    Do([this, list, row, column, text] {
        auto* table = qobject_cast<QTableWidget*>(window_->Control(list));
        if (!table || row < 0 || row >= table->rowCount() || column < 0 ||
            column >= table->columnCount()) {
            return;
        }
        if (QTableWidgetItem* item = table->item(row, column)) {
            item->setText(ToQString(text));
        } else {
            table->setItem(row, column, new QTableWidgetItem(ToQString(text)));
        }
    });
}

void QtWindowControls::InsertListRow(const Text& list) {
    if (auto* table = qobject_cast<QTableWidget*>(window_->Control(list))) {
        table->insertRow(table->rowCount());
    }
}

void QtWindowControls::RemoveListRows(const Text& list) {
    if (auto* table = qobject_cast<QTableWidget*>(window_->Control(list))) {
        table->clearContents();
        table->setRowCount(0);
    }
}

int QtWindowControls::AskMessageBox(const Text& message, int style, const Text& title) {
    if (IsShutDown()) return 0;
    if (Calls().OnWindowThread()) {
        RunQueued();
        // A task-modal box on the window thread: exec() keeps the other calls flowing.
        QMessageBox* box = CreateMessageBox(message, style, title);
        int answer = 0;
        QObject::connect(box, &QMessageBox::finished, box,
                         [box, &answer] { answer = MessageBoxAnswer(*box); });
        box->exec();
        return answer;
    }
    // For a worker: a box without owner that leaves the window usable; only the worker waits.
    auto promise = std::make_shared<std::promise<int>>();
    std::future<int> answer = promise->get_future();
    Calls().Post([this, promise, message, style, title] {
        QMessageBox* box = CreateMessageBox(message, style, title);
        box->setWindowModality(Qt::NonModal);
        QObject::connect(box, &QMessageBox::finished, box,
                         [box, promise] { promise->set_value(MessageBoxAnswer(*box)); });
        std::erase_if(workerBoxes_, [](const QPointer<QMessageBox>& open) { return !open; });
        workerBoxes_.emplace_back(box);
        box->show();
    });
    return WaitForAnswer(answer, 0, ShutDownFlag());
}

void QtWindowControls::OpenWithShell(const Text& target) {
    if (target.empty()) return;
    Do([this, url = ShellUrlFor(target)] { opener_(url); });
}

void QtWindowControls::CloseMessageBoxes() {
    for (const QPointer<QMessageBox>& box : workerBoxes_) {
        if (box) box->close();
    }
    workerBoxes_.clear();
}

}  // namespace lumeno::ui
