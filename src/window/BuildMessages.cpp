#include "BuildMessages.h"

#include "builder/CompilationWriter.h"
#include "catalogue/Paths.h"

namespace brimble {

std::string CantOpenMessage(std::string_view path) {
    return "Can't open " + std::string(path) + ".";
}

std::string CantWriteMessage(std::string_view path) {
    return "Can't write to " + std::string(path) + ".";
}

BuildMessage EmulatorMissingMessage(const std::filesystem::path& tried) {
    return {CantOpenMessage(PathToUtf8(tried)), std::string(kFailureCaption), MessageSeverity::Error};
}

BuildMessage SplashWarningMessage() {
    return {std::string(kSplashWarning), std::string(kFailureCaption), MessageSeverity::Warning};
}

BuildMessage OutputUnwritableMessage(const std::filesystem::path& output) {
    return {CantWriteMessage(PathToUtf8(output)), std::nullopt, MessageSeverity::Error};
}

BuildMessage DatabaseUnwritableMessage(const std::filesystem::path& database) {
    return {CantWriteMessage(PathToUtf8(database)), std::string(kFailureCaption), MessageSeverity::Warning};
}

BuildMessage DoneMessage() {
    return {std::string(kDoneMessage), std::string(kProgramCaption), MessageSeverity::Plain};
}

} // namespace brimble
