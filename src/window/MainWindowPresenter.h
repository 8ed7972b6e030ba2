#pragma once

#include "BuildMessages.h"
#include "MainWindowView.h"
#include "catalogue/GameTables.h"
#include "catalogue/RomList.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"
#include "splash/SplashSource.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The window's behaviour without a toolkit: the ROM list, the selection, the details panel and
// when it is committed, the options panel, the settings, the file dialogs and the build. A face
// builds its controls, makes a presenter over them (its MainWindowView) and hands every event
// to the matching On... operation; the presenter reads and sets the controls through the view.

namespace brimble {

// Why the window ends: the close box (also the system menu's close item and Alt+F4) and a
// finished build store the switches; Escape does not.
enum class CloseReason { CloseBox, Escape, BuildFinished };

class MainWindowPresenter {
public:
    // The tables live as long as the presenter; the view as long as the presenter is used.
    MainWindowPresenter(MainWindowView& view, NameTable& names, GameDatabase& database);
    MainWindowPresenter(const MainWindowPresenter&) = delete;
    MainWindowPresenter& operator=(const MainWindowPresenter&) = delete;

    // The start-up sequence, once the face has made its controls and before the window is
    // first shown: blank details panel, options panel hidden, the settings (brimble.ini in the
    // current directory) into the controls, the splash box's rule, the naming list and the game
    // database loaded, then the saved list restored when its box is checked. The face then
    // gives the focus to the list.
    void Start();

    // --- Events, as the face reports them ---

    // The list control's selected row changed (click, keys, assistive technology); row is the
    // newly selected row, -1 when the control shows none (then the presenter selects its row
    // again while the list has items). A report that comes while the presenter itself changes
    // the list, or that names the row already selected, changes nothing.
    void OnSelectionChanged(int row);
    // The title box's text changed (typing, pasting). The typed title is pending until it is
    // stored: on leaving the box, and before select, remove, move, sort and build. A report
    // that comes while the presenter itself sets the box's text is ignored.
    void OnTitleEdited();
    // The title box lost the keyboard focus (not to a popup menu): the title is stored, edited
    // or not.
    void OnTitleFocusLost();

    void OnAdd();                                                 // add button, Insert, Ctrl+O
    void OnDrop(const std::vector<std::filesystem::path>& paths); // files dropped onto the list
    void OnRemove();                                              // remove button, Delete
    // Up-down control (negative: up) and Ctrl+Up/Down. True when the entry moved: a move by the
    // up-down control then gives it the focus.
    bool OnMove(int delta);
    void OnSort();
    void OnBuild();
    void OnTogglePanel();    // toggle button, double-click in the list
    void OnSplashToggled();  // click on "splash screen"
    void OnChooseOutput();   // ".." beside the output path
    void OnChooseSplash();   // ".." beside the splash path
    void OnLocateEmulator(); // "Locate Vantaro.GBA..."
    void OnLocateGoodNes();  // "Locate GoodNES database..."
    void OnLocateQuorrel();  // "Locate Quorrel database..."
    // The window came to the front: the emulator image may have changed meanwhile.
    void OnActivated();
    // The window is ending for this reason; the face ends it afterwards itself (close box,
    // Escape). Enter never ends the window: a face swallows it.
    void OnClose(CloseReason reason);

    // The file the splash box's tooltip previews: its text as the build reads it, a relative
    // path made absolute against the current directory now. Nothing while the box is empty.
    std::optional<std::filesystem::path> SplashBoxFile() const;

    // --- State, for the faces and the tests ---
    const RomList& Roms() const { return m_roms; }
    bool PanelShown() const { return m_panelShown; }
    bool TitlePending() const { return m_titlePending; }
    bool TotalWarns() const { return m_totalWarns; }
    const StartupSettings& Settings() const { return m_settings; }
    const SettingsStore& Store() const { return *m_store; }
    // The filter chosen last in any file dialog, preselected in the next one.
    int LastFilterIndex() const { return m_filterIndex; }

private:
    // The window's operations, by the names its developers know them by.
    void ShowSelectedRom();
    void CommitSelectedRom();
    void StoreEditedTitle();
    void StorePendingTitle(); // a typed title goes into its entry before the list changes
    void ShowTotalSize();
    void SetPanelShown(bool shown);
    void SplashBoxChanged();
    void AddRomFiles(const std::vector<std::filesystem::path>& files);
    void AppendRom(RomEntry entry);
    void SelectListRow(int row);
    void ChooseListFile();
    void ChooseOutputFile();
    void LocateEmulatorImage();
    void ShowMessage(const BuildMessage& message);
    // Asks once per build whether to write an image that fits no cartridge; true when the build
    // goes on (also when it fits, or was asked about already).
    bool ConfirmImageSize(const std::filesystem::path& emulator, bool& asked);
    // Runs the use's file dialog with the last filter choice; the chosen files, or none.
    std::vector<std::filesystem::path> AskFiles(FileDialogRequest request);
    StartupSettings ClosingSettings() const;
    // Runs a change of the controls whose notifications the presenter is to ignore.
    template <class Change> void UpdateView(Change change) {
        const bool outer = m_updatingView;
        m_updatingView = true;
        change();
        m_updatingView = outer;
    }

    MainWindowView& m_view;
    NameTable& m_names;
    GameDatabase& m_database;

    RomList m_roms;
    bool m_panelShown = false;
    bool m_titlePending = false;
    bool m_totalWarns = false;
    bool m_addingBatch = false;  // a batch of ROMs is being added; the total is shown at its end
    bool m_updatingView = false; // the presenter itself is changing the list or the title box
    int m_filterIndex = 0;
    StartupSettings m_settings;
    std::optional<SettingsStore> m_store;
};

} // namespace brimble
