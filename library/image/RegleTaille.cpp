#include "RegleTaille.h"

#include <algorithm>

namespace {

// n * numerateur / denominateur, rounded half up, never below 1.
LONG Echelle(LONG n, std::uint64_t numerateur, std::uint64_t denominateur)
{
    const std::uint64_t v = (2 * std::uint64_t(n) * numerateur + denominateur) / (2 * denominateur);
    return static_cast<LONG>(std::max<std::uint64_t>(v, 1));
}

} // namespace

bool RegleTaille::Valide() const
{
    switch (Genre) {
    case Mode::Aucune:
        return Valeur == 0;
    case Mode::CotePlusLong:
    case Mode::CotePlusCourt:
        return Valeur >= 1 && Valeur <= kPixelsMaximum;
    case Mode::Pourcentage:
        return Valeur >= 1 && Valeur <= kPourcentMaximum;
    }
    return false;
}

CSize RegleTaille::Cible(CSize source) const
{
    if (!Valide() || source.cx <= 0 || source.cy <= 0)
        return source;
    std::uint64_t numerateur = Valeur;
    std::uint64_t denominateur = 0;
    switch (Genre) {
    case Mode::Aucune:
        return source;
    case Mode::CotePlusLong:
        denominateur = std::uint64_t(std::max(source.cx, source.cy));
        break;
    case Mode::CotePlusCourt:
        denominateur = std::uint64_t(std::min(source.cx, source.cy));
        break;
    case Mode::Pourcentage:
        denominateur = 100;
        break;
    }
    if (numerateur >= denominateur)
        return source;
    return CSize(Echelle(source.cx, numerateur, denominateur), Echelle(source.cy, numerateur, denominateur));
}
