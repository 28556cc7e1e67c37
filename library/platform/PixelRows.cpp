#include "PixelRows.h"

#include "SystemPalette.h"

#include <cstring>

namespace PixelRows {

namespace {

// 5- and 6-bit channels widen by repeating their top bits, so white stays 255.
inline std::uint32_t From565(std::uint16_t p)
{
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

inline std::uint16_t To565(std::uint32_t rgb)
{
    return static_cast<std::uint16_t>((((rgb >> 19) & 0x1F) << 11) | (((rgb >> 10) & 0x3F) << 5) | ((rgb >> 3) & 0x1F));
}

inline BYTE ToIndex(std::uint32_t rgb)
{
    return SystemPalette::instance().nearestIndex((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

void Read(const Bitmap& image, int x, int y, int count, std::uint32_t* out)
{
    const BYTE* row = image.row(y);
    switch (image.bitsPerPixel()) {
    case 32: {
        const BYTE* p = row + static_cast<std::size_t>(x) * 4;
        std::memcpy(out, p, static_cast<std::size_t>(count) * 4);
        for (int i = 0; i < count; ++i)
            out[i] &= 0x00FFFFFF;
        break;
    }
    case 24: {
        const BYTE* p = row + static_cast<std::size_t>(x) * 3;
        for (int i = 0; i < count; ++i, p += 3)
            out[i] = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        break;
    }
    case 16: {
        const BYTE* p = row + static_cast<std::size_t>(x) * 2;
        for (int i = 0; i < count; ++i, p += 2)
            out[i] = From565(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
        break;
    }
    case 8: {
        const SystemPalette& palette = SystemPalette::instance();
        const BYTE* p = row + x;
        for (int i = 0; i < count; ++i)
            out[i] = palette.colour(p[i]);
        break;
    }
    }
}

void Write(Bitmap& image, int x, int y, int count, const std::uint32_t* in)
{
    BYTE* row = image.row(y);
    switch (image.bitsPerPixel()) {
    case 32: {
        BYTE* p = row + static_cast<std::size_t>(x) * 4;
        std::memcpy(p, in, static_cast<std::size_t>(count) * 4);
        break;
    }
    case 24: {
        BYTE* p = row + static_cast<std::size_t>(x) * 3;
        for (int i = 0; i < count; ++i, p += 3) {
            p[0] = static_cast<BYTE>(in[i]);
            p[1] = static_cast<BYTE>(in[i] >> 8);
            p[2] = static_cast<BYTE>(in[i] >> 16);
        }
        break;
    }
    case 16: {
        BYTE* p = row + static_cast<std::size_t>(x) * 2;
        for (int i = 0; i < count; ++i, p += 2) {
            const std::uint16_t v = To565(in[i]);
            p[0] = static_cast<BYTE>(v);
            p[1] = static_cast<BYTE>(v >> 8);
        }
        break;
    }
    case 8: {
        BYTE* p = row + x;
        for (int i = 0; i < count; ++i)
            p[i] = ToIndex(in[i]);
        break;
    }
    }
}

std::uint32_t Encode(const Bitmap& image, std::uint32_t rgb)
{
    switch (image.bitsPerPixel()) {
    case 16:
        return To565(rgb);
    case 8:
        return ToIndex(rgb);
    default:
        return rgb & 0x00FFFFFF;
    }
}

void Fill(Bitmap& image, int x, int y, int count, std::uint32_t encoded)
{
    BYTE* row = image.row(y);
    switch (image.bitsPerPixel()) {
    case 32: {
        auto* p = reinterpret_cast<std::uint32_t*>(row) + x;
        for (int i = 0; i < count; ++i)
            p[i] = encoded;
        break;
    }
    case 24: {
        BYTE* p = row + static_cast<std::size_t>(x) * 3;
        for (int i = 0; i < count; ++i, p += 3) {
            p[0] = static_cast<BYTE>(encoded);
            p[1] = static_cast<BYTE>(encoded >> 8);
            p[2] = static_cast<BYTE>(encoded >> 16);
        }
        break;
    }
    case 16: {
        BYTE* p = row + static_cast<std::size_t>(x) * 2;
        for (int i = 0; i < count; ++i, p += 2) {
            p[0] = static_cast<BYTE>(encoded);
            p[1] = static_cast<BYTE>(encoded >> 8);
        }
        break;
    }
    case 8:
        std::memset(row + x, static_cast<int>(encoded), static_cast<std::size_t>(count));
        break;
    }
}

} // namespace PixelRows
