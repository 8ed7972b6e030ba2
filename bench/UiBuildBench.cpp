// The whole build from the window's build button, offscreen, with its messages answered at
// once: 128 ROMs of 256 KiB behind a 256 KiB emulator image, a 32 MiB image. Each run is
// timed from the click to the window closed (the image, the game database, "Done!" and the
// closing settings). The image writer alone on the same entries and a plain copy of the same
// bytes are timed right after it, so that all three meet the same state of the disk cache.
#include "builder/CompilationWriter.h"
#include "qt/DialogProvider.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "samples/SampleFiles.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QWindow>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace brimble;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kRomFileSize = 256 * 1024;
constexpr std::size_t kEmulatorSize = 256 * 1024;
constexpr std::size_t kRomCount = 128;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "UiBuildBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

// Every message is answered at once; file dialogs are cancelled (none is expected).
class AnsweringDialogs : public DialogProvider {
public:
    FileDialogAnswer RunFileDialog(QWidget*, const FileDialogRequest&) override { return {}; }
    void ShowMessage(QWidget*, const MessageRequest& request) override { messages.push_back(request.text); }
    bool AskYesNo(QWidget*, const MessageRequest& request) override {
        messages.push_back(request.text);
        return true;
    }
    std::vector<std::string> messages;
};

std::vector<char> Pattern(std::size_t size, std::uint32_t seed) {
    const std::vector<std::uint8_t> bytes = samples::PatternBytes(size, seed);
    return std::vector<char>(bytes.begin(), bytes.end());
}

// The folder of the runs, the current directory while it lives.
class Workspace {
public:
    Workspace() : m_path(fs::temp_directory_path() / "brimble-bench-build"), m_previous(fs::current_path()) {
        fs::remove_all(m_path);
        fs::create_directories(m_path / "roms");
        fs::current_path(m_path);
        Write(m_path / "Vantaro.GBA", Pattern(kEmulatorSize, 1));
        m_inputs.push_back(m_path / "Vantaro.GBA");
        for (std::size_t i = 0; i < kRomCount; ++i) {
            std::vector<char> rom = Pattern(kRomFileSize, static_cast<std::uint32_t>(i + 2));
            const char header[16] = {'N', 'E', 'S', 0x1A, 16, 0};
            std::copy(header, header + 16, rom.begin());
            const fs::path path = m_path / "roms" / ("game" + std::to_string(i) + ".nes");
            Write(path, rom);
            m_inputs.push_back(path);
            m_romPaths.append(FromPath(path));
        }
    }
    ~Workspace() {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const fs::path& Path() const { return m_path; }
    const std::vector<fs::path>& Inputs() const { return m_inputs; }
    const QStringList& RomPaths() const { return m_romPaths; }

    // Settings as a user leaves them: numbered and marked titles, the list saved.
    void ResetSettings() const {
        std::ofstream(m_path / "brimble.ini", std::ios::binary)
            << "[config]\r\noutputfile=out.gba\r\nautonumber=1\r\nflag190k=1\r\nsavelist=0\r\n";
    }

private:
    static void Write(const fs::path& path, const std::vector<char>& bytes) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path m_path;
    fs::path m_previous;
    std::vector<fs::path> m_inputs;
    QStringList m_romPaths;
};

void DropFiles(MainWindow& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QWidget* target = window.Control(ControlId::List);
    if (auto* view = qobject_cast<QAbstractScrollArea*>(target))
        target = view->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// The same bytes appended to one file with fread/fwrite; with sync, also put on the disk as
// the image is before it replaces the old one.
double PlainCopySeconds(const Workspace& workspace, bool sync) {
    const auto start = Clock::now();
    std::FILE* out = std::fopen((workspace.Path() / "plain.gba").c_str(), "wb");
    if (out == nullptr)
        return 0;
    std::array<char, 64 * 1024> buffer;
    for (const fs::path& input : workspace.Inputs()) {
        std::FILE* in = std::fopen(input.c_str(), "rb");
        if (in == nullptr)
            continue;
        std::size_t count;
        while ((count = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
            std::fwrite(buffer.data(), 1, count, out);
        std::fclose(in);
    }
    std::fflush(out);
    if (sync)
        fsync(fileno(out));
    std::fclose(out);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The image writer on the window's entries with the window's switches, without the window.
double WriterSeconds(const Workspace& workspace, const std::vector<RomEntry>& entries) {
    CompilationJob job;
    job.output = workspace.Path() / "writer.gba";
    job.emulatorPath = workspace.Inputs().front();
    job.entries = entries;
    job.autonumber = true;
    job.flag190k = true;
    const auto start = Clock::now();
    std::ifstream emulator(job.emulatorPath, std::ios::binary);
    const CompilationResult result = WriteCompilation(job, emulator, {});
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result.outcome == WriteOutcome::ImageWritten ? seconds : 0;
}

void BM_WindowBuild(benchmark::State& state) {
    Application();
    const Workspace workspace;
    AnsweringDialogs dialogs;
    double builds = 0;
    double writers = 0;
    double copies = 0;
    double syncedCopies = 0;
    for (auto _ : state) {
        workspace.ResetSettings();
        NameTable names;
        GameDatabase database;
        MainWindow window(names, database, dialogs);
        window.show();
        DropFiles(window, workspace.RomPaths());
        QApplication::processEvents();
        if (window.Presenter().Roms().Count() != kRomCount) {
            state.SkipWithError("not every ROM was added");
            break;
        }
        dialogs.messages.clear();
        auto* build = qobject_cast<QPushButton*>(window.Control(ControlId::Build));
        const std::vector<RomEntry> entries = window.Presenter().Roms().Entries();

        const auto start = Clock::now();
        build->click();
        while (window.isVisible())
            QApplication::processEvents();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        builds += seconds;

        if (dialogs.messages != std::vector<std::string>{"Done!"}) {
            state.SkipWithError("the build did not end with Done! alone");
            break;
        }
        writers += WriterSeconds(workspace, entries);
        copies += PlainCopySeconds(workspace, false);
        syncedCopies += PlainCopySeconds(workspace, true);
    }
    const auto runs = static_cast<double>(state.iterations());
    std::error_code error;
    const auto imageSize = fs::file_size(workspace.Path() / "out.gba", error);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * imageSize));
    state.counters["image_MiB"] = static_cast<double>(imageSize) / (1024.0 * 1024.0);
    state.counters["writer_ms"] = writers / runs * 1000.0;
    state.counters["plain_copy_ms"] = copies / runs * 1000.0;
    state.counters["synced_copy_ms"] = syncedCopies / runs * 1000.0;
    state.counters["x_plain_copy"] = builds / copies;
    state.counters["x_synced_copy"] = builds / syncedCopies;
}
BENCHMARK(BM_WindowBuild)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
