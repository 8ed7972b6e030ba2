#include "StandardOutput.h"
#include "TestFiles.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace brimble::test {

std::string CaptureStandardOutput(const std::filesystem::path& scratch, const std::function<void()>& run) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int file = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, STDOUT_FILENO);
    ::close(file);
    run();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return ReadText(scratch);
}

} // namespace brimble::test
