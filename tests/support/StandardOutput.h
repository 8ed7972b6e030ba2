#pragma once

#include "support/TestFiles.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace brimble::test {

// What run writes to the process's standard output (the C stream and the descriptor under
// it), caught in the scratch file and returned. The file is opened in binary mode, which the
// standard output descriptor takes over on Windows.
inline std::string CaptureStandardOutput(const std::filesystem::path& scratch, const std::function<void()>& run) {
    std::fflush(stdout);
    const int saved = ::dup(::fileno(stdout));
    std::FILE* file = std::fopen(scratch.string().c_str(), "wb");
    ::dup2(::fileno(file), ::fileno(stdout));
    std::fclose(file);
    run();
    std::fflush(stdout);
    ::dup2(saved, ::fileno(stdout));
    ::close(saved);
    return ReadText(scratch);
}

} // namespace brimble::test
