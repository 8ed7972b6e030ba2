#include "WindowTexts.h"

#include "PanelRules.h"
#include "catalogue/Paths.h"
#include "catalogue/RomSource.h"

namespace brimble {
namespace {

FileFilter AllFiles() {
    return {"*.*", {"*"}};
}

} // namespace

std::string TotalWarningToolTip(std::uint64_t imageSize) {
    return "The image would take " + FormatKib(imageSize) + ", more than the 32768k of the largest GBA cartridge.";
}

FileDialogRequest FileDialogFor(FileDialogUse use) {
    FileDialogRequest request;
    switch (use) {
    case FileDialogUse::AddRoms:
        request.mode = FileDialogRequest::Mode::OpenMany;
        request.title = "Add NES files...";
        request.filters = {{"*.NES;*.zip", {"*.NES", "*.zip"}}, AllFiles()};
        request.mustExist = true;
        break;
    case FileDialogUse::Output:
        request.mode = FileDialogRequest::Mode::Save;
        request.filters = {{"*.GBA", {"*.GBA"}}, AllFiles()};
        request.initialDirectory = ".";
        request.defaultSuffix = "GBA";
        break;
    case FileDialogUse::Emulator:
        request.title = "Locate Vantaro.GBA...";
        request.filters = {{"Vantaro.GBA", {"Vantaro.GBA"}}, AllFiles()};
        request.mustExist = true;
        break;
    case FileDialogUse::ListFile:
        request.filters = {{"*.lst;*.db;*.dat", {"*.lst", "*.db", "*.dat"}}, AllFiles()};
        request.mustExist = true;
        break;
    case FileDialogUse::Splash:
        request.title = "Choose splash screen...";
        request.filters = {{"*.raw;*.bin;*.png;*.jpg;*.jpeg;*.bmp;*.gif",
                            {"*.raw", "*.bin", "*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif"}},
                           AllFiles()};
        request.mustExist = true;
        break;
    }
    return request;
}

std::string FileNameLabel(const std::filesystem::path& romPath, const std::filesystem::path& fileName) {
    const std::filesystem::path onDisk = RomFileOnDisk(romPath);
    if (onDisk == romPath)
        return PathToUtf8(fileName);
    return PathToUtf8(fileName) + " in " + PathToUtf8(onDisk.filename());
}

} // namespace brimble
