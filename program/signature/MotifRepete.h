#pragma once
// A signature layer repeated across a whole picture: the layer drawn once
// into a tile (premultiplied, at the layer's opacity), turned by the style's
// angle, then laid on a lattice turned by the same angle and centred on the
// picture: a step along the mark is its width plus the gap, a step across it
// its height plus the gap, every other row shifted by half a step along. What
// it lays at (x, y) depends on x and y alone, so pieces and bands of a
// picture are signed exactly as the whole. Kept by a signing step
// (MemoireSignature): the pictures of one size share the tile.

#include "Style.h"

#include "Bitmap.h"
#include "Font.h"

#include <array>
#include <cstdint>
#include <utility>
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

    // The tile's size once turned; 0 when nothing is laid.
    CSize Tuile() const { return CSize(m_Largeur, m_Hauteur); }
    // The lattice's steps along the mark (cx) and across it (cy), whatever
    // the angle; 0 when nothing is laid.
    CSize Pas() const { return CSize(m_PasLong, m_PasTravers); }
    // The top-left corner of the turned tile of the mark centred on the picture.
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
    // Top-left corners of the marks that meet [gauche, droite) x [haut, bas),
    // by rows then columns; equal marks come in the same order for any zone.
    std::vector<std::pair<long long, long long>> Marques(long long gauche, long long haut, long long droite,
                                                         long long bas) const;

    Cle m_Cle;
    std::vector<std::uint32_t> m_Tuile; // premultiplied 0xAARRGGBB, opacity applied
    int m_Largeur = 0, m_Hauteur = 0;
    int m_PasLong = 0, m_PasTravers = 0;
    double m_Cos = 1, m_Sin = 0; // the lattice's direction along the mark is (cos, -sin)
    int m_OrigineX = 0, m_OrigineY = 0;
};
