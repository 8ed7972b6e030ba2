#pragma once

#include "DialogProvider.h"
#include "WindowLayout.h"
#include "catalogue/GameTables.h"
#include "catalogue/RomList.h"
#include "settings/SettingsStore.h"
#include "settings/StartupSettings.h"

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace brimble {

struct BuildMessage;
struct EmulatorImage;
class FollowBox;
class RomListWidget;
class TitleBox;
class UpDownControl;

// The tool's one window: the compilation list on the left, the options panel with the
// selected ROM's details and the global switches on the right. The start-up sequence runs in
// the constructor, before the window is first shown.
class MainWindow : public QDialog {
    Q_OBJECT
public:
    MainWindow(NameTable& names, GameDatabase& database, DialogProvider& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The control of the template with this identifier.
    QWidget* Control(ControlId id) const;
    QToolButton* MenuButton() const { return m_menuButton; }
    QMenu* CommandMenu() const { return m_menu; }
    QAction* LocateEmulatorAction() const { return m_locateEmulator; }
    QAction* LocateGoodNesAction() const { return m_locateGoodNes; }
    QAction* LocateQuorrelAction() const { return m_locateQuorrel; }

    const RomList& Roms() const { return m_roms; }
    bool PanelShown() const { return m_panelShown; }
    const StartupSettings& Settings() const { return m_settings; }
    const SettingsStore& Store() const { return *m_store; }
    // Whether the total label warns that the image outgrows a cartridge.
    bool TotalWarns() const { return m_totalWarns; }
    DialogUnits Units() const;

    // The open dialog for the emulator image; a chosen file's full path is stored under
    // "vantaro" and returned.
    std::optional<std::filesystem::path> LocateEmulatorImage();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void ApplyLayout();
    void StartUp();

    // Shell.
    void ToggleOptionsPanel();
    void SplashBoxChanged();
    void ChooseSplashFile();
    void ChooseOutputFile();
    void ChooseListFile();
    void CloseMainWindow();

    // Build.
    void Build();
    EmulatorImage OpenEmulatorImage() const;
    void ShowBuildMessage(const BuildMessage& message);

    // List editing.
    void AddRomFiles();
    void AddDroppedFiles(const QStringList& paths);
    void AddRom(const std::filesystem::path& directory, const std::filesystem::path& fileName);
    void RemoveSelectedRom();
    void MoveSelectedRom(int delta);
    bool MoveSelectedEntry(int delta); // false at an end of the list or without a selection
    void SortRomsByTitle();
    void SelectListRow(int row);
    void StoreTitleBeforeSelectionMoves();

    // Keyboard.
    void ConnectKeys();

    // Details panel.
    void ShowSelectedRom();
    void CommitSelectedRom();
    void SelectionChanged();
    void StoreEditedTitle();
    void ShowTotalSize();
    void SetRadio(QRadioButton* button, bool checked);
    StartupSettings ClosingSettings() const;

    NameTable& m_names;
    GameDatabase& m_database;
    DialogProvider& m_dialogs;

    // Controls, in tab order.
    RomListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_sort = nullptr;
    UpDownControl* m_upDown = nullptr;
    QPushButton* m_build = nullptr;
    QLineEdit* m_outputPath = nullptr;
    QPushButton* m_chooseOutput = nullptr;
    QCheckBox* m_restoreList = nullptr;
    QPushButton* m_togglePanel = nullptr;
    TitleBox* m_title = nullptr;
    QCheckBox* m_ppuSpeedHack = nullptr;
    QCheckBox* m_noCpuSpeedHack = nullptr;
    QCheckBox* m_palTiming = nullptr;
    QRadioButton* m_followSprite = nullptr;
    QRadioButton* m_followMemory = nullptr;
    FollowBox* m_followValue = nullptr;
    QCheckBox* m_autonumber = nullptr;
    QCheckBox* m_splash = nullptr;
    QCheckBox* m_flag190k = nullptr;
    QLineEdit* m_splashPath = nullptr;
    QPushButton* m_chooseSplash = nullptr;
    QLabel* m_fileName = nullptr;
    QLabel* m_romSize = nullptr;
    QLabel* m_totalCaption = nullptr;
    QLabel* m_total = nullptr;
    QGroupBox* m_detailsFrame = nullptr;
    std::map<ControlId, QWidget*> m_controls;

    QToolButton* m_menuButton = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_locateEmulator = nullptr;
    QAction* m_locateGoodNes = nullptr;
    QAction* m_locateQuorrel = nullptr;

    RomList m_roms;
    bool m_panelShown = true;
    bool m_updatingList = false; // the list control is being changed by the program
    StartupSettings m_settings;
    std::unique_ptr<SettingsStore> m_store;
    bool m_addingBatch = false; // a batch of ROMs is being added; the total is shown at its end
    bool m_totalWarns = false;
};

} // namespace brimble
