#include "samples/ZipWriter.h"

#include "samples/SampleFolder.h"

#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <zlib.h>

namespace brimble::samples {
namespace {

// Each value little-endian in as many bytes as the digit of widths at its place says.
void Put(Bytes& out, std::string_view widths, std::initializer_list<std::uint64_t> values) {
    const auto* value = values.begin();
    for (const char width : widths) {
        for (int i = 0; i < width - '0'; ++i)
            out.push_back(static_cast<std::uint8_t>(*value >> (8 * i)));
        ++value;
    }
}

void Append(Bytes& out, const auto& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Deflates with the given flush after the input; the stream is kept between calls.
class RawDeflater {
public:
    RawDeflater() {
        if (deflateInit2(&m_stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2");
    }
    ~RawDeflater() { deflateEnd(&m_stream); }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;

    Bytes Run(const Bytes& input, int flush) {
        Bytes out;
        m_stream.next_in = const_cast<Bytef*>(input.data());
        m_stream.avail_in = static_cast<uInt>(input.size());
        std::uint8_t chunk[16384];
        int result = Z_OK;
        do {
            m_stream.next_out = chunk;
            m_stream.avail_out = sizeof chunk;
            result = deflate(&m_stream, flush);
            out.insert(out.end(), chunk, chunk + (sizeof chunk - m_stream.avail_out));
        } while (m_stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        return out;
    }

private:
    z_stream m_stream{};
};

} // namespace

Bytes Deflate(const Bytes& data) {
    return RawDeflater().Run(data, Z_FINISH);
}

Bytes DeflatedZeros(std::uint64_t mebibytes) {
    // After a full flush the compressor starts afresh, so every further mebibyte of zeros packs
    // to the same bytes as the one before it.
    RawDeflater deflater;
    const Bytes zeros(1u << 20, 0);
    Bytes stream = deflater.Run(zeros, Z_FULL_FLUSH);
    const Bytes block = deflater.Run(zeros, Z_FULL_FLUSH);
    for (std::uint64_t i = 2; i <= mebibytes; ++i)
        Append(stream, block);
    Append(stream, deflater.Run({}, Z_FINISH));
    return stream;
}

Bytes MakeZip(const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    Bytes archive;
    Bytes directory;
    const bool z64 = layout.zip64;
    const std::uint64_t all = 0xFFFFFFFFu;
    const std::uint64_t version = z64 ? 45 : 20;
    const std::uint64_t time = 0x6000, date = 0x5A21; // 2025-01-01 12:00
    for (const ZipEntry& entry : entries) {
        const Bytes packed = entry.packed ? *entry.packed : entry.method == 8 ? Deflate(entry.data) : entry.data;
        const std::uint64_t size = entry.size.value_or(entry.data.size());
        const std::uint64_t crc = entry.crc.value_or(crc32_z(0, entry.data.data(), entry.data.size()));
        const std::uint64_t flags = entry.flags | (entry.dataDescriptor ? 0x0008 : 0);
        const std::uint64_t offset = archive.size();
        // A data descriptor leaves CRC and sizes of the local header to the bytes after the data.
        const bool later = entry.dataDescriptor;

        const std::uint64_t localPacked = z64 ? all : later ? 0 : packed.size();
        const std::uint64_t localSize = z64 ? all : later ? 0 : size;
        Put(archive, "42222244422",
            {0x04034B50, version, flags, entry.method, time, date, later ? 0 : crc, localPacked, localSize,
             entry.name.size(), z64 ? 20u : 0u});
        Append(archive, entry.name);
        if (z64)
            Put(archive, "2288", {0x0001, 16, later ? 0 : size, later ? 0 : packed.size()});
        Append(archive, packed);
        if (later)
            Put(archive, z64 ? "4488" : "4444", {0x08074B50, crc, packed.size(), size});

        // The central header: no comment, disk 0, no attributes.
        Put(directory, "42222224442222244",
            {0x02014B50, version, version, flags, entry.method, time, date, crc, z64 ? all : packed.size(),
             z64 ? all : size, entry.name.size(), z64 ? 28u : 0u, 0, 0, 0, 0, z64 ? all : offset});
        Append(directory, entry.name);
        if (z64)
            Put(directory, "22888", {0x0001, 24, size, packed.size(), offset});
    }

    const std::uint64_t directoryOffset = archive.size();
    Append(archive, directory);
    if (z64) {
        const std::uint64_t endOffset = archive.size();
        Put(archive, "4822448888",
            {0x06064B50, 44, 45, 45, 0, 0, entries.size(), entries.size(), directory.size(), directoryOffset});
        Put(archive, "4484", {0x07064B50, 0, endOffset, 1});
    }
    Put(archive, "42222442",
        {0x06054B50, 0, 0, z64 ? 0xFFFF : entries.size(), z64 ? 0xFFFF : entries.size(), z64 ? all : directory.size(),
         z64 ? all : directoryOffset, layout.comment.size()});
    Append(archive, layout.comment);
    return archive;
}

void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    WriteFile(path, MakeZip(entries, layout));
}

} // namespace brimble::samples
