// Turning a photo-sized JPEG into the raw splash: the time it takes and how much memory the
// conversion needs on top of what the process already holds. Linux only (reads /proc).

#include "samples/SampleFolder.h"
#include "splash/SplashSource.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace brimble;

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;

// A made-up photo: smooth gradients with fine noise, so that the JPEG has a realistic size.
Picture MakePhoto() {
    Picture photo;
    photo.width = kPhotoWidth;
    photo.height = kPhotoHeight;
    photo.channels = 3;
    photo.pixels.resize(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight * 3);
    std::uint32_t state = 2463534242u;
    std::size_t at = 0;
    for (int y = 0; y < kPhotoHeight; ++y) {
        for (int x = 0; x < kPhotoWidth; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state & 31) - 16;
            const int shade = ((x / 250 + y / 250) % 2) * 40;
            photo.pixels[at++] = static_cast<std::uint8_t>(std::clamp(x * 200 / kPhotoWidth + noise + shade, 0, 255));
            photo.pixels[at++] = static_cast<std::uint8_t>(std::clamp(y * 200 / kPhotoHeight + noise, 0, 255));
            photo.pixels[at++] = static_cast<std::uint8_t>(std::clamp(120 + noise - shade, 0, 255));
        }
    }
    return photo;
}

class BenchFiles {
public:
    BenchFiles() {
        m_jpeg = m_dir / "photo.jpg";
        WritePictureFile(m_jpeg, MakePhoto(), PictureFormat::Jpeg, 90);
        std::ifstream in(m_jpeg, std::ios::binary);
        m_jpegBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const fs::path& Jpeg() const { return m_jpeg; }
    const std::vector<std::uint8_t>& JpegBytes() const { return m_jpegBytes; }

private:
    samples::TempDir m_dir;
    fs::path m_jpeg;
    std::vector<std::uint8_t> m_jpegBytes;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM"), 0 when it cannot be read.
double StatusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1));
    }
    return 0;
}

// The memory one conversion needs beyond what the process held before it: the high-water mark
// is set back to the present size first, then read after the conversion.
double ConversionPeakMiB(const fs::path& jpeg) {
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
        if (!clear)
            return -1;
    }
    const double before = StatusKiB("VmRSS");
    const SplashData splash = LoadSplash(jpeg);
    benchmark::DoNotOptimize(splash.bytes.data());
    return (StatusKiB("VmHWM") - before) / 1024.0;
}

void BM_JpegFileToRawSplash(benchmark::State& state) {
    const BenchFiles& files = Files();
    for (auto _ : state) {
        const SplashData splash = LoadSplash(files.Jpeg());
        if (splash.status != SplashData::Status::Ready) {
            state.SkipWithError(splash.reason.c_str());
            break;
        }
        benchmark::DoNotOptimize(splash.bytes.data());
    }
    state.counters["jpeg_KiB"] = static_cast<double>(files.JpegBytes().size()) / 1024.0;
    state.counters["conversion_peak_MiB"] = ConversionPeakMiB(files.Jpeg());
    state.counters["process_peak_MiB"] = StatusKiB("VmHWM") / 1024.0;
}
BENCHMARK(BM_JpegFileToRawSplash)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same from bytes already in memory: the decoding and scaling alone.
void BM_JpegBytesToRawSplash(benchmark::State& state) {
    const BenchFiles& files = Files();
    for (auto _ : state) {
        const SplashData splash = ConvertPicture(files.JpegBytes());
        benchmark::DoNotOptimize(splash.bytes.data());
    }
}
BENCHMARK(BM_JpegBytesToRawSplash)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
