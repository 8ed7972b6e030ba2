#pragma once

#include "Cli.h"

#include <iterator>
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

// A command line as written, split at its blanks.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

} // namespace brimble::test
