#include "MainWindowPresenter.h"

#include "PanelRules.h"
#include "WindowTexts.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "settings/DatabaseSettings.h"
#include "settings/SavedList.h"
#include "settings/SettingsKeys.h"

#include <algorithm>

// The start-up sequence, the options panel, the splash controls, the file dialogs of the shell
// and closing.

namespace brimble {

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, NameTable& names, GameDatabase& database)
    : m_view(view), m_names(names), m_database(database) {}

void MainWindowPresenter::Start() {
    // No selection and an empty list: the panel is blank.
    ShowSelectedRom();
    SetPanelShown(false);

    m_settings = ReadStartupSettings();
    m_store.emplace(m_settings.settingsPath);
    m_view.SetChecked(ControlId::Flag190k, m_settings.flag190k);
    m_view.SetChecked(ControlId::RestoreList, m_settings.saveList);
    m_view.SetChecked(ControlId::Autonumber, m_settings.autonumber);
    m_view.SetText(ControlId::OutputPath, PathToUtf8(m_settings.outputFile));
    m_view.SetText(ControlId::SplashPath, PathToUtf8(m_settings.splashFile));
    m_view.SetChecked(ControlId::Splash, m_settings.useSplash);
    SplashBoxChanged();

    // Both tables are filled before the saved list comes back, so that its entries find them.
    LoadGoodNesAtStart(*m_store, m_names);
    LoadGameDatabaseAtStart(*m_store, m_names, m_database);

    if (m_view.Checked(ControlId::RestoreList)) {
        m_addingBatch = true;
        std::vector<PassedOver> notRestored;
        for (const SavedRom& rom : RestoreSavedList(m_settings.savedListPath)) {
            const std::filesystem::path path = JoinPath(rom.directory, rom.fileName);
            const RomInspection inspection = InspectRom(path);
            if (inspection.status == RomInspectionStatus::Accepted)
                AppendRom(MakeRomEntry(rom.directory, rom.fileName, inspection, m_names, m_database));
            else
                notRestored.push_back({path, DescribeRomInspection(inspection)});
        }
        m_addingBatch = false;
        ShowTotalSize();
        // A ROM on a drive that is not there would otherwise drop out of the list at the next
        // build without a word.
        if (!notRestored.empty())
            ShowMessage(NotRestoredMessage(notRestored));
    }
}

void MainWindowPresenter::OnTogglePanel() {
    SetPanelShown(!m_panelShown);
}

void MainWindowPresenter::SetPanelShown(bool shown) {
    m_panelShown = shown;
    m_view.SetText(ControlId::TogglePanel, std::string(shown ? kHideCaption : kMoreCaption));
    m_view.ShowPanel(shown);
}

void MainWindowPresenter::OnSplashToggled() {
    SplashBoxChanged();
}

void MainWindowPresenter::SplashBoxChanged() {
    m_view.SetReadOnly(ControlId::SplashPath, !m_view.Checked(ControlId::Splash));
    ShowTotalSize();
}

void MainWindowPresenter::OnChooseSplash() {
    const std::vector<std::filesystem::path> files = AskFiles(FileDialogFor(FileDialogUse::Splash));
    if (!files.empty())
        m_view.SetText(ControlId::SplashPath, PathToUtf8(files.front()));
}

void MainWindowPresenter::OnChooseOutput() {
    ChooseOutputFile();
}

void MainWindowPresenter::ChooseOutputFile() {
    const std::vector<std::filesystem::path> files = AskFiles(FileDialogFor(FileDialogUse::Output));
    if (!files.empty())
        m_view.SetText(ControlId::OutputPath, PathToUtf8(files.front()));
}

void MainWindowPresenter::OnLocateEmulator() {
    LocateEmulatorImage();
}

void MainWindowPresenter::LocateEmulatorImage() {
    const std::vector<std::filesystem::path> files = AskFiles(FileDialogFor(FileDialogUse::Emulator));
    if (files.empty())
        return;
    WritePathSetting(*m_store, SettingKey::Vantaro, AbsoluteOrAsGiven(files.front()));
    // The emulator image counts towards the cartridge's limit.
    ShowTotalSize();
}

void MainWindowPresenter::OnLocateGoodNes() {
    ChooseListFile();
}

void MainWindowPresenter::OnLocateQuorrel() {
    // The same dialog as for the naming list: the file's contents decide which setting names it.
    ChooseListFile();
}

void MainWindowPresenter::ChooseListFile() {
    const std::vector<std::filesystem::path> files = AskFiles(FileDialogFor(FileDialogUse::ListFile));
    if (!files.empty())
        LoadChosenListFile(*m_store, files.front(), m_names, m_database);
}

std::vector<std::filesystem::path> MainWindowPresenter::AskFiles(FileDialogRequest request) {
    // One choice of filter carries over to the next dialog of any kind, as far as it has one.
    const int last = request.filters.empty() ? 0 : static_cast<int>(request.filters.size()) - 1;
    request.filterIndex = std::clamp(m_filterIndex, 0, last);
    FileDialogAnswer answer = m_view.AskFiles(request);
    if (answer.files.empty())
        return {};
    m_filterIndex = answer.filterIndex;
    return std::move(answer.files);
}

void MainWindowPresenter::OnActivated() {
    // The emulator image may have appeared or gone while the window was in the background.
    if (m_store)
        ShowTotalSize();
}

StartupSettings MainWindowPresenter::ClosingSettings() const {
    StartupSettings settings = m_settings;
    settings.flag190k = m_view.Checked(ControlId::Flag190k);
    settings.saveList = m_view.Checked(ControlId::RestoreList);
    settings.autonumber = m_view.Checked(ControlId::Autonumber);
    settings.useSplash = m_view.Checked(ControlId::Splash);
    settings.outputFile = PathFromUtf8(m_view.Text(ControlId::OutputPath));
    settings.splashFile = PathFromUtf8(m_view.Text(ControlId::SplashPath));
    return settings;
}

void MainWindowPresenter::OnClose(CloseReason reason) {
    // Escape leaves the switches of this run unstored.
    if (reason == CloseReason::Escape || !m_store)
        return;
    WriteClosingSettings(*m_store, ClosingSettings());
}

std::optional<std::filesystem::path> MainWindowPresenter::SplashBoxFile() const {
    const std::string text = m_view.Text(ControlId::SplashPath);
    if (text.empty())
        return std::nullopt;
    return AbsoluteOrAsGiven(PathFromUtf8(text));
}

} // namespace brimble
