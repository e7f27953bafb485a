// A lean stand-in for the window, for crawls that append a million rows: it keeps only what the
// hostile-site cases look at (edit box texts, the two lists' first column, the hint captions,
// the message boxes) and no call log, so that the memory a case uses is the crawler's, not the
// test's. Yes/No questions are answered No; single-threaded use only.
#pragma once

#include <map>
#include <vector>

#include "util/window_controls.h"

namespace lumeno::testing {

class RowWindow : public WindowControls {
public:
    int Checked(const Text&) override { return 0; }
    void SetChecked(const Text&, int) override {}
    int Disabled(const Text&) override { return 0; }
    void SetDisabled(const Text&, int) override {}
    Text Content(const Text& control) override;
    void SetCaption(const Text& control, const Text& caption) override;
    void SetPicture(const Text&, const ByteSet&) override {}
    int CurrentRow(const Text&) override { return -1; }
    int ListRowCount(const Text& list) override;
    Text ListCellText(const Text& list, int row, int column) override;
    void SetListCellText(const Text& list, int row, int column, const Text& text) override;
    int AppendListRow(const Text& list) override;
    void ClearListRows(const Text& list) override;
    int ShowMessageBox(const Text& message, int buttons, const Text& title) override;
    void OpenWithShell(const Text&) override {}
    using WindowControls::ListCellText;
    using WindowControls::ShowMessageBox;

    void SetContent(const Text& control, const Text& text) { contents_[control] = text; }
    const std::vector<Text>& Rows(const Text& list) const;
    const std::vector<Text>& Hints() const { return hints_; }
    const std::vector<Text>& Messages() const { return messages_; }

private:
    std::vector<Text>* Column(const Text& list);

    std::map<Text, Text> contents_;
    std::vector<Text> imageList_;
    std::vector<Text> sourceList_;
    std::vector<Text> hints_;
    std::vector<Text> messages_;
};

}  // namespace lumeno::testing
