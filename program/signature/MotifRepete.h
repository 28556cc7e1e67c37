#pragma once
// A signature layer repeated across a whole picture: the layer drawn once
// into a tile (premultiplied, at the layer's opacity), turned by the style's
// angle, then laid on a brick grid centred on the picture, every other row
// shifted by half a step. What it lays at (x, y) depends on x and y alone, so
// pieces and bands of a picture are signed exactly as the whole. Kept by a
// signing step (MemoireSignature): the pictures of one size share the tile.

#include "Style.h"

#include "Bitmap.h"
#include "Font.h"

#include <array>
#include <cstdint>
#include <vector>

class MotifRepete {
public:
    // The text as DessinStyle draws it with style, for a picture of that size.
    void Texte(const CString& texte, HFONT police, COLORREF encre, COLORREF fond, int transparent,
               const Style& style, CSize picture);
    // logo as drawn (its coverage alpha, width x height bytes, or null when
    // opaque). Like MemoireSignature's logo, the tile is kept while logo
    // lives and is not changed.
    void Logo(HBITMAP logo, const std::uint8_t* alpha, const Style& style, CSize picture);
    // Lays the pattern prepared last onto piece, whose top-left is origin
    // on the picture.
    void Pose(HBITMAP piece, CPoint origin) const;

    // The tile's size once turned and the grid's steps; 0 when nothing is laid.
    CSize Tuile() const { return CSize(m_Largeur, m_Hauteur); }
    CSize Pas() const { return CSize(m_PasX, m_PasY); }
    // The top-left corner of the tile in the grid's first row, which is
    // centred on the picture.
    CPoint Origine() const { return CPoint(m_OrigineX, m_OrigineY); }

private:
    // What the pattern was made from: equal keys give equal pixels.
    struct Cle {
        int genre = 0; // 0 none, 1 text, 2 logo
        CString texte;
        std::array<unsigned char, sizeof(LOGFONT)> police{};
        COLORREF encre = 0, fond = 0;
        int transparent = 0;
        const void* logo = nullptr;
        const void* alpha = nullptr;
        CSize taille;
        Style style;
        CSize picture;
        bool operator==(const Cle&) const = default;
    };
    // The tile turned from source (w x h premultiplied pixels, opacity not
    // yet applied) and the grid for cle's picture.
    void Construit(Cle cle, std::vector<std::uint32_t> source, int largeur, int hauteur);
    void Vide();

    Cle m_Cle;
    std::vector<std::uint32_t> m_Tuile; // premultiplied 0xAARRGGBB, opacity applied
    int m_Largeur = 0, m_Hauteur = 0;
    int m_PasX = 0, m_PasY = 0;
    int m_OrigineX = 0, m_OrigineY = 0;
};
