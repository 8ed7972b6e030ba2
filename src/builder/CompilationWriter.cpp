#include "CompilationWriter.h"

#include "RomHeader.h"
#include "catalogue/InputFile.h"
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

CompilationResult Unwritable(std::error_code why) {
    CompilationResult result;
    result.outputError = why;
    return result;
}

class BuildErrors : public std::error_category {
public:
    const char* name() const noexcept override { return "build"; }
    std::string message(int) const override { return "is one of the files the build reads"; }
};

} // namespace

std::error_code OutputIsAnInputError() {
    static const BuildErrors category;
    return {1, category};
}

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
    if (!OpenInputFile(path, stream, &splash.reason))
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
    if (!rom.source) {
        outcome.problem = DescribeRomInspection(RomInspection{rom.status, 0, 0, rom.problem});
        return outcome;
    }

    // The size is measured again: the file may have changed since it was added, and the header
    // must give the number of bytes that really follow it.
    const std::uint64_t size = rom.source->Size();
    const std::uint64_t padded = RoundUpToFour(size);
    if (padded > std::numeric_limits<std::uint32_t>::max()) {
        outcome.problem = DescribeRomInspection(RomInspectionStatus::TooLarge);
        return outcome;
    }
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
        return Unwritable(std::make_error_code(std::errc::no_such_file_or_directory));
    const std::vector<fs::path> inputs = InputPaths(job);
    if (NamesAnyOf(job.output, inputs))
        return Unwritable(OutputIsAnInputError());

    std::error_code error;
    std::optional<AtomicFile> output = AtomicFile::Create(job.output, error);
    if (!output)
        return Unwritable(error);

    // The emulator image is read through; a read error is the input's fault, not the output's.
    if (!CopyPadded(*output, emulatorImage))
        return Unwritable(output->Error() ? output->Error() : std::make_error_code(std::errc::io_error));

    CompilationResult result;
    if (job.splash) {
        const SplashData splash = hooks.splashLoader ? hooks.splashLoader(*job.splash) : LoadRawSplash(*job.splash);
        const bool ready = splash.status == SplashData::Status::Ready && splash.bytes.size() == kSplashSize;
        if (ready) {
            if (!output->Write(std::span<const std::uint8_t>(splash.bytes)))
                return Unwritable(output->Error());
        } else {
            result.splashLeftOut = splash.reason.empty() ? std::string("cannot be read") : splash.reason;
            if (splash.status != SplashData::Status::Absent && hooks.warning)
                hooks.warning(kSplashWarning);
        }
    }

    // The saved list is replaced only together with the image. It is never allowed to land on
    // the image or on one of the inputs.
    std::optional<AtomicFile> savedList;
    if (job.savedList) {
        if (NamesSameFile(*job.savedList, job.output) || NamesAnyOf(*job.savedList, inputs))
            result.savedListError = OutputIsAnInputError();
        else
            savedList = AtomicFile::Create(*job.savedList, result.savedListError);
    }

    for (std::size_t position = 0; position < job.entries.size(); ++position) {
        if (hooks.progress)
            hooks.progress(position, output->Size());
        RomRecordOutcome record = WriteRomRecord(job.entries[position], *output, job.autonumber, job.flag190k, position,
                                                 savedList ? &*savedList : nullptr);
        if (record.failed)
            return Unwritable(output->Error() ? output->Error() : std::make_error_code(std::errc::io_error));
        if (record.written)
            result.written.push_back(std::move(record.rom));
        else
            result.leftOut.push_back({position, job.entries[position].FullPath(), std::move(record.problem)});
    }
    if (hooks.progress)
        hooks.progress(job.entries.size(), output->Size());

    result.imageSize = output->Size();
    if (!output->Commit())
        return Unwritable(output->Error());
    if (savedList && !savedList->Commit())
        result.savedListError = savedList->Error();
    result.outcome = WriteOutcome::ImageWritten;
    return result;
}

} // namespace brimble
