#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brimble {

// Emulator options of one game, stored per entry, per database record and in each ROM
// header. Bits other than these pass through unchanged until the entry's details are
// committed from the window.
using RomOptionFlags = std::uint32_t;
inline constexpr RomOptionFlags kPpuSpeedHack = 0x01;   // "enable PPU speed hack"
inline constexpr RomOptionFlags kNoCpuSpeedHack = 0x02; // "disable CPU speed hack"
inline constexpr RomOptionFlags kPalTiming = 0x04;      // "use PAL timing"
inline constexpr RomOptionFlags kFollowMemory = 0x20;   // "follow mem"; clear: follow a sprite

// Titles are Windows-1252 bytes, at most 31 of them (the ROM header keeps a NUL-ended
// 32-byte field).
inline constexpr std::size_t kMaxTitleLength = 31;

// The bytes of a ROM header that precede each ROM in the image.
inline constexpr std::uint32_t kRomHeaderSize = 48;

// One game of the compilation list.
struct RomEntry {
    std::filesystem::path directory; // the folder that holds the file, as the caller gave it
    std::filesystem::path fileName;  // the file's name inside directory
    std::string title;               // Windows-1252, at most kMaxTitleLength bytes
    RomOptionFlags flags = 0;
    std::int32_t follow = 0;
    std::uint32_t size = 0; // padded file size plus kRomHeaderSize
    std::uint32_t crc = 0;  // CRC-32 of the bytes after the 16-byte iNES header

    std::filesystem::path FullPath() const;
};

// A text cut as a title field keeps it: at the first NUL, then to kMaxTitleLength bytes.
std::string ClampTitle(std::string_view text);

// The title derived from a GoodNES name or a file name (both Windows-1252): the first 31
// bytes, cut at the last '.', then from the second byte on '_' becomes a blank and '(' ends
// the title; one trailing blank is removed.
std::string MakeTitle(std::string_view source);

} // namespace brimble
