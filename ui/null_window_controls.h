// Window services that do nothing and answer empty (0, -1 for rows, empty text): the base of
// stand-ins for the window, which override only what they record or count. Header-only, so
// that a benchmark can use it without the window framework.
#pragma once

#include "util/window_controls.h"

namespace lumeno::ui {

// Every control and the shell over `Base`: the members each window system supplies on top of
// QueuedWindowControls' bookkeeping. `Base` is WindowControls or one derived from it.
template <class Base>
class NullControls : public Base {
public:
    using Base::Base;

    int Checked(const Text&) override { return 0; }
    void SetChecked(const Text&, int) override {}
    int Disabled(const Text&) override { return 0; }
    void SetDisabled(const Text&, int) override {}
    Text Content(const Text&) override { return {}; }
    void SetCaption(const Text&, const Text&) override {}
    void SetPicture(const Text&, const ByteSet&) override {}
    int CurrentRow(const Text&) override { return -1; }
    Text ListCellText(const Text&, int, int) override { return {}; }
    void SetListCellText(const Text&, int, int, const Text&) override {}
    void OpenWithShell(const Text&) override {}
    using Base::ListCellText;
};

// The whole window: lists hold no rows and refuse appends, message boxes answer OK.
class NullWindowControls : public NullControls<WindowControls> {
public:
    int ListRowCount(const Text&) override { return 0; }
    int AppendListRow(const Text&) override { return -1; }
    void ClearListRows(const Text&) override {}
    int ShowMessageBox(const Text&, int, const Text&) override { return kAnswerOk; }
    using WindowControls::ShowMessageBox;
};

}  // namespace lumeno::ui
