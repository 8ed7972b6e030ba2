// Inspects arbitrary bytes as a ROM, as a stream and as a ROM source, in memory, and checks the
// findings against a plain reading of the same bytes.
#include "catalogue/Crc32.h"
#include "catalogue/NesFile.h"
#include "catalogue/RomEntry.h"
#include "catalogue/RomSource.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>

namespace {

// The bytes as a ROM source, as a file or an archive member would give them, in pieces.
class MemorySource final : public brimble::RomSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    brimble::RomInspectionStatus Read(const brimble::ByteSink& sink) override {
        for (std::size_t at = 0; at < m_bytes.size(); at += 4093) {
            if (!sink(m_bytes.subspan(at, std::min<std::size_t>(4093, m_bytes.size() - at))))
                break;
        }
        return brimble::RomInspectionStatus::Accepted;
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

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

    MemorySource source(bytes);
    check(brimble::InspectRom(source));
    return 0;
}
