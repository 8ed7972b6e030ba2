#pragma once

#include "builder/CompilationWriter.h"
#include "catalogue/GameTables.h"

#include <cstdint>
#include <string>

namespace brimble::test {

GameRecord Record(std::string title, RomOptionFlags flags = 0, std::int32_t follow = 0);

// A size rounded up to a multiple of 4, as the image stores every file.
inline std::uint64_t Padded(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}
// Writes the job's image, reading the emulator image from the job's path.
CompilationResult WriteImage(const CompilationJob& job, const CompilationHooks& hooks = {});

} // namespace brimble::test
