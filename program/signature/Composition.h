#pragma once
// Lays a signature (a line of text, then a logo) onto a picture at
// full resolution, and reduces the result for the display area. The preview
// and the batch run both compose through here, so what is shown is what is
// written.

#include "CGraphique.h"
#include "Emplacement.h"
#include "Style.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class LogoSvg;
class MemoireSignature;

struct CoucheTexte {
    CString Texte;
    HFONT Police = nullptr;
    COLORREF Encre = 0;
    COLORREF Fond = RGB(255, 255, 255);
    int Transparent = 0;
    Emplacement Place;
    Style Rendu;
};

struct CoucheLogo {
    CString Logo;               // the logo file; empty means no logo
    HBITMAP Image = nullptr;    // the loaded logo, not owned
    // Its coverage, width x height bytes top-down; empty for an opaque logo.
    std::vector<std::uint8_t> Alpha;
    CSize Taille;
    Emplacement Place;
    Style Rendu; // the outline and shadow are the text's alone
    // The drawing Image was rendered from, for an SVG logo: drawn anew at
    // each size asked for rather than resampled. Shared by every copy.
    std::shared_ptr<const LogoSvg> Dessin;
};

class Composition {
public:
    // A new image of the picture's size with both layers, or null.
    static HBITMAP Compose(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo);
    // Lays both layers onto the picture itself: the same pixels as Compose
    // without a copy, for callers that own a picture they no longer need.
    // memoire, when given, keeps what one picture's signature shares with
    // the next (font, text layer, resampled logo): the same pixels, sooner.
    static void SigneSurPlace(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo,
                              MemoireSignature* memoire = nullptr);
    // Row ranges [first, end) in increasing order, those that touch or
    // overlap made one; empty ones dropped.
    static std::vector<std::pair<int, int>> Reunit(std::vector<std::pair<int, int>> lignes);
    // The rows of a picture of that size the layers may change: ranges
    // [first, end) in increasing order, apart from each other, each layer
    // within one range.
    static std::vector<std::pair<int, int>> LignesTouchees(CSize picture, const CoucheTexte& texte,
                                                           const CoucheLogo& logo, MemoireSignature* memoire = nullptr);
    // Rectangles with the empty ones dropped and those that overlap made
    // one, their bounding box, until none do; by top, then left.
    static std::vector<CRect> Fusionne(std::vector<CRect> zones);
    // The rectangles of a picture of that size the layers may change: within
    // the picture, apart from each other, each layer within one of them;
    // the whole picture when a layer is repeated across it.
    static std::vector<CRect> ZonesTouchees(CSize picture, const CoucheTexte& texte, const CoucheLogo& logo,
                                            MemoireSignature* memoire = nullptr);
    // SigneSurPlace on a piece of a picture of that size whose top-left is
    // origin. Where the piece holds whole rectangles of ZonesTouchees, their
    // pixels are those SigneSurPlace gives the whole picture.
    static void SignePiece(HBITMAP piece, CSize picture, CPoint origin, const CoucheTexte& texte,
                           const CoucheLogo& logo, MemoireSignature* memoire = nullptr);
    // SignePiece on a band: all the picture's columns, its rows from first on.
    static void SigneBande(HBITMAP band, CSize picture, int first, const CoucheTexte& texte, const CoucheLogo& logo,
                           MemoireSignature* memoire = nullptr)
    {
        SignePiece(band, picture, CPoint(0, first), texte, logo, memoire);
    }
    // A picture larger than the area is fitted into it whole, proportions
    // kept; a small one is never enlarged.
    static CSize TailleApercu(CSize picture, CSize area);
    // The signed picture reduced by area average and centred on the area's
    // background; its reduced size goes to size when given.
    static HBITMAP Apercu(HBITMAP signedPicture, HBITMAP background, CSize area, CSize* size);
    // The rows of the reduced picture that rows [first, end) of a picture of
    // that size enter into (a neighbour more on each side at most).
    static std::pair<int, int> LignesReduites(CSize picture, CSize area, int first, int end);
    // Rows [first, end) of the reduced picture drawn again from
    // signedPicture into preview, an Apercu on that area: the pixels Apercu
    // gives. False when memory runs short.
    static bool RedessineApercu(HBITMAP signedPicture, HBITMAP preview, CSize area, int first, int end);
};
