#include "Platform.h"
#include "TemporaryFiles.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>

namespace brimble::platform {
namespace {

// The common failures as the C library names them, so that messages read as on other systems.
std::error_code LastError() {
    const DWORD code = ::GetLastError();
    switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

BOOL WINAPI RemoveTemporariesOnControl(DWORD) {
    RemoveTemporaryFilesNow();
    // Not handled: the system goes on to end the process as Ctrl+C ends it.
    return FALSE;
}

} // namespace

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(path.c_str(), wideMode.c_str());
}

std::FILE* CreateNewFile(const std::filesystem::path& path, std::error_code& error) {
    // FILE_SHARE_DELETE lets an interrupt remove the file while the writer still holds it.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        error = std::make_error_code(std::errc::too_many_files_open);
        ::CloseHandle(handle);
        ::DeleteFileW(path.c_str());
        return nullptr;
    }
    std::FILE* file = ::_fdopen(descriptor, "wb");
    if (!file) {
        error = std::make_error_code(std::errc::too_many_files_open);
        ::_close(descriptor);
        ::DeleteFileW(path.c_str());
    }
    return file;
}

std::FILE* StandardOutput() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    return stdout;
}

bool FlushToDisk(std::FILE* file, std::error_code& error) {
    if (std::fflush(file) != 0 || ::_commit(::_fileno(file)) != 0) {
        error = {errno, std::generic_category()};
        return false;
    }
    return true;
}

bool RenameOver(const std::filesystem::path& source, const std::filesystem::path& target, std::error_code& error) {
    // MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk.
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastError();
        return false;
    }
    return true;
}

InputProbe ProbeInput(const std::filesystem::path& path) {
    InputProbe probe;
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder too, so that it is told apart from a missing file.
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        probe.error = LastError();
        return probe;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        probe.kind = InputKind::NotAFile; // a console, a pipe, a device such as NUL
    } else if (!::GetFileInformationByHandle(handle, &information)) {
        probe.error = LastError();
    } else if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        probe.kind = InputKind::Folder;
    } else {
        probe.kind = InputKind::RegularFile;
    }
    ::CloseHandle(handle);
    return probe;
}

std::uint64_t CurrentProcessId() {
    return ::GetCurrentProcessId();
}

bool ProcessIsRunning(std::uint64_t id) {
    if (id == 0 || id > 0xFFFFFFFFu)
        return false;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED; // it runs, beyond this user's reach
    // A handle can still be opened to a process that has ended while others hold it.
    DWORD exitCode = 0;
    const bool running = ::GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

void RemoveFileNow(const std::filesystem::path::value_type* name) {
    ::DeleteFileW(name);
}

void RemoveTemporaryFilesOnInterrupt() {
    ::SetConsoleCtrlHandler(RemoveTemporariesOnControl, TRUE);
}

} // namespace brimble::platform
