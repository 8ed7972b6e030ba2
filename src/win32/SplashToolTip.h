#pragma once

#include "splash/PictureFile.h"

#include <cstdint>
#include <vector>
#include <windows.h>

namespace brimble::win32 {

// The picture that the splash path box's tooltip shows: the splash as the GBA will show it,
// its pixels one for one with the screen's, two by two from 192 DPI up.
class SplashToolTipPicture {
public:
    void Set(const Picture& picture);
    void Clear() { m_pixels.clear(); }
    bool Empty() const { return m_pixels.empty(); }

    // The tooltip's client size for the picture and its margin at a DPI.
    SIZE ClientSize(UINT dpi) const;
    void Draw(HDC dc, const RECT& client, UINT dpi) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_pixels; // rows of blue, green, red, top row first
};

} // namespace brimble::win32
