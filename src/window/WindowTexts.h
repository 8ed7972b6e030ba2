#pragma once

#include "MainWindowView.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The window's own texts that every face shows alike: the toggle's two captions, the three
// commands of the system menu, the total's warning, the five file dialogs and the details panel's
// file name.

namespace brimble {

inline constexpr std::string_view kHideCaption = "<< Hide";
inline constexpr std::string_view kMoreCaption = "More >>";

inline constexpr std::string_view kLocateEmulatorCommand = "Locate Vantaro.GBA...";
inline constexpr std::string_view kLocateGoodNesCommand = "Locate GoodNES database...";
inline constexpr std::string_view kLocateQuorrelCommand = "Locate Quorrel database...";

// The total label's tooltip while the image would outgrow a cartridge.
std::string TotalWarningToolTip(std::uint64_t imageSize);

// The window's file dialogs.
enum class FileDialogUse {
    AddRoms,  // the add button: several *.NES files or zip archives, opening in "lastdir"
    Output,   // the output's "..": a *.GBA file to write
    Emulator, // "Locate Vantaro.GBA..."
    ListFile, // "Locate GoodNES database..." and "Locate Quorrel database..."
    Splash,   // the splash path's "..": a raw splash or a picture
};

// The request of a use: title, filters (the use's own, then all files, "*"), mode, default
// suffix and whether the file must exist. The initial directory is set only where it is
// fixed ("." for the output); the add dialog's comes from the settings.
FileDialogRequest FileDialogFor(FileDialogUse use);

// The details panel's file name: the ROM's file name, and for a member of a zip archive the
// archive's name after it ("Game (U).nes in Set.zip").
std::string FileNameLabel(const std::filesystem::path& romPath, const std::filesystem::path& fileName);

} // namespace brimble
