// In-memory window for tests: see fake_window_controls.h.
#include "tests/support/fake_window_controls.h"

namespace lumeno::testing {

void FakeWindowControls::Log(const std::string& call) { calls_.push_back(call); }

int FakeWindowControls::Checked(const Text& control) {
    std::lock_guard lock(mutex_);
    Log("Checked(" + control + ")");
    auto it = checked_.find(control);
    return it == checked_.end() ? 0 : it->second;
}

void FakeWindowControls::SetChecked(const Text& control, int value) {
    std::lock_guard lock(mutex_);
    Log("SetChecked(" + control + ")");
    checked_[control] = value == 1 ? 1 : 0;
}

int FakeWindowControls::Disabled(const Text& control) {
    std::lock_guard lock(mutex_);
    Log("Disabled(" + control + ")");
    auto it = disabled_.find(control);
    return it == disabled_.end() ? 0 : it->second;
}

void FakeWindowControls::SetDisabled(const Text& control, int value) {
    std::lock_guard lock(mutex_);
    Log("SetDisabled(" + control + ")");
    disabled_[control] = value != 0 ? 1 : 0;
}

Text FakeWindowControls::Content(const Text& control) {
    std::lock_guard lock(mutex_);
    Log("Content(" + control + ")");
    auto it = content_.find(control);
    return it == content_.end() ? Text() : it->second;
}

void FakeWindowControls::SetCaption(const Text& control, const Text& caption) {
    std::lock_guard lock(mutex_);
    Log("SetCaption(" + control + ")");
    captions_[control].push_back(caption);
}

void FakeWindowControls::SetPicture(const Text& control, const ByteSet& bytes) {
    std::lock_guard lock(mutex_);
    Log("SetPicture(" + control + ")");
    pictures_[control] = bytes;
}

int FakeWindowControls::CurrentRow(const Text& list) {
    std::lock_guard lock(mutex_);
    Log("CurrentRow(" + list + ")");
    auto it = currentRow_.find(list);
    return it == currentRow_.end() ? -1 : it->second;
}

int FakeWindowControls::ListRowCount(const Text& list) {
    std::lock_guard lock(mutex_);
    Log("ListRowCount(" + list + ")");
    return static_cast<int>(lists_[list].size());
}

Text FakeWindowControls::ListCellText(const Text& list, int row, int column) {
    std::lock_guard lock(mutex_);
    Log("ListCellText(" + list + ")");
    auto& rows = lists_[list];
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > 1) return {};
    return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void FakeWindowControls::SetListCellText(const Text& list, int row, int column, const Text& text) {
    std::lock_guard lock(mutex_);
    Log("SetListCellText(" + list + ")");
    auto& rows = lists_[list];
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > 1) return;
    rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

int FakeWindowControls::AppendListRow(const Text& list) {
    std::lock_guard lock(mutex_);
    Log("AppendListRow(" + list + ")");
    auto& rows = lists_[list];
    rows.push_back({Text(), Text()});
    return static_cast<int>(rows.size()) - 1;
}

void FakeWindowControls::ClearListRows(const Text& list) {
    std::lock_guard lock(mutex_);
    Log("ClearListRows(" + list + ")");
    lists_[list].clear();
}

int FakeWindowControls::ShowMessageBox(const Text& message, int buttons, const Text& title) {
    std::lock_guard lock(mutex_);
    Log("ShowMessageBox");
    boxes_.push_back({message, buttons, title});
    if (answers_.empty()) return buttons == kButtonsYesNo ? kAnswerNo : kAnswerOk;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void FakeWindowControls::OpenWithShell(const Text& target) {
    std::lock_guard lock(mutex_);
    Log("OpenWithShell");
    shellTargets_.push_back(target);
}

void FakeWindowControls::SetContent(const Text& control, const Text& text) {
    std::lock_guard lock(mutex_);
    content_[control] = text;
}

void FakeWindowControls::SetCurrentRow(const Text& list, int row) {
    std::lock_guard lock(mutex_);
    currentRow_[list] = row;
}

void FakeWindowControls::QueueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

Text FakeWindowControls::CaptionOf(const Text& control) const {
    std::lock_guard lock(mutex_);
    auto it = captions_.find(control);
    return it == captions_.end() || it->second.empty() ? Text() : it->second.back();
}

ByteSet FakeWindowControls::PictureOf(const Text& control) const {
    std::lock_guard lock(mutex_);
    auto it = pictures_.find(control);
    return it == pictures_.end() ? ByteSet() : it->second;
}

std::vector<Text> FakeWindowControls::CaptionHistory(const Text& control) const {
    std::lock_guard lock(mutex_);
    auto it = captions_.find(control);
    return it == captions_.end() ? std::vector<Text>() : it->second;
}

std::vector<FakeWindowControls::MessageBoxCall> FakeWindowControls::MessageBoxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

std::vector<Text> FakeWindowControls::ShellTargets() const {
    std::lock_guard lock(mutex_);
    return shellTargets_;
}

std::vector<Text> FakeWindowControls::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

}  // namespace lumeno::testing
