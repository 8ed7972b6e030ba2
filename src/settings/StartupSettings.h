#pragma once

#include "SettingsStore.h"

#include <filesystem>

namespace brimble {

// What the window takes from the settings at start and gives back when it closes.
struct StartupSettings {
    std::filesystem::path settingsPath;  // absolute "brimble.ini" in the start directory
    std::filesystem::path savedListPath; // absolute "saved.txt" beside it
    bool flag190k = false;
    bool saveList = false;
    bool autonumber = false;
    bool useSplash = false;
    std::filesystem::path outputFile;
    std::filesystem::path splashFile;
};

// Fixes both paths against the current directory, then reads the switches and the two paths.
StartupSettings ReadStartupSettings();

// The four switches as "%i", then splashfile only when the splash path is not empty.
void WriteClosingSettings(const SettingsStore& store, const StartupSettings& settings);

} // namespace brimble
