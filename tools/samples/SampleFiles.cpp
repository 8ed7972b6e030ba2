#include "samples/SampleFiles.h"

#include "catalogue/Crc32.h"

#include <cstdio>

namespace brimble::samples {

Bytes PatternBytes(std::size_t count, std::uint32_t seed) {
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

Bytes MakeNesImage(std::size_t romBytes, std::uint32_t seed, std::uint8_t prgBanks, std::uint8_t chrBanks) {
    Bytes image{'N', 'E', 'S', 0x1A, prgBanks, chrBanks, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes rom = PatternBytes(romBytes, seed);
    image.insert(image.end(), rom.begin(), rom.end());
    return image;
}

std::uint32_t RomCrc(std::size_t romBytes, std::uint32_t seed) {
    return Crc32(PatternBytes(romBytes, seed));
}

std::string Hex(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", crc);
    return text;
}

std::string NamingList(const std::vector<std::pair<std::uint32_t, std::string>>& games) {
    // A game line: a first byte, the name, four fields, the CRC field and an empty last field,
    // each ended by the Windows-1252 NOT SIGN.
    const std::string sep = "\xAC";
    std::string text = "Naming list\r\n[GAMES]\r\n";
    for (const auto& [crc, name] : games)
        text += "\x01" + name + sep + "a" + sep + "b" + sep + "c" + sep + "d" + sep + Hex(crc) + sep + "\r\n";
    return text;
}

} // namespace brimble::samples
