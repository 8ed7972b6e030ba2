#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Made-up files to try the programs on and to test them with: nothing here comes from a real
// game or emulator.
namespace brimble::samples {

using Bytes = std::vector<std::uint8_t>;

// Deterministic made-up bytes (xorshift); the same seed gives the same bytes on every system.
Bytes PatternBytes(std::size_t count, std::uint32_t seed);

// An iNES file: the 16-byte header ("NES", 0x1A, then the bank counts) followed by romBytes of
// PatternBytes(romBytes, seed).
Bytes MakeNesImage(std::size_t romBytes, std::uint32_t seed = 1, std::uint8_t prgBanks = 2, std::uint8_t chrBanks = 1);
// The CRC-32 of the ROM data of MakeNesImage(romBytes, seed), the CRC that games are known by.
std::uint32_t RomCrc(std::size_t romBytes, std::uint32_t seed = 1);

// A CRC as the list files write it: eight capital hex digits.
std::string Hex(std::uint32_t crc);
// A naming list's text: a title line, the games header, then one game line per (CRC, name).
std::string NamingList(const std::vector<std::pair<std::uint32_t, std::string>>& games);

} // namespace brimble::samples
