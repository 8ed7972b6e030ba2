#include "catalogue/AtomicFile.h"

#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

TEST(AtomicFile, ReplacesTheTargetOnlyAtCommitAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("old contents"));
    auto created = AtomicFile::Create(dir / "out.bin");
    ASSERT_TRUE(created);
    // A moved-from object must not take the temporary file with it.
    AtomicFile file = std::move(*created);
    created.reset();
    EXPECT_TRUE(file.Write(std::string_view("new")));
    EXPECT_TRUE(file.WriteZeros(3));
    EXPECT_EQ(file.Size(), 6u);
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "old contents");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(test::ReadText(dir / "out.bin"), std::string("new\0\0\0", 6));
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"out.bin"});
}

TEST(AtomicFile, DroppedWithoutCommitKeepsTheOldFile) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("keep me"));
    {
        auto file = AtomicFile::Create(dir / "out.bin");
        ASSERT_TRUE(file);
        file->Write(std::string_view("half a"));
    }
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "keep me");
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"out.bin"});
}

TEST(AtomicFile, MissingFolderFolderTargetAndReadOnlyTargetAreRefused) {
    test::TempDir dir;
    fs::create_directory(dir / "folder");
    test::WriteFile(dir / "locked.bin", std::string_view("keep"));
    fs::permissions(dir / "locked.bin", fs::perms::owner_write, fs::perm_options::remove);
    for (const fs::path& target : {dir / "missing" / "out.bin", dir / "folder", dir / "locked.bin"})
        EXPECT_FALSE(AtomicFile::Create(target)) << target;
    EXPECT_EQ(test::ReadText(dir / "locked.bin"), "keep");
    EXPECT_EQ(test::FileNames(dir.Path()), (Names{"folder", "locked.bin"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST(AtomicFile, CommitFailsWhenTheTargetCannotBeReplaced) {
    test::TempDir dir;
    auto file = AtomicFile::Create(dir / "target");
    ASSERT_TRUE(file);
    file->Write(std::string_view("x"));
    // A folder appearing where the file should go cannot be replaced by a file.
    fs::create_directory(dir / "target");
    test::WriteFile(dir / "target" / "inside", std::string_view("y"));
    EXPECT_FALSE(file->Commit());
    EXPECT_TRUE(fs::is_directory(dir / "target"));
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"target"});
}

} // namespace
} // namespace brimble
