// Inspects arbitrary bytes as a ROM file, on disk and as a stream, and checks the findings
// against a plain reading of the same bytes.
#include "catalogue/Crc32.h"
#include "catalogue/NesFile.h"
#include "catalogue/RomEntry.h"
#include "catalogue/RomSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <sstream>
#include <string>

namespace {

std::filesystem::path TempPath() {
    // Parallel fuzzing jobs each get their own name.
    static const std::string name = "brimble-fuzz-ines-" + std::to_string(std::random_device{}()) + ".nes";
    return std::filesystem::temp_directory_path() / name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const bool signature = size >= 4 && data[0] == 'N' && data[1] == 'E' && data[2] == 'S' && data[3] == 0x1A;
    const std::uint32_t crc =
        size > brimble::kInesHeaderSize ? brimble::Crc32(bytes.subspan(brimble::kInesHeaderSize)) : 0u;
    const auto entrySize = static_cast<std::uint32_t>(((size + 3) & ~std::size_t{3}) + brimble::kRomHeaderSize);

    auto check = [&](const brimble::RomInspection& inspection) {
        if (!signature) {
            if (inspection.status != brimble::RomInspectionStatus::NotNesFile)
                std::abort();
            return;
        }
        if (inspection.status != brimble::RomInspectionStatus::Accepted || inspection.crc != crc ||
            inspection.size != entrySize)
            std::abort();
    };

    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    check(brimble::InspectRom(stream));
    if (brimble::IsNesFile(stream) != signature)
        std::abort();
    const auto padded = brimble::PaddedFileSize(stream);
    if (!padded || *padded + brimble::kRomHeaderSize != entrySize)
        std::abort();
    if (brimble::ComputeRomCrc(stream) != crc)
        std::abort();

    const std::filesystem::path path = TempPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            return 0;
    }
    check(brimble::InspectRom(path));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
}
