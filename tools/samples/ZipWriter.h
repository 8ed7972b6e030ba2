#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brimble::samples {

using Bytes = std::vector<std::uint8_t>;

// One member of an archive: by default its bytes deflated, with true sizes and CRC. Each
// optional field forges what the archive declares or holds.
struct ZipEntry {
    std::string name{}; // the name's bytes as the archive holds them
    Bytes data{};
    std::uint16_t method = 8;            // 0 stores data; 8 deflates it; any other is written as stored
    std::uint16_t flags = 0;             // added to the general-purpose flags (0x0800 UTF-8, 0x0001 encrypted)
    bool dataDescriptor = false;         // CRC and sizes after the data, zeros in the local header
    std::optional<Bytes> packed{};       // the bytes to hold instead of packing data
    std::optional<std::uint64_t> size{}; // the inflated size to declare instead of data's
    std::optional<std::uint32_t> crc{};  // the CRC to declare instead of data's
};

struct ZipLayout {
    bool zip64 = false;    // ZIP64 extra fields in every header, ZIP64 end record and locator
    std::string comment{}; // the archive comment after the end record
};

Bytes MakeZip(const std::vector<ZipEntry>& entries, const ZipLayout& layout = {});
void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries, const ZipLayout& layout = {});

// Raw deflate, as zip members hold it.
Bytes Deflate(const Bytes& data);
// A raw deflate stream of `mebibytes` MiB of zeros, made by repeating one flushed block, so a
// stream that inflates to gigabytes costs a few megabytes and no inflating to make.
Bytes DeflatedZeros(std::uint64_t mebibytes);

} // namespace brimble::samples
