// Adding ROMs and building an image from zip archives, against the same ROMs as plain files:
// 1,000 ROMs added one archive each, and a 32 MiB image built from zipped ROMs.

#include "PeakMemory.h"
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "samples/SampleFiles.h"
#include "samples/SampleFolder.h"
#include "samples/ZipWriter.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace brimble;

constexpr std::size_t kAddedRoms = 1000;
constexpr std::size_t kAddedRomSize = 40 * 1024 + 16;
constexpr std::size_t kBuiltRoms = 128; // 128 x 256 KiB: a 32 MiB image
constexpr std::size_t kBuiltRomSize = 256 * 1024;

// Made-up ROMs compress about as well as real ones when half of each is a repeated pattern.
samples::Bytes RomBytes(std::size_t size, std::uint32_t seed) {
    samples::Bytes bytes = samples::PatternBytes(size, seed);
    for (std::size_t i = size / 2; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 61);
    bytes[0] = 'N', bytes[1] = 'E', bytes[2] = 'S', bytes[3] = 0x1A;
    return bytes;
}

// The inputs, made once for all benchmarks and removed at exit.
class BenchFiles {
public:
    BenchFiles() {
        fs::create_directories(m_dir / "plain");
        fs::create_directories(m_dir / "zips");
        samples::WriteFile(Emulator(), samples::PatternBytes(256 * 1024, 1));
        for (std::size_t i = 0; i < kAddedRoms; ++i)
            Add("Game " + std::to_string(i), RomBytes(kAddedRomSize, static_cast<std::uint32_t>(i + 2)), m_added);
        for (std::size_t i = 0; i < kBuiltRoms; ++i)
            Add("Big " + std::to_string(i), RomBytes(kBuiltRomSize, static_cast<std::uint32_t>(i + 5000)), m_built);
    }
    struct Set {
        std::vector<fs::path> plain;
        std::vector<fs::path> zipped;
    };
    const Set& Added() const { return m_added; }
    const Set& Built() const { return m_built; }
    fs::path Emulator() const { return m_dir / "Vantaro.GBA"; }
    fs::path Output() const { return m_dir / "out.gba"; }

private:
    void Add(const std::string& name, const samples::Bytes& rom, Set& set) {
        set.plain.push_back(m_dir / "plain" / (name + " (U).nes"));
        samples::WriteFile(set.plain.back(), rom);
        set.zipped.push_back(m_dir / "zips" / (name + ".zip"));
        samples::WriteZip(set.zipped.back(), {{.name = name + " (U).nes", .data = rom}});
    }

    samples::TempDir m_dir;
    Set m_added;
    Set m_built;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

std::vector<RomEntry> AddAll(const std::vector<fs::path>& paths) {
    std::vector<RomEntry> entries;
    for (const fs::path& path : paths) {
        for (const FoundRom& found : FindRoms(path)) {
            const auto parts = SplitPath(found.path);
            if (found.inspection.status == RomInspectionStatus::Accepted && parts)
                entries.push_back(MakeRomEntry(parts->first, parts->second, found.inspection, {}, {}));
        }
    }
    return entries;
}

void AddRoms(benchmark::State& state, bool zipped) {
    const auto& set = Files().Added();
    for (auto _ : state) {
        const std::vector<RomEntry> entries = AddAll(zipped ? set.zipped : set.plain);
        if (entries.size() != kAddedRoms)
            state.SkipWithError("not every ROM was added");
    }
    state.counters["roms"] = static_cast<double>(kAddedRoms);
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}
void BM_AddPlainRoms(benchmark::State& state) {
    AddRoms(state, false);
}
void BM_AddZippedRoms(benchmark::State& state) {
    AddRoms(state, true);
}
BENCHMARK(BM_AddPlainRoms)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddZippedRoms)->Unit(benchmark::kMillisecond)->UseRealTime();

void Build(benchmark::State& state, bool zipped) {
    const BenchFiles& files = Files();
    CompilationJob job;
    job.output = files.Output();
    job.emulatorPath = files.Emulator();
    job.entries = AddAll(zipped ? files.Built().zipped : files.Built().plain);
    std::uint64_t imageSize = 0;
    for (auto _ : state) {
        std::ifstream emulator(files.Emulator(), std::ios::binary);
        const CompilationResult result = WriteCompilation(job, emulator, {});
        if (result.outcome != WriteOutcome::ImageWritten) {
            state.SkipWithError("the image was not written");
            break;
        }
        imageSize = result.imageSize;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * imageSize));
    state.counters["image_MiB"] = static_cast<double>(imageSize) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}
void BM_BuildFromPlainRoms(benchmark::State& state) {
    Build(state, false);
}
void BM_BuildFromZippedRoms(benchmark::State& state) {
    Build(state, true);
}
BENCHMARK(BM_BuildFromPlainRoms)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildFromZippedRoms)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
