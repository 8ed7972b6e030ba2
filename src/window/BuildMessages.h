#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The texts that a build shows, shared by the window and the command line, and the messages
// the window shows with them. Paths are put in as the user gave them, without quotation marks.

namespace brimble {

inline constexpr std::string_view kProgramCaption = "Brimble 1.1";
inline constexpr std::string_view kFailureCaption = "Oh no!";
inline constexpr std::string_view kDoneMessage = "Done!";

std::string CantOpenMessage(std::string_view path);  // "Can't open %s."
std::string CantWriteMessage(std::string_view path); // "Can't write to %s."

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
// "Can't write to %s." with the output path, and the system's reason on a second line when it
// is known; no caption, error. The build stops.
BuildMessage OutputUnwritableMessage(const std::filesystem::path& output, const std::error_code& reason = {});

// A file named and the reason it was passed over, for the lists of the messages below.
struct PassedOver {
    std::filesystem::path path;
    std::string reason;
};
// The ROMs the image went without, one a line with the reason; "Oh no!", warning. Shown before
// "Done!".
BuildMessage LeftOutMessage(const std::vector<PassedOver>& roms);
// The files an add or a drop could not add; "Oh no!", warning.
BuildMessage NotAddedMessage(const std::vector<PassedOver>& files);
// The ROMs of the saved list that could not be put back at start; "Oh no!", warning.
BuildMessage NotRestoredMessage(const std::vector<PassedOver>& roms);
// "Can't write to %s." with the database's path; "Oh no!", warning. The image is written;
// without it, options edited in the window would be lost without a word.
BuildMessage DatabaseUnwritableMessage(const std::filesystem::path& database);
// "The image will be N MiB; a cartridge holds 32 MiB. Build anyway?", asked before a build
// whose image fits no cartridge; "Brimble 1.1", warning.
BuildMessage OversizeQuestion(std::uint64_t imageSize);
// "Done!"; "Brimble 1.1", no icon.
BuildMessage DoneMessage();

} // namespace brimble
