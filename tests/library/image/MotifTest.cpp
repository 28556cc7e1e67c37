// The 50 pattern tiles loaded by the constructor, and their thumbnails.

#include "CGraphique.h"
#include "PixelRows.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace TestImages;

namespace {

constexpr CSize kTailles[CGraphique::kNombreMotifs] = {
    {96, 96},   {128, 128}, {50, 50},   {100, 100}, {424, 63},  {256, 256}, {336, 189}, {275, 248}, {128, 128},
    {100, 100}, {256, 256}, {256, 256}, {100, 100}, {150, 150}, {240, 240}, {250, 250}, {256, 256}, {96, 96},
    {64, 64},   {256, 256}, {180, 133}, {200, 200}, {300, 300}, {160, 160}, {288, 288}, {256, 256}, {256, 128},
    {200, 200}, {256, 256}, {64, 64},   {288, 288}, {64, 64},   {250, 250}, {255, 255}, {255, 255}, {288, 288},
    {150, 150}, {250, 250}, {100, 100}, {256, 256}, {256, 256}, {200, 200}, {200, 201}, {135, 135}, {128, 128},
    {150, 180}, {150, 91},  {256, 256}, {256, 256}, {128, 128},
};

class Motif : public testing::Test {
protected:
    static void SetUpTestSuite() { s_graphique = std::make_unique<CGraphique>(); }
    static void TearDownTestSuite() { s_graphique.reset(); }
    static const CGraphique& G() { return *s_graphique; }
    static inline std::unique_ptr<CGraphique> s_graphique;
};

// The whole tile as rows of 0x00RRGGBB.
std::vector<std::vector<std::uint32_t>> Rows(HBITMAP tile)
{
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(tile->height()),
                                                 std::vector<std::uint32_t>(static_cast<std::size_t>(tile->width())));
    for (int y = 0; y < tile->height(); ++y)
        PixelRows::Read(*tile, 0, y, tile->width(), rows[y].data());
    return rows;
}

int Distance(std::uint32_t a, std::uint32_t b)
{
    return std::abs(int(a & 0xFF) - int(b & 0xFF)) + std::abs(int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF))
        + std::abs(int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF));
}

// Mean difference between column a and column b (or rows, when across is false).
double Step(const std::vector<std::vector<std::uint32_t>>& p, bool across, int a, int b)
{
    double sum = 0;
    const std::size_t n = across ? p.size() : p[0].size();
    for (std::size_t i = 0; i < n; ++i)
        sum += across ? Distance(p[i][a], p[i][b]) : Distance(p[a][i], p[b][i]);
    return sum / static_cast<double>(n);
}

} // namespace

TEST_F(Motif, EveryTileHasItsListedSize)
{
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i) {
        HBITMAP tile = G().Motif(i);
        ASSERT_NE(tile, nullptr) << "tile " << i;
        EXPECT_EQ(SizeOf(tile), kTailles[i]) << "tile " << i;
        EXPECT_EQ(Depth(tile), 32) << "tiles load at the display's depth";
    }
    EXPECT_EQ(G().Motif(-1), nullptr);
    EXPECT_EQ(G().Motif(CGraphique::kNombreMotifs), nullptr);
}

TEST_F(Motif, ThumbnailsAreFortyPixelsSquareSamplesOfTheirTile)
{
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i) {
        HBITMAP thumbnail = G().Vignette(i);
        ASSERT_NE(thumbnail, nullptr) << "thumbnail " << i;
        ASSERT_EQ(SizeOf(thumbnail), CSize(40, 40)) << "thumbnail " << i;
        // No colours mixed: each pixel is one of the tile's pixels in (or at the
        // edge of) the block behind it.
        const auto tile = Rows(G().Motif(i));
        const auto small = Rows(thumbnail);
        const int w = static_cast<int>(tile[0].size()), h = static_cast<int>(tile.size());
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool found = false;
                for (int ty = y * h / 40; ty <= std::min(h - 1, (y + 1) * h / 40) && !found; ++ty)
                    for (int tx = x * w / 40; tx <= std::min(w - 1, (x + 1) * w / 40) && !found; ++tx)
                        found = tile[ty][tx] == small[y][x];
                ASSERT_TRUE(found) << "thumbnail " << i << " at " << x << "," << y;
            }
    }
    EXPECT_EQ(G().Vignette(CGraphique::kNombreMotifs), nullptr);
}

TEST_F(Motif, TilesJoinWithoutASeam)
{
    // Where a tile meets its own copy, the step between the last and the first
    // column (or row) must look like the steps inside the tile: no larger than
    // the largest of them.
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i) {
        const auto p = Rows(G().Motif(i));
        const int w = static_cast<int>(p[0].size()), h = static_cast<int>(p.size());
        for (bool across : {true, false}) {
            const int n = across ? w : h;
            double largest = 0;
            for (int k = 0; k + 1 < n; ++k)
                largest = std::max(largest, Step(p, across, k, k + 1));
            const double seam = Step(p, across, n - 1, 0);
            EXPECT_LE(seam, largest * 1.1 + 2) << "tile " << i << (across ? " left-right" : " top-bottom");
        }
    }
}

TEST_F(Motif, TilesAreAllDifferent)
{
    for (int i = 0; i < CGraphique::kNombreMotifs; ++i)
        for (int j = i + 1; j < CGraphique::kNombreMotifs; ++j)
            if (kTailles[i] == kTailles[j]) {
                EXPECT_NE(FirstDifference(G().Motif(i), G().Motif(j)), "") << i << " and " << j;
            }
}
