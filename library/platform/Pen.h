#pragma once
// Pens draw outlines: solid of a given width and colour, or nothing.

#include "GdiObject.h"

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

class Pen : public GdiObject {
public:
    Pen(int style, int width, COLORREF colour)
        : GdiObject(Kind::Pen), m_style(style), m_width(width), m_colour(colour)
    {
    }
    int style() const { return m_style; }
    int width() const { return m_width; }
    COLORREF colour() const { return m_colour; }

private:
    int m_style;
    int m_width;
    COLORREF m_colour;
};

using HPEN = Pen*;

HPEN CreatePen(int style, int width, COLORREF colour);
