#pragma once
// Reduces a tile to at most 256 colours (median cut, nearest colour, no
// dithering) so that it can be stored as a small palette PNG.

#include <QImage>

class Palette {
public:
    // An 8-bit indexed copy; exact when the tile has 256 colours or fewer.
    static QImage Indexe(const QImage& image);
};
