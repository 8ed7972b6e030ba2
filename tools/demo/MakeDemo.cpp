// Writes a folder of made-up sample files to try the tool on: synthetic iNES files, a
// stand-in emulator image, a splash picture, a naming list, a game database, a brimble.ini
// and a saved list. Nothing here comes from a real game or emulator.
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "samples/SampleFiles.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using brimble::samples::Bytes;

bool Write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool Write(const std::filesystem::path& path, const std::string& text) {
    return Write(path, Bytes(text.begin(), text.end()));
}

struct DemoRom {
    const char* fileName;
    std::uint8_t prgBanks; // 16 KiB each
    std::uint8_t chrBanks; // 8 KiB each
};

const DemoRom kRoms[] = {
    {"Cave_Runner_(U).nes", 2, 1},  {"Moon Harvest (E) [!].nes", 1, 1}, {"Pixel_Knight_(J).nes", 8, 0},
    {"Turbo Snail (U).nes", 16, 0}, {"Lantern_Keeper_(U).nes", 4, 0},   {"Sky Garden.nes", 2, 2},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brimble-make-demo FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "roms", error);
    if (error) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    std::vector<std::uint32_t> crcs;
    std::string savedList;
    std::uint32_t seed = 7;
    for (const auto& rom : kRoms) {
        const std::size_t romBytes = rom.prgBanks * 16384u + rom.chrBanks * 8192u;
        crcs.push_back(brimble::samples::RomCrc(romBytes, seed));
        const Bytes image = brimble::samples::MakeNesImage(romBytes, seed++, rom.prgBanks, rom.chrBanks);
        ok = Write(folder / "roms" / rom.fileName, image) && ok;
        savedList += brimble::PathToStoredText(brimble::JoinPath("roms", rom.fileName)) + "\r\n";
    }

    // A stand-in emulator image whose length is not a multiple of 4, so the filler shows.
    std::string banner = "BRIMBLE DEMO STAND-IN IMAGE. NOT AN EMULATOR.";
    Bytes emulator(banner.begin(), banner.end());
    const Bytes body = brimble::samples::PatternBytes(98304 - emulator.size() + 1, 1);
    emulator.insert(emulator.end(), body.begin(), body.end());
    ok = Write(folder / "Vantaro.GBA", emulator) && ok;

    // A raw splash picture: a colour gradient in the GBA's 15-bit colour.
    Bytes splash;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            const unsigned colour = (x * 31 / 239) | ((y * 31 / 159) << 5) | (((x + y) * 31 / 398) << 10);
            splash.push_back(static_cast<std::uint8_t>(colour & 0xFF));
            splash.push_back(static_cast<std::uint8_t>(colour >> 8));
        }
    }
    ok = Write(folder / "splash.raw", splash) && ok;

    ok = Write(folder / "names.dat", brimble::samples::NamingList({{crcs[0], "Cave Runner (U)"},
                                                                   {crcs[1], "Moon Harvest (E) [!]"},
                                                                   {crcs[4], "Lantern Keeper (U) [b1]"}})) &&
         ok;

    brimble::GameDatabase database;
    database.Store(crcs[2], brimble::GameRecord{"Pixel Knight", brimble::ColourCode::Green, "demo record", 33, 5});
    ok = brimble::WriteGameDatabase(folder / "goodQuorrel.lst", database) && ok;

    ok = Write(folder / "brimble.ini", std::string("[config]\r\nvantaro=Vantaro.GBA\r\noutputfile=demo.gba\r\n"
                                                   "goodnes=names.dat\r\nquorrel=goodQuorrel.lst\r\nsavelist=1\r\n"
                                                   "autonumber=1\r\nflag190k=1\r\nusesplash=1\r\n"
                                                   "splashfile=splash.raw\r\n")) &&
         ok;
    ok = Write(folder / "saved.txt", savedList) && ok;

    if (!ok) {
        std::fprintf(stderr, "cannot write the demo files in %s\n", argv[1]);
        return 1;
    }
    std::printf("demo files written to %s\n", argv[1]);
    return 0;
}
