#include "Cli.h"
#include "Commands.h"
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/InputFile.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "catalogue/Windows1252.h"
#include "settings/SavedList.h"
#include "settings/SettingsKeys.h"
#include "splash/SplashSource.h"
#include "window/BuildFlow.h"
#include "window/PanelRules.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <tuple>

namespace brimble::cli {

void AddBuildOptions(CLI::App& command, BuildOptions& options) {
    command.add_option("--emulator", options.emulator, "The emulator image (Vantaro.GBA) that starts the image");
    command.add_option("--output", options.output, "The compilation image to write (- for standard output)");
    command.add_option("--splash", options.splash,
                       "The splash: a raw 240x160 file of 76,800 bytes, or a PNG, JPEG, BMP or GIF picture");
    command.add_flag("--autonumber", options.autonumber, "Number the titles in the menu");
    command.add_flag("--no-autonumber", options.noAutonumber, "Do not number the titles");
    command.add_flag("--flag190k", options.flag190k,
                     "Mark each ROM file of at most 195,536 bytes (191 KiB with its header) with '*'");
    command.add_flag("--no-flag190k", options.noFlag190k, "Do not mark small ROMs");
    command.add_option("--db", options.lists, "Naming list or game database to load first (repeatable, in order)")
        ->allow_extra_args(false);
    command.add_option("--from-list", options.fromList, "A saved list whose ROMs come first, one path a line");
    command.add_option("--saved-list", options.savedList, "Rewrite this file as the build's saved list");
    command.add_flag("--oversize", options.oversize, "Write an image larger than a 32 MiB cartridge");
    command.add_option("roms", options.roms,
                       "iNES ROM files, zip archives (each iNES member) or members (Set.zip/Game.nes), after those "
                       "of --from-list");
    command.footer("Run in a folder that holds a brimble.ini, every option not given comes from it: the emulator\n"
                   "image from 'vantaro' (default Vantaro.GBA), the output from 'outputfile', the two switches\n"
                   "from 'autonumber' and 'flag190k', the splash from 'splashfile' while 'usesplash' is 1, and,\n"
                   "without --db, the lists named by 'goodnes' and 'quorrel' (default goodQuorrel.lst). With no\n"
                   "ROM and no --from-list while 'savelist' is 1, the ROMs of saved.txt are built and saved.txt\n"
                   "is rewritten. brimble.ini is never written. Without a brimble.ini, --emulator and --output\n"
                   "are required.\n\n"
                   "Each ROM, line of a list, splash or saved list that the build cannot use is named on standard\n"
                   "error; the image is written without it and the exit status is 1. An image larger than a 32 MiB\n"
                   "cartridge is not written without --oversize.");
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
    // Each pair is checked here rather than by the parser, whose help would name the other
    // option beside each one.
    for (const auto& [yes, no, name] : {std::tuple(options.autonumber, options.noAutonumber, "--autonumber"),
                                        std::tuple(options.flag190k, options.noFlag190k, "--flag190k")}) {
        if (yes && no) {
            UsageError(err, std::string(name) + " and --no-" + (name + 2) + " contradict each other", "build");
            return false;
        }
    }
    if (build.emulator.empty() || build.output.empty()) {
        UsageError(err,
                   std::string("name the ") +
                       (build.emulator.empty() ? "emulator image with --emulator" : "image to write with --output") +
                       " (no brimble.ini in this folder gives it)",
                   "build");
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

// Adds the ROM a path names, or each iNES member of an archive; each one that is not taken is
// named, with where it was found (a list's name and line) before it. False when any was left out.
bool AddEntries(const std::filesystem::path& path, const Tables& tables, std::vector<RomEntry>& entries,
                std::ostream& err, const std::string& source = {}) {
    bool complete = true;
    for (const FoundRom& found : FindRoms(path)) {
        if (found.inspection.status != RomInspectionStatus::Accepted) {
            Complain(err, source + DisplayPath(found.path), DescribeRomInspection(found.inspection) + ", left out");
            complete = false;
            continue;
        }
        const auto [directory, fileName] = SplitRomPath(found.path);
        entries.push_back(MakeRomEntry(directory, fileName, found.inspection, tables.names, tables.database));
    }
    return complete;
}

// The ROMs of a saved list, each line that names none, and the list itself when it cannot be
// read, are named. False when anything was left out.
bool AddSavedList(const std::string& listName, const Tables& tables, std::vector<RomEntry>& entries,
                  std::ostream& err) {
    const SavedListContents list = ReadSavedList(ArgumentPath(listName));
    if (!list.problem.empty()) {
        Complain(err, listName, list.problem);
        return false;
    }
    bool complete = list.skippedLines.empty();
    for (const std::size_t line : list.skippedLines)
        Complain(err, listName + ":" + std::to_string(line), "names no ROM (a folder and a file name), skipped");
    for (const SavedRom& rom : list.roms) {
        if (!AddEntries(JoinPath(rom.directory, rom.fileName), tables, entries, err,
                        listName + ":" + std::to_string(rom.line) + ": "))
            complete = false;
    }
    return complete;
}

// "35,651,584".
std::string Thousands(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

// "35,651,584 bytes (34.0 MiB)".
std::string SizeText(std::uint64_t bytes) {
    return Thousands(bytes) + " bytes (" + FormatMib(bytes) + " MiB)";
}

} // namespace

int RunBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    const bool configured = std::filesystem::is_regular_file(kSettingsFileName, error);
    std::optional<SettingsStore> settings;
    if (configured)
        settings.emplace(AbsoluteOrAsGiven(std::filesystem::path(kSettingsFileName)));

    Tables tables;
    ResolvedBuild build;
    if (!Resolve(options, settings ? &*settings : nullptr, tables, build, err))
        return kExitUsage;

    // Everything named that the image goes without makes the exit status 1, though the image
    // is written: a ROM left out of the image is also left out of the saved list it rewrites.
    bool complete = true;
    BuildInputs inputs;
    if (build.fromList)
        complete = AddSavedList(*build.fromList, tables, inputs.entries, err);
    for (const auto& rom : options.roms) {
        if (!AddEntries(ArgumentPath(rom), tables, inputs.entries, err))
            complete = false;
    }
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

    const std::filesystem::path emulatorPath = ArgumentPath(build.emulator);
    if (const std::string problem = InputFileProblem(emulatorPath); !problem.empty()) {
        Complain(err, build.emulator, problem);
        return kExitFailed;
    }

    // The splash is loaded once, before the writing, so that the size is known exactly.
    std::optional<SplashData> splash;
    if (inputs.splash)
        splash = LoadSplash(*inputs.splash);
    std::uint64_t total = 0;
    for (const RomEntry& entry : inputs.entries)
        total += entry.size;
    const bool splashReady = splash && splash->status == SplashData::Status::Ready;
    const std::uint64_t planned = PlannedImageSize(total, splashReady, emulatorPath);
    if (ExceedsCartridge(planned) && !options.oversize) {
        Complain(err, build.output,
                 "the image would be " + SizeText(planned) + "; a cartridge holds " + Thousands(kMaxCartridgeSize) +
                     " (32 MiB); --oversize writes it anyway");
        return kExitFailed;
    }

    EmulatorImage emulator = OpenEmulatorImage(emulatorPath);
    if (!emulator.IsOpen()) {
        Complain(err, build.emulator, "cannot be opened");
        return kExitFailed;
    }
    BuildHooks hooks;
    if (splash)
        hooks.splashLoader = [&splash](const std::filesystem::path&) { return *splash; };
    const CompilationResult result = WriteBuildImage(inputs, emulator, hooks);
    if (result.outcome != WriteOutcome::ImageWritten) {
        Complain(err, build.output, WriteProblem(result.outputError));
        return kExitFailed;
    }

    if (result.splashLeftOut) {
        Complain(err, *build.splash, *result.splashLeftOut + "; the image has no splash screen");
        complete = false;
    }
    for (const LeftOutRom& rom : result.leftOut) {
        Complain(err, DisplayPath(rom.path), rom.problem + ", left out");
        complete = false;
    }
    if (build.savedList && result.savedListError) {
        Complain(err, *build.savedList, WriteProblem(result.savedListError));
        complete = false;
    }

    std::ostream& report = IsStandardOutput(build.output) ? err : out;
    for (const auto& rom : result.written) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", rom.crc);
        report << (rom.position + 1) << '\t' << Printable(Windows1252ToUtf8(rom.headerTitle)) << '\t' << crc << '\t'
               << rom.romLength << '\n';
    }
    report << Printable(build.output) << ": " << result.imageSize << " bytes\n";
    return complete ? kExitOk : kExitFailed;
}

} // namespace brimble::cli
