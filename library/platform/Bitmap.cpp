#include "Bitmap.h"

#include "ReservePixels.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t WordRowBytes(int width, int bitsPerPixel)
{
    return ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
}

} // namespace

Bitmap::Bitmap(int width, int height, int bitsPerPixel, std::size_t stride, BYTE* bits, std::size_t capacity)
    : GdiObject(Kind::Bitmap), m_width(width), m_height(height), m_bitsPerPixel(bitsPerPixel),
      m_stride(stride), m_capacity(capacity), m_bits(bits)
{
}

Bitmap* Bitmap::Create(int width, int height, int bitsPerPixel, Fill fill)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return nullptr;
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxPixels)
        return nullptr;
    const std::size_t stride = DibRowBytes(static_cast<std::size_t>(width), bitsPerPixel);
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    std::size_t capacity = 0;
    if (BYTE* kept = ReservePixels::Take(bytes, capacity)) {
        if (fill == Fill::Zero)
            std::memset(kept, 0, bytes);
        return new Bitmap(width, height, bitsPerPixel, stride, kept, capacity);
    }
    // calloc hands back fresh zero pages for large images without touching them.
    auto* bits = static_cast<BYTE*>(std::calloc(stride, static_cast<std::size_t>(height)));
    if (!bits)
        return nullptr;
    return new Bitmap(width, height, bitsPerPixel, stride, bits, bytes);
}

BYTE* Bitmap::ReleaseBits(std::size_t& capacity)
{
    capacity = m_bits ? m_capacity : 0;
    return m_bits.release();
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (planes != 1)
        return nullptr;
    Bitmap* image = Bitmap::Create(width, height, static_cast<int>(bitsPerPixel));
    if (image && bits)
        SetBitmapBits(image, static_cast<DWORD>(WordRowBytes(width, image->bitsPerPixel()) * height), bits);
    return image;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    if (!object->isStock())
        delete object;
    return TRUE;
}

int GetObject(HBITMAP image, int size, BITMAP* out)
{
    if (!image || !out || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    out->bmType = 0;
    out->bmWidth = image->width();
    out->bmHeight = image->height();
    out->bmWidthBytes = static_cast<LONG>(WordRowBytes(image->width(), image->bitsPerPixel()));
    out->bmPlanes = 1;
    out->bmBitsPixel = static_cast<WORD>(image->bitsPerPixel());
    out->bmBits = nullptr;
    return sizeof(BITMAP);
}

LONG GetBitmapBits(HBITMAP image, LONG size, void* bits)
{
    if (!image || !bits || size <= 0)
        return 0;
    const std::size_t rowBytes = WordRowBytes(image->width(), image->bitsPerPixel());
    auto* out = static_cast<BYTE*>(bits);
    std::size_t left = static_cast<std::size_t>(size);
    std::size_t copied = 0;
    for (int y = 0; y < image->height() && left > 0; ++y) {
        const std::size_t n = std::min(rowBytes, left);
        std::memcpy(out + copied, image->row(y), n);
        copied += n;
        left -= n;
    }
    return static_cast<LONG>(copied);
}

LONG SetBitmapBits(HBITMAP image, DWORD size, const void* bits)
{
    if (!image || !bits)
        return 0;
    const std::size_t rowBytes = WordRowBytes(image->width(), image->bitsPerPixel());
    const auto* in = static_cast<const BYTE*>(bits);
    std::size_t left = size;
    std::size_t copied = 0;
    for (int y = 0; y < image->height() && left > 0; ++y) {
        const std::size_t n = std::min(rowBytes, left);
        std::memcpy(image->row(y), in + copied, n);
        copied += n;
        left -= n;
    }
    return static_cast<LONG>(copied);
}
