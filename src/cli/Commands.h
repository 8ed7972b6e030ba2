#pragma once

#include "catalogue/GameTables.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace CLI {
class App;
}

namespace brimble::cli {

struct InfoOptions {
    std::vector<std::string> lists;
    std::vector<std::string> roms;
};

struct DatabaseOptions {
    std::vector<std::string> lists;
    std::optional<std::string> output;
};

struct BuildOptions {
    std::optional<std::string> emulator;
    std::optional<std::string> output;
    std::optional<std::string> splash;
    bool autonumber = false;
    bool noAutonumber = false;
    bool flag190k = false;
    bool noFlag190k = false;
    std::vector<std::string> lists;
    std::optional<std::string> fromList;
    std::optional<std::string> savedList;
    bool oversize = false;
    std::vector<std::string> roms;
};

void AddBuildOptions(CLI::App& command, BuildOptions& options);

struct SplashOptions {
    enum class Action { Convert, Preview };
    std::optional<Action> action; // none: no subcommand was named
    std::optional<std::string> input;
    std::optional<std::string> output;
};

// The "splash" command with its "convert" and "preview" subcommands.
CLI::App* AddSplashCommand(CLI::App& app, SplashOptions& options);

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);
int RunDatabase(const DatabaseOptions& options, std::ostream& out, std::ostream& err);
int RunBuild(const BuildOptions& options, std::ostream& out, std::ostream& err);
int RunSplash(const SplashOptions& options, std::ostream& out, std::ostream& err);

// A command line that lacks something: one line saying what to give and where the help is.
// Returns kExitUsage.
int UsageError(std::ostream& err, std::string_view what, std::string_view command);

// Helpers shared by the commands.
std::filesystem::path ArgumentPath(const std::string& text);
std::string DisplayPath(const std::filesystem::path& path);

// Text with its control characters written as escapes ("\x1B", "\u009B"), so that a name
// holding them cannot act on the terminal it is printed to, nor break a line in two.
std::string Printable(std::string_view text);

// One error line: "brimble-cli: NAME: PROBLEM".
void Complain(std::ostream& err, std::string_view name, std::string_view problem);
// "cannot be written (" and the system's reason ")".
std::string WriteProblem(const std::error_code& error);

// The output "-" is standard output; what the command would print there goes to standard
// error then.
bool IsStandardOutput(const std::string& output);

struct Tables {
    NameTable names;
    GameDatabase database;
};

// Loads each list in order; a list that loads nothing is reported and stops the command.
bool LoadLists(const std::vector<std::string>& lists, Tables& tables, std::ostream& err);

// A ROM path taken as the add dialog takes a file: its folder and its name; a bare name is in
// the current folder.
std::pair<std::filesystem::path, std::filesystem::path> SplitRomPath(const std::filesystem::path& path);

} // namespace brimble::cli
