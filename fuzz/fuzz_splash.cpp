// Arbitrary bytes as a splash file. A file whose padded size is 76,800 must come back as itself;
// anything else must either be refused with a reason or give exactly 76,800 bytes of GBA
// colours (bit 15 clear), the same whether read from the file or from memory.
#include "splash/SplashSource.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

namespace {

using namespace brimble;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    // In memory: a file a run would cost the disk more than the decoder.
    const SplashData splash = LoadSplashBytes(input);
    Check(splash.status != SplashData::Status::Absent);

    if (((size + 3) & ~std::size_t{3}) == kSplashSize) {
        Check(splash.status == SplashData::Status::Ready);
        Check(splash.bytes.size() == kSplashSize);
        Check(std::equal(input.begin(), input.end(), splash.bytes.begin()));
        for (std::size_t i = size; i < kSplashSize; ++i)
            Check(splash.bytes[i] == 0);
        return 0;
    }

    if (splash.status == SplashData::Status::WrongFormat) {
        Check(!splash.reason.empty());
        Check(splash.bytes.empty());
        Check(ConvertPicture(input).status == SplashData::Status::WrongFormat);
        return 0;
    }

    Check(splash.bytes.size() == kSplashSize);
    for (std::size_t i = 1; i < kSplashSize; i += 2)
        Check((splash.bytes[i] & 0x80) == 0);
    Check(ConvertPicture(input).bytes == splash.bytes);

    // What the preview shows is what the GBA stores.
    const Picture shown = SplashToPicture(splash.bytes);
    Check(shown.width == kSplashWidth && shown.height == kSplashHeight && shown.channels == 3);
    for (std::size_t i = 0; i < kSplashSize / 2; ++i) {
        const std::uint8_t* rgb = shown.pixels.data() + i * 3;
        const auto stored = static_cast<std::uint16_t>(splash.bytes[i * 2] | (splash.bytes[i * 2 + 1] << 8));
        Check(ToGbaColour(rgb[0], rgb[1], rgb[2]) == stored);
    }
    return 0;
}
