#include "support/ZipWriter.h"

#include <fstream>
#include <stdexcept>
#include <zlib.h>

namespace brimble::test {
namespace {

void Put(Bytes& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Append(Bytes& out, const Bytes& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
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
    stream.reserve(stream.size() + block.size() * mebibytes);
    for (std::uint64_t i = 2; i <= mebibytes; ++i)
        Append(stream, block);
    Append(stream, deflater.Run({}, Z_FINISH));
    return stream;
}

Bytes MakeZip(const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    Bytes archive;
    Bytes directory;
    const std::uint32_t all = 0xFFFFFFFFu;
    for (const ZipEntry& entry : entries) {
        const Bytes packed = entry.packed ? *entry.packed : entry.method == 8 ? Deflate(entry.data) : entry.data;
        const std::uint64_t size = entry.size.value_or(entry.data.size());
        const std::uint32_t crc =
            entry.crc.value_or(static_cast<std::uint32_t>(crc32_z(0, entry.data.data(), entry.data.size())));
        const std::uint16_t flags = static_cast<std::uint16_t>(entry.flags | (entry.dataDescriptor ? 0x0008 : 0));
        const std::uint16_t version = layout.zip64 ? 45 : 20;
        const std::uint64_t offset = archive.size();

        // Local header; a data descriptor leaves CRC and sizes to the bytes after the data.
        Put(archive, 0x04034B50, 4);
        Put(archive, version, 2);
        Put(archive, flags, 2);
        Put(archive, entry.method, 2);
        Put(archive, 0x6000, 2); // 12:00
        Put(archive, 0x5A21, 2); // 2025-01-01
        Put(archive, entry.dataDescriptor ? 0 : crc, 4);
        Put(archive, layout.zip64 ? all : entry.dataDescriptor ? 0 : packed.size(), 4);
        Put(archive, layout.zip64 ? all : entry.dataDescriptor ? 0 : size, 4);
        Put(archive, entry.name.size(), 2);
        Put(archive, layout.zip64 ? 20 : 0, 2);
        AppendText(archive, entry.name);
        if (layout.zip64) {
            Put(archive, 0x0001, 2);
            Put(archive, 16, 2);
            Put(archive, entry.dataDescriptor ? 0 : size, 8);
            Put(archive, entry.dataDescriptor ? 0 : packed.size(), 8);
        }
        Append(archive, packed);
        if (entry.dataDescriptor) {
            Put(archive, 0x08074B50, 4);
            Put(archive, crc, 4);
            Put(archive, packed.size(), layout.zip64 ? 8 : 4);
            Put(archive, size, layout.zip64 ? 8 : 4);
        }

        Put(directory, 0x02014B50, 4);
        Put(directory, version, 2);
        Put(directory, version, 2);
        Put(directory, flags, 2);
        Put(directory, entry.method, 2);
        Put(directory, 0x6000, 2);
        Put(directory, 0x5A21, 2);
        Put(directory, crc, 4);
        Put(directory, layout.zip64 ? all : packed.size(), 4);
        Put(directory, layout.zip64 ? all : size, 4);
        Put(directory, entry.name.size(), 2);
        Put(directory, layout.zip64 ? 28 : 0, 2);
        Put(directory, 0, 2); // comment
        Put(directory, 0, 2); // disk
        Put(directory, 0, 2); // internal attributes
        Put(directory, 0, 4); // external attributes
        Put(directory, layout.zip64 ? all : offset, 4);
        AppendText(directory, entry.name);
        if (layout.zip64) {
            Put(directory, 0x0001, 2);
            Put(directory, 24, 2);
            Put(directory, size, 8);
            Put(directory, packed.size(), 8);
            Put(directory, offset, 8);
        }
    }

    const std::uint64_t directoryOffset = archive.size();
    Append(archive, directory);
    if (layout.zip64) {
        const std::uint64_t endOffset = archive.size();
        Put(archive, 0x06064B50, 4);
        Put(archive, 44, 8);
        Put(archive, 45, 2);
        Put(archive, 45, 2);
        Put(archive, 0, 4);
        Put(archive, 0, 4);
        Put(archive, entries.size(), 8);
        Put(archive, entries.size(), 8);
        Put(archive, directory.size(), 8);
        Put(archive, directoryOffset, 8);
        Put(archive, 0x07064B50, 4);
        Put(archive, 0, 4);
        Put(archive, endOffset, 8);
        Put(archive, 1, 4);
    }
    Put(archive, 0x06054B50, 4);
    Put(archive, 0, 2);
    Put(archive, 0, 2);
    Put(archive, layout.zip64 ? 0xFFFF : entries.size(), 2);
    Put(archive, layout.zip64 ? 0xFFFF : entries.size(), 2);
    Put(archive, layout.zip64 ? all : directory.size(), 4);
    Put(archive, layout.zip64 ? all : directoryOffset, 4);
    Put(archive, layout.comment.size(), 2);
    AppendText(archive, layout.comment);
    return archive;
}

void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries, const ZipLayout& layout) {
    const Bytes archive = MakeZip(entries, layout);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace brimble::test
