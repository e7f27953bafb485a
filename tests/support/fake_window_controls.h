// A recording stand-in for the window: controls and list views held in memory, every call
// logged in order, message boxes answered from a script. Safe to call from several threads.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "util/window_controls.h"

namespace lumeno::testing {

class FakeWindowControls : public WindowControls {
public:
    struct MessageBoxCall {
        Text message;
        int buttons;
        Text title;
    };

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

    // Test set-up and inspection.
    void SetContent(const Text& control, const Text& text);
    void SetCurrentRow(const Text& list, int row);
    void QueueAnswer(int answer);  // next message boxes answer in this order
    Text CaptionOf(const Text& control) const;
    ByteSet PictureOf(const Text& control) const;
    std::vector<Text> CaptionHistory(const Text& control) const;
    std::vector<MessageBoxCall> MessageBoxes() const;
    std::vector<Text> ShellTargets() const;
    std::vector<Text> Calls() const;  // "Name(control)" per call, in order

private:
    // Locks the fake and logs the call; the lock is held until the returned one goes.
    std::unique_lock<std::mutex> Record(const std::string& call);

    mutable std::mutex mutex_;
    std::map<Text, int> checked_;
    std::map<Text, int> disabled_;
    std::map<Text, Text> content_;
    std::map<Text, std::vector<Text>> captions_;
    std::map<Text, ByteSet> pictures_;
    std::map<Text, int> currentRow_;
    std::map<Text, std::vector<std::vector<Text>>> lists_;
    std::deque<int> answers_;
    std::vector<MessageBoxCall> boxes_;
    std::vector<Text> shellTargets_;
    std::vector<Text> calls_;
};

}  // namespace lumeno::testing
