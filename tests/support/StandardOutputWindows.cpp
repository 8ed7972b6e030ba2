#include "StandardOutput.h"
#include "TestFiles.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace brimble::test {

std::string CaptureStandardOutput(const std::filesystem::path& scratch, const std::function<void()>& run) {
    std::fflush(stdout);
    const int saved = ::_dup(::_fileno(stdout));
    const int file = ::_wopen(scratch.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    ::_dup2(file, ::_fileno(stdout));
    ::_close(file);
    run();
    std::fflush(stdout);
    ::_dup2(saved, ::_fileno(stdout));
    ::_close(saved);
    return ReadText(scratch);
}

} // namespace brimble::test
