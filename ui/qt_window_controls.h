// The window-facing runtime services on Qt. Calls from the window thread act directly; calls
// from workers run on the window thread in call order: those that return a value wait for it
// (in short slices, giving up once the window closes), the others are queued. Row appends are
// answered at once from a per-list row count kept in call order, so a worker filling a list
// never pays a round trip per row.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QUrl>

#include "ui/form_window.h"
#include "ui/window_call_queue.h"
#include "util/window_controls.h"

class QMessageBox;

namespace lumeno::ui {

class QtWindowControls final : public WindowControls {
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
    int ListRowCount(const Text& list) override;
    Text ListCellText(const Text& list, int row, int column) override;
    void SetListCellText(const Text& list, int row, int column, const Text& text) override;
    int AppendListRow(const Text& list) override;
    void ClearListRows(const Text& list) override;
    int ShowMessageBox(const Text& message, int buttons, const Text& title) override;
    void OpenWithShell(const Text& target) override;
    using WindowControls::ListCellText;
    using WindowControls::ShowMessageBox;

    // Shows the fatal runtime error box (title "错误", error icon) and returns once it is
    // dismissed or the window has closed. For lumeno::SetFatalErrorReporter.
    void ShowFatalError(const Text& boxText);

    // Ends the services (window thread): workers waiting for an answer get empty values, every
    // later call does nothing, message boxes opened for workers are closed. Runs on close.
    void Shutdown();
    bool IsShutDown() const { return shutDown_.load(); }

    // Window thread: runs the calls queued by workers so far.
    void Flush() { calls_.RunAll(); }
    // Window thread: calls from workers not yet run.
    std::size_t PendingCalls() const { return calls_.Pending(); }

private:
    template <class R, class Work>
    R Ask(Work work, R empty);
    template <class Work>
    void Do(Work work);
    int AskMessageBox(const Text& message, int style, const Text& title);

    QPointer<FormWindow> window_;
    ShellOpener opener_;
    QObject batchContext_;  // lives on the window thread; queued batches die with it
    WindowCallQueue calls_;
    std::atomic<bool> shutDown_{false};

    // Row counts of the list views as the calls made so far leave them; guarded by rowsMutex_,
    // which is held while a call is posted so the queue keeps the same order.
    std::mutex rowsMutex_;
    std::map<Text, int> rows_;
    std::map<Text, QSize> pictureBoxes_;  // fixed after construction

    std::vector<QPointer<QMessageBox>> workerBoxes_;  // window thread only
};

}  // namespace lumeno::ui
