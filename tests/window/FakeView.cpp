#include "FakeView.h"

namespace brimble::test {

std::string FakeView::Text(ControlId id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? std::string() : found->second.text;
}

void FakeView::SetText(ControlId id, const std::string& text) {
    controls[id].text = text;
    // A Windows edit box reports every change of its text, the program's own included.
    if (id == ControlId::Title && presenter != nullptr)
        presenter->OnTitleEdited();
}

bool FakeView::Checked(ControlId id) const {
    const auto found = controls.find(id);
    return found != controls.end() && found->second.checked;
}

void FakeView::SetChecked(ControlId id, bool checked) {
    controls[id].checked = checked;
}

void FakeView::SetListItems(const std::vector<std::string>& texts) {
    items = texts;
    selectedRow = -1;
    if (presenter != nullptr)
        presenter->OnSelectionChanged(-1);
}

void FakeView::RemoveListItem(int row) {
    items.erase(items.begin() + row);
    if (selectedRow == row) {
        selectedRow = -1;
        if (presenter != nullptr)
            presenter->OnSelectionChanged(-1);
    }
}

void FakeView::SetListItemText(int row, const std::string& text) {
    items.at(static_cast<std::size_t>(row)) = text;
}

void FakeView::SelectListRow(int row) {
    selectedRow = row;
    // A list that reports the program's own selections.
    if (presenter != nullptr)
        presenter->OnSelectionChanged(row);
}

void FakeView::ShowTotalWarning(bool warn, const std::string& toolTip) {
    totalWarns = warn;
    totalToolTip = toolTip;
}

FileDialogAnswer FakeView::AskFiles(const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty())
        return {};
    FileDialogAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeView::ShowMessage(const MessageRequest& request) {
    messages.push_back(request);
    events.push_back("message: " + request.text);
}

void FakeView::ShowBuildProgress(const BuildProgressStep& step) {
    events.push_back("progress " + std::to_string(step.position) + "/" + std::to_string(step.count) + " " +
                     step.romName);
}

} // namespace brimble::test
