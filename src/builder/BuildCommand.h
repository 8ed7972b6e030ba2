#pragma once

#include "CompilationWriter.h"
#include "catalogue/GameTables.h"
#include "catalogue/RomEntry.h"
#include "settings/DatabaseSettings.h"
#include "settings/SettingsStore.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The build as the window runs it, without the window: opening the emulator image named by the
// settings, writing the image, writing the game database back, and the messages that tell the
// user how it went. The window gathers the inputs, asks its dialogs and shows the messages.

namespace brimble {

enum class MessageSeverity { Plain, Warning, Error };

// A message of the build: its text, its caption and the icon it shows.
struct BuildMessage {
    std::string text;                   // UTF-8
    std::optional<std::string> caption; // none: no caption given, the application's name shows
    MessageSeverity severity = MessageSeverity::Plain;

    bool operator==(const BuildMessage&) const = default;
};

// "Can't open %s." with the emulator image's path last tried; "Oh no!", error.
BuildMessage EmulatorMissingMessage(const std::filesystem::path& tried);
// The splash warning; "Oh no!", warning. The build goes on after it.
BuildMessage SplashWarningMessage();
// "Can't write to %s." with the output path; no caption, error. The build stops.
BuildMessage OutputUnwritableMessage(const std::filesystem::path& output);
// "Can't write to %s." with the database's path; "Oh no!", warning. The image is written;
// without it, options edited in the window would be lost without a word.
BuildMessage DatabaseUnwritableMessage(const std::filesystem::path& database);
// "Done!"; "Brimble 1.1", no icon.
BuildMessage DoneMessage();

// The emulator image that starts the image, opened for binary reading, with the path that was
// tried as it was given or stored (a relative path stays relative, for the message).
struct EmulatorImage {
    std::filesystem::path path;
    std::ifstream stream;

    bool IsOpen() const { return stream.is_open(); }
};

// Opens the file for binary reading; a relative path is resolved against the current
// directory now. A folder does not open.
EmulatorImage OpenEmulatorImage(const std::filesystem::path& path);
// The file that "vantaro" names, "Vantaro.GBA" when the key is missing.
EmulatorImage OpenEmulatorImage(const SettingsStore& store);

// What the controls and the list give the build.
struct BuildInputs {
    std::filesystem::path output;
    std::optional<std::filesystem::path> splash;    // none: "splash screen" is unchecked
    std::optional<std::filesystem::path> savedList; // none: the saved list is left alone
    std::vector<RomEntry> entries;                  // in display order
    bool autonumber = false;
    bool flag190k = false;
};

struct BuildHooks {
    // Shows the splash warning and returns once the user has seen it.
    std::function<void(const BuildMessage&)> warning;
    // Before each list position and once at the end (position = entry count).
    std::function<void(std::size_t position, std::uint64_t bytesWritten)> progress;
    SplashLoader splashLoader; // the raw rule when empty
};

struct BuildReport {
    CompilationResult image;
    std::optional<DatabaseSaveResult> database; // none: the build stopped before it
    std::vector<BuildMessage> messages;         // to show once the writing is over, in order

    // True when the image was written: the build ends with "Done!" and the window closes.
    bool Finished() const { return image.outcome == WriteOutcome::ImageWritten; }
};

// The image alone; the emulator image is closed afterwards, whatever the outcome.
CompilationResult WriteBuildImage(const BuildInputs& inputs, EmulatorImage& emulator, const BuildHooks& hooks);

// The image, then, once it is written, the database to the file that "quorrel" names. The
// report's messages are "Can't write to %s." for the output alone, or the database warning when
// the database could not be written, then "Done!".
BuildReport RunBuild(const SettingsStore& store, const GameDatabase& database, const BuildInputs& inputs,
                     EmulatorImage& emulator, const BuildHooks& hooks);

} // namespace brimble
