#pragma once

#include "catalogue/AtomicFile.h"
#include "catalogue/RomEntry.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace brimble {

inline constexpr std::uint32_t kSplashSize = 76800; // 240 x 160 pixels, 2 bytes each
// The largest GBA cartridge; an image beyond it fits no cartridge.
inline constexpr std::uint64_t kMaxCartridgeSize = 32u * 1024u * 1024u;
inline constexpr std::string_view kSplashWarning = "Skipping splash screen.\n(wrong format)";

// What a splash path gives the image: nothing (empty path or unreadable file: left out
// silently), the 76,800 bytes to write, or the wrong-format warning.
struct SplashData {
    enum class Status { Absent, Ready, WrongFormat };
    Status status = Status::Absent;
    std::vector<std::uint8_t> bytes; // kSplashSize bytes when Ready
    std::string reason;              // why it is not usable, for messages
};
using SplashLoader = std::function<SplashData(const std::filesystem::path&)>;

// The raw rule: a file whose padded size is exactly 76,800 bytes, padded with zeros.
SplashData LoadRawSplash(const std::filesystem::path& path);

enum class WriteOutcome { ImageWritten, OutputUnwritable };

// One ROM that went into the image.
struct WrittenRom {
    std::size_t position = 0; // 0-based list position
    std::string headerTitle;
    std::uint32_t crc = 0;
    std::uint32_t romLength = 0;
};

// A list position that the image goes without: its ROM could not be read when it was written.
struct LeftOutRom {
    std::size_t position = 0; // 0-based list position
    std::filesystem::path path;
    std::string problem; // why, for messages
};

// The reason given when a file to write is one that the build reads ("is one of the files the
// build reads").
std::error_code OutputIsAnInputError();

struct CompilationResult {
    WriteOutcome outcome = WriteOutcome::OutputUnwritable;
    std::error_code outputError; // why the output could not be written, when it was not
    std::vector<WrittenRom> written;
    std::vector<LeftOutRom> leftOut;          // in list order
    std::optional<std::string> splashLeftOut; // why the splash that was wanted is not in the image
    std::error_code savedListError;           // why the saved list that was wanted was not written
    std::uint64_t imageSize = 0;
};

struct CompilationJob {
    std::filesystem::path output;
    std::filesystem::path emulatorPath;             // the file behind emulatorImage; never overwritten
    std::optional<std::filesystem::path> splash;    // none: no splash wanted
    std::optional<std::filesystem::path> savedList; // none: the saved list is not touched
    std::vector<RomEntry> entries;                  // in list order
    bool autonumber = false;
    bool flag190k = false;
};

struct CompilationHooks {
    std::function<void(std::string_view)> warning;                                  // the splash warning, at most once
    std::function<void(std::size_t position, std::uint64_t bytesWritten)> progress; // optional
    SplashLoader splashLoader;                                                      // LoadRawSplash when empty
};

// Appends the whole source, then zero filler up to a multiple of 4. False on a read or
// write error.
bool CopyPadded(AtomicFile& destination, std::istream& source);

// Writes one list position: its saved-list line, its header and its ROM (a file, or a member of
// a zip archive), or nothing at all when the ROM cannot be opened (or no longer fits the header). The header's ROM
// length is the padded size measured now, so it always equals the bytes that follow.
struct RomRecordOutcome {
    bool written = false; // false: the position was left out
    bool failed = false;  // a read or write failed; the image must not be kept
    WrittenRom rom;
    std::string problem; // why the position was left out
};
RomRecordOutcome WriteRomRecord(const RomEntry& entry, AtomicFile& output, bool autonumber, bool flag190k,
                                std::size_t position, AtomicFile* savedList);

// Writes the image: emulator image, optional splash, then each ROM behind its header. The
// output and the saved list are replaced only when everything was written; an output that is
// the emulator image, the splash or one of the ROMs is refused before anything is written.
CompilationResult WriteCompilation(const CompilationJob& job, std::istream& emulatorImage,
                                   const CompilationHooks& hooks);

} // namespace brimble
