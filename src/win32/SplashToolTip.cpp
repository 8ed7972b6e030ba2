#include "SplashToolTip.h"

namespace brimble::win32 {
namespace {

constexpr int kMargin = 3;

int Factor(UINT dpi) {
    return dpi >= 192 ? 2 : 1;
}

} // namespace

void SplashToolTipPicture::Set(const Picture& picture) {
    m_pixels.clear();
    if (picture.width <= 0 || picture.height <= 0 || picture.channels < 3)
        return;
    m_width = picture.width;
    m_height = picture.height;
    // Rows of a bitmap start at multiples of four bytes.
    const std::size_t stride = (static_cast<std::size_t>(m_width) * 3 + 3) / 4 * 4;
    m_pixels.assign(stride * static_cast<std::size_t>(m_height), 0);
    const auto channels = static_cast<std::size_t>(picture.channels);
    for (std::size_t y = 0; y < static_cast<std::size_t>(m_height); ++y) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(m_width); ++x) {
            const std::uint8_t* from = &picture.pixels[(y * static_cast<std::size_t>(m_width) + x) * channels];
            std::uint8_t* to = &m_pixels[y * stride + x * 3];
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
}

SIZE SplashToolTipPicture::ClientSize(UINT dpi) const {
    return SIZE{m_width * Factor(dpi) + 2 * kMargin, m_height * Factor(dpi) + 2 * kMargin};
}

void SplashToolTipPicture::Draw(HDC dc, const RECT& client, UINT dpi) const {
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (Empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int width = m_width * Factor(dpi);
    const int height = m_height * Factor(dpi);
    const int left = client.left + (client.right - client.left - width) / 2;
    const int top = client.top + (client.bottom - client.top - height) / 2;
    // Whole multiples keep every pixel sharp.
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, left, top, width, height, 0, 0, m_width, m_height, m_pixels.data(), &info, DIB_RGB_COLORS,
                    SRCCOPY);
}

} // namespace brimble::win32
