#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

namespace brimble {

// Pixels row by row from the top, each pixel `channels` bytes: 1 grey, 2 grey and alpha,
// 3 RGB or 4 RGBA (alpha not premultiplied).
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels;
};

enum class PictureFormat { Png, Bmp, Jpeg };

// The picture as a file of the given format; empty when the picture is malformed (no pixels,
// a pixel count that does not match its size) or cannot be encoded. jpegQuality is 1 to 100.
std::vector<std::uint8_t> EncodePicture(const Picture& picture, PictureFormat format, int jpegQuality = 90);

// Encodes the picture and writes it through an atomic file. False when it cannot be encoded
// or written; an existing file is then left as it was.
bool WritePictureFile(const std::filesystem::path& path, const Picture& picture, PictureFormat format,
                      int jpegQuality = 90);
// The same, saying why when it fails.
bool WritePictureFile(const std::filesystem::path& path, const Picture& picture, PictureFormat format,
                      std::error_code& error, int jpegQuality = 90);

} // namespace brimble
