#include "Brush.h"

#include "Pen.h"

#include <cstring>

Brush::Brush(Style style, COLORREF colour, const Bitmap* pattern)
    : GdiObject(Kind::Brush), m_style(style), m_colour(colour)
{
    if (pattern) {
        m_pattern.reset(Bitmap::Create(pattern->width(), pattern->height(), pattern->bitsPerPixel()));
        if (m_pattern)
            std::memcpy(m_pattern->bits(), pattern->bits(), pattern->byteCount());
        else
            m_style = Style::Hollow;
    }
}

HBRUSH CreateSolidBrush(COLORREF colour) { return new Brush(Brush::Style::Solid, colour); }

HBRUSH CreatePatternBrush(HBITMAP tile)
{
    if (!tile)
        return nullptr;
    return new Brush(Brush::Style::Pattern, 0, tile);
}

HGDIOBJ GetStockObject(int which)
{
    static Brush* hollow = [] {
        auto* b = new Brush(Brush::Style::Hollow, 0);
        b->markStock();
        return b;
    }();
    static Pen* nullPen = [] {
        auto* p = new Pen(PS_NULL, 0, 0);
        p->markStock();
        return p;
    }();
    switch (which) {
    case NULL_BRUSH:
        return hollow;
    case NULL_PEN:
        return nullPen;
    default:
        return nullptr;
    }
}
