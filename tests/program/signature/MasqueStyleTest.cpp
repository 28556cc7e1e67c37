// The outline and blur of a coverage mask against their plain forms, every
// pixel computed on its own with its bounds checked: the padded rows and the
// block-wise loops must not change one byte, whatever the width.

#include "MasqueStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Plan = std::vector<std::vector<int>>;

Plan Lit(const MasqueStyle& m)
{
    Plan p(static_cast<std::size_t>(m.Hauteur()), std::vector<int>(static_cast<std::size_t>(m.Largeur())));
    for (int y = 0; y < m.Hauteur(); ++y)
        for (int x = 0; x < m.Largeur(); ++x)
            p[y][x] = m.At(x, y);
    return p;
}

// A later pass over whole blocks reads the padding: it must stay empty.
bool PaddingVide(const MasqueStyle& m)
{
    for (int y = 0; y < m.Hauteur(); ++y)
        for (int x = m.Largeur(); x < m.Pas(); ++x)
            if (m.Ligne(y)[x])
                return false;
    return true;
}

Plan ContourSimple(const Plan& a, int largeur)
{
    const int h = static_cast<int>(a.size()), l = static_cast<int>(a[0].size());
    const int plafond = 5 * (largeur + 2);
    Plan d(a.size(), std::vector<int>(a[0].size(), plafond));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < l; ++x)
            if (a[y][x] >= 128)
                d[y][x] = 0;
    const auto D = [&](int x, int y) { return x < 0 || y < 0 || x >= l || y >= h ? plafond : d[y][x]; };
    const auto pas = [&](int x, int y, int s) {
        d[y][x] = std::min({D(x, y), D(x - 1, y - s) + 7, D(x, y - s) + 5, D(x + 1, y - s) + 7,
                            D(x - 1, y - 2 * s) + 11, D(x + 1, y - 2 * s) + 11, D(x - 2, y - s) + 11,
                            D(x + 2, y - s) + 11, D(x - s, y) + 5});
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < l; ++x)
            pas(x, y, 1);
    for (int y = h - 1; y >= 0; --y)
        for (int x = l - 1; x >= 0; --x)
            pas(x, y, -1);
    Plan o = a;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < l; ++x)
            o[y][x] = std::max(a[y][x], std::clamp((5 * (largeur + 1) - d[y][x]) * 51, 0, 255));
    return o;
}

Plan FlouSimple(Plan a, int rayon)
{
    if (rayon <= 0)
        return a;
    const int h = static_cast<int>(a.size()), l = static_cast<int>(a[0].size());
    const int r = std::max(1, (rayon + 2) / 3);
    const int inverse = ((1 << 16) + (2 * r + 1) / 2) / (2 * r + 1);
    const auto moyenne = [&](int s) { return std::min(255, (s * inverse + (1 << 15)) >> 16); };
    for (int tour = 0; tour < 3; ++tour) {
        Plan t = a;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < l; ++x) {
                int s = 0;
                for (int k = std::max(0, x - r); k <= std::min(l - 1, x + r); ++k)
                    s += a[y][k];
                t[y][x] = moyenne(s);
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < l; ++x) {
                int s = 0;
                for (int k = std::max(0, y - r); k <= std::min(h - 1, y + r); ++k)
                    s += t[k][x];
                a[y][x] = moyenne(s);
            }
    }
    return a;
}

TEST(MasqueStyle, OutlineAndBlurMatchThePlainForms)
{
    struct Cas {
        int largeur, hauteur;
    };
    // Widths about one block and past it; a single pixel; a single row.
    const Cas tailles[] = {{1, 1}, {15, 7}, {16, 16}, {17, 9}, {33, 20}, {40, 1}};
    // 13090 still fits 16-bit distances, 13100 does not.
    const int contours[] = {1, 3, 8, 13090, 13100};
    const int flous[] = {0, 1, 4, 9, 30};
    std::mt19937 hasard(7);
    for (const Cas& c : tailles) {
        MasqueStyle m(c.largeur, c.hauteur);
        ASSERT_EQ(m.Pas() % MasqueStyle::kBloc, 0);
        for (int y = 0; y < c.hauteur; ++y)
            for (int x = 0; x < c.largeur; ++x) {
                const unsigned tirage = hasard() % 8;
                m.Ligne(y)[x] = static_cast<std::uint8_t>(tirage < 5 ? 0 : tirage == 5 ? 255 : hasard() % 256);
            }
        const Plan depart = Lit(m);
        for (const int contour : contours) {
            SCOPED_TRACE(std::to_string(c.largeur) + "x" + std::to_string(c.hauteur) + " outline " +
                         std::to_string(contour));
            const MasqueStyle o = m.Contour(contour);
            EXPECT_EQ(Lit(o), ContourSimple(depart, contour));
            EXPECT_TRUE(PaddingVide(o));
        }
        for (const int flou : flous) {
            SCOPED_TRACE(std::to_string(c.largeur) + "x" + std::to_string(c.hauteur) + " blur " +
                         std::to_string(flou));
            MasqueStyle floute = m;
            floute.Floute(flou);
            EXPECT_EQ(Lit(floute), FlouSimple(depart, flou));
            EXPECT_TRUE(PaddingVide(floute));
        }
    }
}

} // namespace
