#pragma once

#include "Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace brimble::test {

// One run of brimble-cli in this process, with what it printed.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunCli(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCli(arguments, out, err);
    return {status, out.str(), err.str()};
}

} // namespace brimble::test
