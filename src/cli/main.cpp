#include "Arguments.h"
#include "Cli.h"
#include "catalogue/Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    // Ctrl+C or a kill in the middle of a build leaves no temporary file behind.
    brimble::platform::RemoveTemporaryFilesOnInterrupt();
    int status = brimble::cli::RunCli(brimble::cli::Utf8Arguments(argc, argv), std::cout, std::cerr);

    // What was printed may still wait in a buffer: a full disk or a closed pipe shows only now.
    // The C++ stream writes straight through to the C one, whose flush sets errno.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout) {
        const int error = errno != 0 ? errno : EIO;
        std::cerr << "brimble-cli: standard output: cannot be written (" << std::strerror(error) << ")\n";
        if (status == 0)
            status = 1;
    }
    return status;
}
