#include "BuildMessages.h"

#include "PanelRules.h"
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

BuildMessage OutputUnwritableMessage(const std::filesystem::path& output, const std::error_code& reason) {
    std::string text = CantWriteMessage(PathToUtf8(output));
    if (reason) {
        std::string why = reason.message();
        if (!why.empty() && why[0] >= 'a' && why[0] <= 'z')
            why[0] = static_cast<char>(why[0] - 'a' + 'A');
        text += "\n" + why + ".";
    }
    return {std::move(text), std::nullopt, MessageSeverity::Error};
}

namespace {

BuildMessage ListMessage(std::string_view heading, const std::vector<PassedOver>& files) {
    std::string text(heading);
    for (const PassedOver& file : files)
        text += "\n" + PathToUtf8(file.path) + ": " + file.reason;
    return {std::move(text), std::string(kFailureCaption), MessageSeverity::Warning};
}

} // namespace

BuildMessage LeftOutMessage(const std::vector<PassedOver>& roms) {
    return ListMessage("These ROMs could not be read and are not in the image:", roms);
}

BuildMessage NotAddedMessage(const std::vector<PassedOver>& files) {
    return ListMessage("These files were not added:", files);
}

BuildMessage NotRestoredMessage(const std::vector<PassedOver>& roms) {
    return ListMessage("These ROMs of the saved list could not be restored:", roms);
}

BuildMessage DatabaseUnwritableMessage(const std::filesystem::path& database) {
    return {CantWriteMessage(PathToUtf8(database)), std::string(kFailureCaption), MessageSeverity::Warning};
}

BuildMessage OversizeQuestion(std::uint64_t imageSize) {
    return {"The image will be " + FormatMib(imageSize) + " MiB; a cartridge holds 32 MiB. Build anyway?",
            std::string(kProgramCaption), MessageSeverity::Warning};
}

BuildMessage DoneMessage() {
    return {std::string(kDoneMessage), std::string(kProgramCaption), MessageSeverity::Plain};
}

} // namespace brimble
