#include "CGraphique.h"

#include "MemoryContext.h"

namespace {

// The source's size and depth, or false for a null or unknown image.
bool Describe(HBITMAP image, BITMAP& info) { return GetObject(image, sizeof info, &info) != 0; }

} // namespace

HBITMAP CGraphique::RedimensionneImage(HDC reference, HBITMAP source, CSize size, int fast)
{
    BITMAP info{};
    if (!Describe(source, info))
        return nullptr;
    HBITMAP result = CreateBitmap(size.cx, size.cy, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    MemoryContext from(reference, source);
    MemoryContext to(reference, result);
    SetStretchBltMode(to, fast ? COLORONCOLOR : HALFTONE);
    StretchBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return result;
}

void CGraphique::RedimensionneImage(HDC reference, CBitmap* target, HBITMAP source, CSize size)
{
    if (!target)
        return;
    target->DeleteObject();
    if (HBITMAP result = RedimensionneImage(reference, source, size, 1))
        target->Attach(result);
}

HBITMAP CGraphique::RecoupeImage(HDC reference, HBITMAP source, CPoint origin, CSize size, COLORREF fill)
{
    BITMAP info{};
    if (!Describe(source, info))
        return nullptr;
    HBITMAP result = CreateBitmap(size.cx, size.cy, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    RemplieImage(reference, result, fill);
    MemoryContext from(reference, source);
    MemoryContext to(reference, result);
    BitBlt(to, 0, 0, size.cx, size.cy, from, origin.x, origin.y, SRCCOPY);
    return result;
}

void CGraphique::RemplieImage(HDC reference, HBITMAP image, COLORREF colour)
{
    BITMAP info{};
    if (!Describe(image, info))
        return;
    HBRUSH brush = CreateSolidBrush(colour);
    {
        MemoryContext dc(reference, image);
        const CRect all(0, 0, info.bmWidth, info.bmHeight);
        FillRect(dc, &all, brush);
    }
    DeleteObject(brush);
}

HBITMAP CGraphique::FusionneImage(HDC reference, HBITMAP base, HBITMAP overlay, CPoint position)
{
    BITMAP info{};
    BITMAP over{};
    if (!Describe(base, info) || !Describe(overlay, over))
        return nullptr;
    HBITMAP result = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    MemoryContext from(reference, base);
    MemoryContext top(reference, overlay);
    MemoryContext to(reference, result);
    BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    BitBlt(to, position.x, position.y, over.bmWidth, over.bmHeight, top, 0, 0, SRCCOPY);
    return result;
}

CSize CGraphique::CalculTailleRedimensionne(HBITMAP image, int byPercentage, int percentage, int width, int height,
                                            int* percentageOut)
{
    CSize size;
    RecupereInfosImage(image, size, nullptr);
    if (byPercentage)
        return CSize(static_cast<LONG>(static_cast<long long>(size.cx) * percentage / 100),
                     static_cast<LONG>(static_cast<long long>(size.cy) * percentage / 100));
    if (percentageOut && size.cx != 0)
        *percentageOut = static_cast<int>(static_cast<double>(width) / size.cx * 100.0);
    return CSize(width, height);
}

CSize CGraphique::CalculTailleOptimale(HBITMAP image)
{
    CSize size;
    RecupereInfosImage(image, size, nullptr);
    const LONG w = size.cx, h = size.cy;
    auto atLeast = [&](LONG a, LONG b) { return (w >= a && h >= b) || (w >= b && h >= a); };
    int percentage = 100;
    if (atLeast(1280, 960))
        percentage = 15;
    else if (atLeast(640, 400))
        percentage = 30;
    else if (atLeast(320, 200))
        percentage = 50;
    return CalculTailleRedimensionne(image, 1, percentage, 0, 0, nullptr);
}

CSize CGraphique::ConservationProportion(CSize image, CSize box)
{
    // Callers never pass an empty image; an empty one yields an empty size.
    if (image.cx <= 0 || image.cy <= 0)
        return CSize(0, 0);
    const double cx = image.cx, cy = image.cy;
    if (image.cy > image.cx)
        return CSize(static_cast<LONG>(box.cy / (cy / cx)), box.cy);
    return CSize(box.cx, static_cast<LONG>(box.cx / (cx / cy)));
}
