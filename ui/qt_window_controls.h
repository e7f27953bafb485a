// The window-facing runtime services on Qt widgets: the queued calls of QueuedWindowControls
// acting on the FormWindow's widgets, message boxes as QMessageBox.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QUrl>

#include "ui/form_window.h"
#include "ui/queued_window_controls.h"

class QMessageBox;

namespace lumeno::ui {

class QtWindowControls final : public QueuedWindowControls {
public:
    // Hands a URL to the desktop; QDesktopServices::openUrl unless another is given.
    using ShellOpener = std::function<bool(const QUrl&)>;

    // Create on the window thread, after the window and before any worker uses it; it must
    // outlive every worker that calls it. Closing the window shuts the services down.
    explicit QtWindowControls(FormWindow& window, ShellOpener opener = {});
    ~QtWindowControls() override;

    int Checked(const Text& control) override;
    void SetChecked(const Text& control, int value) override;
    int Disabled(const Text& control) override;
    void SetDisabled(const Text& control, int value) override;
    Text Content(const Text& control) override;
    void SetCaption(const Text& control, const Text& caption) override;
    void SetPicture(const Text& control, const ByteSet& bytes) override;
    int CurrentRow(const Text& list) override;
    Text ListCellText(const Text& list, int row, int column) override;
    void SetListCellText(const Text& list, int row, int column, const Text& text) override;
    void OpenWithShell(const Text& target) override;
    using WindowControls::ListCellText;

private:
    bool HasWindow() const override { return !window_.isNull(); }
    void InsertListRow(const Text& list) override;
    void RemoveListRows(const Text& list) override;
    int AskMessageBox(const Text& message, int style, const Text& title) override;
    void CloseMessageBoxes() override;

    QPointer<FormWindow> window_;
    ShellOpener opener_;
    QObject batchContext_;                // lives on the window thread; queued batches die with it
    std::map<Text, QSize> pictureBoxes_;  // fixed after construction

    std::vector<QPointer<QMessageBox>> workerBoxes_;  // window thread only
};

}  // namespace lumeno::ui
