#include "catalogue/Paths.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

using std::filesystem::path;

const path::value_type kSep = path::preferred_separator;

path Native(std::string text) {
    // Test paths are written with '/', and turned into the platform's separator here.
    for (auto& c : text) {
        if (c == '/')
            c = static_cast<char>(kSep);
    }
    return path(text);
}

TEST(Paths, SplitTakesTheLastSeparatorAndJoinUndoesIt) {
    const auto parts = SplitPath(Native("/a/b/c.nes"));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->first, Native("/a/b"));
    EXPECT_EQ(parts->second, path("c.nes"));
    EXPECT_FALSE(SplitPath(path("no-separator.nes")));
    for (const char* line :
         {"/roms/Game.nes", "/top.nes", "C:/x.nes", "//server/share/x.nes", "relative/x.nes", "dir/"}) {
        const path original = Native(line);
        const auto split = SplitPath(original);
        ASSERT_TRUE(split) << line;
        EXPECT_EQ(JoinPath(split->first, split->second).native(), original.native()) << line;
    }
}

TEST(Paths, StoredTextIsUtf8AndOldAnsiTextStillReads) {
    const path name(u8"caf\u00e9 \u0142\u00f3d\u017a.nes");
    const std::string stored = PathToStoredText(name);
    EXPECT_EQ(stored, "caf\xC3\xA9 \xC5\x82\xC3\xB3\x64\xC5\xBA.nes");
    EXPECT_EQ(StoredTextToPath(stored), name);
    // Windows-1252 bytes that are not UTF-8 read as the characters they stand for.
    EXPECT_EQ(StoredTextToPath("caf\xE9.nes"), path(u8"caf\u00e9.nes"));
}

} // namespace
} // namespace brimble
