#pragma once

#include <string>
#include <vector>

namespace brimble::cli {

// The program's arguments (without its name) as UTF-8 text; on Windows they are taken from
// the wide command line so that any file name survives.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace brimble::cli
