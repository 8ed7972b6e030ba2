#pragma once

#include "NesFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace brimble {

// Where a ROM's bytes come from: a plain file, or a member of a zip archive. A member has a
// path of its own, the archive's path joined with the member's name, its '/' written as the
// platform's separator ("/home/ann/nes/Set.zip/sub/Game.nes"). Every ROM is opened here.

using ByteSink = std::function<bool(std::span<const std::uint8_t>)>;

// The bytes of one ROM, from its first byte.
class RomSource {
public:
    virtual ~RomSource() = default;

    // The number of bytes Read gives when it succeeds.
    virtual std::uint64_t Size() const = 0;

    // Hands the bytes in order to sink, which may stop the reading by returning false. Accepted
    // when every byte was read (or the sink stopped), else the reason the bytes are not to be
    // trusted; bytes already handed over must then be dropped.
    virtual RomInspectionStatus Read(const ByteSink& sink) = 0;
};

struct OpenedRom {
    RomInspectionStatus status = RomInspectionStatus::CannotOpen; // Accepted when source is set
    std::unique_ptr<RomSource> source;
    std::string problem{}; // why a file could not be opened (see InputFileProblem)
};

// Opens a ROM path: the plain file, or the member its path names.
OpenedRom OpenRom(const std::filesystem::path& path);

// The file on disk that holds the ROM: the path itself, or the archive of a member path.
std::filesystem::path RomFileOnDisk(const std::filesystem::path& path);

// Signature, CRC and entry size of what the source holds.
RomInspection InspectRom(RomSource& source);

// Opens the ROM path and inspects it.
RomInspection InspectRom(const std::filesystem::path& path);

// One ROM that a path gave, with what inspecting it found.
struct FoundRom {
    std::filesystem::path path; // the file, or the member's path
    RomInspection inspection;
};

// The ROMs a path names: a plain file gives itself; a zip archive gives each iNES member in the
// archive's order, and each member it cannot read with the reason. Members read and found not to
// be iNES files are skipped; an archive without any iNES member gives itself with NoNesMember,
// a damaged archive itself with DamagedArchive.
std::vector<FoundRom> FindRoms(const std::filesystem::path& path);

} // namespace brimble
