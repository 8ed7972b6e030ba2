#pragma once

#include "ScriptedAnswers.h"
#include "catalogue/Windows1252.h"
#include "settings/SettingsStore.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"
#include "window/MainWindowPresenter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brimble::test {

// A face without a toolkit that, like a real one, reports the presenter's own changes back.
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
    int totalsShown = 0; // times the total was set
    std::string totalToolTip;
    std::vector<std::string> events;          // "message", "progress 1/3 <name>", "progress ends", "window ends"
    MainWindowPresenter* presenter = nullptr; // set once the presenter exists

    std::string Text(ControlId id) const override { return controls.contains(id) ? controls.at(id).text : ""; }
    void SetText(ControlId id, const std::string& text) override {
        controls[id].text = text;
        totalsShown += id == ControlId::Total;
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
        messages.push_back(request), events.push_back("message");
    }
    bool AskYesNo(const MessageRequest& request) override { return AnswerYesNo(request); }
    void ShowBuildProgress(const BuildProgressStep& step) override {
        events.push_back("progress " + std::to_string(step.position) + "/" + std::to_string(step.count) + " " +
                         step.romName);
    }
    void EndBuildProgress() override { events.push_back("progress ends"); }
    void EndWindow() override { events.push_back("window ends"); }
};

// A presenter over a fake view and its own tables, in a fresh temporary current directory.
class PresenterTest : public ::testing::Test {
public:
    struct Window {
        FakeView view;
        NameTable names;
        GameDatabase database;
        MainWindowPresenter presenter{view, names, database};
    };

    // A new run of the program, then a drop of one ROM per name (1000 * n bytes, seed n for the n-th).
    void Open(const std::vector<std::string>& stems = {}) {
        std::vector<std::filesystem::path> paths;
        for (std::uint32_t n = 1; n <= stems.size(); ++n)
            paths.push_back(Rom(stems[n - 1] + ".nes", 1000 * n, n));
        m_window = std::make_unique<Window>();
        View().presenter = &P(), P().Start();
        Drop(paths);
    }

    FakeView& View() { return m_window->view; }
    MainWindowPresenter& P() { return m_window->presenter; }

    // The list, the selection starred, then the panel and the total: "a *c | c | c.nes | 3k | 4k".
    std::string Shown() {
        EXPECT_EQ(P().Roms().Selection(), View().selectedRow);
        std::string shown;
        for (std::size_t row = 0; row < View().items.size(); ++row) {
            EXPECT_EQ(View().items[row], Windows1252ToUtf8(P().Roms().At(row).title));
            shown += (row == 0 ? "" : " ") + std::string(View().selectedRow == int(row) ? "*" : "") + View().items[row];
        }
        for (ControlId id : {ControlId::Title, ControlId::FileName, ControlId::RomSize, ControlId::Total})
            shown += " | " + View().Text(id);
        return shown;
    }

    std::filesystem::path Rom(const std::filesystem::path& relative, std::size_t romBytes = 1024,
                              std::uint32_t seed = 1) {
        const std::filesystem::path path = (Dir() / relative).make_preferred();
        std::filesystem::create_directories(path.parent_path());
        return WriteNesFile(path, romBytes, seed), path;
    }
    void WriteSettings(const std::string& lines) { WriteFile(Dir() / "brimble.ini", "[config]\r\n" + lines); }
    std::string Setting(const char* key) const {
        return SettingsStore(Dir() / "brimble.ini").ReadString("config", key, "<missing>");
    }

    void Click(ControlId id) { // a check box (the presenter reads only the memory button of the follow pair)
        View().controls[id].checked ^= true;
        if (id == ControlId::Splash)
            P().OnSplashToggled();
    }
    void Type(ControlId id, const std::string& text) { View().SetText(id, text); } // as typed, the title reported
    void Drop(const std::vector<std::filesystem::path>& paths) { P().OnDrop(paths); }
    std::filesystem::path Dir() const { return m_dir.Path(); }
    static std::vector<MessageRequest> Warned(std::string text) {
        return {{std::move(text), "Oh no!", MessageIcon::Warning}};
    }

    TempDir m_dir;
    CurrentDirectory m_cwd{m_dir.Path()};
    std::unique_ptr<Window> m_window;
};

} // namespace brimble::test
