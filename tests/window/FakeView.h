#pragma once

#include "window/MainWindowPresenter.h"
#include "window/MainWindowView.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace brimble::test {

// A face without a toolkit: controls as plain values, dialogs answered from a script, and a
// log of what the presenter asked for, in order. Like a real face, it reports the changes the
// presenter makes to the title box and the list's selection back to the presenter, which must
// ignore them.
class FakeView : public MainWindowView {
public:
    struct Control {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool readOnly = false;
    };

    std::map<ControlId, Control> controls;
    std::vector<std::string> items;
    int selectedRow = -1;
    bool panelShown = true;
    bool totalWarns = false;
    std::string totalToolTip;
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers; // an empty queue cancels
    std::vector<MessageRequest> messages;
    // "message: <text>", "progress <position>/<count> <name>", "progress ends", "window ends".
    std::vector<std::string> events;
    MainWindowPresenter* presenter = nullptr; // set once the presenter exists

    void Choose(std::vector<std::filesystem::path> files, int filterIndex = 0) {
        answers.push_back({std::move(files), filterIndex});
    }
    void Cancel() { answers.push_back({}); }

    std::string Text(ControlId id) const override;
    void SetText(ControlId id, const std::string& text) override;
    bool Checked(ControlId id) const override;
    void SetChecked(ControlId id, bool checked) override;
    void SetEnabled(ControlId id, bool enabled) override { controls[id].enabled = enabled; }
    void SetReadOnly(ControlId id, bool readOnly) override { controls[id].readOnly = readOnly; }
    void SetListItems(const std::vector<std::string>& texts) override;
    void AppendListItem(const std::string& text) override { items.push_back(text); }
    void RemoveListItem(int row) override;
    void SetListItemText(int row, const std::string& text) override;
    void SelectListRow(int row) override;
    void ShowPanel(bool shown) override { panelShown = shown; }
    void ShowTotalWarning(bool warn, const std::string& toolTip) override;
    FileDialogAnswer AskFiles(const FileDialogRequest& request) override;
    void ShowMessage(const MessageRequest& request) override;
    void ShowBuildProgress(const BuildProgressStep& step) override;
    void EndBuildProgress() override { events.push_back("progress ends"); }
    void EndWindow() override { events.push_back("window ends"); }
};

} // namespace brimble::test
