#include "PictureFile.h"

#include "catalogue/AtomicFile.h"

#include <limits>
#include <span>
#include <stb/stb_image_write.h>

namespace brimble {

namespace {

// stb hands the encoded file over in pieces.
void AppendBytes(void* context, void* data, int size) {
    auto& out = *static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

bool IsWellFormed(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.channels < 1 || picture.channels > 4)
        return false;
    const auto count = static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height) *
                       static_cast<std::uint64_t>(picture.channels);
    // stb counts bytes in int.
    return count == picture.pixels.size() && count <= static_cast<std::uint64_t>(std::numeric_limits<int>::max());
}

} // namespace

std::vector<std::uint8_t> EncodePicture(const Picture& picture, PictureFormat format, int jpegQuality) {
    std::vector<std::uint8_t> out;
    if (!IsWellFormed(picture))
        return out;
    const void* pixels = picture.pixels.data();
    int written = 0;
    switch (format) {
    case PictureFormat::Png:
        written = stbi_write_png_to_func(AppendBytes, &out, picture.width, picture.height, picture.channels, pixels,
                                         picture.width * picture.channels);
        break;
    case PictureFormat::Bmp:
        written = stbi_write_bmp_to_func(AppendBytes, &out, picture.width, picture.height, picture.channels, pixels);
        break;
    case PictureFormat::Jpeg:
        written = stbi_write_jpg_to_func(AppendBytes, &out, picture.width, picture.height, picture.channels, pixels,
                                         jpegQuality);
        break;
    }
    if (!written)
        out.clear();
    return out;
}

bool WritePictureFile(const std::filesystem::path& path, const Picture& picture, PictureFormat format,
                      int jpegQuality) {
    std::error_code ignored;
    return WritePictureFile(path, picture, format, ignored, jpegQuality);
}

bool WritePictureFile(const std::filesystem::path& path, const Picture& picture, PictureFormat format,
                      std::error_code& error, int jpegQuality) {
    const std::vector<std::uint8_t> bytes = EncodePicture(picture, format, jpegQuality);
    if (bytes.empty()) {
        error = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    std::optional<AtomicFile> file = AtomicFile::Create(path, error);
    if (!file)
        return false;
    if (file->Write(std::span<const std::uint8_t>(bytes)) && file->Commit())
        return true;
    error = file->Error();
    return false;
}

} // namespace brimble
