#pragma once

#include "BuildMessages.h"
#include "builder/CompilationWriter.h"
#include "catalogue/GameTables.h"
#include "catalogue/RomEntry.h"
#include "settings/DatabaseSettings.h"
#include "settings/SettingsStore.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

// The build as the window runs it, without the window: opening the emulator image named by the
// settings, writing the image, writing the game database back, and the messages that tell the
// user how it went. The presenter gathers the inputs, asks its dialogs and shows the messages;
// brimble-cli build runs the same opening and writing with its own inputs.

namespace brimble {

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
BuildReport RunBuildFlow(const SettingsStore& store, const GameDatabase& database, const BuildInputs& inputs,
                         EmulatorImage& emulator, const BuildHooks& hooks);

} // namespace brimble
