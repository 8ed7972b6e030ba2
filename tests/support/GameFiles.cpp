#include "support/GameFiles.h"

#include <fstream>

namespace brimble::test {

GameRecord Record(std::string title, RomOptionFlags flags, std::int32_t follow) {
    GameRecord record;
    record.title = std::move(title);
    record.flags = flags;
    record.follow = follow;
    return record;
}

CompilationResult WriteImage(const CompilationJob& job, const CompilationHooks& hooks) {
    std::ifstream emulator(job.emulatorPath, std::ios::binary);
    return WriteCompilation(job, emulator, hooks);
}

} // namespace brimble::test
