// CRC-32 throughput of a ROM against zlib's function, and the time to load a large naming list
// and a large game database.

#include "catalogue/Crc32.h"
#include "catalogue/GameTables.h"
#include "catalogue/ListFiles.h"
#include "catalogue/NesFile.h"
#include "samples/SampleFolder.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
using namespace brimble;

constexpr std::size_t kNamingLines = 10000;
constexpr std::size_t kDatabaseRecords = 5000;

std::vector<std::uint8_t> RandomBytes(std::size_t count) {
    std::mt19937 random(12345u);
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

const std::vector<std::uint8_t>& Buffer(std::size_t size) {
    static const std::vector<std::uint8_t> small = RandomBytes(1u << 20);
    static const std::vector<std::uint8_t> large = RandomBytes(16u << 20);
    return size == small.size() ? small : large;
}

// The CRC as the catalogue computes it for a ROM, through the project's function and through a
// stream as a ROM file is read, against zlib's own function on the same buffer.
void BM_Crc32(benchmark::State& state) {
    const auto& buffer = Buffer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32(buffer));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

void BM_RomCrcFromStream(benchmark::State& state) {
    const auto& buffer = Buffer(static_cast<std::size_t>(state.range(0)));
    std::istringstream stream(std::string(buffer.begin(), buffer.end()), std::ios::binary);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeRomCrc(stream));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_RomCrcFromStream)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

void BM_ZlibCrc32(benchmark::State& state) {
    const auto& buffer = Buffer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32_z(0, buffer.data(), buffer.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ZlibCrc32)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

// The two list files, written once into a temporary folder and removed at exit.
class BenchLists {
public:
    BenchLists() {
        std::mt19937 random(777u);

        std::string naming = "; made-up naming list\r\n[GAMES]\r\n";
        for (std::size_t i = 0; i < kNamingLines; ++i) {
            const std::string name = "Made-up Game " + std::to_string(i) + " (U) [!]";
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(random()));
            naming += "X" + name + "\xAC" + std::to_string(i % 7) + "\xAC" + "16\xAC" + "8\xAC" + "0\xAC" + crc +
                      "\xAC" + "deadbeef\r\n";
        }
        samples::WriteFile(NamingPath(), naming);

        GameDatabase database;
        for (std::size_t i = 0; i < kDatabaseRecords; ++i) {
            database.Store(static_cast<std::uint32_t>(random()),
                           GameRecord{"Made-up Game " + std::to_string(i), static_cast<ColourCode>(i % 4),
                                      i % 3 == 0 ? "Some details about the game" : "",
                                      static_cast<std::uint32_t>(i % 64), static_cast<std::int32_t>(i % 100)});
        }
        WriteGameDatabase(DatabasePath(), database);
    }
    fs::path NamingPath() const { return m_dir / "names.dat"; }
    fs::path DatabasePath() const { return m_dir / "goodQuorrel.lst"; }

private:
    samples::TempDir m_dir;
};

const BenchLists& Lists() {
    static const BenchLists lists;
    return lists;
}

void BM_LoadNamingList(benchmark::State& state) {
    const fs::path path = Lists().NamingPath();
    for (auto _ : state) {
        NameTable names;
        benchmark::DoNotOptimize(LoadGoodNesList(path, names));
        if (names.Size() == 0)
            state.SkipWithError("the naming list loaded no names");
    }
    state.counters["lines"] = static_cast<double>(kNamingLines);
}
BENCHMARK(BM_LoadNamingList)->Unit(benchmark::kMillisecond);

void BM_LoadDatabase(benchmark::State& state) {
    const fs::path path = Lists().DatabasePath();
    for (auto _ : state) {
        NameTable names;
        GameDatabase database;
        benchmark::DoNotOptimize(LoadListFile(path, names, database));
        if (database.Size() == 0)
            state.SkipWithError("the database loaded no records");
    }
    state.counters["records"] = static_cast<double>(kDatabaseRecords);
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMillisecond);

} // namespace
