// Rows averaged down as they come: each result pixel is the mean of the
// source area under it, whatever the two sizes.

#include "image/ReductionMoyenne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

// The mean of channel c over the source rectangle behind result pixel
// (x, y), by plain geometry.
double Moyenne(const std::vector<BYTE>& source, CSize taille, CSize cible, int x, int y, int c)
{
    const double sx = double(taille.cx) / cible.cx, sy = double(taille.cy) / cible.cy;
    double somme = 0;
    for (int j = int(std::floor(y * sy)); j < std::min<double>(taille.cy, (y + 1) * sy); ++j)
        for (int i = int(std::floor(x * sx)); i < std::min<double>(taille.cx, (x + 1) * sx); ++i) {
            const double largeur = std::min((x + 1) * sx, i + 1.0) - std::max(x * sx, double(i));
            const double hauteur = std::min((y + 1) * sy, j + 1.0) - std::max(y * sy, double(j));
            somme += largeur * hauteur * source[(std::size_t(j) * taille.cx + i) * 4 + c];
        }
    return somme / (sx * sy);
}

} // namespace

TEST(ReductionMoyenne, EachPixelIsTheMeanOfTheAreaUnderItAndEveryByteIsWritten)
{
    const struct {
        CSize source, cible;
        bool blanc; // all 255: sums a hair over 1 must not wrap to 0
    } cas[] = {
        {{7, 5}, {3, 2}, false},    {{3000, 20}, {2048, 13}, false}, {{10, 1}, {1, 1}, false},
        {{4, 2}, {3, 2}, false},    {{1000, 3}, {7, 1}, false},      {{5, 5}, {5, 5}, false},
        {{6, 9}, {1, 8}, false},    {{3000, 20}, {2048, 13}, true},  {{333, 7}, {100, 3}, true},
    };
    std::mt19937 hasard(7);
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << c.source.cx << "x" << c.source.cy << " to " << c.cible.cx << "x"
                                        << c.cible.cy << (c.blanc ? " white" : ""));
        std::vector<BYTE> source(std::size_t(c.source.cx) * c.source.cy * 4);
        for (BYTE& octet : source)
            octet = c.blanc ? 255 : BYTE(hasard());
        std::unique_ptr<Bitmap> cible(Bitmap::Create(c.cible.cx, c.cible.cy, 32, Bitmap::Fill::Overwritten));
        ASSERT_TRUE(cible);
        std::memset(cible->bits(), 0xAB, cible->byteCount());
        ReductionMoyenne reduction(c.source, *cible);
        for (int y = 0; y < c.source.cy; ++y)
            reduction.Ajoute(&source[std::size_t(y) * c.source.cx * 4]);
        // A row too many changes nothing.
        reduction.Ajoute(source.data());
        int ecarts = 0;
        for (int y = 0; y < c.cible.cy; ++y)
            for (int x = 0; x < c.cible.cx; ++x) {
                const BYTE* pixel = cible->row(y) + 4 * x;
                ecarts += pixel[3] != 0;
                for (int k = 0; k < 3; ++k)
                    ecarts += std::abs(pixel[k] - Moyenne(source, c.source, c.cible, x, y, k)) > 0.51;
            }
        EXPECT_EQ(ecarts, 0);
    }
}
