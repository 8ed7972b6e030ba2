#include "catalogue/AtomicFile.h"

#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace brimble {
namespace {

std::size_t CountEntries(const std::filesystem::path& dir) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

TEST(AtomicFile, CommitReplacesTheTargetAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("old contents"));
    auto file = AtomicFile::Create(dir / "out.bin");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Write(std::string_view("new")));
    EXPECT_TRUE(file->WriteZeros(3));
    EXPECT_EQ(file->Size(), 6u);
    // Until the commit the old file is what a reader sees.
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "old contents");
    EXPECT_TRUE(file->Commit());
    EXPECT_EQ(test::ReadText(dir / "out.bin"), std::string("new\0\0\0", 6));
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(AtomicFile, DroppingWithoutCommitKeepsTheOldFile) {
    test::TempDir dir;
    test::WriteFile(dir / "out.bin", std::string_view("keep me"));
    {
        auto file = AtomicFile::Create(dir / "out.bin");
        ASSERT_TRUE(file);
        file->Write(std::string_view("half a"));
    }
    EXPECT_EQ(test::ReadText(dir / "out.bin"), "keep me");
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(AtomicFile, MovedFromObjectDoesNotRemoveTheTemporaryFile) {
    test::TempDir dir;
    auto first = AtomicFile::Create(dir / "moved.bin");
    ASSERT_TRUE(first);
    AtomicFile second = std::move(*first);
    first.reset();
    EXPECT_TRUE(second.Write(std::string_view("data")));
    EXPECT_TRUE(second.Commit());
    EXPECT_EQ(test::ReadText(dir / "moved.bin"), "data");
}

TEST(AtomicFile, CannotBeCreatedInAMissingFolderOrOverAFolder) {
    test::TempDir dir;
    EXPECT_FALSE(AtomicFile::Create(dir / "missing" / "out.bin"));
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(AtomicFile::Create(dir / "folder"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
}

TEST(AtomicFile, AReadOnlyTargetIsNotReplaced) {
    test::TempDir dir;
    test::WriteFile(dir / "locked.bin", std::string_view("keep"));
    std::filesystem::permissions(dir / "locked.bin", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(AtomicFile::Create(dir / "locked.bin"));
    EXPECT_EQ(test::ReadText(dir / "locked.bin"), "keep");
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(AtomicFile, CommitFailsWhenTheTargetCannotBeReplaced) {
    test::TempDir dir;
    auto file = AtomicFile::Create(dir / "target");
    ASSERT_TRUE(file);
    file->Write(std::string_view("x"));
    // A folder appearing where the file should go cannot be replaced by a file.
    std::filesystem::create_directory(dir / "target");
    test::WriteFile(dir / "target" / "inside", std::string_view("y"));
    EXPECT_FALSE(file->Commit());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "target"));
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

} // namespace
} // namespace brimble
