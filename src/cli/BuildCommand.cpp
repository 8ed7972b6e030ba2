#include "Cli.h"
#include "Commands.h"
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "catalogue/Windows1252.h"
#include "settings/SavedList.h"
#include "settings/SettingsKeys.h"
#include "splash/SplashSource.h"
#include "window/BuildFlow.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace brimble::cli {

void AddBuildOptions(CLI::App& command, BuildOptions& options) {
    command.add_option("--emulator", options.emulator, "The emulator image (Vantaro.GBA) that starts the image");
    command.add_option("--output", options.output, "The compilation image to write");
    command.add_option("--splash", options.splash,
                       "The splash: a raw 240x160 file of 76,800 bytes, or a PNG, JPEG, BMP or GIF picture");
    auto* autonumber = command.add_flag("--autonumber", options.autonumber, "Number the titles in the menu");
    command.add_flag("--no-autonumber", options.noAutonumber, "Do not number the titles")->excludes(autonumber);
    auto* flag = command.add_flag("--flag190k", options.flag190k, "Mark ROMs of less than 191 KiB with '*'");
    command.add_flag("--no-flag190k", options.noFlag190k, "Do not mark small ROMs")->excludes(flag);
    command.add_option("--db", options.lists, "Naming list or game database to load first (repeatable, in order)")
        ->allow_extra_args(false);
    command.add_option("--from-list", options.fromList, "A saved list whose ROMs come first, one path a line");
    command.add_option("--saved-list", options.savedList, "Rewrite this file as the build's saved list");
    command.add_option("roms", options.roms,
                       "iNES ROM files, zip archives (each iNES member) or members (Set.zip/Game.nes), after those "
                       "of --from-list");
    command.footer("Run in a folder that holds a brimble.ini, every option not given comes from it: the emulator\n"
                   "image from 'vantaro' (default Vantaro.GBA), the output from 'outputfile', the two switches\n"
                   "from 'autonumber' and 'flag190k', the splash from 'splashfile' while 'usesplash' is 1, and,\n"
                   "without --db, the lists named by 'goodnes' and 'quorrel' (default goodQuorrel.lst). With no\n"
                   "ROM and no --from-list while 'savelist' is 1, the ROMs of saved.txt are built and saved.txt\n"
                   "is rewritten. brimble.ini is never written. Without a brimble.ini, --emulator and --output\n"
                   "are required.");
}

namespace {

// What the build uses, after the command line and brimble.ini have had their say. Paths keep
// the text the user typed or the file held, for messages.
struct ResolvedBuild {
    std::string emulator;
    std::string output;
    std::optional<std::string> splash;
    std::optional<std::string> fromList;
    std::optional<std::string> savedList;
    bool autonumber = false;
    bool flag190k = false;
};

bool Resolve(const BuildOptions& options, const SettingsStore* settings, Tables& tables, ResolvedBuild& build,
             std::ostream& err) {
    auto setting = [&](SettingKey key) { return DisplayPath(ReadPathSetting(*settings, key)); };

    if (options.emulator)
        build.emulator = *options.emulator;
    else if (settings)
        build.emulator = setting(SettingKey::Vantaro);
    if (options.output)
        build.output = *options.output;
    else if (settings)
        build.output = setting(SettingKey::OutputFile);
    if (build.emulator.empty() || build.output.empty()) {
        err << "brimble-cli: " << (build.emulator.empty() ? "--emulator" : "--output")
            << " is required (no brimble.ini in this folder gives it)\n";
        return false;
    }

    build.autonumber =
        options.autonumber || (!options.noAutonumber && settings && ReadSwitch(*settings, SettingKey::AutoNumber));
    build.flag190k =
        options.flag190k || (!options.noFlag190k && settings && ReadSwitch(*settings, SettingKey::Flag190k));

    if (options.splash)
        build.splash = *options.splash;
    else if (settings && ReadSwitch(*settings, SettingKey::UseSplash))
        build.splash = setting(SettingKey::SplashFile);

    build.fromList = options.fromList;
    build.savedList = options.savedList;
    if (settings && options.roms.empty() && !options.fromList && ReadSwitch(*settings, SettingKey::SaveList)) {
        build.fromList = std::string(kSavedListFileName);
        if (!build.savedList)
            build.savedList = std::string(kSavedListFileName);
    }

    if (!options.lists.empty() || !settings)
        return LoadLists(options.lists, tables, err);
    // The lists of the settings load as at start: quietly, a missing file loading nothing.
    const auto names = ReadPathSetting(*settings, SettingKey::GoodNes);
    if (!names.empty())
        LoadGoodNesList(names, tables.names);
    auto database = ReadPathSetting(*settings, SettingKey::Quorrel);
    if (database.empty())
        database = AbsoluteOrAsGiven(std::filesystem::path(kDefaultDatabaseFileName));
    LoadListFile(database, tables.names, tables.database);
    return true;
}

// Adds the ROM a path names, or each iNES member of an archive, reporting those left out.
void AddEntries(const std::filesystem::path& path, const Tables& tables, std::vector<RomEntry>& entries,
                std::ostream& err) {
    for (const FoundRom& found : FindRoms(path)) {
        if (found.inspection.status != RomInspectionStatus::Accepted) {
            err << "brimble-cli: " << DisplayPath(found.path) << ": " << DescribeRomInspection(found.inspection.status)
                << ", left out\n";
            continue;
        }
        const auto [directory, fileName] = SplitRomPath(found.path);
        entries.push_back(MakeRomEntry(directory, fileName, found.inspection, tables.names, tables.database));
    }
}

} // namespace

int RunBuild(const BuildOptions& options, std::ostream& out, std::ostream& err, const std::string& usage) {
    std::error_code error;
    const bool configured = std::filesystem::is_regular_file(kSettingsFileName, error);
    std::optional<SettingsStore> settings;
    if (configured)
        settings.emplace(AbsoluteOrAsGiven(std::filesystem::path(kSettingsFileName)));

    Tables tables;
    ResolvedBuild build;
    if (!Resolve(options, settings ? &*settings : nullptr, tables, build, err)) {
        err << usage;
        return kExitUsage;
    }

    BuildInputs inputs;
    if (build.fromList) {
        for (const auto& rom : RestoreSavedList(ArgumentPath(*build.fromList)))
            AddEntries(JoinPath(rom.directory, rom.fileName), tables, inputs.entries, err);
    }
    for (const auto& rom : options.roms)
        AddEntries(ArgumentPath(rom), tables, inputs.entries, err);
    if (inputs.entries.empty()) {
        err << "brimble-cli: no ROM to build\n";
        return kExitUsage;
    }

    inputs.output = ArgumentPath(build.output);
    if (build.splash)
        inputs.splash = ArgumentPath(*build.splash);
    if (build.savedList)
        inputs.savedList = ArgumentPath(*build.savedList);
    inputs.autonumber = build.autonumber;
    inputs.flag190k = build.flag190k;

    // The window's build without its dialogs: the same opening, writing and messages.
    EmulatorImage emulator = OpenEmulatorImage(ArgumentPath(build.emulator));
    if (!emulator.IsOpen()) {
        err << EmulatorMissingMessage(emulator.path).text << "\n";
        return kExitFailed;
    }
    BuildHooks hooks;
    hooks.warning = [&err](const BuildMessage& message) { err << message.text << "\n"; };
    hooks.splashLoader = LoadSplash;
    const CompilationResult result = WriteBuildImage(inputs, emulator, hooks);
    if (result.outcome != WriteOutcome::ImageWritten) {
        err << OutputUnwritableMessage(inputs.output).text << "\n";
        return kExitFailed;
    }
    for (const auto& rom : result.written) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", rom.crc);
        out << (rom.position + 1) << '\t' << Windows1252ToUtf8(rom.headerTitle) << '\t' << crc << '\t' << rom.romLength
            << '\n';
    }
    out << build.output << ": " << result.imageSize << " bytes\n";
    return kExitOk;
}

} // namespace brimble::cli
