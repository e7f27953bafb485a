// The window-facing runtime services: control properties, list views, message boxes and the
// shell's open verb, reached through one interface. The Qt window implements it (ui/); tests
// use a recording fake. Controls are named by their control names (GBK texts).
#pragma once

#include "util/text_types.h"

namespace lumeno {

// Message-box buttons and answers as the platform numbers them.
inline constexpr int kButtonsOk = 0;
inline constexpr int kButtonsYesNo = 4;
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerYes = 5;
inline constexpr int kAnswerNo = 6;

// Every call may come from the window thread or from a worker. Implementations run the call
// on the window thread in call order; once the window is gone they do nothing and return
// empty values (0, -1 for rows, empty text). A call that returns nothing never waits for the
// window thread when a worker makes it (the preview hands its picture over under a lock that
// the window thread's click also takes).
class WindowControls {
public:
    virtual ~WindowControls() = default;

    virtual int Checked(const Text& control) = 0;                   // 1 checked, else 0
    virtual void SetChecked(const Text& control, int value) = 0;    // 1 checks, else unchecks
    virtual int Disabled(const Text& control) = 0;                  // 1 disabled, else 0
    virtual void SetDisabled(const Text& control, int value) = 0;   // non-zero disables
    virtual Text Content(const Text& control) = 0;                  // edit box text
    virtual void SetCaption(const Text& control, const Text& caption) = 0;  // label text
    virtual void SetPicture(const Text& control, const ByteSet& bytes) = 0;  // encoded image
    virtual int CurrentRow(const Text& list) = 0;                   // -1 when none selected

    virtual int ListRowCount(const Text& list) = 0;
    virtual Text ListCellText(const Text& list, int row, int column) = 0;
    virtual void SetListCellText(const Text& list, int row, int column, const Text& text) = 0;
    virtual int AppendListRow(const Text& list) = 0;                // new row's index, -1 fails
    virtual void ClearListRows(const Text& list) = 0;

    // A modal box without owner; buttons 0 (OK) or 4 (Yes/No). Returns 0 OK, 5 Yes, 6 No.
    virtual int ShowMessageBox(const Text& message, int buttons, const Text& title) = 0;
    // Hands a folder, file or address to the desktop's "open".
    virtual void OpenWithShell(const Text& target) = 0;

    // Convenience forms with the runtime's defaults.
    Text ListCellText(const Text& list, int row) { return ListCellText(list, row, 0); }
    int ShowMessageBox(const Text& message, int buttons) {
        return ShowMessageBox(message, buttons, "信息：");
    }
};

}  // namespace lumeno
