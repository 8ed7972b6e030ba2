#include "Platform.h"
#include "TemporaryFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brimble::platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

void RemoveTemporariesAndEnd(int signal) {
    RemoveTemporaryFilesNow();
    // Ended by the signal itself, so that the caller sees how the program ended.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* CreateNewFile(const std::filesystem::path& path, std::error_code& error) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        error = LastError();
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (!file) {
        error = LastError();
        ::close(descriptor);
        ::unlink(path.c_str());
    }
    return file;
}

std::FILE* StandardOutput() {
    return stdout;
}

bool FlushToDisk(std::FILE* file, std::error_code& error) {
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

bool RenameOver(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error) {
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        error = LastError();
        return false;
    }
    return true;
}

InputProbe ProbeInput(const std::filesystem::path& path) {
    InputProbe probe;
    // O_NONBLOCK: opening a pipe that nobody writes to returns at once instead of waiting.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        probe.error = LastError();
        return probe;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        probe.error = LastError();
    } else if (S_ISREG(status.st_mode)) {
        probe.kind = InputKind::RegularFile;
    } else if (S_ISDIR(status.st_mode)) {
        probe.kind = InputKind::Folder;
    } else {
        probe.kind = InputKind::NotAFile;
    }
    ::close(descriptor);
    return probe;
}

std::uint64_t CurrentProcessId() {
    return static_cast<std::uint64_t>(::getpid());
}

bool ProcessIsRunning(std::uint64_t id) {
    const auto pid = static_cast<pid_t>(id);
    if (id == 0 || static_cast<std::uint64_t>(pid) != id || pid < 0)
        return false;
    // EPERM: it runs, under another user.
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

void RemoveFileNow(const std::filesystem::path::value_type* name) {
    ::unlink(name);
}

void RemoveTemporaryFilesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the program was started to ignore (a background job's SIGINT) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

} // namespace brimble::platform
