#pragma once
// Brushes fill areas: a solid colour, a tiled pattern image, or nothing.

#include "Bitmap.h"

class Brush : public GdiObject {
public:
    enum class Style { Solid, Pattern, Hollow };
    Brush(Style style, COLORREF colour, const Bitmap* pattern = nullptr);
    Style style() const { return m_style; }
    COLORREF colour() const { return m_colour; }
    // The tile of a pattern brush; a private copy, so the caller's image may go.
    const Bitmap* pattern() const { return m_pattern.get(); }

private:
    Style m_style;
    COLORREF m_colour;
    std::unique_ptr<Bitmap> m_pattern;
};

using HBRUSH = Brush*;

constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int NULL_PEN = 8;

HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreatePatternBrush(HBITMAP tile);
HGDIOBJ GetStockObject(int which);
