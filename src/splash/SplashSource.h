#pragma once

#include "PictureFile.h"
#include "builder/CompilationWriter.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace brimble {

// The GBA screen that the splash fills.
inline constexpr int kSplashWidth = 240;
inline constexpr int kSplashHeight = 160;

// Pictures are refused beyond these, before anything is decoded.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::uint64_t kMaxPicturePixels = 64'000'000; // 64 megapixels
inline constexpr std::uint64_t kMaxPictureFileSize = 64u * 1024u * 1024u;

// The splash loader for the image writer (a SplashLoader). A file whose padded size is 76,800
// bytes is a raw splash and is taken unchanged, exactly as LoadRawSplash takes it. Any other
// file that decodes as a PNG, JPEG, BMP or GIF picture (a GIF's first frame) is converted with
// ConvertPicture. An empty path, a folder, or a file that cannot be opened or read gives
// Absent; anything else gives WrongFormat. The reason says why in both cases.
SplashData LoadSplash(const std::filesystem::path& path);

// The same rule on a file's bytes already in memory.
SplashData LoadSplashBytes(std::span<const std::uint8_t> file);

// Converts the bytes of a picture file to the 76,800 splash bytes: a 240 x 160 picture pixel for
// pixel, any other size scaled to fit 240 x 160 with its proportions kept and centred on black;
// transparent pixels are laid over black. Ready or WrongFormat, never Absent. The raw rule is
// not applied here.
SplashData ConvertPicture(std::span<const std::uint8_t> file);

// One pixel as the GBA stores it: red in bits 0-4, green in 5-9, blue in 10-14, bit 15 clear,
// each channel rounded to the nearest of its 32 levels.
std::uint16_t ToGbaColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
// The colour the GBA shows for a stored pixel, each 5-bit level spread over 0-255. Bit 15 is
// ignored.
Rgb FromGbaColour(std::uint16_t colour);

// The 240 x 160 RGB picture that 76,800 splash bytes show (little-endian 16-bit pixels).
// Nothing (an empty picture) when the bytes are not exactly 76,800.
Picture SplashToPicture(std::span<const std::uint8_t> splash);

// What the GBA will show for a splash path: the 240 x 160 RGB picture when the status is
// Ready, otherwise the reason the splash is left out (Absent) or skipped with the warning
// (WrongFormat).
struct SplashPreview {
    SplashData::Status status = SplashData::Status::Absent;
    Picture picture;
    std::string reason;
};
SplashPreview PreviewSplash(const std::filesystem::path& path);

} // namespace brimble
