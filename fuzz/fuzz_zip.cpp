// Reads arbitrary bytes as a zip archive: its directory, then every member. Whatever the bytes,
// no member hands over more bytes than it declares (so never more than a cartridge), and a member
// read without complaint has exactly its declared size and CRC-32.
#include "catalogue/Crc32.h"
#include "catalogue/ZipArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    const brimble::ZipDirectory directory = brimble::ReadZipDirectory(stream);
    if (directory.status != brimble::ZipStatus::Ok && !directory.members.empty())
        std::abort();
    for (const brimble::ZipMember& member : directory.members) {
        std::uint64_t delivered = 0;
        std::uint32_t state = brimble::kCrc32Initial;
        const brimble::ZipStatus status =
            brimble::ReadZipMember(stream, member, [&](std::span<const std::uint8_t> bytes) {
                delivered += bytes.size();
                state = brimble::Crc32Update(state, bytes);
                return true;
            });
        if (delivered > member.size || delivered > brimble::kMaxZipMemberSize)
            std::abort();
        if (status == brimble::ZipStatus::Ok && (delivered != member.size || brimble::Crc32Finish(state) != member.crc))
            std::abort();
    }
    return 0;
}
