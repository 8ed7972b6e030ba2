#include "InputFile.h"

#include "Platform.h"

namespace brimble {

std::string InputFileProblem(const std::filesystem::path& path) {
    if (path.empty())
        return "no file is named";
    const platform::InputProbe probe = platform::ProbeInput(path);
    switch (probe.kind) {
    case platform::InputKind::RegularFile:
        return {};
    case platform::InputKind::Folder:
        return "is a folder";
    case platform::InputKind::NotAFile:
        return "is not a regular file (a device, pipe or socket)";
    case platform::InputKind::Unopenable:
        break;
    }
    return "cannot be opened (" + probe.error.message() + ")";
}

bool OpenInputFile(const std::filesystem::path& path, std::ifstream& stream, std::string* why) {
    std::string problem = InputFileProblem(path);
    if (problem.empty()) {
        stream.open(path, std::ios::binary);
        if (!stream.is_open())
            problem = "cannot be opened";
    }
    if (why)
        *why = problem;
    return problem.empty();
}

std::optional<std::uint64_t> StreamSize(std::istream& stream) {
    stream.clear();
    stream.seekg(0, std::ios::end);
    const std::streamoff end = stream.tellg();
    if (stream.fail() || end < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

} // namespace brimble
