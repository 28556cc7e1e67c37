#include "MasqueStyle.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kBloc = MasqueStyle::kBloc;

// The loops over whole rows, each on buffers that do not overlap.

template <class T> void Graines(const std::uint8_t* __restrict a, T* __restrict d, int pas)
{
    for (int x0 = 0; x0 < pas; x0 += kBloc)
        for (int x = x0; x < x0 + kBloc; ++x)
            d[x] = a[x] >= 128 ? T(0) : d[x];
}

// What the rows behind give each pixel of the row ici.
template <class T>
void Proches(const T* __restrict ici, const T* __restrict r1, const T* __restrict r2, T* __restrict q, int pas)
{
    for (int x0 = 0; x0 < pas; x0 += kBloc)
        for (int x = x0; x < x0 + kBloc; ++x) {
            const int droit = std::min(ici[x], static_cast<T>(r1[x] + 5));
            const int diagonale = std::min(r1[x - 1], r1[x + 1]) + 7;
            const int cavalier = std::min(std::min(r2[x - 1], r2[x + 1]), std::min(r1[x - 2], r1[x + 2])) + 11;
            q[x] = static_cast<T>(std::min(droit, std::min(diagonale, cavalier)));
        }
}

// Full up to the width, fading over the next pixel (five fifths); the
// padding, at the ceiling, stays empty.
template <class T>
void Bord(const T* __restrict d, const std::uint8_t* __restrict a, std::uint8_t* __restrict o, int pas, int plein)
{
    for (int x0 = 0; x0 < pas; x0 += kBloc)
        for (int x = x0; x < x0 + kBloc; ++x) {
            const int c = std::clamp((plein - d[x]) * 51, 0, 255);
            o[x] = static_cast<std::uint8_t>(std::max<int>(a[x], c));
        }
}

void Ajoute(int* __restrict sommes, const std::uint8_t* __restrict ligne, int pas, int signe)
{
    for (int x0 = 0; x0 < pas; x0 += kBloc)
        for (int x = x0; x < x0 + kBloc; ++x)
            sommes[x] += signe * ligne[x];
}

// Dividing by n as a multiplication by inverse: a division a pixel costs more than the rest.
inline std::uint8_t Moyenne(int somme, int inverse)
{
    return static_cast<std::uint8_t>(std::min(255, (somme * inverse + (1 << 15)) >> 16));
}

void Moyennes(const int* __restrict sommes, std::uint8_t* __restrict ligne, int pas, int inverse)
{
    for (int x0 = 0; x0 < pas; x0 += kBloc)
        for (int x = x0; x < x0 + kBloc; ++x)
            ligne[x] = Moyenne(sommes[x], inverse);
}

// Distances in the narrowest type that holds them: more of them a step.
template <class T> void Distances(const MasqueStyle& a, int largeur, MasqueStyle& o)
{
    const int l = a.Largeur(), h = a.Hauteur(), pas = a.Pas();
    // A border of two pixels spares the bounds checks; beyond the outline
    // every distance is the same to us, so the padding keeps the ceiling.
    const int pl = pas + 4;
    const int plafond = 5 * (largeur + 2);
    std::vector<T> d(static_cast<std::size_t>(pl) * (h + 4), static_cast<T>(plafond));
    const auto rang = [&](int y) { return d.data() + static_cast<std::size_t>(y + 2) * pl + 2; };
    for (int y = 0; y < h; ++y)
        Graines(a.Ligne(y), rang(y), pas);
    // Each scan takes the rows behind it as they are, block by block, then
    // the pixel just behind in sequence (the part no vector can do).
    std::vector<T> proches(static_cast<std::size_t>(pas));
    T* q = proches.data();
    const auto balaye = [&](int y, int sens) {
        T* p = rang(y);
        Proches(p, p - sens * pl, p - 2 * sens * pl, q, pas);
        int v = plafond;
        if (sens > 0) {
            for (int x = 0; x < l; ++x)
                p[x] = static_cast<T>(v = std::min<int>(q[x], v + 5));
        } else {
            for (int x = l - 1; x >= 0; --x)
                p[x] = static_cast<T>(v = std::min<int>(q[x], v + 5));
        }
    };
    for (int y = 0; y < h; ++y)
        balaye(y, 1);
    for (int y = h - 1; y >= 0; --y)
        balaye(y, -1);
    for (int y = 0; y < h; ++y)
        Bord(rang(y), a.Ligne(y), o.Ligne(y), pas, 5 * (largeur + 1));
}

} // namespace

MasqueStyle::MasqueStyle(int largeur, int hauteur)
    : m_largeur(largeur), m_hauteur(hauteur), m_pas((largeur + kBloc - 1) / kBloc * kBloc),
      m_v(static_cast<std::size_t>(m_pas) * hauteur)
{
}

MasqueStyle MasqueStyle::Contour(int largeur) const
{
    MasqueStyle o(m_largeur, m_hauteur);
    // The ceiling and the steps added to it must fit.
    if (5LL * (largeur + 2) + 11 <= std::numeric_limits<std::uint16_t>::max())
        Distances<std::uint16_t>(*this, largeur, o);
    else
        Distances<int>(*this, largeur, o);
    return o;
}

void MasqueStyle::Floute(int rayon)
{
    if (rayon <= 0)
        return;
    const int r = std::max(1, (rayon + 2) / 3);
    const int n = 2 * r + 1;
    const int inverse = ((1 << 16) + n / 2) / n;
    const int l = m_largeur, h = m_hauteur;
    // Each pass reads one buffer and writes the other; the padding of both
    // stays zero, as the average of zeros is zero.
    std::vector<std::uint8_t> passe(m_v.size());
    const auto rangPasse = [&](int y) { return passe.data() + static_cast<std::size_t>(y) * m_pas; };
    // A row between r zeros on each side: a sliding sum with no bounds to check.
    std::vector<std::uint8_t> bordee(static_cast<std::size_t>(l) + 2 * r);
    std::vector<int> sommes(static_cast<std::size_t>(m_pas));
    for (int tour = 0; tour < 3; ++tour) {
        for (int y = 0; y < h; ++y) {
            std::memcpy(bordee.data() + r, Ligne(y), static_cast<std::size_t>(l));
            const std::uint8_t* ligne = bordee.data() + r;
            std::uint8_t* p = rangPasse(y);
            int s = 0;
            for (int x = -r; x < r; ++x)
                s += ligne[x];
            for (int x = 0; x < l; ++x) {
                s += ligne[x + r];
                p[x] = Moyenne(s, inverse);
                s -= ligne[x - r];
            }
        }
        std::fill(sommes.begin(), sommes.end(), 0);
        for (int y = 0; y < std::min(r, h); ++y)
            Ajoute(sommes.data(), rangPasse(y), m_pas, 1);
        for (int y = 0; y < h; ++y) {
            if (y + r < h)
                Ajoute(sommes.data(), rangPasse(y + r), m_pas, 1);
            Moyennes(sommes.data(), Ligne(y), m_pas, inverse);
            if (y - r >= 0)
                Ajoute(sommes.data(), rangPasse(y - r), m_pas, -1);
        }
    }
}
