#include "CGraphique.h"

#include "MemoryContext.h"

#include <algorithm>
#include <climits>

namespace {

// The object owns whichever brush and pen are current.
void Remplace(HBRUSH& pinceau, HPEN& crayon, HBRUSH nouveauPinceau, HPEN nouveauCrayon)
{
    DeleteObject(pinceau);
    pinceau = nouveauPinceau;
    DeleteObject(crayon);
    crayon = nouveauCrayon;
}

// A side grown by a margin on both ends, or 0 when it would not fit an int.
int Agrandit(LONG side, int margin)
{
    const long long grown = side + 2LL * margin;
    return grown > INT_MAX ? 0 : static_cast<int>(grown);
}

// Covers area with whole tiles on a grid anchored at origin, cut at the area's edges.
void Pave(HDC to, HDC tile, CSize size, CRect area, CPoint origin)
{
    auto first = [](LONG from, LONG anchor, LONG step) {
        const LONG offset = (from - anchor) % step;
        return from - (offset < 0 ? offset + step : offset);
    };
    for (LONG y = first(area.top, origin.y, size.cy); y < area.bottom; y += size.cy) {
        const LONG top = std::max(y, area.top), bottom = std::min(y + size.cy, area.bottom);
        for (LONG x = first(area.left, origin.x, size.cx); x < area.right; x += size.cx) {
            const LONG left = std::max(x, area.left), right = std::min(x + size.cx, area.right);
            BitBlt(to, left, top, right - left, bottom - top, tile, left - x, top - y, SRCCOPY);
        }
    }
}

// Copies the image, when there is one, to the middle of the canvas.
void Centre(HDC reference, HDC to, CSize canvas, HBITMAP image)
{
    BITMAP info{};
    if (!GetObject(image, sizeof info, &info))
        return;
    MemoryContext from(reference, image);
    BitBlt(to, (canvas.cx - info.bmWidth) / 2, (canvas.cy - info.bmHeight) / 2, info.bmWidth, info.bmHeight, from,
           0, 0, SRCCOPY);
}

} // namespace

HBITMAP CGraphique::RectangleImage(HDC reference, HBITMAP source, CRect rectangle, int penStyle, int penWidth,
                                   COLORREF colour)
{
    if (penWidth == 0)
        return nullptr;
    BITMAP info{};
    if (!GetObject(source, sizeof info, &info))
        return nullptr;
    HBITMAP result = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    HPEN pen = CreatePen(penStyle, penWidth, colour);
    {
        MemoryContext from(reference, source);
        MemoryContext to(reference, result);
        HBRUSH oldBrush = SelectObject(to, static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
        HPEN oldPen = SelectObject(to, pen);
        BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
        Rectangle(to, rectangle.left, rectangle.top, rectangle.right, rectangle.bottom);
        SelectObject(to, oldBrush);
        SelectObject(to, oldPen);
    }
    DeleteObject(pen);
    return result;
}

HBITMAP CGraphique::CadreImage(HDC reference, HBITMAP source, int patterned, int pattern, COLORREF border,
                               int borderWidth, int outline, COLORREF outlineColour)
{
    if (patterned)
        return CadreMotifImage(reference, source, patterned, pattern, border, borderWidth, outline, outlineColour);
    BITMAP info{};
    if (!GetObject(source, sizeof info, &info))
        return nullptr;
    const int lineWidth = !outline ? 0 : borderWidth <= 10 ? 1 : 5;
    const int margin = borderWidth + lineWidth;
    const int width = Agrandit(info.bmWidth, margin), height = Agrandit(info.bmHeight, margin);
    HBITMAP result = CreateBitmap(width, height, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    Remplace(m_Pinceau, m_Crayon, CreateSolidBrush(border),
             CreatePen(outline ? PS_SOLID : PS_NULL, lineWidth, outlineColour));
    MemoryContext from(reference, source);
    MemoryContext to(reference, result);
    HBRUSH oldBrush = SelectObject(to, m_Pinceau);
    HPEN oldPen = SelectObject(to, m_Crayon);
    const int reach = outline ? 0 : 1;
    Rectangle(to, 0, 0, width + reach, height + reach);
    BitBlt(to, margin, margin, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(to, oldBrush);
    SelectObject(to, oldPen);
    return result;
}

HBITMAP CGraphique::CadreMotifImage(HDC reference, HBITMAP source, int, int pattern, COLORREF, int borderWidth,
                                    int, COLORREF)
{
    HBITMAP tile = Motif(pattern);
    BITMAP info{};
    BITMAP motif{};
    if (!tile || !GetObject(source, sizeof info, &info) || !GetObject(tile, sizeof motif, &motif))
        return nullptr;
    const int w = borderWidth;
    const int width = Agrandit(info.bmWidth, w), height = Agrandit(info.bmHeight, w);
    HBITMAP result = CreateBitmap(width, height, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    MemoryContext from(reference, source);
    MemoryContext pat(reference, tile);
    MemoryContext to(reference, result);
    const int pw = motif.bmWidth, ph = motif.bmHeight;
    if (w > pw || w > ph) {
        // One row of tiles does not cover a band this deep; pave each band
        // first, on the grid of its own tiles, so that nothing stays bare.
        Pave(to, pat, CSize(pw, ph), CRect(0, 0, width, w), CPoint(0, 0));
        Pave(to, pat, CSize(pw, ph), CRect(0, 0, w, height), CPoint(0, 0));
        Pave(to, pat, CSize(pw, ph), CRect(0, height - w, width, height), CPoint(0, height - w));
        Pave(to, pat, CSize(pw, ph), CRect(width - w, 0, width, height), CPoint(width - w, 0));
    }
    for (int j = 0; j < (width + pw - 1) / pw; ++j) {
        BitBlt(to, pw * j, 0, pw, ph, pat, 0, 0, SRCCOPY);
        BitBlt(to, pw * j, height - w, pw, ph, pat, 0, 0, SRCCOPY);
    }
    for (int i = 0; i < (height + ph - 1) / ph; ++i) {
        BitBlt(to, 0, ph * i, pw, ph, pat, 0, 0, SRCCOPY);
        BitBlt(to, width - w, ph * i, pw, ph, pat, 0, 0, SRCCOPY);
    }
    BitBlt(to, w, w, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    return result;
}

HBITMAP CGraphique::FondImage(HDC reference, CSize canvas, int bitsPerPixel, HBITMAP image, int patterned,
                              int pattern, COLORREF colour)
{
    if (patterned)
        return FondMotifImage(reference, canvas, bitsPerPixel, image, patterned, pattern, colour);
    HBITMAP result = CreateBitmap(canvas.cx, canvas.cy, 1, static_cast<UINT>(bitsPerPixel), nullptr);
    if (!result)
        return nullptr;
    Remplace(m_Pinceau, m_Crayon, CreateSolidBrush(colour), CreatePen(PS_NULL, 0, colour));
    MemoryContext to(reference, result);
    HBRUSH oldBrush = SelectObject(to, m_Pinceau);
    HPEN oldPen = SelectObject(to, m_Crayon);
    SetBkMode(to, OPAQUE);
    Rectangle(to, 0, 0, canvas.cx + 1, canvas.cy + 1);
    Centre(reference, to, canvas, image);
    SelectObject(to, oldBrush);
    SelectObject(to, oldPen);
    return result;
}

HBITMAP CGraphique::FondMotifImage(HDC reference, CSize canvas, int bitsPerPixel, HBITMAP image, int, int pattern,
                                   COLORREF)
{
    HBITMAP tile = Motif(pattern);
    BITMAP motif{};
    if (!GetObject(tile, sizeof motif, &motif))
        return nullptr;
    HBITMAP result = CreateBitmap(canvas.cx, canvas.cy, 1, static_cast<UINT>(bitsPerPixel), nullptr);
    if (!result)
        return nullptr;
    MemoryContext pat(reference, tile);
    MemoryContext to(reference, result);
    Pave(to, pat, CSize(motif.bmWidth, motif.bmHeight), CRect(0, 0, canvas.cx, canvas.cy), CPoint(0, 0));
    Centre(reference, to, canvas, image);
    return result;
}
