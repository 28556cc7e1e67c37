#include "Composition.h"

#include "ContexteEcran.h"
#include "DessinStyle.h"
#include "MemoireSignature.h"
#include "MemoryContext.h"

#include <algorithm>
#include <climits>
#include <utility>

HBITMAP Composition::Compose(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    HBITMAP copy;
    {
        ContexteEcran dc;
        copy = CGraphique::RedimensionneImage(dc, picture, size, 1);
    }
    if (copy)
        SigneSurPlace(copy, texte, logo);
    return copy;
}

namespace {

// The font the text is drawn with on a picture of that size (a relative
// size is a font of its own, kept in memoire) and the style it is drawn
// with, its effects scaled with the font.
HFONT PoliceVoulue(const CoucheTexte& texte, CSize size, MemoireSignature& memoire, Style& rendu)
{
    const HFONT police = memoire.Police(texte.Police, texte.Rendu.HauteurTexte(size));
    rendu = police && police != texte.Police
                ? texte.Rendu.Proportionne(police->qfont().pixelSize(), texte.Police->qfont().pixelSize())
                : texte.Rendu;
    return police;
}

// Where the logo lies on a picture of that size, at the size it is laid
// with; its image resampled (a drawing rendered) into memoire when its size
// is relative.
struct LogoPose {
    HBITMAP image = nullptr;
    const std::uint8_t* alpha = nullptr;
    CSize taille;  // placed with
    CSize dessin;  // the image's own size, drawn with
    Position place;
};

LogoPose PoseLogo(const CoucheLogo& logo, CSize size, MemoireSignature& memoire)
{
    LogoPose pose;
    pose.image = logo.Image;
    pose.taille = logo.Taille;
    pose.alpha = logo.Alpha.empty() ? nullptr : logo.Alpha.data();
    CSize logoSize;
    CGraphique::RecupereInfosImage(logo.Image, logoSize, nullptr);
    pose.dessin = logoSize;
    // Pictures of a run may differ in size; those of one camera do not.
    if (const CSize voulue = logo.Rendu.TailleLogo(size, logoSize); voulue != logoSize) {
        if (const MemoireSignature::Logo* resized =
                memoire.Redimensionne(logo.Image, logo.Alpha, voulue, logo.Dessin.get())) {
            pose.image = resized->image;
            pose.alpha = resized->alpha.empty() ? nullptr : resized->alpha.data();
            pose.taille = pose.dessin = voulue;
        }
    }
    pose.place = PlaceLogo(logo.Rendu.EmplacementPour(logo.Place, size), size, pose.taille);
    return pose;
}

bool AvecLogo(const CoucheLogo& logo) { return !logo.Logo.empty() && logo.Image; }

// Far outside a piece only needs to stay outside it.
LONG Coordonnee(long long v) { return static_cast<LONG>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); }

} // namespace

void Composition::SigneSurPlace(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo,
                                MemoireSignature* memoire)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    SignePiece(picture, size, CPoint(0, 0), texte, logo, memoire);
}

std::vector<std::pair<int, int>> Composition::LignesTouchees(CSize size, const CoucheTexte& texte,
                                                             const CoucheLogo& logo, MemoireSignature* memoire)
{
    // Rectangles that overlap share rows: the rows of the merged ones keep
    // each layer within one range.
    std::vector<std::pair<int, int>> lignes;
    for (const CRect& zone : ZonesTouchees(size, texte, logo, memoire))
        lignes.emplace_back(zone.top, zone.bottom);
    return Reunit(std::move(lignes));
}

std::vector<std::pair<int, int>> Composition::Reunit(std::vector<std::pair<int, int>> lignes)
{
    std::sort(lignes.begin(), lignes.end());
    std::vector<std::pair<int, int>> reunies;
    for (const auto& r : lignes) {
        if (r.first >= r.second)
            continue;
        if (!reunies.empty() && r.first <= reunies.back().second)
            reunies.back().second = std::max(reunies.back().second, r.second);
        else
            reunies.push_back(r);
    }
    return reunies;
}

std::vector<CRect> Composition::Fusionne(std::vector<CRect> zones)
{
    std::erase_if(zones, [](const CRect& z) { return z.IsRectEmpty(); });
    // A merged box may reach one it did not meet before: start again until
    // a whole pass merges nothing. A signature has a handful of them.
    for (bool fusion = true; fusion;) {
        fusion = false;
        for (std::size_t i = 0; i < zones.size() && !fusion; ++i)
            for (std::size_t j = i + 1; j < zones.size() && !fusion; ++j) {
                CRect& a = zones[i];
                const CRect& b = zones[j];
                if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) {
                    a = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                              std::max(a.bottom, b.bottom));
                    zones.erase(zones.begin() + static_cast<std::ptrdiff_t>(j));
                    fusion = true;
                }
            }
    }
    std::sort(zones.begin(), zones.end(),
              [](const CRect& a, const CRect& b) { return std::pair(a.top, a.left) < std::pair(b.top, b.left); });
    return zones;
}

std::vector<CRect> Composition::ZonesTouchees(CSize size, const CoucheTexte& texte, const CoucheLogo& logo,
                                              MemoireSignature* memoire)
{
    // A repeated mark reaches every part of the picture.
    if ((texte.Rendu.Repete && !texte.Texte.empty()) || (logo.Rendu.Repete && AvecLogo(logo)))
        return Fusionne({CRect(0, 0, size.cx, size.cy)});
    MemoireSignature locale;
    MemoireSignature& m = memoire ? *memoire : locale;
    std::vector<CRect> zones;
    const auto ajoute = [&](long long gauche, long long haut, long long droite, long long bas) {
        const auto borne = [](long long v, LONG fin) { return static_cast<LONG>(std::clamp<long long>(v, 0, fin)); };
        zones.emplace_back(borne(gauche, size.cx), borne(haut, size.cy), borne(droite, size.cx), borne(bas, size.cy));
    };
    if (!texte.Texte.empty()) {
        const Position t = PlaceTexte(texte.Rendu.EmplacementPour(texte.Place, size), size);
        Style rendu;
        const HFONT police = PoliceVoulue(texte, size, m, rendu);
        if (texte.Rendu.TexteSimple()) {
            const CRect zone = CGraphique::ZoneTexte(size.cx, texte.Texte, t.point, t.vertical, t.horizontal, police);
            ajoute(zone.left, zone.top, zone.right, zone.bottom);
        } else {
            const QRect zone = DessinStyle::Zone(size, texte.Texte, t, police, rendu);
            ajoute(zone.left(), zone.top(), 1LL * zone.left() + zone.width(), 1LL * zone.top() + zone.height());
        }
    }
    if (AvecLogo(logo)) {
        const LogoPose pose = PoseLogo(logo, size, m);
        const CPoint p = pose.place.point;
        ajoute(p.x, p.y, 1LL * p.x + pose.dessin.cx, 1LL * p.y + pose.dessin.cy);
    }
    return Fusionne(std::move(zones));
}

void Composition::SignePiece(HBITMAP piece, CSize size, CPoint origin, const CoucheTexte& texte,
                             const CoucheLogo& logo, MemoireSignature* memoire)
{
    MemoireSignature locale;
    MemoireSignature& m = memoire ? *memoire : locale;
    MemoryContext dc(nullptr, piece);
    Style rendu;
    const HFONT police = PoliceVoulue(texte, size, m, rendu);
    if (texte.Rendu.Repete) {
        m.MotifTexte.Texte(texte.Texte, police, texte.Encre, texte.Fond, texte.Transparent, rendu, size);
        m.MotifTexte.Pose(piece, origin);
    } else {
        // Centred on the picture, not on the piece: the anchor is resolved here
        // with the extent both renderers place the text with.
        Position t = PlaceTexte(texte.Rendu.EmplacementPour(texte.Place, size), size);
        long long x = t.point.x;
        if (t.horizontal == 2) {
            const HFONT precedente = SelectObject(dc, police);
            CSize etendue;
            GetTextExtentPoint32(dc, texte.Texte.c_str(),
                                 static_cast<int>(std::min<std::size_t>(texte.Texte.size(), INT_MAX)), &etendue);
            SelectObject(dc, precedente);
            x = (1LL * size.cx - etendue.cx) / 2;
            t.horizontal = 0;
        }
        t.point = CPoint(Coordonnee(x - origin.x), Coordonnee(1LL * t.point.y - origin.y));
        if (texte.Rendu.TexteSimple())
            CGraphique::DessineTexte(dc, size.cx, texte.Texte, t.point, t.vertical, t.horizontal, texte.Encre,
                                     texte.Fond, texte.Transparent, police);
        else
            DessinStyle::Texte(piece, texte.Texte, t, texte.Encre, texte.Fond, texte.Transparent, police, rendu,
                               &m.Texte);
    }
    // The logo lies over the text.
    if (!AvecLogo(logo))
        return;
    const LogoPose pose = PoseLogo(logo, size, m);
    if (logo.Rendu.Repete) {
        m.MotifLogo.Logo(pose.image, pose.alpha, logo.Rendu, size);
        m.MotifLogo.Pose(piece, origin);
        return;
    }
    const CPoint point(Coordonnee(1LL * pose.place.point.x - origin.x), Coordonnee(1LL * pose.place.point.y - origin.y));
    // Transparency blends (straight colours weighed by their coverage: the
    // premultiplied blend); an opaque logo is copied as it always was.
    if (logo.Rendu.Opacite < 100 || pose.alpha) {
        DessinStyle::Logo(piece, pose.image, pose.alpha, point, logo.Rendu.Opacite);
    } else {
        MemoryContext source(nullptr, pose.image);
        BitBlt(dc, point.x, point.y, pose.dessin.cx, pose.dessin.cy, source, 0, 0, SRCCOPY);
    }
}

CSize Composition::TailleApercu(CSize picture, CSize area)
{
    if (picture.cx <= area.cx && picture.cy <= area.cy)
        return picture;
    if (picture.cx <= 0 || picture.cy <= 0 || area.cx <= 0 || area.cy <= 0)
        return CSize(0, 0);
    // The side that meets the area first takes its length; the other is
    // rounded down, so that no row or column of the picture is cut.
    const long long largeur = picture.cx, hauteur = picture.cy;
    if (largeur * area.cy >= hauteur * area.cx)
        return CSize(area.cx, static_cast<LONG>(std::max(1LL, hauteur * area.cx / largeur)));
    return CSize(static_cast<LONG>(std::max(1LL, largeur * area.cy / hauteur)), area.cy);
}

HBITMAP Composition::Apercu(HBITMAP signedPicture, HBITMAP background, CSize area, CSize* size)
{
    CSize picture;
    CGraphique::RecupereInfosImage(signedPicture, picture, nullptr);
    const CSize reduced = TailleApercu(picture, area);
    if (size)
        *size = reduced;
    if (reduced.cx <= 0 || reduced.cy <= 0)
        return nullptr;
    CSize fond;
    CGraphique::RecupereInfosImage(background, fond, nullptr);
    HBITMAP preview;
    {
        ContexteEcran dc;
        preview = CGraphique::RedimensionneImage(dc, background, fond, 1);
    }
    // One drawing for the whole and for a few rows, so a preview redrawn in
    // part cannot differ from one made anew.
    if (preview && !RedessineApercu(signedPicture, preview, area, 0, reduced.cy)) {
        DeleteObject(preview);
        return nullptr;
    }
    return preview;
}

std::pair<int, int> Composition::LignesReduites(CSize picture, CSize area, int first, int end)
{
    const CSize reduced = TailleApercu(picture, area);
    if (reduced.cy <= 0 || first >= end)
        return {0, 0};
    // Each reduced row averages the picture rows under it; rounding may
    // reach one row further.
    const long long hauteur = picture.cy;
    const long long debut = 1LL * std::max(first, 0) * reduced.cy / hauteur - 1;
    const long long fin = (1LL * std::min(end, picture.cy) * reduced.cy + hauteur - 1) / hauteur + 1;
    return {static_cast<int>(std::clamp<long long>(debut, 0, reduced.cy)),
            static_cast<int>(std::clamp<long long>(fin, 0, reduced.cy))};
}

bool Composition::RedessineApercu(HBITMAP signedPicture, HBITMAP preview, CSize area, int first, int end)
{
    BITMAP info{};
    if (!GetObject(signedPicture, sizeof info, &info))
        return false;
    const CSize picture(info.bmWidth, info.bmHeight);
    const CSize reduced = TailleApercu(picture, area);
    first = std::max(first, 0);
    end = std::min(end, static_cast<int>(reduced.cy));
    if (first >= end)
        return true;
    // The band has the picture's depth, as a reduced copy of it would.
    HBITMAP bande = CreateBitmap(reduced.cx, end - first, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!bande)
        return false;
    {
        ContexteEcran dc;
        MemoryContext source(dc, signedPicture);
        MemoryContext reduite(dc, bande);
        MemoryContext apercu(dc, preview);
        // The whole reduction, of which only the band's rows are computed.
        SetStretchBltMode(reduite, HALFTONE);
        StretchBlt(reduite, 0, -first, reduced.cx, reduced.cy, source, 0, 0, picture.cx, picture.cy, SRCCOPY);
        BitBlt(apercu, (area.cx - reduced.cx) / 2, (area.cy - reduced.cy) / 2 + first, reduced.cx, end - first,
               reduite, 0, 0, SRCCOPY);
    }
    DeleteObject(bande);
    return true;
}
