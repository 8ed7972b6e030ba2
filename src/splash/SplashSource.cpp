#include "SplashSource.h"

#include "DecoderGuards.h"
#include "catalogue/InputFile.h"
#include "catalogue/NesFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <system_error>

namespace brimble {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSplashPixels = static_cast<std::size_t>(kSplashWidth) * kSplashHeight;
static_assert(kSplashPixels * 2 == kSplashSize);

constexpr std::string_view kNotAPicture = "not a PNG, JPEG, BMP or GIF picture";

enum class PictureKind { Png, Jpeg, Bmp, Gif, Other };

// Told apart by their first bytes, as the decoder tells them apart.
PictureKind Sniff(std::span<const std::uint8_t> file) {
    auto startsWith = [&](std::string_view magic) {
        return file.size() >= magic.size() && std::memcmp(file.data(), magic.data(), magic.size()) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1A\n"))
        return PictureKind::Png;
    if (startsWith("\xFF"))
        return PictureKind::Jpeg;
    if (startsWith("BM"))
        return PictureKind::Bmp;
    if (startsWith("GIF8"))
        return PictureKind::Gif;
    return PictureKind::Other;
}

// The most pixels a file of each kind can describe for each byte it holds, with room to spare.
// A header may claim any size, and the decoder allocates for the claim before it finds the data
// missing; a claim beyond these is damage, refused before decoding. A PNG row holds up to 8
// pixels a byte and deflate expands at most 1,032 times; a 12-bit LZW code stands for at most
// 4,096 pixels; a JPEG spends at least one bit on each 8 x 8 block of its fullest component;
// an uncompressed BMP at least one bit on each pixel.
std::uint64_t MaxPixelsPerByte(PictureKind kind) {
    switch (kind) {
    case PictureKind::Png:
        return 8448;
    case PictureKind::Gif:
        return 2800;
    case PictureKind::Jpeg:
        return 576;
    case PictureKind::Bmp:
        return 8;
    case PictureKind::Other:
        break;
    }
    return 8448;
}

// The decoder reads through these so that a picture that ends too soon is noticed: stb goes on
// with zeros when its input runs out, and would give half a picture.
struct MemoryReader {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    bool overrun = false; // the decoder wanted bytes past the end

    std::size_t Left() const { return bytes.size() - position; }
};

int ReadBytes(void* user, char* data, int size) {
    auto& reader = *static_cast<MemoryReader*>(user);
    if (size <= 0)
        return 0;
    if (reader.Left() == 0) {
        reader.overrun = true;
        return 0;
    }
    const std::size_t count = std::min(reader.Left(), static_cast<std::size_t>(size));
    std::memcpy(data, reader.bytes.data() + reader.position, count);
    reader.position += count;
    return static_cast<int>(count);
}

void SkipBytes(void* user, int count) {
    auto& reader = *static_cast<MemoryReader*>(user);
    if (count < 0) {
        reader.position -= std::min(reader.position, static_cast<std::size_t>(-static_cast<long long>(count)));
        return;
    }
    if (static_cast<std::size_t>(count) > reader.Left()) {
        reader.overrun = true;
        reader.position = reader.bytes.size();
        return;
    }
    reader.position += static_cast<std::size_t>(count);
}

int AtEnd(void* user) {
    return static_cast<MemoryReader*>(user)->Left() == 0 ? 1 : 0;
}

struct StbFree {
    void operator()(std::uint8_t* pixels) const { stbi_image_free(pixels); }
};

// Decoded pixels as stb allocated them, always RGBA (the decoder's fastest colour conversion
// writes four bytes a pixel); opaque when the format has no transparency.
struct Decoded {
    std::unique_ptr<std::uint8_t, StbFree> pixels;
    int width = 0;
    int height = 0;
    bool opaque = false;
    bool unrecognised = false;
    std::string error;
};

std::string SizeText(std::uint64_t width, std::uint64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Why a picture of this size is refused, before anything is decoded; empty when it is not.
// Decoding a picture takes time and memory in proportion to its pixels, whatever its file
// holds: a photograph of 16,384 x 16,384 took seconds and more than a gigabyte.
std::string SizeProblem(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0)
        return "the picture is damaged (it claims " + SizeText(width, height) + " pixels)";
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return "the picture is " + SizeText(width, height) + " pixels; a splash picture may be at most " +
               std::to_string(kMaxPictureSide) + " on a side";
    if (width * height > kMaxPicturePixels)
        return "the picture is " + SizeText(width, height) + " pixels (" + std::to_string(width * height / 1'000'000) +
               " megapixels); a splash picture may have at most 64 megapixels";
    return {};
}

Decoded Decode(std::span<const std::uint8_t> file) {
    Decoded decoded;
    if (file.empty() || file.size() > kMaxPictureFileSize) {
        decoded.unrecognised = true;
        decoded.error = kNotAPicture;
        return decoded;
    }
    const auto length = static_cast<int>(file.size());

    int width = 0;
    int height = 0;
    int channels = 0;
    const PictureKind kind = Sniff(file);
    // The PNG's own header gives the size before the decoder is asked, so that a file the
    // decoder would not even measure is called what it is.
    if (kind == PictureKind::Png) {
        if (const std::string_view damage = PngDamage(file); !damage.empty()) {
            decoded.error = "the picture is " + std::string(damage);
            return decoded;
        }
        const PictureSize size = PngSize(file);
        if (std::string problem = SizeProblem(size.width, size.height); !problem.empty()) {
            decoded.error = std::move(problem);
            return decoded;
        }
    }
    // The JPEG decoder reads its tables already when it measures the picture.
    if (const std::string_view fault = kind == PictureKind::Jpeg ? JpegFault(file) : std::string_view();
        !fault.empty()) {
        decoded.error = "the picture is " + std::string(fault);
        return decoded;
    }
    if (!stbi_info_from_memory(file.data(), length, &width, &height, &channels)) {
        if (kind == PictureKind::Png) {
            const char* why = stbi_failure_reason();
            decoded.error = std::string("the picture is damaged (") + (why && *why ? why : "unreadable") + ")";
        } else {
            decoded.unrecognised = true;
            decoded.error = kNotAPicture;
        }
        return decoded;
    }
    if (width <= 0 || height <= 0) {
        decoded.error =
            "the picture is damaged (it claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels)";
        return decoded;
    }
    if (std::string problem = SizeProblem(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
        !problem.empty()) {
        decoded.error = std::move(problem);
        return decoded;
    }
    const auto pixelCount = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixelCount > MaxPixelsPerByte(kind) * file.size()) {
        decoded.error = "the picture is damaged (it claims " + SizeText(width, height) + " pixels, more than " +
                        std::to_string(file.size()) + " bytes can hold)";
        return decoded;
    }

    const std::string_view fault = kind == PictureKind::Png   ? PngFault(file)
                                   : kind == PictureKind::Bmp ? BmpFault(file)
                                                              : std::string_view();
    if (!fault.empty()) {
        decoded.error = "the picture is " + std::string(fault);
        return decoded;
    }

    MemoryReader reader{file};
    const stbi_io_callbacks callbacks{ReadBytes, SkipBytes, AtEnd};
    decoded.pixels.reset(stbi_load_from_callbacks(&callbacks, &reader, &width, &height, &channels, 4));
    // stb also stops by itself when a block it reads whole runs past the end.
    const char* why = decoded.pixels ? nullptr : stbi_failure_reason();
    if (reader.overrun || (why && std::string_view(why) == "outofdata")) {
        decoded.pixels.reset();
        decoded.error = "the picture is cut short";
        return decoded;
    }
    if (!decoded.pixels) {
        decoded.error = std::string("the picture is damaged (") + (why && *why ? why : "unreadable") + ")";
        return decoded;
    }
    decoded.width = width;
    decoded.height = height;
    decoded.opaque = kind == PictureKind::Jpeg;
    return decoded;
}

// c * 31 / 255 to the nearest whole number; no channel value falls half-way.
constexpr std::array<std::uint8_t, 256> MakeLevels() {
    std::array<std::uint8_t, 256> levels{};
    for (unsigned c = 0; c < 256; ++c)
        levels[c] = static_cast<std::uint8_t>((c * 31 + 127) / 255);
    return levels;
}
constexpr std::array<std::uint8_t, 256> kLevels = MakeLevels();

// Lays RGBA pixels over black, in place. Over black the colour is the colour times its
// opacity, which is also what the scaler must be given so that a transparent pixel's hidden
// colour never bleeds into its neighbours. Alpha is left as it is and read no further.
void LayOverBlack(std::uint8_t* pixels, std::size_t count) {
    for (std::uint8_t* pixel = pixels; pixel != pixels + count * 4; pixel += 4) {
        const unsigned alpha = pixel[3];
        for (int c = 0; c < 3; ++c)
            pixel[c] = static_cast<std::uint8_t>((pixel[c] * alpha + 127) / 255);
    }
}

// The size the picture takes on the screen: as large as fits, proportions kept, at least one
// pixel each way.
std::pair<int, int> FitSize(int width, int height) {
    const auto w = static_cast<std::int64_t>(width);
    const auto h = static_cast<std::int64_t>(height);
    if (w * kSplashHeight >= h * kSplashWidth) {
        const std::int64_t fitted = (h * kSplashWidth * 2 + w) / (w * 2);
        return {kSplashWidth, static_cast<int>(std::clamp<std::int64_t>(fitted, 1, kSplashHeight))};
    }
    const std::int64_t fitted = (w * kSplashHeight * 2 + h) / (h * 2);
    return {static_cast<int>(std::clamp<std::int64_t>(fitted, 1, kSplashWidth)), kSplashHeight};
}

// Scaling is done in linear light, so that fine detail shrinks to the brightness it shows.
double SrgbToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t LinearToSrgb(float linear) {
    const double c = std::clamp(static_cast<double>(linear), 0.0, 1.0);
    const double encoded = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(encoded * 255.0));
}

// Each 8-bit value in linear light, as a 16-bit fraction so that sums stay in whole numbers.
const std::array<std::uint16_t, 256>& LinearTable() {
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> values{};
        for (int c = 0; c < 256; ++c)
            values[c] = static_cast<std::uint16_t>(std::lround(SrgbToLinear(c / 255.0) * 65535.0));
        return values;
    }();
    return table;
}

// A picture reduced to one pixel for each block of `block` x `block` pixels, averaged in linear
// light; the blocks of the last row and column may be short. Photos are many times larger than
// the screen, and a filter that looked at every pixel at full size would take far longer than
// this average does, to the same effect.
struct Reduced {
    std::vector<float> pixels; // linear RGB
    int width = 0;
    int height = 0;
};

Reduced BoxReduce(const std::uint8_t* rgba, int width, int height, int block) {
    const auto& linear = LinearTable();
    Reduced reduced;
    reduced.width = (width + block - 1) / block;
    reduced.height = (height + block - 1) / block;
    reduced.pixels.resize(static_cast<std::size_t>(reduced.width) * static_cast<std::size_t>(reduced.height) * 3);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(reduced.width) * 3);
    float* out = reduced.pixels.data();
    for (int top = 0; top < height; top += block) {
        const int bottom = std::min(height, top + block);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* pixel = rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
            std::uint32_t* sum = sums.data();
            for (int left = 0; left < width; left += block, sum += 3) {
                const int right = std::min(width, left + block);
                std::uint32_t r = 0;
                std::uint32_t g = 0;
                std::uint32_t b = 0;
                for (int x = left; x < right; ++x, pixel += 4) {
                    r += linear[pixel[0]];
                    g += linear[pixel[1]];
                    b += linear[pixel[2]];
                }
                sum[0] += r;
                sum[1] += g;
                sum[2] += b;
            }
        }
        for (int left = 0; left < width; left += block) {
            const int count = (std::min(width, left + block) - left) * (bottom - top);
            const float scale = 1.0f / (static_cast<float>(count) * 65535.0f);
            const std::uint32_t* sum = sums.data() + (left / block) * 3;
            for (int c = 0; c < 3; ++c)
                *out++ = static_cast<float>(sum[c]) * scale;
        }
    }
    return reduced;
}

// The picture at its size on the screen, RGBA, alpha unused.
std::optional<std::vector<std::uint8_t>> Scale(const Decoded& decoded, int fitWidth, int fitHeight) {
    std::vector<std::uint8_t> scaled(static_cast<std::size_t>(fitWidth) * static_cast<std::size_t>(fitHeight) * 4);
    // Averaging blocks first leaves the filter at least twice the pixels it makes.
    const int block = std::min(decoded.width / fitWidth, decoded.height / fitHeight) / 2;
    if (block < 2) {
        if (!stbir_resize_uint8_generic(decoded.pixels.get(), decoded.width, decoded.height, decoded.width * 4,
                                        scaled.data(), fitWidth, fitHeight, fitWidth * 4, 4, 3,
                                        STBIR_FLAG_ALPHA_PREMULTIPLIED, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
                                        STBIR_COLORSPACE_SRGB, nullptr))
            return std::nullopt;
        return scaled;
    }

    const Reduced reduced = BoxReduce(decoded.pixels.get(), decoded.width, decoded.height, block);
    std::vector<float> filtered(static_cast<std::size_t>(fitWidth) * static_cast<std::size_t>(fitHeight) * 3);
    // The short blocks at the right and bottom hold less than a whole reduced pixel of picture.
    const float right = static_cast<float>(decoded.width) / static_cast<float>(block * reduced.width);
    const float bottom = static_cast<float>(decoded.height) / static_cast<float>(block * reduced.height);
    if (!stbir_resize_region(reduced.pixels.data(), reduced.width, reduced.height,
                             reduced.width * 3 * static_cast<int>(sizeof(float)), filtered.data(), fitWidth, fitHeight,
                             fitWidth * 3 * static_cast<int>(sizeof(float)), STBIR_TYPE_FLOAT, 3,
                             STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, STBIR_FILTER_DEFAULT,
                             STBIR_FILTER_DEFAULT, STBIR_COLORSPACE_LINEAR, nullptr, 0.0f, 0.0f, right, bottom))
        return std::nullopt;
    for (std::size_t i = 0, count = filtered.size() / 3; i < count; ++i) {
        for (std::size_t c = 0; c < 3; ++c)
            scaled[i * 4 + c] = LinearToSrgb(filtered[i * 3 + c]);
    }
    return scaled;
}

SplashData WrongFormat(std::string reason) {
    SplashData splash;
    splash.status = SplashData::Status::WrongFormat;
    splash.reason = std::move(reason);
    return splash;
}

SplashData Convert(std::span<const std::uint8_t> file, bool& unrecognised) {
    Decoded decoded = Decode(file);
    unrecognised = decoded.unrecognised;
    if (!decoded.pixels)
        return WrongFormat(std::move(decoded.error));

    if (!decoded.opaque)
        LayOverBlack(decoded.pixels.get(),
                     static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height));

    const auto [fitWidth, fitHeight] = FitSize(decoded.width, decoded.height);
    const std::uint8_t* fitted = decoded.pixels.get();
    std::optional<std::vector<std::uint8_t>> scaled;
    if (fitWidth != decoded.width || fitHeight != decoded.height) {
        scaled = Scale(decoded, fitWidth, fitHeight);
        if (!scaled)
            return WrongFormat("the picture could not be scaled");
        decoded.pixels.reset();
        fitted = scaled->data();
    }

    SplashData splash;
    splash.status = SplashData::Status::Ready;
    splash.bytes.assign(kSplashSize, 0); // black
    const int left = (kSplashWidth - fitWidth) / 2;
    const int top = (kSplashHeight - fitHeight) / 2;
    for (int y = 0; y < fitHeight; ++y) {
        const std::uint8_t* in = fitted + static_cast<std::size_t>(y) * static_cast<std::size_t>(fitWidth) * 4;
        std::uint8_t* out = splash.bytes.data() + (static_cast<std::size_t>(top + y) * kSplashWidth + left) * 2;
        for (int x = 0; x < fitWidth; ++x, in += 4, out += 2) {
            const std::uint16_t colour = ToGbaColour(in[0], in[1], in[2]);
            out[0] = static_cast<std::uint8_t>(colour & 0xFF);
            out[1] = static_cast<std::uint8_t>(colour >> 8);
        }
    }
    return splash;
}

SplashData Absent(std::string reason) {
    SplashData splash;
    splash.reason = std::move(reason);
    return splash;
}

} // namespace

std::uint16_t ToGbaColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint16_t>(kLevels[red] | (kLevels[green] << 5) | (kLevels[blue] << 10));
}

Rgb FromGbaColour(std::uint16_t colour) {
    auto spread = [](unsigned level) { return static_cast<std::uint8_t>((level * 255 + 15) / 31); };
    return Rgb{spread(colour & 0x1Fu), spread((colour >> 5) & 0x1Fu), spread((colour >> 10) & 0x1Fu)};
}

SplashData ConvertPicture(std::span<const std::uint8_t> file) {
    bool unrecognised = false;
    return Convert(file, unrecognised);
}

SplashData LoadSplash(const fs::path& path) {
    if (path.empty())
        return Absent("no splash file is named");
    std::ifstream stream;
    std::string problem;
    if (!OpenInputFile(path, stream, &problem))
        return Absent(std::move(problem));
    const std::optional<std::uint64_t> padded = PaddedFileSize(stream);
    if (!padded)
        return Absent("cannot be read");
    if (*padded == kSplashSize) {
        stream.close();
        SplashData raw = LoadRawSplash(path);
        if (raw.status == SplashData::Status::Absent && raw.reason.empty())
            raw.reason = "cannot be read";
        return raw;
    }

    stream.clear();
    const std::streamoff end = stream.tellg();
    if (end < 0)
        return Absent("cannot be read");
    const auto size = static_cast<std::uint64_t>(end);
    if (size > kMaxPictureFileSize)
        return WrongFormat("the file holds " + std::to_string(size) + " bytes; a picture may hold at most " +
                           std::to_string(kMaxPictureFileSize / (1024 * 1024)) + " MiB");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.seekg(0, std::ios::beg);
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uint64_t>(stream.gcount()) != size)
        return Absent("cannot be read");

    return LoadSplashBytes(bytes);
}

SplashData LoadSplashBytes(std::span<const std::uint8_t> file) {
    if (((file.size() + 3) & ~std::size_t{3}) == kSplashSize) {
        SplashData raw;
        raw.status = SplashData::Status::Ready;
        raw.bytes.assign(kSplashSize, 0);
        std::copy(file.begin(), file.end(), raw.bytes.begin());
        return raw;
    }
    bool unrecognised = false;
    SplashData splash = Convert(file, unrecognised);
    if (unrecognised)
        splash.reason = "neither a raw splash of " + std::to_string(kSplashSize) + " bytes (it holds " +
                        std::to_string(file.size()) + ") nor a PNG, JPEG, BMP or GIF picture";
    return splash;
}

Picture SplashToPicture(std::span<const std::uint8_t> splash) {
    Picture picture;
    if (splash.size() != kSplashSize)
        return picture;
    picture.width = kSplashWidth;
    picture.height = kSplashHeight;
    picture.channels = 3;
    picture.pixels.resize(kSplashPixels * 3);
    for (std::size_t i = 0; i < kSplashPixels; ++i) {
        const auto colour = static_cast<std::uint16_t>(splash[i * 2] | (splash[i * 2 + 1] << 8));
        const Rgb rgb = FromGbaColour(colour);
        picture.pixels[i * 3] = rgb.red;
        picture.pixels[i * 3 + 1] = rgb.green;
        picture.pixels[i * 3 + 2] = rgb.blue;
    }
    return picture;
}

SplashPreview PreviewSplash(const fs::path& path) {
    SplashData splash = LoadSplash(path);
    SplashPreview preview;
    preview.status = splash.status;
    if (splash.status == SplashData::Status::Ready)
        preview.picture = SplashToPicture(splash.bytes);
    else
        preview.reason = std::move(splash.reason);
    return preview;
}

} // namespace brimble
