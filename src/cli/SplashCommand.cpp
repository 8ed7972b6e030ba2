#include "Cli.h"
#include "Commands.h"
#include "catalogue/AtomicFile.h"
#include "catalogue/Paths.h"
#include "splash/SplashSource.h"

#include <CLI/CLI.hpp>

namespace brimble::cli {

CLI::App* AddSplashCommand(CLI::App& app, SplashOptions& options) {
    auto* splash =
        app.add_subcommand("splash", "Turn a picture into a raw splash, or show what the GBA will show for a splash");
    splash->footer("IN is a raw splash (a file of 76,800 bytes, or 76,797 to 76,799 padded with zeros) or a PNG,\n"
                   "JPEG, BMP or GIF picture (its first frame) of at most 64 megapixels. A 240x160 picture is\n"
                   "taken pixel for pixel; any other size is scaled to fit 240x160 with its proportions kept and\n"
                   "centred on black. Transparent pixels are laid over black. OUT may be - for standard output.");

    auto* convert = splash->add_subcommand("convert", "Write the 76,800-byte raw splash that IN gives");
    convert->add_option("in", options.input, "A raw splash or a PNG, JPEG, BMP or GIF picture");
    convert->add_option("out", options.output, "The raw splash file to write");
    convert->callback([&options] { options.action = SplashOptions::Action::Convert; });

    auto* preview = splash->add_subcommand("preview", "Write a 240x160 PNG of what the GBA will show for IN");
    preview->add_option("in", options.input, "A raw splash or a PNG, JPEG, BMP or GIF picture");
    preview->add_option("out", options.output, "The PNG file to write");
    preview->callback([&options] { options.action = SplashOptions::Action::Preview; });
    return splash;
}

int RunSplash(const SplashOptions& options, std::ostream& out, std::ostream& err) {
    const char* command = options.action == SplashOptions::Action::Convert ? "splash convert" : "splash preview";
    if (!options.action)
        return UsageError(err, "name convert or preview", "splash");
    if (!options.input || !options.output)
        return UsageError(err, "name the picture to read and the file to write", command);

    const std::filesystem::path input = ArgumentPath(*options.input);
    const std::filesystem::path output = ArgumentPath(*options.output);
    if (!IsStandardOutput(*options.output) && NamesSameFile(output, input)) {
        Complain(err, *options.output, "is the file to read; name another file to write");
        return kExitFailed;
    }
    const SplashData splash = LoadSplash(input);
    if (splash.status != SplashData::Status::Ready) {
        Complain(err, *options.input, splash.reason);
        return kExitFailed;
    }

    std::error_code error;
    bool written = false;
    if (options.action == SplashOptions::Action::Convert) {
        std::optional<AtomicFile> file = AtomicFile::Create(output, error);
        written = file && file->Write(std::span<const std::uint8_t>(splash.bytes)) && file->Commit();
        if (file && !written)
            error = file->Error();
    } else {
        written = WritePictureFile(output, SplashToPicture(splash.bytes), PictureFormat::Png, error);
    }
    if (!written) {
        Complain(err, *options.output, WriteProblem(error));
        return kExitFailed;
    }
    std::ostream& report = IsStandardOutput(*options.output) ? err : out;
    if (options.action == SplashOptions::Action::Convert)
        report << Printable(*options.output) << ": " << splash.bytes.size() << " bytes\n";
    else
        report << Printable(*options.output) << ": " << kSplashWidth << "x" << kSplashHeight << " PNG\n";
    return kExitOk;
}

} // namespace brimble::cli
