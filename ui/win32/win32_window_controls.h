// The window-facing runtime services on Win32 controls: the queued calls of
// QueuedWindowControls acting on the form's controls through their messages. A worker never
// sends a message to a control of the window thread, so closing the window cannot deadlock
// with it. Message boxes are shown by the calling thread itself, without owner.
#pragma once

#include <vector>

#include "ui/queued_window_controls.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_message_box.h"

namespace lumeno::ui::win32 {

class Win32WindowControls final : public QueuedWindowControls {
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
    Text ListCellText(const Text& list, int row, int column) override;
    void SetListCellText(const Text& list, int row, int column, const Text& text) override;
    void OpenWithShell(const Text& target) override;
    using WindowControls::ListCellText;

    // Window thread: one batch of the queued calls (the form's run-calls message).
    void RunBatch();

private:
    void RunQueued() override;
    void InsertListRow(const Text& list) override;
    void RemoveListRows(const Text& list) override;
    int AskMessageBox(const Text& message, int style, const Text& title) override;
    void CloseMessageBoxes() override;
    HWND ControlOfKind(const Text& name, ControlKind kind) const;
    // A list view changed by a call stops drawing until the calls run now have all run: a
    // list that redraws after each change costs Wine's list view about 10 ms per row.
    void HoldRedraw(HWND list);
    void ResumeRedraw();

    Win32Form& form_;
    ShellOpener opener_;
    MessageBoxSet boxes_;

    std::vector<HWND> held_;  // window thread only
};

}  // namespace lumeno::ui::win32
