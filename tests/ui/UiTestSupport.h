#pragma once

#include "catalogue/GameTables.h"
#include "support/TestFiles.h"
#include "ui/DialogProvider.h"
#include "ui/MainWindow.h"

#include <QListWidget>
#include <QStringList>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brimble::test {

// Answers the window's dialogs from a script and records what each one asked.
class ScriptedDialogs : public DialogProvider {
public:
    struct Answer {
        QStringList files; // empty: the user cancels
        int filterIndex = 0;
    };

    std::vector<FileDialogRequest> requests;
    std::deque<Answer> answers;
    std::vector<MessageRequest> messages;

    void Choose(QStringList files, int filterIndex = 0) { answers.push_back({std::move(files), filterIndex}); }
    void Cancel() { answers.push_back({}); }

    void ShowMessage(QWidget*, const MessageRequest& request) override { messages.push_back(request); }

protected:
    FileDialogAnswer RunFileDialog(QWidget*, const FileDialogRequest& request) override;
};

QString Q(const std::filesystem::path& path);
QString Q(const char* utf8);

// The CRC-32 of a ROM that WriteNesFile makes from these arguments.
std::uint32_t RomCrc(std::size_t romBytes, std::uint32_t seed = 1);
// A naming list of (CRC, name) lines.
void WriteNamingList(const std::filesystem::path& path,
                     const std::vector<std::pair<std::uint32_t, std::string>>& names);
// A game database file holding these records.
void WriteDatabaseFile(const std::filesystem::path& path, const GameDatabase& records);
GameRecord Record(std::string title, RomOptionFlags flags = 0, std::int32_t follow = 0);

// A window started in a fresh temporary folder that is the current directory, with its own
// tables and scripted dialogs.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Runs the start-up sequence and shows the window, active.
    MainWindow& Open();
    // Closes and reopens on the same folder with fresh tables, as a new run of the program.
    MainWindow& Reopen();

    template <class T> T* Get(ControlId id) const {
        T* widget = qobject_cast<T*>(window->Control(id));
        EXPECT_NE(widget, nullptr);
        return widget;
    }
    QListWidget* List() const;
    QStringList ListTexts() const;
    int ShownRow() const; // the list control's selected row, -1 for none

    // A synthetic ROM of romBytes bytes after the header, in the folder (made as needed).
    std::filesystem::path Rom(const std::filesystem::path& relative, std::size_t romBytes = 1024,
                              std::uint32_t seed = 1);
    void WriteSettings(const std::string& lines);
    std::string SettingsText() const;
    // A key of brimble.ini's [config] section as read back from the file, "<missing>" when absent.
    std::string Setting(const char* key) const;

    // Opens the window with one ROM per name (name.nes, 1000 * n bytes, seed n for the n-th),
    // dropped in this order so that the first is selected.
    void OpenWithRoms(const std::vector<std::string>& stems);
    // The model's selection, the list control and the details panel agree on this entry.
    void ExpectShown(int row, const char* title);

    void Click(ControlId id);
    void ClickRow(int row);
    void Drop(const QStringList& paths, QWidget* target = nullptr);
    // Adds files through the add button and a scripted dialog answer.
    void AddThroughDialog(const QStringList& paths);

    std::filesystem::path Dir() const { return m_dir.Path(); }

    TempDir m_dir;
    std::optional<CurrentDirectory> m_cwd;
    std::unique_ptr<NameTable> names;
    std::unique_ptr<GameDatabase> database;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace brimble::test
