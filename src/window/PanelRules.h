#pragma once

#include "catalogue/RomEntry.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The rules of the details panel and the total label: how sizes are shown, how the follow box
// and the title box take typed text, how the option controls map to an entry's flags, and when
// the total warns that the image outgrows a cartridge.

namespace brimble {

// The follow box takes at most this many typed digits.
inline constexpr std::size_t kFollowBoxDigits = 4;

// "%ik" of the byte count divided by 1024, the remainder dropped: 41024 gives "40k".
std::string FormatKib(std::uint64_t bytes);
// Mebibytes with one decimal, rounded up, so that a size beyond a limit never reads as the
// limit itself: 33,554,436 gives "32.1".
std::string FormatMib(std::uint64_t bytes);

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

// The size the image would have: the ROMs' records, the splash when it goes in, and the emulator
// image when it can be found. The red total, the window's question and brimble-cli's refusal
// all measure with it.
std::uint64_t PlannedImageSize(std::uint64_t romTotal, bool splash, const std::filesystem::path& emulator);

// True when an image of this many bytes fits no cartridge.
bool ExceedsCartridge(std::uint64_t imageSize);

} // namespace brimble
