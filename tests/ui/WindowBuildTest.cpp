#include "UiTestSupport.h"
#include "catalogue/ListFiles.h"
#include "cli/Cli.h"
#include "ui/CompilationApp.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEmulatorBytes = 1001; // padded to 1,004 in the image
constexpr std::uint64_t kEmulatorInImage = 1004;
constexpr std::uint64_t kRomRecord = 48 + 16 + 1024; // header and the default 1 KiB ROM

// A window in a folder that holds an emulator image, with the program's application name,
// which is the caption of a message shown without one.
class BuildTest : public WindowTest {
protected:
    BuildTest() : m_previousName(QApplication::applicationName()), m_app(dialogs) {
        WriteFile(Dir() / "Vantaro.GBA", PatternBytes(kEmulatorBytes, 7));
    }
    ~BuildTest() override { QApplication::setApplicationName(m_previousName); }

    void Build() {
        Click(ControlId::Build);
        // The window closes once the build's handler has returned.
        QCoreApplication::processEvents();
    }

    int LocateRequests() const {
        return static_cast<int>(std::count_if(dialogs.requests.begin(), dialogs.requests.end(),
                                              [](const auto& r) { return r.title == Q("Locate Vantaro.GBA..."); }));
    }

    QString m_previousName;
    CompilationApp m_app;
};

struct ShownMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon;

    bool operator==(const ShownMessage&) const = default;
};

void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << '"' << message.text.toStdString() << "\", caption \"" << message.caption.toStdString() << "\", icon "
         << message.icon;
}

const ShownMessage kDone{Q("Done!"), Q("Brimble 1.1"), QMessageBox::NoIcon};

// The messages as the program shows them: real message boxes made from what the window asked.
std::vector<ShownMessage> Shown(const ScriptedDialogs& dialogs) {
    std::vector<ShownMessage> shown;
    for (const MessageRequest& request : dialogs.messages) {
        const auto box = QtDialogProvider::MakeMessageBox(nullptr, request);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        shown.push_back({box->text(), box->windowTitle(), box->icon()});
    }
    return shown;
}

TEST_F(BuildTest, EmptyListDoesNothingAtAll) {
    WriteSettings("outputfile=out.gba\r\n");
    Open();
    const std::string before = SettingsText();
    fs::remove(Dir() / "Vantaro.GBA");
    Build();
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(SettingsText(), before);
    EXPECT_FALSE(fs::exists(Dir() / "out.gba"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BuildTest, EmptyOutputBoxAsksForTheFileAndStopsSilentlyWhenCancelled) {
    Rom("a.nes");
    Open();
    Drop({Q(Dir() / "a.nes")});
    Click(ControlId::TogglePanel);
    Click(ControlId::PalTiming);

    dialogs.Cancel();
    Build();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Setting("outputfile"), "<missing>");
    // The details panel was committed all the same.
    EXPECT_EQ(window->Roms().At(0).flags, kPalTiming);
    EXPECT_TRUE(window->isVisible());

    const fs::path chosen = Dir() / "chosen.gba";
    dialogs.Choose({Q(chosen)});
    Build();
    EXPECT_EQ(Get<QLineEdit>(ControlId::OutputPath)->text(), Q(chosen));
    EXPECT_EQ(Setting("outputfile"), chosen.string());
    EXPECT_EQ(fs::file_size(chosen), kEmulatorInImage + kRomRecord);
}

TEST_F(BuildTest, WritesTheCommandLineImageKeepsTheEditsAndClosesLikeTheCloseBox) {
    const fs::path a = Rom("roms/a.nes", 1000, 1);
    const fs::path b = Rom("roms/b.nes", 300000, 2);
    const fs::path c = Rom("roms/c.nes", 2000, 3);
    WriteFile(Dir() / "ok.raw", PatternBytes(76798, 9));
    WriteSettings("outputfile=out.gba\r\nquorrel=games.lst\r\nsplashfile=ok.raw\r\n");
    Open();
    Drop({Q(a), Q(b), Q(c)});
    Click(ControlId::TogglePanel);
    for (ControlId id : {ControlId::Autonumber, ControlId::Flag190k, ControlId::Splash, ControlId::RestoreList})
        Click(id);
    ClickRow(1);
    auto* title = Get<QLineEdit>(ControlId::Title);
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, Q("Edit"));
    Click(ControlId::PalTiming);

    Click(ControlId::Build);
    // "Done!" comes first; the window closes after it, as through the close box.
    EXPECT_TRUE(window->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Shown(dialogs), std::vector<ShownMessage>{kDone});
    for (const char* key : {"autonumber", "flag190k", "usesplash", "savelist"})
        EXPECT_EQ(Setting(key), "1") << key;

    // The database holds the title typed and the option set in the window.
    NameTable loadedNames;
    GameDatabase written;
    ASSERT_EQ(LoadListFile(Dir() / "games.lst", loadedNames, written), ListKind::Quorrel);
    const GameRecord* record = written.Find(RomCrc(300000, 2));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->title, "Edit");
    EXPECT_EQ(record->flags, kPalTiming);

    const fs::path roms = Dir() / "roms";
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), (roms / "a.nes").string() + "\r\n" + (roms / "b.nes").string() + "\r\n" +
                                                 (roms / "c.nes").string() + "\r\n");

    const Bytes image = ReadFile(Dir() / "out.gba");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "cli.gba", "--splash", "ok.raw",
                           "--autonumber", "--flag190k", "--db", "games.lst", a.string(), b.string(), c.string()},
                          out, err),
              cli::kExitOk)
        << err.str();
    EXPECT_EQ(image, ReadFile(Dir() / "cli.gba"));
}

TEST_F(BuildTest, SavedListIsLeftAloneWhileItsBoxIsUnchecked) {
    Rom("a.nes");
    const std::string old = (Dir() / "a.nes").string() + "\r\n" + "old line\r\n";
    WriteFile(Dir() / "saved.txt", old);
    WriteSettings("savelist=1\r\noutputfile=out.gba\r\n");
    Open();
    ASSERT_EQ(List()->count(), 1);
    Click(ControlId::RestoreList);
    Build();
    EXPECT_TRUE(fs::exists(Dir() / "out.gba"));
    EXPECT_EQ(ReadText(Dir() / "saved.txt"), old);
}

// Where the emulator image is looked for: a located file is stored with its full path; a
// relative path is resolved in the directory current at the build, not at the start.
TEST_F(BuildTest, EmulatorImageIsLocatedOnceOrFoundInTheCurrentDirectory) {
    const fs::path located = Dir() / "emu" / "real.gba";
    fs::create_directories(located.parent_path());
    WriteFile(located, PatternBytes(64, 3));
    fs::create_directories(Dir() / "other");
    WriteFile(Dir() / "other" / "Vantaro.GBA", PatternBytes(64, 5));
    fs::remove(Dir() / "Vantaro.GBA");
    Rom("a.nes");
    WriteSettings("outputfile=" + (Dir() / "out.gba").string() + "\r\n");
    const auto start = [&](std::uint32_t seed) {
        const Bytes image = ReadFile(Dir() / "out.gba");
        return image.size() >= 64 && Bytes(image.begin(), image.begin() + 64) == PatternBytes(64, seed);
    };
    Open();
    Drop({Q(Dir() / "a.nes")});
    dialogs.Choose({Q(located)});
    Build();
    EXPECT_EQ(LocateRequests(), 1);
    EXPECT_EQ(Setting("vantaro"), located.string());
    EXPECT_TRUE(start(3));

    WriteSettings("outputfile=" + (Dir() / "out.gba").string() + "\r\n");
    Reopen();
    Drop({Q(Dir() / "a.nes")});
    CurrentDirectory elsewhere(Dir() / "other");
    Build();
    EXPECT_EQ(LocateRequests(), 1);
    EXPECT_TRUE(start(5));
}

// One build per case in a fresh folder holding Vantaro.GBA and a.nes; every file dialog is
// cancelled. "%DIR%" stands for the folder. A case whose preparation cannot work here is skipped.
struct MessageCase {
    const char* name;
    std::string settings;
    std::string output; // typed into the output path box
    bool (*prepare)(const fs::path& dir);
    std::vector<ShownMessage> expected;
    std::optional<std::uint64_t> imageSize; // none: no image is written
    int locateRequests;
};

void PrintTo(const MessageCase& test, std::ostream* out) {
    *out << test.name;
}

std::string Expand(std::string text, const fs::path& dir) {
    for (std::size_t at; (at = text.find("%DIR%")) != std::string::npos;)
        text.replace(at, 5, dir.string());
    return text;
}

class BuildMessageTest : public BuildTest, public ::testing::WithParamInterface<MessageCase> {};

const ShownMessage kCantOpen{Q("Can't open Vantaro.GBA."), Q("Oh no!"), QMessageBox::Critical};
const ShownMessage kDatabaseWarning{Q("Can't write to %DIR%/locked/games.lst."), Q("Oh no!"), QMessageBox::Warning};
constexpr std::uint64_t kPlainImage = kEmulatorInImage + kRomRecord;

// clang-format off
const MessageCase kMessageCases[] = {
    {"EmulatorMissing", "", "out.gba", [](const fs::path& dir) { return fs::remove(dir / "Vantaro.GBA"); },
     {kCantOpen}, std::nullopt, 1},
    // No caption is given: the application's name shows. A failed write keeps an existing
    // output as it was.
    {"OutputReadOnly", "", "old.gba",
     [](const fs::path& dir) {
         WriteFile(dir / "old.gba", "old image");
         fs::permissions(dir / "old.gba", fs::perms::owner_read);
         return true;
     },
     {{Q("Can't write to old.gba."), Q("brimble"), QMessageBox::Critical}}, std::nullopt, 0},
    {"SplashWrongFormat", "usesplash=1\r\nsplashfile=bad.raw\r\n", "out.gba",
     [](const fs::path& dir) { WriteFile(dir / "bad.raw", PatternBytes(76801, 2)); return true; },
     {{Q("Skipping splash screen.\n(wrong format)"), Q("Oh no!"), QMessageBox::Warning}, kDone}, kPlainImage, 0},
    // An empty splash box with "splash screen" checked leaves the splash out silently.
    {"SplashPathEmpty", "usesplash=1\r\n", "out.gba", nullptr, {kDone}, kPlainImage, 0},
    // The database's folder is a file.
    {"DatabaseFolderIsAFile", "quorrel=%DIR%/locked/games.lst\r\n", "out.gba",
     [](const fs::path& dir) { WriteFile(dir / "locked", "a file"); return true; },
     {kDatabaseWarning, kDone}, kPlainImage, 0},
};
// clang-format on

TEST_P(BuildMessageTest, ShowsItsMessagesAndStoresTheOutputPathFirst) {
    const MessageCase& test = GetParam();
    if (test.prepare != nullptr && !test.prepare(Dir()))
        GTEST_SKIP() << "permissions do not stop this user from writing";
    Rom("a.nes");
    WriteSettings(Expand(test.settings, Dir()));
    const fs::path output = Dir() / test.output;
    const bool existed = fs::exists(output);
    const Bytes before = existed ? ReadFile(output) : Bytes{};
    Open();
    Drop({Q(Dir() / "a.nes")});
    Get<QLineEdit>(ControlId::OutputPath)->setText(Q(test.output.c_str()));

    Build();
    std::vector<ShownMessage> expected = test.expected;
    for (ShownMessage& message : expected)
        message.text = Q(Expand(message.text.toStdString(), Dir()).c_str());
    EXPECT_EQ(Shown(dialogs), expected);
    EXPECT_EQ(LocateRequests(), test.locateRequests);
    // Stored before anything was opened, read back from the file.
    EXPECT_EQ(Setting("outputfile"), test.output);
    EXPECT_EQ(window->isVisible(), !test.imageSize.has_value());
    if (test.imageSize)
        EXPECT_EQ(fs::file_size(output), *test.imageSize);
    else
        EXPECT_EQ(existed ? ReadFile(output) : Bytes{}, before);
    EXPECT_EQ(fs::exists(output), existed || test.imageSize.has_value());

    // Writable again, so that the folder can be removed everywhere.
    std::error_code ignored;
    fs::permissions(output, fs::perms::owner_all, ignored);
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildMessageTest, ::testing::ValuesIn(kMessageCases),
                         [](const auto& param) { return std::string(param.param.name); });

// The progress dialog appears only once the build has lasted half a second; it names the ROM
// being written, is modal and has no cancel button. Timers run inside the build, which lets
// events through at every ROM.
TEST_F(BuildTest, LongBuildShowsModalProgressNamingTheRom) {
    for (std::uint32_t i = 0; i < 4; ++i)
        Rom("rom" + std::to_string(i) + ".nes", 1024, i + 1);
    GameDatabase records;
    records.Store(RomCrc(1024, 2), Record("Caf\xE9"));
    WriteDatabaseFile(Dir() / "games.lst", records);
    WriteSettings("outputfile=out.gba\r\nquorrel=games.lst\r\n");
    Open();
    Drop({Q(Dir() / "rom0.nes"), Q(Dir() / "rom1.nes"), Q(Dir() / "rom2.nes"), Q(Dir() / "rom3.nes")});

    // The progress dialog as seen at a moment: shown or hidden, modal, its buttons and label.
    const auto look = [this] {
        auto* progress = window->findChild<QProgressDialog*>();
        if (progress == nullptr)
            return Q("none");
        return QStringLiteral("%1 %2 buttons:%3 %4")
            .arg(progress->isVisible() ? Q("shown") : Q("hidden"), progress->isModal() ? Q("modal") : Q("modeless"))
            .arg(progress->findChildren<QPushButton*>().size())
            .arg(progress->labelText());
    };
    QString atStart;
    QString afterWait;
    std::function<void()> first = [&] {
        if (window->findChild<QProgressDialog*>() == nullptr) {
            QTimer::singleShot(0, first); // the build has not started yet
            return;
        }
        atStart = look();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        QTimer::singleShot(0, [&] { afterWait = look(); });
    };
    QTimer::singleShot(0, first);
    Build();

    EXPECT_TRUE(atStart.startsWith(Q("hidden "))) << atStart.toStdString();
    EXPECT_TRUE(atStart.endsWith(Q("Writing rom0..."))) << atStart.toStdString();
    EXPECT_EQ(afterWait.toStdString(), "shown modal buttons:0 Writing Caf\u00E9...");
    // Gone before "Done!".
    EXPECT_EQ(window->findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

} // namespace
} // namespace brimble::test
