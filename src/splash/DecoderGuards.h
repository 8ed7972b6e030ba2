#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace brimble {

// Checks for damaged files that the picture decoder would mishandle rather than refuse, or
// refuse only after setting aside memory for what the file claims. Each reads the file as the
// decoder will and says what is wrong ("cut short", "damaged (...)"), or nothing when the
// decoder may be given the file.

// A file with the PNG signature whose chunks are not whole: cut short, a chunk whose checksum
// does not match its bytes, or a first chunk that is no header. The decoder checks no checksum
// and would show a damaged picture; it would call a cut one no picture at all.
std::string_view PngDamage(std::span<const std::uint8_t> file);

// The width and height that a PNG's header claims; call after PngDamage found nothing.
struct PictureSize {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
};
PictureSize PngSize(std::span<const std::uint8_t> file);

// More pixels than a PNG's compressed data could expand to.
std::string_view PngFault(std::span<const std::uint8_t> file);

// A Huffman table of more than 256 codes, which the decoder would write past the end of its
// tables; a scan that uses a Huffman or quantisation table that was never defined, or a
// component that no scan fills, which it would decode from whatever its memory held.
std::string_view JpegFault(std::span<const std::uint8_t> file);

// A BMP with a palette that has a pixel whose index lies beyond its palette (or a palette of
// negative size), which the decoder would colour from memory it never filled.
std::string_view BmpFault(std::span<const std::uint8_t> file);

} // namespace brimble
