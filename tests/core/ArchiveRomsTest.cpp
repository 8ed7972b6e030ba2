#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "catalogue/RomSource.h"
#include "samples/ZipWriter.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// Games as plain files and zipped beside them: Set.zip of several members in folders beside a
// read-me (code-page name, stored and deflated, one longer than a read part).
class ArchiveRomsTest : public ::testing::Test {
protected:
    void SetUp() override {
        alpha = test::WriteNesFile(dir / "Super_Alpha_(U).nes", 70001, 1);
        beta = test::WriteNesFile(dir / u8"Caf\u00e9.nes", 8192 + 1, 2);
        test::WriteZip(dir / "Set.zip", {{.name = "Super_Alpha_(U).nes", .data = alpha},
                                         {.name = "read me.txt", .data = {'h', 'i'}},
                                         {.name = "sub/", .method = 0},
                                         {.name = "sub/Caf\x82.nes", .data = beta, .method = 0}});
    }

    fs::path Zipped(const char* archive, const char8_t* name) const {
        return JoinPath(dir / archive, fs::path(name).make_preferred());
    }

    test::TempDir dir;
    Bytes alpha, beta;
};

TEST_F(ArchiveRomsTest, WhatCannotBeAddedGivesItsReason) {
    const Bytes set = test::ReadFile(dir / "Set.zip");
    test::WriteFile(dir / "Cut.zip", Bytes(set.begin(), set.begin() + 60));
    test::WriteFile(dir / "Text.ZIP", std::string_view("not an archive"));
    fs::copy_file(dir / "Set.zip", dir / "Set.bin"); // known by its first bytes
    test::WriteZip(dir / "Docs.zip", {{.name = "read me.txt", .data = {'h', 'i'}}});
    test::WriteZip(dir / "Locked.zip",
                   {{.name = "Locked.nes", .data = alpha, .flags = 1}, {.name = "Open.nes", .data = beta}});
    using enum RomInspectionStatus;
    using Found = std::vector<std::pair<fs::path, RomInspectionStatus>>;
    const std::pair<fs::path, Found> cases[] = {
        {dir / "Cut.zip", {{dir / "Cut.zip", DamagedArchive}}},
        {dir / "Text.ZIP", {{dir / "Text.ZIP", DamagedArchive}}},
        {dir / "Set.bin",
         {{Zipped("Set.bin", u8"Super_Alpha_(U).nes"), Accepted},
          {Zipped("Set.bin", u8"sub/Caf\u00e9.nes"), Accepted}}},
        {dir / "Docs.zip", {{dir / "Docs.zip", NoNesMember}}},
        {dir / "Locked.zip",
         {{Zipped("Locked.zip", u8"Locked.nes"), Encrypted}, {Zipped("Locked.zip", u8"Open.nes"), Accepted}}},
        {Zipped("Set.zip", u8"Absent.nes"), {{Zipped("Set.zip", u8"Absent.nes"), CannotOpen}}},
        {Zipped("Set.zip", u8"sub"), {{Zipped("Set.zip", u8"sub"), CannotOpen}}},
        {Zipped("Set.zip", u8"read me.txt"), {{Zipped("Set.zip", u8"read me.txt"), NotNesFile}}},
        {Zipped("Cut.zip", u8"Super_Alpha_(U).nes"), {{Zipped("Cut.zip", u8"Super_Alpha_(U).nes"), DamagedArchive}}},
    };
    for (const auto& [path, expected] : cases) {
        Found found;
        for (const FoundRom& rom : FindRoms(path))
            found.emplace_back(rom.path, rom.inspection.status);
        EXPECT_EQ(found, expected) << PathToStoredText(path);
    }
}

TEST_F(ArchiveRomsTest, TheImageFromArchivesIsTheImageFromTheUnpackedFiles) {
    test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(1001, 9));
    CompilationJob job;
    job.emulatorPath = dir / "Vantaro.GBA";
    job.autonumber = true;
    job.flag190k = true;
    auto build = [&](const std::vector<fs::path>& roms, const fs::path& output) {
        job.output = output;
        job.savedList = fs::path(output).concat(".txt");
        job.entries.clear();
        for (const fs::path& rom : roms)
            job.entries.push_back(*AddRom(rom.parent_path(), rom.filename(), NameTable{}, GameDatabase{}));
        return test::WriteImage(job);
    };
    const fs::path members[] = {Zipped("Set.zip", u8"Super_Alpha_(U).nes"), Zipped("Set.zip", u8"sub/Caf\u00e9.nes")};
    ASSERT_EQ(build({std::begin(members), std::end(members)}, dir / "zipped.gba").written.size(), 2u);
    build({dir / "Super_Alpha_(U).nes", dir / u8"Caf\u00e9.nes"}, dir / "plain.gba");
    EXPECT_EQ(test::ReadFile(dir / "zipped.gba"), test::ReadFile(dir / "plain.gba"));
    // The saved list names the members, so a restore reads them again.
    EXPECT_EQ(test::ReadText(dir / "zipped.gba.txt"),
              PathToStoredText(members[0]) + "\r\n" + PathToStoredText(members[1]) + "\r\n");
    // Writing over the archive that holds a member, even one in a folder, is writing over an input.
    EXPECT_EQ(build({members[1]}, dir / "Set.zip").outcome, WriteOutcome::OutputUnwritable);
}

} // namespace
} // namespace brimble
