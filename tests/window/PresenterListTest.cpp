#include "PresenterTestSupport.h"
#include "catalogue/Paths.h"
#include "support/ZipWriter.h"

// Adding through the dialog and by drop, removing, moving and sorting.

namespace brimble::test {
namespace {

using Texts = std::vector<std::string>;

class ListTest : public PresenterTest {
protected:
    std::string LastDir() const { return Setting("lastdir"); }
};

TEST_F(ListTest, AddingOneFileThroughTheDialog) {
    const auto rom = Rom("roms/Game_(U).nes", 40976 - 16);
    WriteSettings("lastdir=/somewhere\r\n");
    Open();
    Add({rom});
    EXPECT_EQ(View().requests.at(0).initialDirectory, "/somewhere");
    ExpectShown(0, "Game");
    EXPECT_EQ(Text(ControlId::FileName), "Game_(U).nes");
    EXPECT_EQ(Text(ControlId::RomSize), "40k");
    EXPECT_EQ(Text(ControlId::Total), "40k");
    EXPECT_EQ(LastDir(), (Dir() / "roms").string());
}

TEST_F(ListTest, SeveralFilesArriveInTheDialogsOrderAndNonNesFilesAreSkipped) {
    Rom("z.nes", 100, 1);
    Rom("y.nes", 200, 2);
    WriteFile(Dir() / "text.nes", "not a ROM at all");
    Rom("first.nes", 300, 3);
    Open();
    Add({Dir() / "first.nes"});
    Add({Dir() / "z.nes", Dir() / "text.nes", Dir() / "missing.nes", Dir() / "y.nes"});
    EXPECT_EQ(Items(), (Texts{"first", "z", "y"}));
    // One message for the add, naming each file left out and why.
    EXPECT_EQ(View().messages,
              (std::vector<MessageRequest>{{"These files were not added:\n" + (Dir() / "text.nes").string() +
                                                ": is not an iNES file\n" + (Dir() / "missing.nes").string() +
                                                ": cannot be opened (No such file or directory)",
                                            "Oh no!", MessageIcon::Warning}}));
    // Adding to a list that has a selection leaves the selection and the panel alone.
    ExpectShown(0, "first");
}

TEST_F(ListTest, LastDirChangesWithEveryChosenFileEvenOneThatCannotBeAdded) {
    std::filesystem::create_directories(Dir() / "other");
    WriteFile(Dir() / "other" / "bad.nes", "nes\x1a lower case is no signature");
    WriteSettings("lastdir=/somewhere\r\n");
    Open();
    View().Cancel();
    Presenter().OnAdd();
    EXPECT_EQ(LastDir(), "/somewhere");
    Add({Dir() / "other" / "bad.nes"});
    EXPECT_TRUE(Items().empty());
    ExpectShown(-1, "");
    EXPECT_EQ(LastDir(), (Dir() / "other").string());
}

// Each dropped file is taken from its own folder; onto an empty list the first file that
// could be added is shown; the first file's folder becomes lastdir.
TEST_F(ListTest, DroppedFilesAreEachTakenFromTheirOwnFolder) {
    WriteFile(Dir() / "junk.nes", "junk");
    Rom("one/a.nes", 1000, 1);
    Rom("two/b.nes", 2000, 2);
    Rom("one/b.nes", 5000, 5); // same name as the second file, in the first file's folder
    Open();
    Drop({Dir() / "junk.nes", Dir() / "one" / "a.nes", Dir() / "two" / "b.nes"});
    EXPECT_EQ(Items(), (Texts{"a", "b"}));
    ExpectShown(0, "a");
    EXPECT_EQ(Roms().At(1).directory, Dir() / "two");
    EXPECT_EQ(Roms().At(1).crc, RomCrc(2000, 2));
    EXPECT_EQ(LastDir(), Dir().string());
}

// An archive adds its games in its order, beside plain files; what archives refuse is named in
// the add's message; the panel names a member's archive; a saved list brings it back.
TEST_F(ListTest, ArchivesAddTheirGamesAndNameWhatTheyRefuse) {
    const auto alpha = MakeNesImage(1000, 1);
    const auto beta = MakeNesImage(2000, 2);
    WriteZip(Dir() / "Set.zip", {{.name = "Alpha_(U).nes", .data = alpha},
                                 {.name = "read me.txt", .data = {'h', 'i'}},
                                 {.name = "sub/Beta.nes", .data = beta, .method = 0}});
    WriteZip(Dir() / "Locked.zip", {{.name = "Gamma.nes", .data = alpha, .method = 0, .flags = 1}});
    WriteFile(Dir() / "Cut.zip", "PK\x03\x04 and nothing more");
    Rom("plain.nes", 500, 3);
    Open();
    Drop({Dir() / "Set.zip", Dir() / "Locked.zip", Dir() / "plain.nes", Dir() / "Cut.zip"});
    EXPECT_EQ(Items(), (Texts{"Alpha", "Beta", "plain"}));
    ExpectShown(0, "Alpha");
    EXPECT_EQ(Text(ControlId::FileName), "Alpha_(U).nes in Set.zip");
    EXPECT_EQ(Text(ControlId::Total), "3k");
    const std::string locked = PathToUtf8(JoinPath(Dir() / "Locked.zip", "Gamma.nes"));
    EXPECT_EQ(View().messages, (std::vector<MessageRequest>{{"These files were not added:\n" + locked +
                                                                 ": is encrypted\n" + PathToUtf8(Dir() / "Cut.zip") +
                                                                 ": is a damaged or truncated zip archive",
                                                             "Oh no!", MessageIcon::Warning}}));
    Select(2);
    EXPECT_EQ(Text(ControlId::FileName), "plain.nes");

    const std::filesystem::path member = Roms().At(1).FullPath();
    EXPECT_EQ(member, JoinPath(Dir() / "Set.zip", std::filesystem::path("sub/Beta.nes").make_preferred()));
    WriteFile(Dir() / "saved.txt", PathToStoredText(member) + "\r\n");
    WriteSettings("savelist=1\r\n");
    Open();
    EXPECT_EQ(Items(), (Texts{"Beta"}));
    EXPECT_EQ(Text(ControlId::FileName), "Beta.nes in Set.zip");
    Add({Dir() / "Set.zip"});
    EXPECT_EQ(Items(), (Texts{"Beta", "Alpha", "Beta"}));
    EXPECT_TRUE(View().messages.empty());
}

// Which entry is selected after a removal, and what the panel and the total show.
TEST_F(ListTest, RemovingKeepsSelectionTotalAndPanelInStep) {
    const struct {
        int selected;
        Texts left;
        int shownRow;
        const char* shown;
        const char* total;
    } cases[] = {
        {1, {"a", "c"}, 1, "c", "4k"}, // the follower takes its place: 1,064 + 3,064 bytes
        {2, {"a", "b"}, 1, "b", "3k"}, // the last one: the one before it
        {0, {"b", "c"}, 0, "b", "5k"},
    };
    for (const auto& c : cases) {
        OpenWithRoms({"a", "b", "c"});
        Select(c.selected);
        Presenter().OnRemove();
        EXPECT_EQ(Items(), c.left) << c.selected;
        ExpectShown(c.shownRow, c.shown);
        EXPECT_EQ(Text(ControlId::Total), c.total) << c.selected;
    }
}

TEST_F(ListTest, RemovingTheOnlyItemClearsThePanelAndAddingItAgainRestoresTheTotal) {
    Rom("a.nes", 1000);
    Open();
    Drop({Dir() / "a.nes"});
    EXPECT_TRUE(View().controls[ControlId::Title].enabled);
    Click(ControlId::PalTiming);
    Presenter().OnRemove();
    EXPECT_TRUE(Items().empty());
    ExpectShown(-1, "");
    EXPECT_EQ(Text(ControlId::FileName), "");
    EXPECT_EQ(Text(ControlId::RomSize), "");
    EXPECT_FALSE(View().controls[ControlId::Title].enabled);
    EXPECT_FALSE(Checked(ControlId::PalTiming));
    EXPECT_EQ(Text(ControlId::Total), "0k");
    Presenter().OnRemove(); // nothing selected: nothing happens
    Drop({Dir() / "a.nes"});
    EXPECT_EQ(Text(ControlId::Total), "1k");
}

TEST_F(ListTest, MovingSwapsWithTheNeighbourAndStopsAtTheEnds) {
    OpenWithRoms({"a", "b", "c"});
    EXPECT_FALSE(Presenter().OnMove(-1)); // the first one up
    EXPECT_EQ(Items(), (Texts{"a", "b", "c"}));
    EXPECT_TRUE(Presenter().OnMove(+1));
    EXPECT_EQ(Items(), (Texts{"b", "a", "c"}));
    ExpectShown(1, "a");
    EXPECT_TRUE(Presenter().OnMove(+5)); // only the sign counts
    ExpectShown(2, "a");
    EXPECT_FALSE(Presenter().OnMove(+1)); // the last one down
    EXPECT_TRUE(Presenter().OnMove(-3));
    EXPECT_EQ(Items(), (Texts{"b", "a", "c"}));
    ExpectShown(1, "a");
}

TEST_F(ListTest, SortOrdersByTitleCaseInsensitivelyAndKeepsEqualTitlesInOrder) {
    Rom("b.nes", 100, 1);
    Rom("one/Same.nes", 100, 5);
    Rom("two/same.nes", 100, 6);
    Open();
    Presenter().OnSort(); // an empty list: nothing happens
    ExpectShown(-1, "");
    Drop({Dir() / "one" / "Same.nes", Dir() / "b.nes", Dir() / "two" / "same.nes"});
    Select(2);
    Presenter().OnSort();
    EXPECT_EQ(Items(), (Texts{"b", "Same", "same"}));
    EXPECT_EQ(Roms().At(1).directory, Dir() / "one");
    EXPECT_EQ(Roms().At(2).directory, Dir() / "two");
    ExpectShown(0, "b");
}

} // namespace
} // namespace brimble::test
