#include "BuildFlow.h"

#include "catalogue/InputFile.h"
#include "settings/SettingsKeys.h"

#include <system_error>
#include <utility>

namespace brimble {

namespace fs = std::filesystem;

EmulatorImage OpenEmulatorImage(const fs::path& path) {
    EmulatorImage image;
    image.path = path;
    // A folder, a device or a pipe is refused without being opened: a pipe would block.
    OpenInputFile(path, image.stream);
    return image;
}

EmulatorImage OpenEmulatorImage(const SettingsStore& store) {
    return OpenEmulatorImage(ReadPathSetting(store, SettingKey::Vantaro));
}

CompilationResult WriteBuildImage(const BuildInputs& inputs, EmulatorImage& emulator, const BuildHooks& hooks) {
    CompilationJob job;
    job.output = inputs.output;
    job.emulatorPath = emulator.path;
    job.splash = inputs.splash;
    job.savedList = inputs.savedList;
    job.entries = inputs.entries;
    job.autonumber = inputs.autonumber;
    job.flag190k = inputs.flag190k;

    CompilationHooks writerHooks;
    if (hooks.warning) {
        // The writer knows only the warning's text; the message around it is the build's.
        writerHooks.warning = [&hooks](std::string_view) { hooks.warning(SplashWarningMessage()); };
    }
    writerHooks.progress = hooks.progress;
    writerHooks.splashLoader = hooks.splashLoader;

    CompilationResult result = WriteCompilation(job, emulator.stream, writerHooks);
    emulator.stream.close();
    return result;
}

BuildReport RunBuildFlow(const SettingsStore& store, const GameDatabase& database, const BuildInputs& inputs,
                         EmulatorImage& emulator, const BuildHooks& hooks) {
    BuildReport report;
    report.image = WriteBuildImage(inputs, emulator, hooks);
    if (!report.Finished()) {
        report.messages.push_back(OutputUnwritableMessage(inputs.output, report.image.outputError));
        return report;
    }
    if (!report.image.leftOut.empty()) {
        std::vector<PassedOver> roms;
        for (const LeftOutRom& rom : report.image.leftOut)
            roms.push_back({rom.path, rom.problem});
        report.messages.push_back(LeftOutMessage(roms));
    }
    report.database = SaveGameDatabase(store, database);
    if (report.database->status == DatabaseSaveResult::Status::Failed)
        report.messages.push_back(DatabaseUnwritableMessage(report.database->path));
    report.messages.push_back(DoneMessage());
    return report;
}

} // namespace brimble
