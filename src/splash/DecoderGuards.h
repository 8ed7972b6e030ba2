#pragma once

#include <cstdint>
#include <span>

namespace brimble {

// Checks for files that the picture decoder would mishandle rather than refuse. Each reads the
// file as the decoder will, and is false only for a file that is damaged.

// False when a JPEG holds a Huffman table of more than 256 codes, which the decoder would
// write past the end of its tables.
bool JpegHuffmanTablesFit(std::span<const std::uint8_t> file);

// False when a BMP with a palette has a pixel whose index lies beyond its palette (or a
// palette of negative size), which the decoder would colour from memory it never filled.
bool BmpPaletteCoversPixels(std::span<const std::uint8_t> file);

} // namespace brimble
