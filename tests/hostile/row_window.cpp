// The lean window of the hostile-site cases: see row_window.h.
#include "tests/hostile/row_window.h"

#include "crawler/control_names.h"

namespace lumeno::testing {

std::vector<Text>* RowWindow::Column(const Text& list) {
    if (list == controls::ImageList) return &imageList_;
    if (list == controls::SourceList) return &sourceList_;
    return nullptr;
}

const std::vector<Text>& RowWindow::Rows(const Text& list) const {
    return list == controls::ImageList ? imageList_ : sourceList_;
}

Text RowWindow::Content(const Text& control) {
    const auto it = contents_.find(control);
    return it == contents_.end() ? Text() : it->second;
}

void RowWindow::SetCaption(const Text& control, const Text& caption) {
    if (control == controls::标签提示) hints_.push_back(caption);
}

int RowWindow::ListRowCount(const Text& list) {
    const std::vector<Text>* rows = Column(list);
    return rows == nullptr ? 0 : static_cast<int>(rows->size());
}

Text RowWindow::ListCellText(const Text& list, int row, int column) {
    const std::vector<Text>* rows = Column(list);
    if (rows == nullptr || column != 0 || row < 0 || row >= static_cast<int>(rows->size()))
        return {};
    return (*rows)[static_cast<std::size_t>(row)];
}

void RowWindow::SetListCellText(const Text& list, int row, int column, const Text& text) {
    std::vector<Text>* rows = Column(list);
    if (rows == nullptr || column != 0 || row < 0 || row >= static_cast<int>(rows->size())) return;
    (*rows)[static_cast<std::size_t>(row)] = text;
}

int RowWindow::AppendListRow(const Text& list) {
    std::vector<Text>* rows = Column(list);
    if (rows == nullptr) return -1;
    rows->emplace_back();
    return static_cast<int>(rows->size()) - 1;
}

void RowWindow::ClearListRows(const Text& list) {
    if (std::vector<Text>* rows = Column(list)) rows->clear();
}

int RowWindow::ShowMessageBox(const Text& message, int buttons, const Text&) {
    messages_.push_back(message);
    return buttons == kButtonsYesNo ? kAnswerNo : kAnswerOk;
}

}  // namespace lumeno::testing
