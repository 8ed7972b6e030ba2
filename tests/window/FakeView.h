#pragma once

#include "ScriptedAnswers.h"
#include "window/MainWindowPresenter.h"

#include <map>
#include <string>
#include <vector>

namespace brimble::test {

// A face without a toolkit: controls as plain values, dialogs answered from a script, and a
// log of what the presenter asked for, in order. Like a real face, it reports the presenter's
// own changes to the title box and the list's selection back to it, which must ignore them.
class FakeView : public MainWindowView, public ScriptedAnswers {
public:
    struct Control {
        std::string text;
        bool checked = false, enabled = true, readOnly = false;
    };
    std::map<ControlId, Control> controls;
    std::vector<std::string> items;
    int selectedRow = -1;
    bool panelShown = true, totalWarns = false;
    std::string totalToolTip;
    // "message: <text>", "question: <text>", "progress <position>/<count> <name>", "progress ends", "window ends".
    std::vector<std::string> events;
    MainWindowPresenter* presenter = nullptr; // set once the presenter exists

    std::string Text(ControlId id) const override { return controls.contains(id) ? controls.at(id).text : ""; }
    void SetText(ControlId id, const std::string& text) override {
        controls[id].text = text;
        if (id == ControlId::Title) // a Windows edit box reports the program's own changes too
            presenter->OnTitleEdited();
    }
    bool Checked(ControlId id) const override { return controls.contains(id) && controls.at(id).checked; }
    void SetChecked(ControlId id, bool checked) override { controls[id].checked = checked; }
    void SetEnabled(ControlId id, bool enabled) override { controls[id].enabled = enabled; }
    void SetReadOnly(ControlId id, bool readOnly) override { controls[id].readOnly = readOnly; }
    void SetListItems(const std::vector<std::string>& texts) override { items = texts, SelectListRow(-1); }
    void AppendListItem(const std::string& text) override { items.push_back(text); }
    void RemoveListItem(int row) override {
        items.erase(items.begin() + row);
        if (selectedRow == row)
            SelectListRow(-1);
    }
    void SetListItemText(int row, const std::string& text) override { items.at(std::size_t(row)) = text; }
    void SelectListRow(int row) override { selectedRow = row, presenter->OnSelectionChanged(row); }
    void ShowPanel(bool shown) override { panelShown = shown; }
    void ShowTotalWarning(bool warn, const std::string& tip) override { totalWarns = warn, totalToolTip = tip; }
    FileDialogAnswer AskFiles(const FileDialogRequest& request) override { return Answer(request); }
    void ShowMessage(const MessageRequest& request) override {
        messages.push_back(request);
        events.push_back("message: " + request.text);
    }
    bool AskYesNo(const MessageRequest& request) override {
        events.push_back("question: " + request.text);
        return AnswerYesNo(request);
    }
    void ShowBuildProgress(const BuildProgressStep& step) override {
        events.push_back("progress " + std::to_string(step.position) + "/" + std::to_string(step.count) + " " +
                         step.romName);
    }
    void EndBuildProgress() override { events.push_back("progress ends"); }
    void EndWindow() override { events.push_back("window ends"); }
};

} // namespace brimble::test
