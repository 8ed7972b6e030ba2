#include "Cli.h"

#include "Commands.h"

#include <CLI/CLI.hpp>

#ifndef BRIMBLE_VERSION
#define BRIMBLE_VERSION "0"
#endif

namespace brimble::cli {
namespace {

// The help of the innermost subcommand that the parser reached.
std::string UsageOf(CLI::App& app) {
    CLI::App* current = &app;
    for (;;) {
        const auto chosen = current->get_subcommands();
        if (chosen.empty())
            break;
        current = chosen.front();
    }
    return current->help();
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CLI::App app("Builds one GBA cartridge image holding several NES games.", "brimble-cli");
    app.set_version_flag("--version", "brimble-cli " BRIMBLE_VERSION);
    app.require_subcommand(1);

    InfoOptions info;
    auto* infoCommand =
        app.add_subcommand("info", "Show how each ROM would be listed: CRC, size, flags, follow, title");
    infoCommand->add_option("--db", info.lists, "Naming list or game database to load first (repeatable, in order)")
        ->allow_extra_args(false);
    infoCommand->add_option("roms", info.roms, "iNES ROM files, zip archives or members (Set.zip/Game.nes)")
        ->required();

    DatabaseOptions database;
    auto* dbCommand = app.add_subcommand("db", "Merge lists and write the resulting game database");
    dbCommand->add_option("--db", database.lists, "Naming list or game database to load (repeatable, in order)")
        ->allow_extra_args(false);
    dbCommand->add_option("--write", database.output, "The game database file to write")->required();

    BuildOptions build;
    auto* buildCommand = app.add_subcommand("build", "Write a compilation image");
    AddBuildOptions(*buildCommand, build);

    SplashOptions splash;
    auto* splashCommand = AddSplashCommand(app, splash);

    // CLI11 wants the arguments last-first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << UsageOf(app);
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        err << "brimble-cli: " << error.what() << "\n" << UsageOf(app);
        return kExitUsage;
    }

    if (infoCommand->parsed())
        return RunInfo(info, out, err);
    if (dbCommand->parsed())
        return RunDatabase(database, out, err);
    if (splashCommand->parsed())
        return RunSplash(splash, out, err);
    return RunBuild(build, out, err, buildCommand->help());
}

} // namespace brimble::cli
