#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brimble::cli {

// Exit statuses of brimble-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // a file could not be opened or written, a ROM was refused
inline constexpr int kExitUsage = 2;  // bad command line, an unusable list, nothing to build

// Runs brimble-cli with its arguments (UTF-8, without the program name), writing to out and
// err; returns the exit status.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace brimble::cli
