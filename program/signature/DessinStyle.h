#pragma once
// Draws signature layers with their Style: the text with its outline,
// shadow and opacity, a logo with its opacity. Each call works on the
// rectangle the layer covers and leaves the rest of the picture alone.
// The glyphs' coverage is rasterised once; the outline grows from it by a
// distance transform and the shadow is a box-blurred copy, both at a cost
// that does not grow with their width or radius (a path stroke of a line
// of text costs more than the rest of the signing).

#include "Style.h"

#include "Bitmap.h"
#include "Emplacement.h"
#include "Font.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class DessinStyle {
public:
    // A text layer as drawn: its pixels premultiplied, before the opacity,
    // with what they were drawn from. Kept by a signing step, it is laid
    // again on the next picture the same text falls alike on.
    struct Calque {
        // Equal keys give equal pixels; geometry is relative to the masks.
        struct Cle {
            QString ligne;
            std::array<unsigned char, sizeof(LOGFONT)> police{};
            Style style;
            COLORREF encre = 0, fond = 0;
            int transparent = 0;
            QSize masque;
            QPoint base;
            QRect boite, zone;
            bool operator==(const Cle&) const = default;
        };
        Cle cle;
        bool valide = false;
        // zone's pixels row by row: 0xAARRGGBB, colours premultiplied.
        std::vector<std::uint32_t> pixels;
    };

    // The text placed as CGraphique::DessineTexte places it (its anchors
    // resolved with the text's extent), then, from the bottom: the opaque
    // background box, the shadow, the outline, the glyphs; the whole at
    // the style's opacity. memoire, when given, is the layer last drawn:
    // reused when it matches, replaced otherwise.
    static void Texte(HBITMAP image, const CString& texte, const Position& place, COLORREF encre, COLORREF fond,
                      int transparent, HFONT police, const Style& style, Calque* memoire = nullptr);
    // Every pixel Texte may change on a picture of that size with the same
    // arguments lies in this rectangle (within the picture; empty when the
    // text changes nothing). Computed as Texte places the text.
    static QRect Zone(CSize image, const CString& texte, const Position& place, HFONT police, const Style& style);
    // The logo's top-left corner at point, at opacite percent; alpha, when
    // given, is the logo's own coverage (width x height bytes, top-down).
    static void Logo(HBITMAP image, HBITMAP logo, const std::uint8_t* alpha, CPoint point, int opacite);
};
