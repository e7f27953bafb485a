// What the window-facing runtime services do alike on every window system. Calls from the
// window thread act directly; calls from workers run on the window thread in call order:
// those that return a value wait for it (in short slices, giving up once the services shut
// down), the others are queued. Row appends are answered at once from a per-list row count
// kept in call order, so a worker filling a list never pays a round trip per row. Each window
// system derives from it and supplies the control access and its message boxes.
#pragma once

#include <atomic>
#include <cstddef>
#include <future>
#include <map>
#include <memory>
#include <mutex>

#include "ui/window_call_queue.h"
#include "util/window_controls.h"

namespace lumeno::ui {

class QueuedWindowControls : public WindowControls {
public:
    // The message-box style of the fatal runtime error box: OK button, error icon.
    static constexpr int kFatalErrorStyle = 0x10;

    QueuedWindowControls(const QueuedWindowControls&) = delete;
    QueuedWindowControls& operator=(const QueuedWindowControls&) = delete;
    ~QueuedWindowControls() override;

    int ListRowCount(const Text& list) override;
    int AppendListRow(const Text& list) override;
    void ClearListRows(const Text& list) override;
    int ShowMessageBox(const Text& message, int buttons, const Text& title) override;
    using WindowControls::ShowMessageBox;

    // Shows the fatal runtime error box (title "错误", error icon) and returns once it is
    // dismissed or the window has closed. For lumeno::SetFatalErrorReporter.
    void ShowFatalError(const Text& boxText);

    // Ends the services (window thread): workers waiting for an answer get empty values, every
    // later call does nothing, message boxes opened for workers are closed. Runs on close.
    void Shutdown();
    bool IsShutDown() const { return shutDown_.load(); }

    // Window thread: runs the calls queued by workers so far, and how many are not yet run.
    void Flush() { RunQueued(); }
    std::size_t PendingCalls() const { return calls_.Pending(); }

protected:
    // Window thread, before any worker calls. `schedule` has the window system's event loop
    // run a batch of the queued calls (see WindowCallQueue).
    explicit QueuedWindowControls(WindowCallQueue::Scheduler schedule);

    // Constructor of the derived services: a list view whose rows are counted, with the rows
    // it holds now. Lists not named here refuse row appends.
    void CountRows(const Text& list, int rows);

    // The value `work` gives on the window thread, after every call queued before it; `empty`
    // once shut down or the window is gone.
    template <class R, class Work>
    R Ask(Work work, R empty);
    // Queues `work` for the window thread; run at once (after the earlier calls) when called
    // there. Dropped once shut down or the window is gone.
    template <class Work>
    void Do(Work work);

    WindowCallQueue& Calls() { return calls_; }
    const std::atomic<bool>& ShutDownFlag() const { return shutDown_; }

    // Window thread: runs every queued call now.
    virtual void RunQueued() { calls_.RunAll(); }
    // Window thread: false once the window holding the controls has been destroyed; queued
    // calls then do nothing.
    virtual bool HasWindow() const { return true; }

    // Window thread: the list view gets one empty row at its end; the list view loses all
    // its rows.
    virtual void InsertListRow(const Text& list) = 0;
    virtual void RemoveListRows(const Text& list) = 0;
    // A message box of the platform's style number, shown for the calling thread; its answer
    // (kAnswer*), 0 once shut down.
    virtual int AskMessageBox(const Text& message, int style, const Text& title) = 0;
    // Shutdown, window thread: ends the message boxes still open.
    virtual void CloseMessageBoxes() = 0;

private:
    WindowCallQueue calls_;
    std::atomic<bool> shutDown_{false};

    // Row counts of the list views as the calls made so far leave them; guarded by rowsMutex_,
    // which is held while a call is posted so the queue keeps the same order.
    std::mutex rowsMutex_;
    std::map<Text, int> rows_;
};

template <class R, class Work>
R QueuedWindowControls::Ask(Work work, R empty) {
    if (shutDown_) return empty;
    if (calls_.OnWindowThread()) {
        RunQueued();
        return shutDown_ || !HasWindow() ? empty : work();
    }
    auto promise = std::make_shared<std::promise<R>>();
    std::future<R> answer = promise->get_future();
    calls_.Post([this, promise, work = std::move(work), empty]() mutable {
        promise->set_value(HasWindow() ? work() : empty);
    });
    return WaitForAnswer(answer, empty, shutDown_);
}

template <class Work>
void QueuedWindowControls::Do(Work work) {
    if (shutDown_) return;
    calls_.Post([this, work = std::move(work)]() mutable {
        if (HasWindow()) work();
    });
    if (calls_.OnWindowThread()) RunQueued();
}

}  // namespace lumeno::ui
