// Row bookkeeping, message boxes and shutdown of the runtime services, on any window system.
#include "ui/queued_window_controls.h"

namespace lumeno::ui {

QueuedWindowControls::QueuedWindowControls(WindowCallQueue::Scheduler schedule)
    : calls_(std::move(schedule)) {}

QueuedWindowControls::~QueuedWindowControls() {
    calls_.Close();
}

void QueuedWindowControls::CountRows(const Text& list, int rows) {
    std::lock_guard lock(rowsMutex_);
    rows_[list] = rows;
}

int QueuedWindowControls::ListRowCount(const Text& list) {
    if (shutDown_) return 0;
    std::lock_guard lock(rowsMutex_);
    const auto found = rows_.find(list);
    return found == rows_.end() ? 0 : found->second;
}

int QueuedWindowControls::AppendListRow(const Text& list) {
    int index = -1;
    {
        std::lock_guard lock(rowsMutex_);
        const auto found = rows_.find(list);
        if (shutDown_ || found == rows_.end()) return -1;
        index = found->second++;
        calls_.Post([this, list] {
            if (HasWindow()) InsertListRow(list);
        });
    }
    if (calls_.OnWindowThread()) RunQueued();
    return index;
}

void QueuedWindowControls::ClearListRows(const Text& list) {
    {
        std::lock_guard lock(rowsMutex_);
        const auto found = rows_.find(list);
        if (shutDown_ || found == rows_.end()) return;
        found->second = 0;
        calls_.Post([this, list] {
            if (HasWindow()) RemoveListRows(list);
        });
    }
    if (calls_.OnWindowThread()) RunQueued();
}

int QueuedWindowControls::ShowMessageBox(const Text& message, int buttons, const Text& title) {
    return AskMessageBox(message, buttons, title);
}

void QueuedWindowControls::ShowFatalError(const Text& boxText) {
    AskMessageBox(boxText, kFatalErrorStyle, "错误");
}

void QueuedWindowControls::Shutdown() {
    if (shutDown_.exchange(true)) return;
    calls_.Close();
    CloseMessageBoxes();
}

}  // namespace lumeno::ui
