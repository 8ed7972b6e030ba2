#include "Cli.h"

#include "Commands.h"

#include <CLI/CLI.hpp>

#ifndef BRIMBLE_VERSION
#define BRIMBLE_VERSION "0"
#endif

namespace brimble::cli {
namespace {

// The innermost subcommand that the parser reached.
CLI::App* Reached(CLI::App& app) {
    CLI::App* current = &app;
    for (;;) {
        const auto chosen = current->get_subcommands();
        if (chosen.empty())
            return current;
        current = chosen.front();
    }
}

// "build", "splash convert": the words that name a subcommand, after the program's name.
std::string CommandWords(const CLI::App& app, const CLI::App* command) {
    std::string words;
    for (const CLI::App* at = command; at && at != &app; at = at->get_parent())
        words = at->get_name() + (words.empty() ? "" : " " + words);
    return words;
}

// Our options are "--long" and "-s" everywhere: a Windows path such as "/games/x.nes" is an
// argument, never an option.
void UnixStyleOnly(CLI::App& app) {
    app.allow_windows_style_options(false);
    for (CLI::App* command : app.get_subcommands({}))
        UnixStyleOnly(*command);
}

// One option a line: the names and the value's kind in the first column, wide enough for the
// longest of them.
void LayOutHelp(CLI::App& app) {
    app.get_formatter()->column_width(34);
    for (CLI::App* command : app.get_subcommands({}))
        LayOutHelp(*command);
}

// The parser's complaint in the user's words, on one line that points to the help.
int ParseFailure(CLI::App& app, const CLI::ParseError& error, std::ostream& err) {
    CLI::App* reached = Reached(app);
    const std::string command = CommandWords(app, reached);
    std::string what = error.what();
    const auto extras = reached->remaining();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) ||
        (dynamic_cast<const CLI::RequiredError*>(&error) && !extras.empty())) {
        const std::string first = extras.empty() ? std::string() : extras.front();
        if (reached->get_subcommands({}).empty() || first.rfind('-', 0) == 0)
            what = "'" + Printable(first) + "' is not an option or argument of " +
                   (command.empty() ? std::string("brimble-cli") : command);
        else
            what = "'" + Printable(first) + "' is not a command" + (command.empty() ? "" : " of " + command);
    } else if (dynamic_cast<const CLI::RequiredError*>(&error) && !reached->get_subcommands({}).empty()) {
        std::string names;
        const auto commands = reached->get_subcommands({});
        for (std::size_t i = 0; i < commands.size(); ++i)
            names += (i == 0 ? "" : i + 1 == commands.size() ? " or " : ", ") + commands[i]->get_name();
        what = "name a command: " + names;
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        what = what.substr(0, what.find(':')) + " needs a file name after it";
    }
    return UsageError(err, what, command);
}

} // namespace

int UsageError(std::ostream& err, std::string_view what, std::string_view command) {
    err << "brimble-cli: " << what << " (see brimble-cli " << command << (command.empty() ? "" : " ") << "--help)\n";
    return kExitUsage;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CLI::App app("Builds one GBA cartridge image holding several NES games.", "brimble-cli");
    app.set_version_flag("--version", "brimble-cli " BRIMBLE_VERSION);
    app.require_subcommand(1);

    InfoOptions info;
    auto* infoCommand =
        app.add_subcommand("info", "Show how each ROM would be listed: CRC, size, flags, follow, title");
    infoCommand->add_option("--db", info.lists, "Naming list or game database to load first (repeatable, in order)")
        ->allow_extra_args(false);
    infoCommand->add_option("roms", info.roms, "iNES ROM files, zip archives or members (Set.zip/Game.nes)");

    DatabaseOptions database;
    auto* dbCommand = app.add_subcommand("db", "Merge lists and write the resulting game database");
    dbCommand->add_option("--db", database.lists, "Naming list or game database to load (repeatable, in order)")
        ->allow_extra_args(false);
    dbCommand->add_option("--write", database.output, "The game database file to write (- for standard output)");

    BuildOptions build;
    auto* buildCommand = app.add_subcommand("build", "Write a compilation image");
    AddBuildOptions(*buildCommand, build);

    SplashOptions splash;
    auto* splashCommand = AddSplashCommand(app, splash);
    UnixStyleOnly(app);
    LayOutHelp(app);

    // CLI11 wants the arguments last-first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << Reached(app)->help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return ParseFailure(app, error, err);
    }

    if (infoCommand->parsed())
        return RunInfo(info, out, err);
    if (dbCommand->parsed())
        return RunDatabase(database, out, err);
    if (splashCommand->parsed())
        return RunSplash(splash, out, err);
    return RunBuild(build, out, err);
}

} // namespace brimble::cli
