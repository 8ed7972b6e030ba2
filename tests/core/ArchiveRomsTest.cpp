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
using test::ZipEntry;

// A member name written with '/' as the path of that member inside archive.
fs::path Member(const fs::path& archive, const char8_t* name) {
    return JoinPath(archive, fs::path(name).make_preferred());
}

std::vector<RomEntry> Entries(const fs::path& path) {
    std::vector<RomEntry> entries;
    for (const FoundRom& found : FindRoms(path)) {
        if (found.inspection.status != RomInspectionStatus::Accepted)
            continue;
        const auto parts = SplitPath(found.path);
        entries.push_back(MakeRomEntry(parts->first, parts->second, found.inspection, NameTable{}, GameDatabase{}));
    }
    return entries;
}

// Games as plain files in plain/ and the same games zipped in zips/: one archive of several
// members in folders beside a read-me (code-page name, stored and deflated), one ZIP64 archive
// with a data descriptor.
class ArchiveRomsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "plain" / "sub");
        fs::create_directory(dir / "zips");
        alpha = test::WriteNesFile(dir / "plain" / "Super_Alpha_(U).nes", 40977 - 16, 1);
        beta = test::WriteNesFile(dir / "plain" / "sub" / u8"Caf\u00e9.nes", 8192 + 1, 2);
        gamma = test::WriteNesFile(dir / "plain" / "Gamma.nes", 70000, 3);
        test::WriteZip(dir / "zips" / "Set.zip", {{.name = "Super_Alpha_(U).nes", .data = alpha},
                                                  {.name = "read me.txt", .data = {'h', 'i'}},
                                                  {.name = "sub/", .method = 0},
                                                  {.name = "sub/Caf\x82.nes", .data = beta, .method = 0}});
        test::WriteZip(dir / "zips" / "One.zip", {{.name = "Gamma.nes", .data = gamma, .dataDescriptor = true}},
                       {.zip64 = true});
    }

    fs::path Plain(const char8_t* name) const { return Member(dir / "plain", name); }
    fs::path Zipped(const char* archive, const char8_t* name) const { return Member(dir / "zips" / archive, name); }

    test::TempDir dir;
    Bytes alpha, beta, gamma;
};

TEST_F(ArchiveRomsTest, WhatCannotBeAddedGivesItsReason) {
    const Bytes set = test::ReadFile(dir / "zips" / "Set.zip");
    test::WriteFile(dir / "zips" / "Cut.zip", Bytes(set.begin(), set.begin() + 60));
    test::WriteFile(dir / "zips" / "Text.ZIP", std::string_view("not an archive"));
    fs::copy_file(dir / "zips" / "Set.zip", dir / "zips" / "Set.bin"); // known by its first bytes
    test::WriteZip(dir / "zips" / "Docs.zip", {{.name = "read me.txt", .data = {'h', 'i'}}});
    test::WriteZip(dir / "zips" / "Locked.zip", {{.name = "Locked.nes", .data = alpha, .method = 0, .flags = 1},
                                                 {.name = "Open.nes", .data = beta}});
    using enum RomInspectionStatus;
    const struct {
        fs::path path;
        std::vector<std::pair<fs::path, RomInspectionStatus>> found;
    } cases[] = {
        {dir / "zips" / "Cut.zip", {{dir / "zips" / "Cut.zip", DamagedArchive}}},
        {dir / "zips" / "Text.ZIP", {{dir / "zips" / "Text.ZIP", DamagedArchive}}},
        {dir / "zips" / "Set.bin",
         {{Zipped("Set.bin", u8"Super_Alpha_(U).nes"), Accepted},
          {Zipped("Set.bin", u8"sub/Caf\u00e9.nes"), Accepted}}},
        {dir / "zips" / "Docs.zip", {{dir / "zips" / "Docs.zip", NoNesMember}}},
        {dir / "zips" / "Locked.zip",
         {{Zipped("Locked.zip", u8"Locked.nes"), Encrypted}, {Zipped("Locked.zip", u8"Open.nes"), Accepted}}},
        // Member paths that name nothing, or no game.
        {Zipped("Set.zip", u8"Absent.nes"), {{Zipped("Set.zip", u8"Absent.nes"), CannotOpen}}},
        {Zipped("Set.zip", u8"sub"), {{Zipped("Set.zip", u8"sub"), CannotOpen}}},
        {Zipped("Set.zip", u8"read me.txt"), {{Zipped("Set.zip", u8"read me.txt"), NotNesFile}}},
        {Zipped("Cut.zip", u8"Super_Alpha_(U).nes"), {{Zipped("Cut.zip", u8"Super_Alpha_(U).nes"), DamagedArchive}}},
        {dir / "zips" / "none" / "x.nes", {{dir / "zips" / "none" / "x.nes", CannotOpen}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(PathToStoredText(c.path));
        const std::vector<FoundRom> found = FindRoms(c.path);
        ASSERT_EQ(found.size(), c.found.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].path, c.found[i].first);
            EXPECT_EQ(found[i].inspection.status, c.found[i].second);
        }
    }
}

TEST_F(ArchiveRomsTest, TheImageFromArchivesIsTheImageFromTheUnpackedFiles) {
    const Bytes emulator = test::PatternBytes(1001, 9);
    test::WriteFile(dir / "Vantaro.GBA", emulator);
    auto build = [&](const std::vector<fs::path>& roms, const char* output) {
        CompilationJob job;
        job.output = dir / output;
        job.emulatorPath = dir / "Vantaro.GBA";
        job.savedList = dir / (std::string(output) + ".txt");
        job.autonumber = true;
        job.flag190k = true;
        for (const fs::path& rom : roms) {
            const std::vector<RomEntry> entries = Entries(rom);
            job.entries.insert(job.entries.end(), entries.begin(), entries.end());
        }
        return test::WriteImage(job);
    };
    const auto zipped = build({dir / "zips" / "Set.zip", dir / "zips" / "One.zip"}, "zipped.gba");
    const auto plain =
        build({Plain(u8"Super_Alpha_(U).nes"), Plain(u8"sub/Caf\u00e9.nes"), Plain(u8"Gamma.nes")}, "plain.gba");
    ASSERT_EQ(zipped.outcome, WriteOutcome::ImageWritten);
    ASSERT_EQ(plain.outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(zipped.written.size(), 3u);
    EXPECT_EQ(test::ReadFile(dir / "zipped.gba"), test::ReadFile(dir / "plain.gba"));
    // The saved list names the members, so a restore reads them again.
    EXPECT_EQ(test::ReadText(dir / "zipped.gba.txt"),
              PathToStoredText(Zipped("Set.zip", u8"Super_Alpha_(U).nes")) + "\r\n" +
                  PathToStoredText(Zipped("Set.zip", u8"sub/Caf\u00e9.nes")) + "\r\n" +
                  PathToStoredText(Zipped("One.zip", u8"Gamma.nes")) + "\r\n");

    // Writing over the archive that holds a member, even one in a folder, is writing over an input.
    for (const char* archive : {"Set.zip", "One.zip"}) {
        CompilationJob job;
        job.output = dir / "zips" / archive;
        job.emulatorPath = dir / "Vantaro.GBA";
        job.entries = Entries(dir / "zips" / archive);
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable) << archive;
        EXPECT_EQ(FindRoms(dir / "zips" / archive).size(), job.entries.size());
    }
}

} // namespace
} // namespace brimble
