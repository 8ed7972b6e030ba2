#include "PanelRules.h"

#include "builder/CompilationWriter.h"

#include <algorithm>
#include <system_error>

namespace brimble {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountNonDigits(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !IsDigit(c); }));
}

} // namespace

std::string FormatKib(std::uint64_t bytes) {
    return std::to_string(bytes / 1024) + "k";
}

std::string FormatMib(std::uint64_t bytes) {
    constexpr std::uint64_t kMib = 1u << 20;
    const std::uint64_t tenths = (bytes % kMib * 10 + kMib - 1) / kMib;
    const std::uint64_t whole = bytes / kMib + tenths / 10;
    return std::to_string(whole) + "." + std::to_string(tenths % 10);
}

std::int32_t ReadFollowBox(std::string_view text, std::int32_t current) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i]))
        return current;
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

bool AcceptFollowEdit(std::string_view before, std::string_view after) {
    if (CountNonDigits(after) > CountNonDigits(before))
        return false;
    return after.size() <= kFollowBoxDigits || after.size() < before.size();
}

bool IsRefusedTitleCharacter(char32_t character) {
    return character == U'\u00AC' || character == U'\r' || character == U'\n';
}

OptionControls ShowFlags(RomOptionFlags flags) {
    return OptionControls{
        .ppuSpeedHack = (flags & kPpuSpeedHack) != 0,
        .noCpuSpeedHack = (flags & kNoCpuSpeedHack) != 0,
        .palTiming = (flags & kPalTiming) != 0,
        .followMemory = (flags & kFollowMemory) != 0,
    };
}

RomOptionFlags CommitFlags(const OptionControls& controls) {
    RomOptionFlags flags = 0;
    if (controls.noCpuSpeedHack)
        flags |= kNoCpuSpeedHack;
    if (controls.ppuSpeedHack)
        flags |= kPpuSpeedHack;
    if (controls.palTiming)
        flags |= kPalTiming;
    if (controls.followMemory)
        flags |= kFollowMemory;
    return flags;
}

void CommitDetails(RomEntry& entry, const OptionControls& controls, std::string_view followText) {
    entry.follow = ReadFollowBox(followText, entry.follow);
    entry.flags = CommitFlags(controls);
}

std::uint64_t TotalWithSplash(std::uint64_t total, bool splash) {
    return splash ? total + kSplashSize : total;
}

std::optional<std::uint64_t> EmulatorImageSize(const std::filesystem::path& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return std::nullopt;
    return (static_cast<std::uint64_t>(size) + 3u) & ~std::uint64_t{3};
}

std::uint64_t PlannedImageSize(std::uint64_t romTotal, bool splash, const std::filesystem::path& emulator) {
    return TotalWithSplash(romTotal, splash) + EmulatorImageSize(emulator).value_or(0);
}

bool ExceedsCartridge(std::uint64_t imageSize) {
    return imageSize > kMaxCartridgeSize;
}

} // namespace brimble
