#include "DeviceContext.h"

#include "PixelRows.h"
#include "Screen.h"
#include "Stretch.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

HDC GetDC(HWND) { return new DeviceContext(true); }

int ReleaseDC(HWND, HDC dc)
{
    if (!dc || !dc->isScreen())
        return 0;
    delete dc;
    return 1;
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext(false); }

BOOL DeleteDC(HDC dc)
{
    if (!dc || dc->isScreen())
        return FALSE;
    delete dc;
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index)
{
    switch (index) {
    case HORZRES:
        return Screen::size().cx;
    case VERTRES:
        return Screen::size().cy;
    case BITSPIXEL:
        return dc && dc->bitmap && !dc->isScreen() ? dc->bitmap->bitsPerPixel() : Screen::depth();
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

HBITMAP SelectObject(HDC dc, HBITMAP image)
{
    if (!dc || dc->isScreen())
        return nullptr;
    return std::exchange(dc->bitmap, image);
}

HBRUSH SelectObject(HDC dc, HBRUSH brush) { return dc ? std::exchange(dc->brush, brush) : nullptr; }
HPEN SelectObject(HDC dc, HPEN pen) { return dc ? std::exchange(dc->pen, pen) : nullptr; }
HFONT SelectObject(HDC dc, HFONT font) { return dc ? std::exchange(dc->font, font) : nullptr; }

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    const int depth = dc && dc->bitmap ? dc->bitmap->bitsPerPixel() : Screen::depth();
    return Bitmap::Create(width, height, depth);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop)
{
    if (rop == PATCOPY)
        return PatBlt(dest, x, y, width, height, rop);
    if (!dest || !dest->bitmap || !source || !source->bitmap || rop != SRCCOPY)
        return FALSE;
    Bitmap& to = *dest->bitmap;
    const Bitmap& from = *source->bitmap;
    // Clip against both images, shifting the other side by the same amount.
    long long x0 = x, y0 = y, sx0 = sx, sy0 = sy, w = width, h = height;
    auto clip = [](long long& a, long long& b, long long& len, long long limitA, long long limitB) {
        const long long cut = std::max({0LL, -a, -b});
        a += cut;
        b += cut;
        len -= cut;
        len = std::min({len, limitA - a, limitB - b});
    };
    clip(x0, sx0, w, to.width(), from.width());
    clip(y0, sy0, h, to.height(), from.height());
    if (w <= 0 || h <= 0)
        return TRUE;
    const int cx = static_cast<int>(w);
    if (to.bitsPerPixel() == from.bitsPerPixel()) {
        const std::size_t bytes = static_cast<std::size_t>(cx) * to.bitsPerPixel() / 8;
        const std::size_t offsetTo = static_cast<std::size_t>(x0) * to.bitsPerPixel() / 8;
        const std::size_t offsetFrom = static_cast<std::size_t>(sx0) * from.bitsPerPixel() / 8;
        for (long long r = 0; r < h; ++r)
            std::memmove(to.row(static_cast<int>(y0 + r)) + offsetTo,
                         from.row(static_cast<int>(sy0 + r)) + offsetFrom, bytes);
        return TRUE;
    }
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(cx));
    for (long long r = 0; r < h; ++r) {
        PixelRows::Read(from, static_cast<int>(sx0), static_cast<int>(sy0 + r), cx, buffer.data());
        PixelRows::Write(to, static_cast<int>(x0), static_cast<int>(y0 + r), cx, buffer.data());
    }
    return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop)
{
    if (!dest || !dest->bitmap || !source || !source->bitmap || rop != SRCCOPY)
        return FALSE;
    if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
        return FALSE;
    const CRect to(x, y, x + width, y + height);
    const CRect from(sx, sy, sx + sw, sy + sh);
    if (width == sw && height == sh)
        return BitBlt(dest, x, y, width, height, source, sx, sy, SRCCOPY);
    if (dest->stretchMode == HALFTONE)
        Stretch::Halftone(*source->bitmap, from, *dest->bitmap, to);
    else
        Stretch::Nearest(*source->bitmap, from, *dest->bitmap, to);
    return TRUE;
}

int SetStretchBltMode(HDC dc, int mode) { return dc ? std::exchange(dc->stretchMode, mode) : 0; }
int GetStretchBltMode(HDC dc) { return dc ? dc->stretchMode : 0; }

namespace {

// Paints the part of a rectangle inside the image with a brush.
void PaintRect(Bitmap& image, CRect r, const Brush& brush)
{
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, image.width());
    r.bottom = std::min(r.bottom, image.height());
    if (r.IsRectEmpty() || brush.style() == Brush::Style::Hollow)
        return;
    if (brush.style() == Brush::Style::Solid) {
        const std::uint32_t value = PixelRows::Encode(image, PixelRows::FromColorRef(brush.colour()));
        for (int y = r.top; y < r.bottom; ++y)
            PixelRows::Fill(image, r.left, y, r.Width(), value);
        return;
    }
    const Bitmap& tile = *brush.pattern();
    std::vector<std::uint32_t> tileRow(static_cast<std::size_t>(tile.width()));
    std::vector<std::uint32_t> row(static_cast<std::size_t>(r.Width()));
    for (int y = r.top; y < r.bottom; ++y) {
        PixelRows::Read(tile, 0, y % tile.height(), tile.width(), tileRow.data());
        for (int x = r.left; x < r.right; ++x)
            row[x - r.left] = tileRow[x % tile.width()];
        PixelRows::Write(image, r.left, y, r.Width(), row.data());
    }
}

} // namespace

int FillRect(HDC dc, const CRect* rect, HBRUSH brush)
{
    if (!dc || !dc->bitmap || !rect || !brush)
        return 0;
    PaintRect(*dc->bitmap, *rect, *brush);
    return 1;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    if (!dc || !dc->bitmap || !dc->brush || rop != PATCOPY)
        return FALSE;
    PaintRect(*dc->bitmap, CRect(x, y, x + width, y + height), *dc->brush);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    if (!dc || !dc->bitmap)
        return FALSE;
    Bitmap& image = *dc->bitmap;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const Pen* pen = dc->pen;
    const bool outlined = pen && pen->style() != PS_NULL;
    // Without an outline the fill stops one pixel short of the right and
    // bottom edges, so callers that want it all pass right + 1, bottom + 1.
    if (dc->brush)
        PaintRect(image, outlined ? CRect(left + 1, top + 1, right - 1, bottom - 1)
                                  : CRect(left, top, right - 1, bottom - 1),
                  *dc->brush);
    if (!outlined)
        return TRUE;
    // The outline runs along left..right-1 and top..bottom-1; wider pens
    // spread evenly on both sides of it.
    const int w = std::max(1, pen->width());
    const int before = w / 2, after = w - before;
    const Brush ink(Brush::Style::Solid, pen->colour());
    PaintRect(image, CRect(left - before, top - before, right - 1 + after, top + after), ink);
    PaintRect(image, CRect(left - before, bottom - 1 - before, right - 1 + after, bottom - 1 + after), ink);
    PaintRect(image, CRect(left - before, top - before, left + after, bottom - 1 + after), ink);
    PaintRect(image, CRect(right - 1 - before, top - before, right - 1 + after, bottom - 1 + after), ink);
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    if (!dc || !dc->bitmap || x < 0 || y < 0 || x >= dc->bitmap->width() || y >= dc->bitmap->height())
        return CLR_INVALID;
    std::uint32_t p;
    PixelRows::Read(*dc->bitmap, x, y, 1, &p);
    return PixelRows::ToColorRef(p);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF colour)
{
    if (!dc || !dc->bitmap || x < 0 || y < 0 || x >= dc->bitmap->width() || y >= dc->bitmap->height())
        return FALSE;
    const std::uint32_t p = PixelRows::FromColorRef(colour);
    PixelRows::Write(*dc->bitmap, x, y, 1, &p);
    return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) { return dc ? std::exchange(dc->textColour, colour) : CLR_INVALID; }
COLORREF SetBkColor(HDC dc, COLORREF colour) { return dc ? std::exchange(dc->backgroundColour, colour) : CLR_INVALID; }
int SetBkMode(HDC dc, int mode) { return dc ? std::exchange(dc->backgroundMode, mode) : 0; }
