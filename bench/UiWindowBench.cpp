// Times the window on the offscreen platform: start-up to the window shown with large tables
// and a saved list, adding a batch of ROMs by a drop, and sorting a long list.
#include "catalogue/Crc32.h"
#include "catalogue/GameTables.h"
#include "catalogue/ListFiles.h"
#include "qt/DialogProvider.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "samples/SampleFiles.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace brimble;
using Clock = std::chrono::steady_clock;

// How long the toolkit took to start, once per process, before the first window.
double g_applicationSeconds = 0;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "UiWindowBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto start = Clock::now();
    static QApplication application(argc, argv);
    static const bool measured = [start] {
        g_applicationSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        return true;
    }();
    (void)measured;
    return application;
}

// No dialog is ever shown by these runs.
class NoDialogs : public DialogProvider {
public:
    FileDialogAnswer RunFileDialog(QWidget*, const FileDialogRequest&) override { return {}; }
    void ShowMessage(QWidget*, const MessageRequest&) override {}
    bool AskYesNo(QWidget*, const MessageRequest&) override { return false; }
};

// A folder that is the current directory while the object lives, removed afterwards.
class Workspace {
public:
    explicit Workspace(const char* name)
        : m_path(std::filesystem::temp_directory_path() / name), m_previous(std::filesystem::current_path()) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path / "roms");
        std::filesystem::current_path(m_path);
    }
    ~Workspace() {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // A synthetic iNES file with romBytes of data; returns the CRC of the data.
    std::uint32_t WriteRom(const std::string& name, std::size_t romBytes, std::uint32_t seed) const {
        std::vector<std::uint8_t> bytes{'N', 'E', 'S', 0x1A, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        const auto data = samples::PatternBytes(romBytes, seed);
        bytes.insert(bytes.end(), data.begin(), data.end());
        std::ofstream(m_path / "roms" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Crc32(data);
    }
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(m_path / name, std::ios::binary) << text;
    }

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

QListWidget* ListOf(const MainWindow& window) {
    return qobject_cast<QListWidget*>(window.Control(ControlId::List));
}

void DropFiles(MainWindow& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QWidget* target = ListOf(window)->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void WaitUntilExposed(MainWindow& window) {
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// From the window's construction (the start-up sequence: settings, a 10,000-line naming
// list, a 5,000-record database, 200 restored ROMs) to the window shown.
void BM_StartUpToShown(benchmark::State& state) {
    Application();
    Workspace workspace("brimble-bench-startup");
    std::string names = "Naming list\r\n[GAMES]\r\n";
    for (std::uint32_t i = 0; i < 10000; ++i) {
        names += "\x01"
                 "Game number " +
                 std::to_string(i) + " (U) [!]\xAC" +
                 "a\xAC"
                 "b\xAC"
                 "c\xAC"
                 "d\xAC" +
                 Hex(i * 2654435761u) + "\xAC\r\n";
    }
    workspace.WriteText("names.dat", names);
    GameDatabase records;
    std::string saved;
    for (std::uint32_t i = 0; i < 200; ++i) {
        const std::string name = "rom" + std::to_string(i) + ".nes";
        const std::uint32_t crc = workspace.WriteRom(name, 40960, i + 1);
        if (i % 2 == 0)
            records.Store(crc, GameRecord{"Recorded " + std::to_string(i), ColourCode::Green, "", 0x21, 3});
        saved += (workspace.Path() / "roms").string() + "/" + name + "\r\n";
    }
    for (std::uint32_t i = 0; records.Size() < 5000; ++i)
        records.Store(i * 40503u + 7, GameRecord{"Other " + std::to_string(i), ColourCode::None, "", 1, 0});
    WriteGameDatabase(workspace.Path() / "goodQuorrel.lst", records);
    workspace.WriteText("saved.txt", saved);
    workspace.WriteText("brimble.ini", "[config]\r\nsavelist=1\r\ngoodnes=names.dat\r\nquorrel=goodQuorrel.lst\r\n");

    NoDialogs dialogs;
    double first = -1;
    for (auto _ : state) {
        NameTable nameTable;
        GameDatabase database;
        const auto start = Clock::now();
        MainWindow window(nameTable, database, dialogs);
        window.show();
        WaitUntilExposed(window);
        const auto end = Clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        if (first < 0)
            first = seconds;
        if (ListOf(window)->count() != 200 || nameTable.Size() != 10000 || database.Size() != 5000)
            state.SkipWithError("the start-up did not load everything");
    }
    // The first window of a process pays for fonts and styles; a program start pays for the
    // toolkit as well.
    state.counters["first_window_ms"] = first * 1000.0;
    state.counters["toolkit_start_ms"] = g_applicationSeconds * 1000.0;
}
BENCHMARK(BM_StartUpToShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// One drop of 1,000 ROMs of 40 KiB onto an empty list.
void BM_AddThousandRoms(benchmark::State& state) {
    Application();
    Workspace workspace("brimble-bench-add");
    QStringList paths;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        const std::string name = "Game_" + std::to_string(i) + "_(U).nes";
        workspace.WriteRom(name, 40960, i + 1);
        paths.append(FromPath(workspace.Path() / "roms" / name));
    }
    NoDialogs dialogs;
    for (auto _ : state) {
        NameTable names;
        GameDatabase database;
        MainWindow window(names, database, dialogs);
        window.show();
        WaitUntilExposed(window);
        const auto start = Clock::now();
        DropFiles(window, paths);
        QApplication::processEvents();
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (ListOf(window)->count() != 1000)
            state.SkipWithError("not every ROM was added");
    }
}
BENCHMARK(BM_AddThousandRoms)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The sort button on a list of 1,000 entries in no particular order.
void BM_SortThousandEntries(benchmark::State& state) {
    Application();
    Workspace workspace("brimble-bench-sort");
    QStringList paths;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        // Titles in scrambled order, with some repeated.
        const std::string file = "Title " + std::to_string((i * 7919u) % 613u) + " (" + std::to_string(i) + ").nes";
        workspace.WriteRom(file, 1024, i + 1);
        paths.append(FromPath(workspace.Path() / "roms" / file));
    }
    NoDialogs dialogs;
    for (auto _ : state) {
        NameTable names;
        GameDatabase database;
        MainWindow window(names, database, dialogs);
        window.show();
        WaitUntilExposed(window);
        DropFiles(window, paths);
        auto* sort = qobject_cast<QPushButton*>(window.Control(ControlId::Sort));
        const auto start = Clock::now();
        sort->click();
        QApplication::processEvents();
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        const auto& roms = window.Presenter().Roms();
        for (std::size_t i = 1; i < roms.Count(); ++i) {
            if (CompareTitles(roms.At(i - 1).title, roms.At(i).title) > 0) {
                state.SkipWithError("the list is not sorted");
                break;
            }
        }
    }
}
BENCHMARK(BM_SortThousandEntries)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
