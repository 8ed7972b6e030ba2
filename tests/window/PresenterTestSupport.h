#pragma once

#include "FakeView.h"
#include "catalogue/GameTables.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brimble::test {

// A presenter over a fake view, started in a fresh temporary folder that is the current
// directory, with its own tables. Public, so that tables of commands can drive it.
class PresenterTest : public ::testing::Test {
public:
    struct Window {
        FakeView view;
        NameTable names;
        GameDatabase database;
        MainWindowPresenter presenter{view, names, database};
    };

    PresenterTest() : m_cwd(std::in_place, m_dir.Path()) {}

    // Runs the start-up sequence, as a new run of the program: fresh view and tables.
    void Open();

    FakeView& View() { return m_window->view; }
    MainWindowPresenter& Presenter() { return m_window->presenter; }
    GameDatabase& Database() { return m_window->database; }
    const RomList& Roms() { return m_window->presenter.Roms(); }
    const std::vector<std::string>& Items() { return m_window->view.items; }
    std::string Text(ControlId id) { return View().Text(id); }
    bool Checked(ControlId id) { return View().Checked(id); }

    // A synthetic ROM of romBytes bytes after the header, in the folder (made as needed).
    std::filesystem::path Rom(const std::filesystem::path& relative, std::size_t romBytes = 1024,
                              std::uint32_t seed = 1);
    void WriteSettings(const std::string& lines);
    std::string SettingsText() const;
    // A key of brimble.ini's [config] section as read back from the file, "<missing>" when absent.
    std::string Setting(const char* key) const;

    // Opens with one ROM per name (name.nes, 1000 * n bytes, seed n for the n-th), dropped in
    // this order so that the first is selected.
    void OpenWithRoms(const std::vector<std::string>& stems);
    // The presenter's selection, the view's list and the details panel agree on this entry.
    void ExpectShown(int row, const std::string& title);

    // What the user does.
    void Click(ControlId id); // a button, check box or radio button
    void Select(int row);
    void Type(ControlId id, const std::string& text);
    void Drop(const std::vector<std::filesystem::path>& paths) { Presenter().OnDrop(paths); }
    void Add(const std::vector<std::filesystem::path>& paths);

    std::filesystem::path Dir() const { return m_dir.Path(); }

    TempDir m_dir;
    std::optional<CurrentDirectory> m_cwd;
    std::unique_ptr<Window> m_window;
};

} // namespace brimble::test
