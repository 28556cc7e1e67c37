#include "CGraphique.h"

#include "MemoryContext.h"

#include <algorithm>
#include <climits>

namespace {

// Anchoring far outside the image only needs to stay outside it.
int ToCoordinate(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN / 2, INT_MAX / 2)); }

int Longueur(const CString& text) { return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)); }

// The top of the text's box: position is its top edge, or its bottom edge
// when vertical is 1.
int Haut(CPoint position, int vertical, CSize extent)
{
    return ToCoordinate(vertical == 1 ? 1LL * position.y - extent.cy : position.y);
}

// The left of the text's box: position is its left edge, its right edge
// when horizontal is 1; 2 centres it on the image.
int Gauche(int imageWidth, CPoint position, int horizontal, CSize extent)
{
    if (horizontal == 2)
        return ToCoordinate((1LL * imageWidth - extent.cx) / 2);
    return ToCoordinate(horizontal == 1 ? 1LL * position.x - extent.cx : position.x);
}

} // namespace

HBITMAP CGraphique::EcritureTexteDansImage(HDC reference, HBITMAP image, CString text, CPoint position, int vertical,
                                           int horizontal, COLORREF ink, COLORREF background, int transparent,
                                           HFONT font)
{
    BITMAP info{};
    if (GetObject(image, sizeof info, &info) == 0)
        return nullptr;
    HBITMAP result = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    MemoryContext from(reference, image);
    MemoryContext to(reference, result);
    BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);

    DessineTexte(to, info.bmWidth, text, position, vertical, horizontal, ink, background, transparent, font);
    return result;
}

void CGraphique::DessineTexte(HDC dc, int imageWidth, const CString& text, CPoint position, int vertical,
                              int horizontal, COLORREF ink, COLORREF background, int transparent, HFONT font)
{
    HFONT previous = SelectObject(dc, font);
    SetTextColor(dc, ink);
    SetBkColor(dc, background);
    SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
    const int length = Longueur(text);
    CSize extent;
    GetTextExtentPoint32(dc, text.c_str(), length, &extent);

    TextOut(dc, Gauche(imageWidth, position, horizontal, extent), Haut(position, vertical, extent), text.c_str(),
            length);
    SelectObject(dc, previous);
}

CRect CGraphique::ZoneTexte(int imageWidth, const CString& text, CPoint position, int vertical, int horizontal,
                            HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT previous = SelectObject(dc, font);
    const int length = Longueur(text);
    CSize extent;
    GetTextExtentPoint32(dc, text.c_str(), length, &extent);
    CRect zone;
    TextOutZone(dc, Gauche(imageWidth, position, horizontal, extent), Haut(position, vertical, extent), text.c_str(),
                length, &zone);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return zone;
}
