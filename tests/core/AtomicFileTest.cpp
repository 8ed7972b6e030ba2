#include "catalogue/AtomicFile.h"

#include "catalogue/Platform.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace brimble {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

TEST(AtomicFile, ReplacesTheTargetOnlyAtCommitAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("old contents"));
    {
        auto dropped = AtomicFile::Create(dir / "out.bin");
        ASSERT_TRUE(dropped && dropped->Write(std::string_view("dropped without commit")));
    }
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"out.bin"});
    auto created = AtomicFile::Create(dir / "out.bin");
    ASSERT_TRUE(created);
    // A moved-from object must not take the temporary file with it.
    AtomicFile file = std::move(*created);
    created.reset();
    EXPECT_TRUE(file.Write(std::string_view("new")) && file.WriteZeros(3));
    EXPECT_EQ(file.Size(), 6u);
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "old contents");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(test::ReadText(dir / "out.bin"), std::string("new\0\0\0", 6));
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"out.bin"});
}

TEST(AtomicFile, MissingFolderFolderTargetAndReadOnlyTargetAreRefused) {
    test::TempDir dir;
    fs::create_directory(dir / "folder");
    test::WriteFile(dir / "locked.bin", std::string_view("keep"));
    fs::permissions(dir / "locked.bin", fs::perms::owner_write, fs::perm_options::remove);
    for (const fs::path& target : {dir / "missing" / "out.bin", dir / "folder", dir / "locked.bin"})
        EXPECT_FALSE(AtomicFile::Create(target)) << target;
    EXPECT_EQ(test::FileNames(dir.Path()), (Names{"folder", "locked.bin"}));
}

// A temporary file is named after its process; one whose process has ended (no system hands out
// the id 2147483647, and 0 is never a process of its own) was left by a kill or a crash and goes
// at the next write beside the same target. Others are left alone.
TEST(AtomicFile, TemporariesOfEndedProcessesGoAtTheNextWriteBesideTheirTarget) {
    test::TempDir dir;
    const std::string self = std::to_string(platform::CurrentProcessId());
    const std::string ended = "2147483647";
    const Names kept = {"out.bin.tmp-" + self + "-1", "out.bin.tmp-notes", "out.bin.tmp-" + ended + "-x",
                        "other.bin.tmp-" + ended + "-1", "out.bin"};
    for (const std::string& name : kept)
        test::WriteFile(dir / name, std::string_view("x"));
    for (const std::string& id : {ended, std::string("0")})
        test::WriteFile(dir / ("out.bin.tmp-" + id + "-12"), std::string_view("left by a kill"));

    auto file = AtomicFile::Create(dir / "out.bin");
    ASSERT_TRUE(file);
    Names during = test::FileNames(dir.Path());
    std::erase_if(during, [&](const std::string& name) { return kept.contains(name); });
    EXPECT_TRUE(during.size() == 1 && during.begin()->starts_with("out.bin.tmp-" + self + "-")) << during.size();
    EXPECT_TRUE(file->Commit());
    EXPECT_EQ(test::FileNames(dir.Path()), kept);
}

// What an interrupt does before the process ends: the temporary file goes, even while open,
// and the target stays as it was.
TEST(AtomicFile, AnInterruptRemovesTheTemporaryFileOfAWriteUnderWay) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("old"));
#if defined(__SANITIZE_ADDRESS__)
    // The interrupt keeps the name it took, since freeing is no business of a signal handler and
    // the process ends right after it; here the process goes on.
    __lsan::ScopedDisabler nameKeptByTheInterrupt;
#endif
    auto file = AtomicFile::Create(dir / "out.bin");
    ASSERT_TRUE(file && file->Write(std::string_view("new")));
    RemoveTemporaryFilesNow();
    EXPECT_FALSE(file->Commit());
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"out.bin"});
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "old");
}

} // namespace
} // namespace brimble
