#pragma once

#include "catalogue/GameTables.h"
#include "qt/DialogProvider.h"
#include "qt/MainWindow.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

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
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers; // an empty queue cancels
    std::vector<MessageRequest> messages;

    void Choose(std::vector<std::filesystem::path> files) { answers.push_back({std::move(files), 0}); }
    void Cancel() { answers.push_back({}); }

    FileDialogAnswer RunFileDialog(QWidget*, const FileDialogRequest& request) override;
    void ShowMessage(QWidget*, const MessageRequest& request) override { messages.push_back(request); }
    // Answers No.
    bool AskYesNo(QWidget*, const MessageRequest& request) override {
        messages.push_back(request);
        return false;
    }
};

QString Q(const std::filesystem::path& path);
QString Q(const char* utf8);

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
    // A key of brimble.ini's [config] section as read back from the file, "<missing>" when absent.
    std::string Setting(const char* key) const;

    const MainWindowPresenter& Presenter() const { return window->Presenter(); }

    // Opens the window with one ROM per name (name.nes, 1000 * n bytes, seed n for the n-th),
    // dropped in this order so that the first is selected.
    void OpenWithRoms(const std::vector<std::string>& stems);
    // The presenter's selection, the list control and the details panel agree on this entry.
    void ExpectShown(int row, const char* title);

    void Click(ControlId id);
    void ClickRow(int row);
    void Drop(const QStringList& paths, QWidget* target = nullptr);

    std::filesystem::path Dir() const { return m_dir.Path(); }

    TempDir m_dir;
    std::optional<CurrentDirectory> m_cwd;
    std::unique_ptr<NameTable> names;
    std::unique_ptr<GameDatabase> database;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace brimble::test
