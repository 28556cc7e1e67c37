#include "Style.h"

#include <algorithm>
#include <cstdint>

namespace {

// Percent-of-length products in 64 bits: a hostile record may hold any int.
int Part(long long longueur, long long dixMilliemes)
{
    return static_cast<int>(std::clamp<long long>(longueur * dixMilliemes / 10000, 0, INT32_MAX));
}

UINT Pourcent(UINT valeur, long long longueur)
{
    return static_cast<UINT>(std::clamp<long long>(longueur * valeur / 100, 0, INT32_MAX));
}

void Champ(CArchive& archive, int& cible, int minimum, int maximum)
{
    std::int32_t v = 0;
    archive >> v;
    if (!archive.Failed())
        cible = std::clamp<int>(v, minimum, maximum);
}

void Couleur(CArchive& archive, COLORREF& cible)
{
    std::uint32_t v = 0;
    archive >> v;
    if (!archive.Failed())
        cible = v & 0x00FFFFFF;
}

} // namespace

int Style::HauteurTexte(CSize picture) const
{
    if (TailleRelative <= 0)
        return 0;
    return std::max(1, Part(std::min(picture.cx, picture.cy), TailleRelative));
}

int Style::LargeurContour(int hauteurTexte) const
{
    if (Contour <= 0)
        return 0;
    if (!ContourRelatif)
        return Contour;
    // A requested outline never vanishes on a small text.
    return std::max(1, static_cast<int>(1LL * hauteurTexte * Contour / 100));
}

Style Style::Proportionne(int hauteur, int hauteurModele) const
{
    if (TailleRelative <= 0 || hauteur <= 0 || hauteurModele <= 0 || hauteur == hauteurModele)
        return *this;
    // Rounded to the nearest pixel, halves away from zero on both sides.
    const auto echelle = [&](int v, int limite) {
        const long long n = 2LL * v * hauteur;
        const long long q = (n + (n < 0 ? -hauteurModele : hauteurModele)) / (2LL * hauteurModele);
        return static_cast<int>(std::clamp<long long>(q, -limite, limite));
    };
    Style s = *this;
    s.OmbreX = echelle(OmbreX, kDecalageMaximal);
    s.OmbreY = echelle(OmbreY, kDecalageMaximal);
    s.OmbreFlou = echelle(OmbreFlou, kFlouMaximal);
    // A requested outline never vanishes on a small text.
    if (Contour > 0 && !ContourRelatif)
        s.Contour = std::max(1, echelle(Contour, kContourMaximal));
    return s;
}

CSize Style::TailleLogo(CSize picture, CSize logo) const
{
    if (TailleRelative <= 0 || logo.cx <= 0 || logo.cy <= 0)
        return logo;
    const long long longue = std::max(1, Part(std::min(picture.cx, picture.cy), TailleRelative));
    if (logo.cx >= logo.cy)
        return CSize(static_cast<int>(longue),
                     static_cast<int>(std::max<long long>(1, (longue * logo.cy + logo.cx / 2) / logo.cx)));
    return CSize(static_cast<int>(std::max<long long>(1, (longue * logo.cx + logo.cy / 2) / logo.cy)),
                 static_cast<int>(longue));
}

Emplacement Style::EmplacementPour(const Emplacement& record, CSize picture) const
{
    if (!PlaceRelative)
        return record;
    Emplacement e = record;
    // Margins follow the shorter side so that both look alike on portraits
    // and landscapes; a position follows its own axis, 50 % being the middle.
    const long long court = std::min(picture.cx, picture.cy);
    e.PositionAutomatiqueDeltaX = Pourcent(record.PositionAutomatiqueDeltaX, court);
    e.PositionAutomatiqueDeltaY = Pourcent(record.PositionAutomatiqueDeltaY, court);
    e.PositionAbsolueX = Pourcent(record.PositionAbsolueX, picture.cx);
    e.PositionAbsolueY = Pourcent(record.PositionAbsolueY, picture.cy);
    return e;
}

void Style::Ecrit(CArchive& archive) const
{
    for (int v : {TailleRelative, PlaceRelative, Opacite, Contour, ContourRelatif})
        archive << std::int32_t(v);
    archive << std::uint32_t(CouleurContour);
    for (int v : {OmbreX, OmbreY, OmbreFlou})
        archive << std::int32_t(v);
    archive << std::uint32_t(CouleurOmbre) << std::int32_t(OpaciteOmbre);
    const Style defaut;
    if (Repete != defaut.Repete || Angle != defaut.Angle || Espacement != defaut.Espacement)
        archive << std::int32_t(Repete ? 1 : 0) << std::int32_t(Angle) << std::int32_t(Espacement);
}

void Style::Lit(CArchive& archive)
{
    Champ(archive, TailleRelative, 0, kTailleMaximale);
    Champ(archive, PlaceRelative, 0, 1);
    Champ(archive, Opacite, 0, 100);
    Champ(archive, Contour, 0, kContourMaximal);
    Champ(archive, ContourRelatif, 0, 1);
    Couleur(archive, CouleurContour);
    Champ(archive, OmbreX, -kDecalageMaximal, kDecalageMaximal);
    Champ(archive, OmbreY, -kDecalageMaximal, kDecalageMaximal);
    Champ(archive, OmbreFlou, 0, kFlouMaximal);
    Couleur(archive, CouleurOmbre);
    Champ(archive, OpaciteOmbre, 0, 100);
    std::int32_t repete = 0, angle = 0, espacement = 0;
    archive >> repete >> angle >> espacement;
    if (archive.Failed() || espacement == 0)
        return;
    Repete = repete != 0;
    Angle = std::clamp<int>(angle, 0, kAngleMaximal);
    Espacement = std::clamp<int>(espacement, kEspacementMinimal, kEspacementMaximal);
}
