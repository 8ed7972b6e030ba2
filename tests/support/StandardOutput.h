#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace brimble::test {

// What run writes to the process's standard output (the C stream and the descriptor under
// it), caught in the scratch file and returned.
std::string CaptureStandardOutput(const std::filesystem::path& scratch, const std::function<void()>& run);

} // namespace brimble::test
