#include "Dib.h"

#include "PixelRows.h"
#include "Screen.h"
#include "SystemPalette.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

// Widens a masked channel to 8 bits by repeating its top bits.
struct Channel {
    DWORD mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(DWORD m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            bits = std::popcount(m);
        }
    }
    std::uint32_t extract(DWORD pixel) const
    {
        if (!bits)
            return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return (v >> (bits - 8)) & 0xFF;
        std::uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits)
            out |= (8 - filled - bits >= 0) ? v << (8 - filled - bits) : v >> (filled + bits - 8);
        return out & 0xFF;
    }
};

bool ContiguousMask(DWORD m) { return m && std::has_single_bit((m >> std::countr_zero(m)) + 1); }

void DecodeRow(const DibSource& dib, const BYTE* in, int width, std::uint32_t* out,
               const Channel (&channels)[3])
{
    const int bpp = dib.header->biBitCount;
    auto colour = [&](unsigned index) -> std::uint32_t {
        if (index >= dib.colourCount)
            return 0;
        const RGBQUAD& q = dib.colours[index];
        return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
    };
    switch (bpp) {
    case 1:
        for (int x = 0; x < width; ++x)
            out[x] = colour((in[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            out[x] = colour((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        break;
    case 8:
        for (int x = 0; x < width; ++x)
            out[x] = colour(in[x]);
        break;
    case 24:
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = (std::uint32_t(in[2]) << 16) | (std::uint32_t(in[1]) << 8) | in[0];
        break;
    case 16:
    case 32:
        if (bpp == 32 && dib.header->biCompression == BI_RGB) {
            std::memcpy(out, in, static_cast<std::size_t>(width) * 4);
            for (int x = 0; x < width; ++x)
                out[x] &= 0x00FFFFFF;
            break;
        }
        for (int x = 0; x < width; ++x) {
            DWORD p;
            if (bpp == 16) {
                p = in[0] | (in[1] << 8);
                in += 2;
            } else {
                p = DWORD(in[0]) | (DWORD(in[1]) << 8) | (DWORD(in[2]) << 16) | (DWORD(in[3]) << 24);
                in += 4;
            }
            out[x] = (channels[0].extract(p) << 16) | (channels[1].extract(p) << 8) | channels[2].extract(p);
        }
        break;
    }
}

} // namespace

std::size_t ValidateDib(const DibSource& dib)
{
    const BITMAPINFOHEADER* h = dib.header;
    if (!h || !dib.bits)
        return 0;
    const int bpp = h->biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return 0;
    if (h->biWidth <= 0 || h->biHeight == 0 || h->biHeight == INT32_MIN)
        return 0;
    if (h->biCompression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32)
            return 0;
        for (DWORD m : dib.masks)
            if (!ContiguousMask(m))
                return 0;
    } else if (h->biCompression != BI_RGB) {
        return 0;
    }
    const std::size_t width = static_cast<std::size_t>(h->biWidth);
    const std::size_t height = static_cast<std::size_t>(h->biHeight < 0 ? -static_cast<long long>(h->biHeight) : h->biHeight);
    if (width > Bitmap::kMaxPixels || height > Bitmap::kMaxPixels || width * height > Bitmap::kMaxPixels)
        return 0;
    const std::size_t rowBytes = DibRowBytes(width, bpp);
    // The last row need not carry its padding.
    const std::size_t lastRow = (width * bpp + 7) / 8;
    if (rowBytes * (height - 1) + lastRow > dib.bitsLength)
        return 0;
    return rowBytes;
}

HBITMAP CreateDIBitmap(HDC, const DibSource& dib)
{
    const std::size_t rowBytes = ValidateDib(dib);
    if (!rowBytes)
        return nullptr;
    const BITMAPINFOHEADER& h = *dib.header;
    const int width = h.biWidth;
    const bool topDown = h.biHeight < 0;
    const int height = topDown ? -h.biHeight : h.biHeight;
    Bitmap* image = Bitmap::Create(width, height, Screen::depth());
    if (!image)
        return nullptr;
    DWORD masks[3] = {dib.masks[0], dib.masks[1], dib.masks[2]};
    if (h.biCompression == BI_RGB && h.biBitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel channels[3] = {Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const BYTE* in = dib.bits + rowBytes * static_cast<std::size_t>(y);
        DecodeRow(dib, in, width, row.data(), channels);
        PixelRows::Write(*image, 0, topDown ? y : height - 1 - y, width, row.data());
    }
    return image;
}

int GetDIBits(HDC, HBITMAP image, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT)
{
    if (!image || !info)
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    auto* after = reinterpret_cast<BYTE*>(info) + sizeof(BITMAPINFOHEADER);
    const bool ownFormat = h.biBitCount == 0;
    if (ownFormat) {
        h.biBitCount = static_cast<WORD>(image->bitsPerPixel());
        h.biCompression = (image->bitsPerPixel() == 16 || image->bitsPerPixel() == 32) ? BI_BITFIELDS : BI_RGB;
    }
    const int bpp = h.biBitCount;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return 0;
    if (h.biCompression == BI_BITFIELDS && bpp != 16 && bpp != 32)
        return 0;
    if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)
        return 0;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = image->width();
    const bool topDown = !ownFormat && h.biHeight < 0;
    h.biHeight = topDown ? -image->height() : image->height();
    h.biPlanes = 1;
    const std::size_t rowBytes = DibRowBytes(static_cast<std::size_t>(image->width()), bpp);
    h.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<std::size_t>(image->height()));
    if (ownFormat || !bits) {
        if (!ownFormat && bpp == 8)
            std::memcpy(after, SystemPalette::instance().entries().data(), 256 * sizeof(RGBQUAD));
        return 1;
    }

    const bool fields = h.biCompression == BI_BITFIELDS;
    const bool is565 = bpp == 16 && fields;
    if (fields) {
        const DWORD masks[3] = {bpp == 16 ? 0xF800u : 0xFF0000u, bpp == 16 ? 0x07E0u : 0xFF00u,
                                bpp == 16 ? 0x001Fu : 0xFFu};
        std::memcpy(after, masks, sizeof masks);
    } else if (bpp == 8) {
        std::memcpy(after, SystemPalette::instance().entries().data(), 256 * sizeof(RGBQUAD));
    }
    const int height = image->height();
    if (start >= static_cast<UINT>(height))
        return 0;
    const UINT count = std::min<UINT>(lines, static_cast<UINT>(height) - start);
    const int width = image->width();
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    auto* out = static_cast<BYTE*>(bits);
    for (UINT i = 0; i < count; ++i) {
        const int dibRow = static_cast<int>(start + i);
        const int y = topDown ? dibRow : height - 1 - dibRow;
        BYTE* dst = out + rowBytes * i;
        std::memset(dst, 0, rowBytes);
        if (bpp == image->bitsPerPixel() && (bpp != 16 || is565)) {
            // Same layout: bytes copy straight (16-bit images are 5-6-5).
            std::memcpy(dst, image->row(y), static_cast<std::size_t>(width) * bpp / 8);
            continue;
        }
        PixelRows::Read(*image, 0, y, width, row.data());
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            const BYTE r = static_cast<BYTE>(p >> 16), g = static_cast<BYTE>(p >> 8), b = static_cast<BYTE>(p);
            switch (bpp) {
            case 8:
                dst[x] = SystemPalette::instance().nearestIndex(r, g, b);
                break;
            case 16: {
                const std::uint16_t v = is565
                    ? static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))
                    : static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                dst[x * 2] = static_cast<BYTE>(v);
                dst[x * 2 + 1] = static_cast<BYTE>(v >> 8);
                break;
            }
            case 24:
                dst[x * 3] = b;
                dst[x * 3 + 1] = g;
                dst[x * 3 + 2] = r;
                break;
            case 32:
                dst[x * 4] = b;
                dst[x * 4 + 1] = g;
                dst[x * 4 + 2] = r;
                dst[x * 4 + 3] = 0;
                break;
            }
        }
    }
    return static_cast<int>(count);
}
