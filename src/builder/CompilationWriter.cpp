#include "CompilationWriter.h"

#include "RomHeader.h"
#include "catalogue/NesFile.h"
#include "catalogue/Paths.h"
#include "catalogue/RomSource.h"

#include <array>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>

namespace brimble {

namespace fs = std::filesystem;

namespace {

// Large enough that the copy costs little more than the system calls it makes, small enough
// to live on the stack: the image is streamed, never held in memory.
constexpr std::size_t kCopyChunkSize = 64 * 1024;

std::uint64_t RoundUpToFour(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}

// Opens a file for binary reading. A folder is refused here because some systems let a
// stream open one and then fail on the first read; it is as unreadable as a missing file.
bool OpenForReading(const fs::path& path, std::ifstream& stream) {
    std::error_code error;
    if (path.empty() || fs::is_directory(path, error))
        return false;
    stream.open(path, std::ios::binary);
    return stream.is_open();
}

// True when both paths name one file: the same file found through either name (hard links,
// symbolic links, differently spelled paths), or the same path once resolved, whether the
// file exists yet or not.
bool NamesSameFile(const fs::path& a, const fs::path& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) {
        const bool same = fs::equivalent(a, b, error);
        if (!error && same)
            return true;
    }
    std::error_code errorA;
    std::error_code errorB;
    const fs::path canonicalA = fs::weakly_canonical(a, errorA);
    const fs::path canonicalB = fs::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

// Every file the build reads; none of them may be the file it writes.
std::vector<fs::path> InputPaths(const CompilationJob& job) {
    std::vector<fs::path> inputs;
    inputs.reserve(job.entries.size() + 2);
    if (!job.emulatorPath.empty())
        inputs.push_back(job.emulatorPath);
    if (job.splash && !job.splash->empty())
        inputs.push_back(*job.splash);
    for (const RomEntry& entry : job.entries)
        inputs.push_back(RomFileOnDisk(entry.FullPath()));
    return inputs;
}

bool NamesAnyOf(const fs::path& path, const std::vector<fs::path>& others) {
    for (const fs::path& other : others) {
        if (NamesSameFile(path, other))
            return true;
    }
    return false;
}

CompilationResult Unwritable() {
    return CompilationResult{};
}

} // namespace

bool CopyPadded(AtomicFile& destination, std::istream& source) {
    source.clear();
    if (!source.seekg(0, std::ios::beg))
        return false;

    std::array<std::uint8_t, kCopyChunkSize> buffer;
    std::uint64_t total = 0;
    for (;;) {
        source.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(source.gcount());
        if (count > 0) {
            if (!destination.Write(std::span<const std::uint8_t>(buffer.data(), count)))
                return false;
            total += count;
        }
        if (source.bad())
            return false;
        if (!source)
            break;
    }
    // A short read ends the copy; only the end of the file may end it.
    if (!source.eof())
        return false;
    return destination.WriteZeros(static_cast<std::size_t>(RoundUpToFour(total) - total));
}

SplashData LoadRawSplash(const fs::path& path) {
    SplashData splash;
    std::ifstream stream;
    if (!OpenForReading(path, stream))
        return splash;

    const std::optional<std::uint64_t> padded = PaddedFileSize(stream);
    if (!padded)
        return splash;
    if (*padded != kSplashSize) {
        splash.status = SplashData::Status::WrongFormat;
        splash.reason = "the file holds " + std::to_string(*padded) +
                        " bytes once padded to a multiple of 4; a raw 240 x 160 picture holds " +
                        std::to_string(kSplashSize);
        return splash;
    }

    // File bytes, then zero filler up to the full picture.
    std::vector<std::uint8_t> bytes(kSplashSize, 0);
    stream.clear();
    stream.seekg(0, std::ios::beg);
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (stream.bad())
        return splash;
    splash.status = SplashData::Status::Ready;
    splash.bytes = std::move(bytes);
    return splash;
}

RomRecordOutcome WriteRomRecord(const RomEntry& entry, AtomicFile& output, bool autonumber, bool flag190k,
                                std::size_t position, AtomicFile* savedList) {
    RomRecordOutcome outcome;
    const fs::path path = entry.FullPath();
    OpenedRom rom = OpenRom(path);
    if (!rom.source)
        return outcome;

    // The size is measured again: the file may have changed since it was added, and the header
    // must give the number of bytes that really follow it.
    const std::uint64_t size = rom.source->Size();
    const std::uint64_t padded = RoundUpToFour(size);
    if (padded > std::numeric_limits<std::uint32_t>::max())
        return outcome;
    const auto romLength = static_cast<std::uint32_t>(padded);

    RomEntry measured;
    measured.title = entry.title;
    measured.size = static_cast<std::uint32_t>(padded + kRomHeaderSize);

    RomHeader header;
    header.title = FormatHeaderTitle(measured, position, autonumber, flag190k);
    header.romLength = romLength;
    header.flags = entry.flags;
    header.follow = entry.follow;

    // A saved list that cannot be written is not a reason to lose the image; its own commit
    // will fail and leave the old list in place.
    if (savedList != nullptr)
        savedList->Write(PathToStoredText(path) + "\r\n");

    outcome.written = true;
    outcome.rom = WrittenRom{position, header.title, entry.crc, romLength};

    const auto headerBytes = header.Serialize();
    if (!output.Write(std::span<const std::uint8_t>(headerBytes))) {
        outcome.failed = true;
        return outcome;
    }
    // Archive members are inflated straight into the image. A file that changed its length while
    // it was being copied, or a member that fails its check, would leave a header that lies.
    std::uint64_t copied = 0;
    bool written = true;
    const RomInspectionStatus read = rom.source->Read([&](std::span<const std::uint8_t> bytes) {
        written = output.Write(bytes);
        copied += bytes.size();
        return written;
    });
    if (!written || read != RomInspectionStatus::Accepted || copied != size ||
        !output.WriteZeros(static_cast<std::size_t>(padded - size)))
        outcome.failed = true;
    return outcome;
}

CompilationResult WriteCompilation(const CompilationJob& job, std::istream& emulatorImage,
                                   const CompilationHooks& hooks) {
    if (job.output.empty())
        return Unwritable();
    const std::vector<fs::path> inputs = InputPaths(job);
    if (NamesAnyOf(job.output, inputs))
        return Unwritable();

    std::optional<AtomicFile> output = AtomicFile::Create(job.output);
    if (!output)
        return Unwritable();

    if (!CopyPadded(*output, emulatorImage))
        return Unwritable();

    if (job.splash) {
        const SplashData splash = hooks.splashLoader ? hooks.splashLoader(*job.splash) : LoadRawSplash(*job.splash);
        const bool ready = splash.status == SplashData::Status::Ready && splash.bytes.size() == kSplashSize;
        if (ready) {
            if (!output->Write(std::span<const std::uint8_t>(splash.bytes)))
                return Unwritable();
        } else if (splash.status != SplashData::Status::Absent && hooks.warning) {
            hooks.warning(kSplashWarning);
        }
    }

    // The saved list is replaced only together with the image. It is never allowed to land on
    // the image or on one of the inputs.
    std::optional<AtomicFile> savedList;
    if (job.savedList && !NamesSameFile(*job.savedList, job.output) && !NamesAnyOf(*job.savedList, inputs))
        savedList = AtomicFile::Create(*job.savedList);

    CompilationResult result;
    for (std::size_t position = 0; position < job.entries.size(); ++position) {
        if (hooks.progress)
            hooks.progress(position, output->Size());
        RomRecordOutcome record = WriteRomRecord(job.entries[position], *output, job.autonumber, job.flag190k, position,
                                                 savedList ? &*savedList : nullptr);
        if (record.failed)
            return Unwritable();
        if (record.written)
            result.written.push_back(std::move(record.rom));
    }
    if (hooks.progress)
        hooks.progress(job.entries.size(), output->Size());

    result.imageSize = output->Size();
    if (!output->Commit())
        return Unwritable();
    if (savedList)
        savedList->Commit();
    result.outcome = WriteOutcome::ImageWritten;
    return result;
}

} // namespace brimble
