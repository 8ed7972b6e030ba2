#pragma once

#include "RomEntry.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {

// The largest GBA cartridge; an image beyond it fits no cartridge.
inline constexpr std::uint64_t kMaxCartridgeSize = 32u * 1024u * 1024u;
// The room a splash picture takes in the image (240 x 160 pixels, 2 bytes each).
inline constexpr std::uint64_t kSplashPictureBytes = 76800;
// The follow box takes at most this many typed digits.
inline constexpr std::size_t kFollowBoxDigits = 4;

// Compares two titles byte by byte as unsigned values, with 'A' to 'Z' counted as 'a' to
// 'z' and no other byte changed (no locale); a title that begins another sorts first.
// Negative, zero or positive like strcmp.
int CompareTitles(std::string_view left, std::string_view right);

// The compilation list as the window edits it: the entries in display order, the position
// of the entry that the details panel shows (-1 for none) and the running total of the
// entries' sizes. The window's list control mirrors it item for item.
class RomList {
public:
    std::size_t Count() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const std::vector<RomEntry>& Entries() const { return m_entries; }
    const RomEntry& At(std::size_t position) const { return m_entries.at(position); }
    RomEntry& At(std::size_t position) { return m_entries.at(position); }

    int Selection() const { return m_selection; }
    // The selected entry, or nothing.
    RomEntry* Selected();
    const RomEntry* Selected() const;
    // Sets the selection to a position of the list, or to -1; anything else is ignored.
    void Select(int position);

    // The sum of the sizes of all entries, in bytes.
    std::uint64_t Total() const { return m_total; }

    // Appends the entry and adds its size to the total. When nothing was selected, position
    // 0 becomes the selection and the result is true: the details panel must show it.
    bool Append(RomEntry entry);

    // Removes the selected entry and subtracts its size. The selection stays at the same
    // position, which now holds the next entry, or moves to the position before it when the
    // last entry went (-1 once the list is empty). The removed position, or nothing when
    // nothing was selected.
    std::optional<std::size_t> RemoveSelected();

    // Swaps the selected entry with its upper neighbour (negative delta) or its lower one
    // (zero or positive delta); only the sign counts. The selection follows the entry.
    // False when nothing was selected or the entry is already at that end.
    bool MoveSelected(int delta);

    // Orders the entries by CompareTitles, keeping entries with equal titles in their order,
    // and selects position 0. False on an empty list, which stays as it is.
    bool SortByTitle();

private:
    std::vector<RomEntry> m_entries;
    int m_selection = -1;
    std::uint64_t m_total = 0;
};

// "%ik" of the byte count divided by 1024, the remainder dropped: 41024 gives "40k".
std::string FormatKib(std::uint64_t bytes);

// The follow box read as the decimal number it shows: an optional sign, then decimal digits
// up to the first other character ("0012" gives 12, "08" gives 8, "-1" gives -1). A box that
// shows no number leaves the current value. Values beyond 32 bits keep their low 32 bits.
std::int32_t ReadFollowBox(std::string_view text, std::int32_t current);

// Whether an edit of the follow box from before to after is taken: typing adds digits only
// and at most up to kFollowBoxDigits characters; deleting is always taken, so a longer
// value shown from the database (or its minus sign) can still be edited away.
bool AcceptFollowEdit(std::string_view before, std::string_view after);

// Characters that the title box refuses: the list files' field separator and line ends.
bool IsRefusedTitleCharacter(char32_t character);

// The states of the details panel's four option controls.
struct OptionControls {
    bool ppuSpeedHack = false;   // "enable PPU speed hack"
    bool noCpuSpeedHack = false; // "disable CPU speed hack"
    bool palTiming = false;      // "use PAL timing"
    bool followMemory = false;   // "follow mem" (else "follow sprite")

    bool operator==(const OptionControls&) const = default;
};

// What the controls show for an entry's flags.
OptionControls ShowFlags(RomOptionFlags flags);
// The flags rebuilt from the controls alone; every other bit is dropped.
RomOptionFlags CommitFlags(const OptionControls& controls);

// Stores the panel into the entry: flags from the controls, follow from the box's text.
void CommitDetails(RomEntry& entry, const OptionControls& controls, std::string_view followText);

// The total shown in the window: the running total plus the splash picture while it is on.
std::uint64_t TotalWithSplash(std::uint64_t total, bool splash);

// The emulator image's size padded to a multiple of 4, or nothing when there is no such
// regular file.
std::optional<std::uint64_t> EmulatorImageSize(const std::filesystem::path& path);

// The size the image would have: the shown total plus the emulator image when known.
std::uint64_t EstimatedImageSize(std::uint64_t totalWithSplash, std::optional<std::uint64_t> emulatorSize);

// True when an image of this many bytes fits no cartridge.
bool ExceedsCartridge(std::uint64_t imageSize);

} // namespace brimble
