#pragma once
// GIF files built byte by byte, the encoder driven over index pictures, and
// an independent reading of an LZW code stream, for the GIF codec's tests.

#include "CGif.h"

#include <cstdint>
#include <string>
#include <vector>

namespace GifTest {

using Bytes = std::vector<std::uint8_t>;

// A palette of n colours that differ from each other, so that a decoded
// colour names its index.
std::vector<COLORREF> DistinctPalette(int n);

// "GIF87a" or "GIF89a" header; the table is written when not empty (its
// size must be a power of two from 2 to 256).
Bytes Header(const char* version, int width, int height, const std::vector<COLORREF>& table);
// Image descriptor, optional local table, minimum code size and the data
// in sub-blocks with its terminator.
Bytes Image(int width, int height, bool interlaced, const std::vector<COLORREF>& localTable, int minimumCodeSize,
            const Bytes& lzw);
// Bytes cut into sub-blocks of at most 255, followed by the terminator.
Bytes SubBlocks(const Bytes& data);
// Codes packed least significant bit first, each with its own width.
struct Code {
    int value;
    int width;
};
Bytes PackCodes(const std::vector<Code>& codes);
// Straightforward LZW of the indices (clear first, a clear whenever the table
// fills, end last), an encoder of our own that shares nothing with CGif.
Bytes Compress(const std::vector<std::uint8_t>& indices, int minimumCodeSize);
// A whole one-image file.
Bytes File(int width, int height, const std::vector<COLORREF>& palette, const std::vector<std::uint8_t>& indices,
           bool interlaced = false);
void Append(Bytes& to, const Bytes& more);

// Pixels of an image as 0x00BBGGRR colours, row by row.
std::vector<COLORREF> Colours(HBITMAP image);
// The palette index of each pixel's colour, -1 where the colour is not in it.
std::vector<int> Indices(HBITMAP image, const std::vector<COLORREF>& palette);

// Writes indices through CGif's encoder from an 8-bit picture of them; the
// first non-zero result of its steps, else 0.
int Encode(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
           const std::vector<COLORREF>& palette);
// Loads a file with CGif and returns its first image, or null.
HBITMAP Decode(const std::string& path);

// What an independent reading of the first image's code stream finds.
struct CodeStream {
    bool found = false;
    int minimumCodeSize = 0;
    int codes = 0;
    int maxWidth = 0;
    int clears = 0;         // clear codes after the first code
    int clearsAtWidth12 = 0;
    bool ended = false;     // an end code was met
    Bytes data;             // the data bytes without the sub-block lengths
};
CodeStream Inspect(const Bytes& file);

// ImageMagick by its full path, with a reason to skip when absent.
bool HaveConvert();
int Convert(const std::string& arguments);
// Writes pixels as a binary PPM.
void WritePpm(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);

} // namespace GifTest
