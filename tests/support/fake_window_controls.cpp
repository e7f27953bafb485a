// In-memory window for tests: see fake_window_controls.h.
#include "tests/support/fake_window_controls.h"

namespace lumeno::testing {

namespace {

// The value kept for `key`; `fallback` when there is none.
template <class Value>
Value Find(const std::map<Text, Value>& values, const Text& key, Value fallback) {
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
}

}  // namespace

std::unique_lock<std::mutex> FakeWindowControls::Record(const std::string& call) {
    std::unique_lock lock(mutex_);
    calls_.push_back(call);
    return lock;
}

int FakeWindowControls::Checked(const Text& control) {
    const auto lock = Record("Checked(" + control + ")");
    return Find(checked_, control, 0);
}

void FakeWindowControls::SetChecked(const Text& control, int value) {
    const auto lock = Record("SetChecked(" + control + ")");
    checked_[control] = value == 1 ? 1 : 0;
}

int FakeWindowControls::Disabled(const Text& control) {
    const auto lock = Record("Disabled(" + control + ")");
    return Find(disabled_, control, 0);
}

void FakeWindowControls::SetDisabled(const Text& control, int value) {
    const auto lock = Record("SetDisabled(" + control + ")");
    disabled_[control] = value != 0 ? 1 : 0;
}

Text FakeWindowControls::Content(const Text& control) {
    const auto lock = Record("Content(" + control + ")");
    return Find(content_, control, Text());
}

void FakeWindowControls::SetCaption(const Text& control, const Text& caption) {
    const auto lock = Record("SetCaption(" + control + ")");
    captions_[control].push_back(caption);
}

void FakeWindowControls::SetPicture(const Text& control, const ByteSet& bytes) {
    const auto lock = Record("SetPicture(" + control + ")");
    pictures_[control] = bytes;
}

int FakeWindowControls::CurrentRow(const Text& list) {
    const auto lock = Record("CurrentRow(" + list + ")");
    return Find(currentRow_, list, -1);
}

int FakeWindowControls::ListRowCount(const Text& list) {
    const auto lock = Record("ListRowCount(" + list + ")");
    return static_cast<int>(lists_[list].size());
}

Text FakeWindowControls::ListCellText(const Text& list, int row, int column) {
    const auto lock = Record("ListCellText(" + list + ")");
    auto& rows = lists_[list];
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > 1) return {};
    return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void FakeWindowControls::SetListCellText(const Text& list, int row, int column, const Text& text) {
    const auto lock = Record("SetListCellText(" + list + ")");
    auto& rows = lists_[list];
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > 1) return;
    rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

int FakeWindowControls::AppendListRow(const Text& list) {
    const auto lock = Record("AppendListRow(" + list + ")");
    auto& rows = lists_[list];
    rows.push_back({Text(), Text()});
    return static_cast<int>(rows.size()) - 1;
}

void FakeWindowControls::ClearListRows(const Text& list) {
    const auto lock = Record("ClearListRows(" + list + ")");
    lists_[list].clear();
}

int FakeWindowControls::ShowMessageBox(const Text& message, int buttons, const Text& title) {
    const auto lock = Record("ShowMessageBox");
    boxes_.push_back({message, buttons, title});
    if (answers_.empty()) return buttons == kButtonsYesNo ? kAnswerNo : kAnswerOk;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void FakeWindowControls::OpenWithShell(const Text& target) {
    const auto lock = Record("OpenWithShell");
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
    return Find(pictures_, control, ByteSet());
}

std::vector<Text> FakeWindowControls::CaptionHistory(const Text& control) const {
    std::lock_guard lock(mutex_);
    return Find(captions_, control, std::vector<Text>());
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
