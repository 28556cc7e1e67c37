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

#include <cstdint>

class DessinStyle {
public:
    // The text placed as CGraphique::DessineTexte places it (its anchors
    // resolved with the text's extent), then, from the bottom: the opaque
    // background box, the shadow, the outline, the glyphs; the whole at
    // the style's opacity.
    static void Texte(HBITMAP image, const CString& texte, const Position& place, COLORREF encre, COLORREF fond,
                      int transparent, HFONT police, const Style& style);
    // The logo's top-left corner at point, at opacite percent; alpha, when
    // given, is the logo's own coverage (width x height bytes, top-down).
    static void Logo(HBITMAP image, HBITMAP logo, const std::uint8_t* alpha, CPoint point, int opacite);
};
