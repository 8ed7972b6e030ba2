#include "MainWindow.h"
#include "QtText.h"
#include "TextBoxes.h"
#include "builder/BuildCommand.h"
#include "builder/BuildMessages.h"
#include "settings/SettingsKeys.h"
#include "splash/SplashSource.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressDialog>

// The build button: the window gathers the inputs, asks its dialogs and shows the messages;
// the build itself is the builder's.

namespace brimble {
namespace {

// The modal progress of a build, shown only when the build lasts longer than half a second.
// Everything runs on the one thread, so each step lets the window paint, but takes no input.
class BuildProgress {
public:
    BuildProgress(QWidget* window, const std::vector<RomEntry>& entries) : m_window(window), m_entries(entries) {}
    BuildProgress(const BuildProgress&) = delete;
    BuildProgress& operator=(const BuildProgress&) = delete;

    void Step(std::size_t position) {
        // Made at the first ROM rather than before the writing starts: the splash warning may
        // wait for the user before it, and that wait is no reason to show progress.
        if (!m_dialog)
            Create();
        if (position < m_entries.size())
            m_dialog->setLabelText(QStringLiteral("Writing %1...").arg(RomName(m_entries[position])));
        m_dialog->setValue(static_cast<int>(position));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    static QString RomName(const RomEntry& entry) {
        return entry.title.empty() ? FromPath(entry.fileName) : FromWindows1252(entry.title);
    }

    void Create() {
        m_dialog = std::make_unique<QProgressDialog>(m_window);
        m_dialog->setWindowTitle(FromWindows1252(kProgramCaption));
        m_dialog->setWindowModality(Qt::WindowModal);
        // A build either completes or fails; it cannot be stopped half way.
        m_dialog->setCancelButton(nullptr);
        m_dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(500);
        m_dialog->setRange(0, static_cast<int>(m_entries.size()));
        m_dialog->setValue(0);
    }

    QWidget* m_window;
    const std::vector<RomEntry>& m_entries;
    std::unique_ptr<QProgressDialog> m_dialog;
};

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

} // namespace

void MainWindow::ShowBuildMessage(const BuildMessage& message) {
    MessageRequest request;
    request.text = QString::fromStdString(message.text);
    if (message.caption)
        request.caption = QString::fromStdString(*message.caption);
    request.icon = IconOf(message.severity);
    m_dialogs.ShowMessage(this, request);
}

EmulatorImage MainWindow::OpenEmulatorImage() const {
    return brimble::OpenEmulatorImage(*m_store);
}

void MainWindow::Build() {
    if (m_roms.Empty())
        return;
    // A title still being typed counts, also when the build was started from the keyboard and
    // the title box never lost the focus.
    if (m_title->hasFocus())
        StoreEditedTitle();
    CommitSelectedRom();

    if (m_outputPath->text().isEmpty()) {
        ChooseOutputFile();
        if (m_outputPath->text().isEmpty())
            return;
    }
    const std::filesystem::path output = ToPath(m_outputPath->text());
    // Stored before any file is opened, so that it stays stored when the build fails.
    WritePathSetting(*m_store, SettingKey::OutputFile, output);

    EmulatorImage emulator = OpenEmulatorImage();
    if (!emulator.IsOpen()) {
        LocateEmulatorImage();
        emulator = OpenEmulatorImage();
        if (!emulator.IsOpen()) {
            ShowBuildMessage(EmulatorMissingMessage(emulator.path));
            return;
        }
    }

    BuildInputs inputs;
    inputs.output = output;
    if (m_splash->isChecked())
        inputs.splash = ToPath(m_splashPath->text());
    if (m_restoreList->isChecked())
        inputs.savedList = m_settings.savedListPath;
    inputs.entries = m_roms.Entries();
    inputs.autonumber = m_autonumber->isChecked();
    inputs.flag190k = m_flag190k->isChecked();

    BuildReport report;
    {
        BuildProgress progress(this, inputs.entries);
        BuildHooks hooks;
        hooks.warning = [this](const BuildMessage& warning) { ShowBuildMessage(warning); };
        hooks.progress = [&progress](std::size_t position, std::uint64_t) { progress.Step(position); };
        // Raw files and pictures alike, as brimble-cli build --splash takes them.
        hooks.splashLoader = LoadSplash;
        report = RunBuild(*m_store, m_database, inputs, emulator, hooks);
    }
    for (const BuildMessage& message : report.messages)
        ShowBuildMessage(message);
    if (report.Finished()) {
        // Closed as by the close box, once this handler has returned: the switches are stored
        // and the program ends.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

} // namespace brimble
