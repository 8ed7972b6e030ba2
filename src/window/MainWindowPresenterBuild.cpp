#include "BuildFlow.h"
#include "MainWindowPresenter.h"
#include "PanelRules.h"
#include "catalogue/Paths.h"
#include "catalogue/Windows1252.h"
#include "settings/SettingsKeys.h"

// The build button: the presenter gathers the inputs from the controls and the list, asks its
// dialogs and shows the messages; the build itself is the build flow's.

namespace brimble {
namespace {

MessageIcon IconOf(MessageSeverity severity) {
    switch (severity) {
    case MessageSeverity::Warning:
        return MessageIcon::Warning;
    case MessageSeverity::Error:
        return MessageIcon::Error;
    case MessageSeverity::Plain:
        break;
    }
    return MessageIcon::None;
}

std::string RomName(const RomEntry& entry) {
    return entry.title.empty() ? PathToUtf8(entry.fileName) : Windows1252ToUtf8(entry.title);
}

} // namespace

void MainWindowPresenter::ShowMessage(const BuildMessage& message) {
    m_view.ShowMessage(MessageRequest{message.text, message.caption, IconOf(message.severity)});
}

bool MainWindowPresenter::ConfirmImageSize(const std::filesystem::path& emulator, bool& asked) {
    if (asked)
        return true;
    const std::uint64_t size = PlannedImageSize(m_roms.Total(), m_view.Checked(ControlId::Splash), emulator);
    if (!ExceedsCartridge(size))
        return true;
    asked = true;
    const BuildMessage question = OversizeQuestion(size);
    return m_view.AskYesNo(MessageRequest{question.text, question.caption, IconOf(question.severity)});
}

void MainWindowPresenter::OnBuild() {
    if (m_roms.Empty())
        return;
    StorePendingTitle();
    CommitSelectedRom();

    if (m_view.Text(ControlId::OutputPath).empty()) {
        ChooseOutputFile();
        if (m_view.Text(ControlId::OutputPath).empty())
            return;
    }
    // An image that fits no cartridge is asked about before anything is stored; an emulator
    // image located only below is measured once it is found.
    bool asked = false;
    if (!ConfirmImageSize(ReadPathSetting(*m_store, SettingKey::Vantaro), asked))
        return;
    const std::filesystem::path output = PathFromUtf8(m_view.Text(ControlId::OutputPath));
    // Stored before any file is opened, so that it stays stored when the build fails.
    WritePathSetting(*m_store, SettingKey::OutputFile, output);

    EmulatorImage emulator = OpenEmulatorImage(*m_store);
    if (!emulator.IsOpen()) {
        LocateEmulatorImage();
        emulator = OpenEmulatorImage(*m_store);
        if (!emulator.IsOpen()) {
            ShowMessage(EmulatorMissingMessage(emulator.path));
            return;
        }
        if (!ConfirmImageSize(emulator.path, asked))
            return;
    }

    BuildInputs inputs;
    inputs.output = output;
    if (m_view.Checked(ControlId::Splash))
        inputs.splash = PathFromUtf8(m_view.Text(ControlId::SplashPath));
    if (m_view.Checked(ControlId::RestoreList))
        inputs.savedList = m_settings.savedListPath;
    inputs.entries = m_roms.Entries();
    inputs.autonumber = m_view.Checked(ControlId::Autonumber);
    inputs.flag190k = m_view.Checked(ControlId::Flag190k);

    BuildHooks hooks;
    hooks.warning = [this](const BuildMessage& warning) { ShowMessage(warning); };
    hooks.progress = [this, &inputs](std::size_t position, std::uint64_t) {
        BuildProgressStep step;
        step.position = position;
        step.count = inputs.entries.size();
        if (position < inputs.entries.size())
            step.romName = RomName(inputs.entries[position]);
        m_view.ShowBuildProgress(step);
    };
    // Raw files and pictures alike, as brimble-cli build --splash takes them.
    hooks.splashLoader = LoadSplash;
    const BuildReport report = RunBuildFlow(*m_store, m_database, inputs, emulator, hooks);
    m_view.EndBuildProgress();

    for (const BuildMessage& message : report.messages)
        ShowMessage(message);
    if (report.Finished()) {
        // The window ends as by the close box: the switches are stored and the program ends.
        OnClose(CloseReason::BuildFinished);
        m_view.EndWindow();
    }
}

} // namespace brimble
