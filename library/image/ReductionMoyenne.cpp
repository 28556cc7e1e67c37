#include "ReductionMoyenne.h"

#include <algorithm>
#include <cstring>

// Lengths are counted in units of 1 / (source * result) of a side: source
// pixel i covers [i * result, (i + 1) * result), result pixel d covers
// [d * source, (d + 1) * source), so every overlap is an exact integer.

namespace {

using Quatre = std::uint8_t __attribute__((vector_size(4)));
using Seize = std::uint8_t __attribute__((vector_size(16)));
using Huit = std::uint16_t __attribute__((vector_size(16)));
using Entiers = std::int32_t __attribute__((vector_size(16)));

// Four pixels as floats, widened by interleaving with zeros: converting
// the bytes directly goes one channel at a time.
void Elargit(Seize octets, ReductionMoyenne::Pixel (&pixels)[4])
{
    const Seize zero{};
    const Huit rien{};
    const auto bas = reinterpret_cast<Huit>(
        __builtin_shufflevector(octets, zero, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
    const auto haut = reinterpret_cast<Huit>(
        __builtin_shufflevector(octets, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31));
    const Entiers entiers[4] = {
        reinterpret_cast<Entiers>(__builtin_shufflevector(bas, rien, 0, 8, 1, 9, 2, 10, 3, 11)),
        reinterpret_cast<Entiers>(__builtin_shufflevector(bas, rien, 4, 12, 5, 13, 6, 14, 7, 15)),
        reinterpret_cast<Entiers>(__builtin_shufflevector(haut, rien, 0, 8, 1, 9, 2, 10, 3, 11)),
        reinterpret_cast<Entiers>(__builtin_shufflevector(haut, rien, 4, 12, 5, 13, 6, 14, 7, 15)),
    };
    for (int i = 0; i < 4; ++i)
        pixels[i] = __builtin_convertvector(entiers[i], ReductionMoyenne::Pixel);
}

} // namespace

ReductionMoyenne::ReductionMoyenne(CSize source, Bitmap& cible)
    : m_Cible(cible), m_Source(source.cy), m_Hauteur(cible.height()), m_Largeur(static_cast<std::size_t>(source.cx))
{
    const std::int64_t s = source.cx;
    const std::int64_t d = cible.width();
    // A column covers s / d pixels, so it touches at most that rounded up, plus one.
    m_Prises = static_cast<int>((s + d - 1) / d + 1);
    m_Premier.reserve(static_cast<std::size_t>(d));
    m_Poids.assign(static_cast<std::size_t>(d * m_Prises), 0.0f);
    for (std::int64_t x = 0; x < d; ++x) {
        const std::int64_t debut = x * s, fin = debut + s;
        m_Premier.push_back(static_cast<int>(debut / d));
        float* poids = &m_Poids[static_cast<std::size_t>(x * m_Prises)];
        for (std::int64_t i = debut / d; i * d < fin; ++i) {
            const std::int64_t couvert = std::min((i + 1) * d, fin) - std::max(i * d, debut);
            *poids++ = static_cast<float>(static_cast<double>(couvert) / static_cast<double>(s));
        }
    }
    m_Sommes.assign(m_Largeur + static_cast<std::size_t>(m_Prises), Pixel{});
}

void ReductionMoyenne::Ajoute(const BYTE* ligne)
{
    if (m_Lue >= m_Source)
        return;
    std::int64_t debut = m_Lue * m_Hauteur;
    const std::int64_t fin = debut + m_Hauteur;
    ++m_Lue;
    // A row on the border of two result rows counts in both.
    while (debut < fin) {
        const std::int64_t limite = (m_Ligne + 1) * m_Source;
        const std::int64_t bout = std::min(fin, limite);
        Accumule(ligne, static_cast<float>(static_cast<double>(bout - debut) / static_cast<double>(m_Source)));
        if (bout == limite)
            Emet();
        debut = bout;
    }
}

void ReductionMoyenne::Accumule(const BYTE* ligne, float poids)
{
    // The first row of a result row replaces the sums, which saves clearing them.
    const bool vide = m_Vide;
    m_Vide = false;
    Pixel* sommes = m_Sommes.data();
    const std::size_t n = m_Largeur;
    const auto parcourt = [&](auto combine) {
        std::size_t x = 0;
        for (; x + 4 <= n; x += 4, ligne += sizeof(Seize)) {
            Seize octets;
            std::memcpy(&octets, ligne, sizeof octets);
            Pixel pixels[4];
            Elargit(octets, pixels);
            for (int i = 0; i < 4; ++i)
                combine(sommes[x + i], poids * pixels[i]);
        }
        for (; x < n; ++x, ligne += 4) {
            Quatre octets;
            std::memcpy(&octets, ligne, sizeof octets);
            combine(sommes[x], poids * __builtin_convertvector(octets, Pixel));
        }
    };
    if (vide)
        parcourt([](Pixel& somme, Pixel valeur) { somme = valeur; });
    else
        parcourt([](Pixel& somme, Pixel valeur) { somme += valeur; });
}

namespace {

// One result row from the sums; N, when not 0, is the count of weights per
// column known in advance, so the compiler unrolls the taps.
template <int N>
void Ligne(BYTE* sortie, int largeur, const float* poids, const int* premier, const ReductionMoyenne::Pixel* sommes,
           int prises)
{
    using Pixel = ReductionMoyenne::Pixel;
    const int p = N ? N : prises;
    for (int x = 0; x < largeur; ++x, sortie += 4) {
        const Pixel* source = sommes + premier[x];
        Pixel somme = poids[0] * source[0];
        for (int t = 1; t < p; ++t)
            somme += poids[t] * source[t];
        poids += p;
        // The weights add up to 1 within a few float steps: 255 stays
        // below 255.5 and rounds to itself.
        const Entiers valeur = __builtin_convertvector(somme + 0.5f, Entiers);
        const std::uint32_t bgr = static_cast<std::uint32_t>(valeur[0]) | static_cast<std::uint32_t>(valeur[1]) << 8
                                  | static_cast<std::uint32_t>(valeur[2]) << 16;
        std::memcpy(sortie, &bgr, sizeof bgr);
    }
}

} // namespace

void ReductionMoyenne::Emet()
{
    BYTE* sortie = m_Cible.row(m_Ligne);
    const int largeur = m_Cible.width();
    // Reductions by less than 2 have 2 or 3 weights a column.
    const auto ligne = m_Prises == 2 ? &Ligne<2> : m_Prises == 3 ? &Ligne<3> : &Ligne<0>;
    ligne(sortie, largeur, m_Poids.data(), m_Premier.data(), m_Sommes.data(), m_Prises);
    m_Vide = true;
    ++m_Ligne;
}
