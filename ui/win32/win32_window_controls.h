// The window-facing runtime services on Win32 controls. Calls from the window thread act
// directly; calls from workers run on the window thread in call order: those that return a
// value wait for it (in short slices, giving up once the window closes), the others are
// queued; a worker never sends a message to a control of the window thread, so closing the
// window cannot deadlock with it. Row appends are answered at once from a per-list row count
// kept in call order. Message boxes are shown by the calling thread itself, without owner.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "ui/win32/win32_form.h"
#include "ui/win32/win32_message_box.h"
#include "ui/window_call_queue.h"
#include "util/window_controls.h"

namespace lumeno::ui::win32 {

class Win32WindowControls final : public WindowControls {
public:
    // Window thread, once the form's window and controls exist; `opener` empty: the shell's
    // "open" verb.
    Win32WindowControls(Win32Form& form, ShellOpener opener);
    ~Win32WindowControls() override;

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

    // The fatal runtime error box (title "错误", error icon); returns once it is dismissed or
    // the window has closed.
    void ShowFatalError(const Text& boxText);

    // Ends the services (window thread): waiting workers get empty values, later calls do
    // nothing, open message boxes are ended.
    void Shutdown();
    bool IsShutDown() const { return shutDown_.load(); }

    // Window thread: one batch of the queued calls (the form's run-calls message), all of
    // them, and how many wait.
    void RunBatch();
    void Flush() { RunQueued(); }
    std::size_t PendingCalls() const { return calls_.Pending(); }

private:
    template <class R, class Work>
    R Ask(Work work, R empty);
    template <class Work>
    void Do(Work work);
    int AskMessageBox(const Text& message, int style, const Text& title);
    HWND ControlOfKind(const Text& name, ControlKind kind) const;
    // Window thread: runs every queued call now.
    void RunQueued();
    // A list view changed by a call stops drawing until the calls run now have all run: a
    // list that redraws after each change costs Wine's list view about 10 ms per row.
    void HoldRedraw(HWND list);
    void ResumeRedraw();

    Win32Form& form_;
    ShellOpener opener_;
    WindowCallQueue calls_;
    std::atomic<bool> shutDown_{false};
    MessageBoxSet boxes_;

    // Row counts of the list views as the calls made so far leave them; guarded by rowsMutex_,
    // which is held while a call is posted so the queue keeps the same order.
    std::mutex rowsMutex_;
    std::map<Text, int> rows_;

    std::vector<HWND> held_;  // window thread only
};

}  // namespace lumeno::ui::win32
