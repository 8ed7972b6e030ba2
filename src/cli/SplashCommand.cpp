#include "Cli.h"
#include "Commands.h"
#include "window/BuildMessages.h"
#include "catalogue/AtomicFile.h"
#include "splash/SplashSource.h"

#include <CLI/CLI.hpp>

namespace brimble::cli {

CLI::App* AddSplashCommand(CLI::App& app, SplashOptions& options) {
    auto* splash =
        app.add_subcommand("splash", "Turn a picture into a raw splash, or show what the GBA will show for a splash");
    splash->require_subcommand(1);
    splash->footer("IN is a raw splash (a file of 76,800 bytes, or 76,797 to 76,799 padded with zeros) or a PNG,\n"
                   "JPEG, BMP or GIF picture (its first frame). A 240x160 picture is taken pixel for pixel; any\n"
                   "other size is scaled to fit 240x160 with its proportions kept and centred on black.\n"
                   "Transparent pixels are laid over black.");

    auto* convert = splash->add_subcommand("convert", "Write the 76,800-byte raw splash that IN gives");
    convert->add_option("in", options.input, "A raw splash or a PNG, JPEG, BMP or GIF picture")->required();
    convert->add_option("out", options.output, "The raw splash file to write")->required();
    convert->callback([&options] { options.action = SplashOptions::Action::Convert; });

    auto* preview = splash->add_subcommand("preview", "Write a 240x160 PNG of what the GBA will show for IN");
    preview->add_option("in", options.input, "A raw splash or a PNG, JPEG, BMP or GIF picture")->required();
    preview->add_option("out", options.output, "The PNG file to write")->required();
    preview->callback([&options] { options.action = SplashOptions::Action::Preview; });
    return splash;
}

int RunSplash(const SplashOptions& options, std::ostream& out, std::ostream& err) {
    const SplashData splash = LoadSplash(ArgumentPath(options.input));
    if (splash.status != SplashData::Status::Ready) {
        err << "brimble-cli: " << options.input << ": " << splash.reason << "\n";
        return kExitFailed;
    }

    const std::filesystem::path output = ArgumentPath(options.output);
    bool written = false;
    if (options.action == SplashOptions::Action::Convert) {
        std::optional<AtomicFile> file = AtomicFile::Create(output);
        written = file && file->Write(std::span<const std::uint8_t>(splash.bytes)) && file->Commit();
    } else {
        written = WritePictureFile(output, SplashToPicture(splash.bytes), PictureFormat::Png);
    }
    if (!written) {
        err << CantWriteMessage(options.output) << "\n";
        return kExitFailed;
    }
    if (options.action == SplashOptions::Action::Convert)
        out << options.output << ": " << splash.bytes.size() << " bytes\n";
    else
        out << options.output << ": " << kSplashWidth << "x" << kSplashHeight << " PNG\n";
    return kExitOk;
}

} // namespace brimble::cli
