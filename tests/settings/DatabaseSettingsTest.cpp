#include "settings/DatabaseSettings.h"

#include "settings/SettingsKeys.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace brimble {
namespace {

using test::CurrentDirectory;
using test::kSep;
using test::ReadText;
using test::TempDir;
using test::WriteFile;

std::string StoredText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A naming list with one game, 0x0123ABCD "Abc (U)".
std::string NamingList() {
    return std::string("comment\r\n[GAMES]\r\nxAbc (U)") + kSep + "a" + kSep + "b" + kSep + "c" + kSep + "d" + kSep +
           "0123ABCD" + kSep + "e\r\n";
}

// A database with one record, 0x0000BEEF "Beef".
std::string DatabaseList() {
    return DatabaseHeaderLine() + DatabaseRecordLine(0xBEEF, GameRecord{"Beef", ColourCode::Red, "notes", 33, -1});
}

// The two tables as the start-up fills them: the naming list, then the database.
struct Tables {
    NameTable names;
    GameDatabase database;
};

Tables LoadAtStart(const SettingsStore& store) {
    Tables tables;
    LoadGoodNesAtStart(store, tables.names);
    LoadGameDatabaseAtStart(store, tables.names, tables.database);
    return tables;
}

TEST(DatabaseSettings, MissingEmptyOrBlankKeyGetsTheDefaultPathBeforeLoading) {
    const struct {
        std::optional<std::string> settings; // nothing: no settings file yet
        bool databaseExists;
    } cases[] = {{std::nullopt, false},
                 {"[config]\r\nquorrel=\r\nflag190k=1\r\n", true},
                 {"[config]\r\nquorrel=   \r\nflag190k=1\r\n", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.value_or("no file"));
        TempDir dir;
        if (c.settings)
            WriteFile(dir / "brimble.ini", *c.settings);
        if (c.databaseExists)
            WriteFile(dir / "goodQuorrel.lst", DatabaseList());
        CurrentDirectory here(dir.Path());
        const SettingsStore store(dir / "brimble.ini");
        const auto [names, database] = LoadAtStart(store);
        const std::string key = "quorrel=" + StoredText(dir / "goodQuorrel.lst") + "\r\n";
        EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\n" + key + (c.settings ? "flag190k=1\r\n" : ""));
        EXPECT_EQ(DatabasePath(store), dir / "goodQuorrel.lst");
        EXPECT_EQ(names.Size(), 0u);
        EXPECT_EQ(database.Size(), c.databaseExists ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(dir / "goodQuorrel.lst"), c.databaseExists);
    }
}

TEST(DatabaseSettings, ConfiguredListsAreLoadedAsTheirKindAndTheFileIsNotTouched) {
    TempDir dir;
    WriteFile(dir / "names.dat", NamingList());
    WriteFile(dir / "my db.lst", DatabaseList());
    const std::string settings = "[config]\r\ngoodnes=" + StoredText(dir / "names.dat") +
                                 "\r\nquorrel = " + StoredText(dir / "my db.lst") + " \r\n";
    WriteFile(dir / "brimble.ini", settings);
    TempDir elsewhere;
    CurrentDirectory here(elsewhere.Path());
    const SettingsStore store(dir / "brimble.ini");
    const auto [names, database] = LoadAtStart(store);
    ASSERT_NE(names.Find(0x0123ABCD), nullptr);
    EXPECT_EQ(*names.Find(0x0123ABCD), "Abc (U)");
    ASSERT_NE(database.Find(0xBEEF), nullptr);
    EXPECT_EQ(database.Find(0xBEEF)->follow, -1);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), settings);
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "goodQuorrel.lst"));

    // The naming-list key is read only as a naming list, even when it names a database.
    WriteFile(dir / "brimble.ini", "[config]\r\ngoodnes=" + StoredText(dir / "my db.lst") + "\r\n");
    NameTable onlyNames;
    LoadGoodNesAtStart(store, onlyNames);
    EXPECT_EQ(onlyNames.Size(), 0u);
}

TEST(DatabaseSettings, SaveWritesToTheConfiguredFileOnly) {
    TempDir dir;
    GameDatabase database;
    database.Store(0xABCD, GameRecord{"Abc", ColourCode::Green, "", 0x21, 2});
    const SettingsStore store(dir / "brimble.ini");
    const auto save = [&](std::optional<std::filesystem::path> configured, DatabaseSaveResult::Status status) {
        if (configured)
            WritePathSetting(store, SettingKey::Quorrel, *configured);
        const DatabaseSaveResult result = SaveGameDatabase(store, database);
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(result.path, configured.value_or(std::filesystem::path()));
    };
    save(std::nullopt, DatabaseSaveResult::Status::NotConfigured);
    EXPECT_FALSE(std::filesystem::exists(dir / "brimble.ini"));
    save(dir / "out.lst", DatabaseSaveResult::Status::Written);
    EXPECT_EQ(ReadText(dir / "out.lst"), DatabaseHeaderLine() + DatabaseRecordLine(0xABCD, *database.Find(0xABCD)));
    save(dir / "missing" / "out.lst", DatabaseSaveResult::Status::Failed);
}

TEST(DatabaseSettings, ChosenListFileIsRecordedByWhatItTurnedOutToBe) {
    TempDir dir;
    WriteFile(dir / "names.dat", NamingList());
    WriteFile(dir / "db.lst", DatabaseList());
    WriteFile(dir / "empty.lst", "");
    CurrentDirectory here(dir.Path());
    const std::string original = "[config]\r\ngoodnes=old names\r\nquorrel=old db\r\n";
    WriteFile(dir / "brimble.ini", original);
    const SettingsStore store(dir / "brimble.ini");
    NameTable names;
    GameDatabase database;

    EXPECT_EQ(LoadChosenListFile(store, "empty.lst", names, database), ListKind::Nothing);
    EXPECT_EQ(LoadChosenListFile(store, dir / "absent.lst", names, database), ListKind::Nothing);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), original);

    // A relative choice is stored as the full path, so it survives a change of directory.
    EXPECT_EQ(LoadChosenListFile(store, "names.dat", names, database), ListKind::GoodNes);
    EXPECT_EQ(ReadPathSetting(store, SettingKey::GoodNes), dir / "names.dat");
    EXPECT_EQ(ReadSetting(store, SettingKey::Quorrel), "old db");
    EXPECT_EQ(names.Size(), 1u);

    EXPECT_EQ(LoadChosenListFile(store, dir / "db.lst", names, database), ListKind::Quorrel);
    EXPECT_EQ(ReadPathSetting(store, SettingKey::Quorrel), dir / "db.lst");
    EXPECT_EQ(ReadPathSetting(store, SettingKey::GoodNes), dir / "names.dat");
    EXPECT_EQ(database.Size(), 1u);
}

} // namespace
} // namespace brimble
