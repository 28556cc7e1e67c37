#pragma once
// Device images: top-down rows padded to 4 bytes in one of four formats.
//   32 bits: B, G, R, 0        24 bits: B, G, R
//   16 bits: RGB 5-6-5         8 bits: index into the system palette

#include "GdiObject.h"

#include <cstdlib>
#include <memory>

class Bitmap : public GdiObject {
public:
    // Null when the size is not positive, the depth unsupported, or the
    // pixels cannot be allocated. Pixels start zeroed, unless the caller
    // writes every byte itself (Fill::Overwritten). Memory comes from the
    // thread's ReservePixels in use when it fits.
    enum class Fill { Zero, Overwritten };
    static Bitmap* Create(int width, int height, int bitsPerPixel, Fill fill = Fill::Zero);

    // Gives up the pixel memory (capacity: its size in bytes, at least
    // byteCount()); the image is left without pixels, only to be deleted.
    BYTE* ReleaseBits(std::size_t& capacity);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    std::size_t stride() const { return m_stride; }
    std::size_t byteCount() const { return m_stride * static_cast<std::size_t>(m_height); }
    BYTE* row(int y) { return m_bits.get() + m_stride * static_cast<std::size_t>(y); }
    const BYTE* row(int y) const { return m_bits.get() + m_stride * static_cast<std::size_t>(y); }
    BYTE* bits() { return m_bits.get(); }
    const BYTE* bits() const { return m_bits.get(); }

    // Largest image we agree to hold, in pixels; beyond it creation fails
    // instead of exhausting memory on a hostile file header.
    static constexpr std::size_t kMaxPixels = std::size_t(1) << 28;

private:
    struct FreeDeleter {
        void operator()(BYTE* p) const { std::free(p); }
    };
    Bitmap(int width, int height, int bitsPerPixel, std::size_t stride, BYTE* bits, std::size_t capacity);

    int m_width;
    int m_height;
    int m_bitsPerPixel;
    std::size_t m_stride;
    std::size_t m_capacity;
    std::unique_ptr<BYTE, FreeDeleter> m_bits;
};

using HBITMAP = Bitmap*;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

// Planes must be 1. When bits is given it holds rows in the bitmap's own
// layout (top-down, each padded to an even number of bytes) and is copied in.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Fills the description of an image; returns the bytes written or 0.
int GetObject(HBITMAP image, int size, BITMAP* out);
// Whole-image copies in the bitmap's own layout, rows padded to 2 bytes.
LONG GetBitmapBits(HBITMAP image, LONG size, void* bits);
LONG SetBitmapBits(HBITMAP image, DWORD size, const void* bits);
