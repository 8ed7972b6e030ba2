#include "catalogue/NesFile.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace brimble {
namespace {

// A sparse file on disk: its size is refused before any of it is read.
TEST(NesFileTooLarge, FileOfFiveGigabytesIsRefusedWithoutReadingIt) {
    test::TempDir dir;
    const auto path = dir / "huge.nes";
    test::WriteNesFile(path, 0);
    std::filesystem::resize_file(path, 5ull << 30);
    const RomInspection inspection = InspectRom(path);
    EXPECT_EQ(inspection.status, RomInspectionStatus::TooLarge);
    EXPECT_EQ(inspection.size, 0u);
}

} // namespace
} // namespace brimble
