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

    long long x = position.x;
    if (horizontal == 2)
        x = (imageWidth - extent.cx) / 2;
    else if (horizontal == 1)
        x -= extent.cx;
    TextOut(dc, ToCoordinate(x), Haut(position, vertical, extent), text.c_str(), length);
    SelectObject(dc, previous);
}

std::pair<int, int> CGraphique::LignesTexte(const CString& text, CPoint position, int vertical, HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT previous = SelectObject(dc, font);
    const int length = Longueur(text);
    CSize extent;
    GetTextExtentPoint32(dc, text.c_str(), length, &extent);
    int first = 0, last = -1;
    TextOutRows(dc, Haut(position, vertical, extent), text.c_str(), length, &first, &last);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return {first, last + 1};
}
