// Writing a compilation image against a plain copy of the same bytes, and the peak memory
// of the process while doing it (the image is streamed, so it must not grow with the image).

#include "PeakMemory.h"
#include "builder/CompilationWriter.h"
#include "samples/SampleFiles.h"
#include "samples/SampleFolder.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace brimble;

constexpr std::size_t kRomFileSize = 256 * 1024;
constexpr std::size_t kEmulatorSize = 256 * 1024;
constexpr std::size_t kMaxRoms = 128; // 128 x 256 KiB: a 32 MiB image

// The synthetic inputs, made once for all benchmarks and removed at exit.
class BenchFiles {
public:
    BenchFiles() {
        m_emulator = m_dir / "Vantaro.GBA";
        WritePattern(m_emulator, kEmulatorSize, 1, false);
        for (std::size_t i = 0; i < kMaxRoms; ++i) {
            const std::string name = "game" + std::to_string(i) + ".nes";
            WritePattern(m_dir / name, kRomFileSize, static_cast<std::uint32_t>(i + 2), true);
            RomEntry entry;
            entry.directory = m_dir.Path();
            entry.fileName = name;
            entry.title = "Game " + std::to_string(i);
            entry.size = static_cast<std::uint32_t>(kRomFileSize + kRomHeaderSize);
            entry.crc = static_cast<std::uint32_t>(i);
            m_entries.push_back(entry);
        }
    }
    const fs::path& Dir() const { return m_dir.Path(); }
    const fs::path& Emulator() const { return m_emulator; }
    const std::vector<RomEntry>& Entries() const { return m_entries; }

private:
    static void WritePattern(const fs::path& path, std::size_t size, std::uint32_t seed, bool nesHeader) {
        std::vector<std::uint8_t> bytes = samples::PatternBytes(size, seed);
        if (nesHeader) {
            const std::uint8_t header[4] = {'N', 'E', 'S', 0x1A};
            std::copy(header, header + 4, bytes.begin());
        }
        samples::WriteFile(path, bytes);
    }

    samples::TempDir m_dir;
    fs::path m_emulator;
    std::vector<RomEntry> m_entries;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

void BM_WriteCompilation(benchmark::State& state) {
    const BenchFiles& files = Files();
    const auto romCount = static_cast<std::size_t>(state.range(0));
    CompilationJob job;
    job.output = files.Dir() / "out.gba";
    job.emulatorPath = files.Emulator();
    job.entries.assign(files.Entries().begin(), files.Entries().begin() + static_cast<std::ptrdiff_t>(romCount));
    job.autonumber = true;
    job.flag190k = true;

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

// The same input bytes read whole and appended to one output with fread/fwrite; with sync,
// the output is also put on the disk as the writer's atomic file does before its rename.
void PlainCopy(benchmark::State& state, bool sync) {
    const BenchFiles& files = Files();
    const auto romCount = static_cast<std::size_t>(state.range(0));
    std::vector<fs::path> inputs{files.Emulator()};
    for (std::size_t i = 0; i < romCount; ++i)
        inputs.push_back(files.Entries()[i].FullPath());

    std::array<char, 64 * 1024> buffer;
    std::uint64_t copied = 0;
    for (auto _ : state) {
        copied = 0;
        std::FILE* out = std::fopen((files.Dir() / "plain.gba").c_str(), "wb");
        if (!out) {
            state.SkipWithError("cannot create the copy");
            break;
        }
        for (const fs::path& input : inputs) {
            std::FILE* in = std::fopen(input.c_str(), "rb");
            if (!in)
                continue;
            std::size_t count;
            while ((count = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
                std::fwrite(buffer.data(), 1, count, out);
                copied += count;
            }
            std::fclose(in);
        }
        std::fflush(out);
        if (sync)
            fsync(fileno(out));
        std::fclose(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * copied));
    state.counters["image_MiB"] = static_cast<double>(copied) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = bench::PeakRssMiB();
}

void BM_PlainCopy(benchmark::State& state) {
    PlainCopy(state, false);
}
void BM_PlainCopySynced(benchmark::State& state) {
    PlainCopy(state, true);
}

// Smaller images first: the peak memory reported after the 32 MiB image shows whether it grew.
BENCHMARK(BM_WriteCompilation)->Arg(8)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopy)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopySynced)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
