#pragma once

#include "catalogue/GameTables.h"
#include "support/TestFiles.h"
#include "win32/Win32Window.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brimble::test {

// What a modal dialog of the window showed when the answerer met it.
struct MetDialog {
    std::wstring caption;
    std::wstring text;    // a message box's text
    int filterIndex = -1; // a file dialog's preselected filter, from 0
    bool yesNo = false;   // a message box offering Yes and No
};

// One answer to the next modal dialog: files typed into a file dialog (none: cancel), or OK
// on a message box.
struct DialogAnswer {
    std::vector<std::wstring> files;
    int filter = -1;   // a file dialog's filter to choose first, from 0; -1 leaves it
    int button = IDOK; // a message box's button to press
};

// Answers the window's modal dialogs from a second thread, as a user would: it waits for each
// dialog of the window's thread, notes what it shows and answers it.
class DialogAnswerer {
public:
    // Answers the dialogs of the calling thread but the window given.
    DialogAnswerer(std::vector<DialogAnswer> answers, HWND window);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // The dialogs met so far.
    std::vector<MetDialog> Met();

private:
    void Run();

    DWORD m_thread;
    HWND m_window;
    std::vector<DialogAnswer> m_answers;
    std::mutex m_mutex;
    std::vector<MetDialog> m_met;
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

// A window over real files in a temporary folder, which is the current directory meanwhile.
class Win32WindowTest : public testing::Test {
protected:
    Win32WindowTest();
    ~Win32WindowTest() override;

    // Makes and shows the window, and handles its messages until none wait.
    void Open();
    void Pump();
    HWND Control(ControlId id) const { return m_window->Control(id); }
    HWND Window() const { return m_window->Handle(); }
    MainWindowPresenter& Presenter() { return m_window->Presenter(); }
    std::filesystem::path Dir() const { return m_dir.Path(); }
    std::filesystem::path Rom(const std::string& name, std::size_t bytes = 16384, std::uint32_t seed = 1);
    void WriteIni(const std::string& lines);
    std::string Ini() const;

    // A click as the mouse gives it.
    void Click(ControlId id);
    // A key as the keyboard gives it to the focused control, with Ctrl or Shift held.
    void Key(WORD key, bool control = false, bool shift = false);
    // Runs a handler that opens modal dialogs, answered in turn; returns what they showed.
    std::vector<MetDialog> Answering(std::vector<DialogAnswer> answers, const std::function<void()>& action);
    std::vector<std::wstring> ListTexts() const;

    TempDir m_dir;
    std::optional<CurrentDirectory> m_current;
    NameTable m_names;
    GameDatabase m_database;
    std::unique_ptr<win32::Win32Window> m_window;
};

} // namespace brimble::test
