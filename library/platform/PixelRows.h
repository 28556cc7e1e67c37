#pragma once
// Row conversions between the device-image formats and 32-bit 0x00RRGGBB
// pixels, the common currency of every copy between images of different
// depths. Each call handles a whole run of pixels.

#include "Bitmap.h"

#include <cstdint>

namespace PixelRows {

// Reads count pixels of row y starting at column x.
void Read(const Bitmap& image, int x, int y, int count, std::uint32_t* out);
// Writes count pixels to row y starting at column x.
void Write(Bitmap& image, int x, int y, int count, const std::uint32_t* in);
// One colour in the image's own format, for fills.
std::uint32_t Encode(const Bitmap& image, std::uint32_t rgb);
// Fills count pixels with a value made by Encode.
void Fill(Bitmap& image, int x, int y, int count, std::uint32_t encoded);

constexpr std::uint32_t FromColorRef(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ToColorRef(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace PixelRows
