// Plain and patterned borders, backgrounds and the rectangle outline.

#include "CGraphique.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <memory>

using namespace TestImages;

namespace {

constexpr COLORREF kBordure = RGB(10, 200, 30);
constexpr COLORREF kTrait = RGB(250, 5, 5);

class Cadre : public testing::Test {
protected:
    static void SetUpTestSuite() { s_graphique = std::make_unique<CGraphique>(); }
    static void TearDownTestSuite() { s_graphique.reset(); }
    static CGraphique& G() { return *s_graphique; }
    static inline std::unique_ptr<CGraphique> s_graphique;
};

using Fond = Cadre;

// Whether every pixel of the rectangle has the colour.
std::string Uniform(HBITMAP image, CRect area, COLORREF colour)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Pixel(image, x, y) != colour)
                return std::to_string(x) + "," + std::to_string(y);
    return {};
}

// Whether the rectangle of the image shows the source from its top-left corner.
std::string ShowsSource(HBITMAP image, CPoint at, HBITMAP source)
{
    const CSize size = SizeOf(source);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (Pixel(image, at.x + x, at.y + y) != Pixel(source, x, y))
                return std::to_string(x) + "," + std::to_string(y);
    return {};
}

} // namespace

TEST_F(Cadre, PlainBorderWithoutOutlineCoversEveryEdgePixel)
{
    HBITMAP source = Gradient(100, 50);
    HBITMAP framed = G().CadreImage(nullptr, source, 0, 0, kBordure, 10, 0, kTrait);
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(SizeOf(framed), CSize(120, 70));
    EXPECT_EQ(ShowsSource(framed, CPoint(10, 10), source), "");
    EXPECT_EQ(Uniform(framed, CRect(0, 0, 120, 10), kBordure), "");
    EXPECT_EQ(Uniform(framed, CRect(0, 60, 120, 70), kBordure), "") << "down to the last row";
    EXPECT_EQ(Uniform(framed, CRect(110, 0, 120, 70), kBordure), "") << "out to the last column";
    EXPECT_EQ(Uniform(framed, CRect(0, 0, 10, 70), kBordure), "");
    DeleteObject(framed);
    DeleteObject(source);
}

TEST_F(Cadre, OutlineIsOnePixelUpToTenAndThreeVisiblePixelsBeyond)
{
    HBITMAP source = Gradient(100, 50);
    HBITMAP thin = G().CadreImage(nullptr, source, 0, 0, kBordure, 10, 1, kTrait);
    ASSERT_NE(thin, nullptr);
    EXPECT_EQ(SizeOf(thin), CSize(122, 72));
    EXPECT_EQ(ShowsSource(thin, CPoint(11, 11), source), "");
    EXPECT_EQ(Uniform(thin, CRect(0, 0, 122, 1), kTrait), "");
    EXPECT_EQ(Uniform(thin, CRect(121, 0, 122, 72), kTrait), "");
    EXPECT_EQ(Uniform(thin, CRect(0, 71, 122, 72), kTrait), "");
    EXPECT_EQ(Uniform(thin, CRect(1, 1, 121, 11), kBordure), "");
    EXPECT_EQ(Uniform(thin, CRect(1, 61, 121, 71), kBordure), "");

    HBITMAP thick = G().CadreImage(nullptr, source, 0, 0, kBordure, 20, 1, kTrait);
    ASSERT_NE(thick, nullptr);
    EXPECT_EQ(SizeOf(thick), CSize(150, 100));
    EXPECT_EQ(ShowsSource(thick, CPoint(25, 25), source), "");
    // A 5-pixel pen centred on the edge shows its inner three pixels.
    EXPECT_EQ(Uniform(thick, CRect(0, 0, 150, 3), kTrait), "");
    EXPECT_EQ(Uniform(thick, CRect(147, 0, 150, 100), kTrait), "");
    EXPECT_EQ(Uniform(thick, CRect(0, 97, 150, 100), kTrait), "");
    EXPECT_EQ(Uniform(thick, CRect(3, 3, 147, 25), kBordure), "");
    EXPECT_EQ(Uniform(thick, CRect(3, 75, 147, 97), kBordure), "");
    for (HBITMAP b : {source, thin, thick})
        DeleteObject(b);
}

TEST_F(Cadre, BorderKeepsTheSourceDepth)
{
    for (int depth : {8, 16, 24}) {
        HBITMAP source = Solid(6, 4, depth, RGB(255, 255, 255));
        HBITMAP framed = G().CadreImage(nullptr, source, 0, 0, RGB(0, 0, 0), 2, 1, RGB(255, 0, 0));
        EXPECT_EQ(Depth(framed), depth);
        EXPECT_EQ(SizeOf(framed), CSize(12, 10));
        DeleteObject(framed);
        DeleteObject(source);
    }
    EXPECT_EQ(G().CadreImage(nullptr, nullptr, 0, 0, 0, 2, 0, 0), nullptr);
}

TEST_F(Cadre, PatternedBorderTilesEachBandFromItsStart)
{
    HBITMAP tile = G().Motif(2);
    ASSERT_NE(tile, nullptr);
    ASSERT_EQ(SizeOf(tile), CSize(50, 50));
    HBITMAP source = Gradient(100, 50);
    // The colours and the outline flag do not matter to a patterned border.
    HBITMAP framed = G().CadreImage(nullptr, source, 1, 2, kBordure, 20, 1, kTrait);
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(SizeOf(framed), CSize(140, 90));
    EXPECT_EQ(ShowsSource(framed, CPoint(20, 20), source), "");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 140; ++x) {
            // Top band: tiles at x = 0, 50, 100. The whole tiles of the side
            // bands come last and cover its ends, the left ones 50 pixels wide.
            const COLORREF top = x < 50 ? Pixel(tile, x, y) : x >= 120 ? Pixel(tile, x - 120, y) : Pixel(tile, x % 50, y);
            ASSERT_EQ(Pixel(framed, x, y), top) << x << "," << y;
            // Bottom band: tiles from its inner edge, y = 70.
            const COLORREF bottom = x < 50 ? Pixel(tile, x, (70 + y) % 50)
                                  : x >= 120 ? Pixel(tile, x - 120, (70 + y) % 50)
                                             : Pixel(tile, x % 50, y);
            ASSERT_EQ(Pixel(framed, x, 70 + y), bottom) << x << "," << 70 + y;
        }
    for (int y = 20; y < 70; ++y)
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(Pixel(framed, x, y), Pixel(tile, x, y % 50)) << x << "," << y;
            ASSERT_EQ(Pixel(framed, 120 + x, y), Pixel(tile, x, y % 50)) << 120 + x << "," << y;
        }
    DeleteObject(framed);
    DeleteObject(source);
}

TEST_F(Cadre, PatternedBorderDeeperThanATileLeavesNothingBare)
{
    HBITMAP tile = G().Motif(2); // 50 x 50
    HBITMAP source = Solid(30, 20, 32, RGB(1, 2, 3));
    HBITMAP framed = G().CadreMotifImage(nullptr, source, 1, 2, 0, 70, 0, 0);
    ASSERT_NE(framed, nullptr);
    ASSERT_EQ(SizeOf(framed), CSize(170, 160));
    // Beyond the first row of tiles each band continues the grid of its own tiles.
    const struct {
        CRect area;
        CPoint origin;
    } deep[] = {
        {{70, 50, 100, 70}, {0, 0}},    // top band, between the side bands
        {{50, 50, 70, 90}, {0, 0}},     // left band
        {{70, 140, 100, 160}, {0, 90}}, // bottom band
        {{150, 50, 170, 90}, {100, 0}}, // right band
    };
    for (const auto& d : deep)
        for (int y = d.area.top; y < d.area.bottom; ++y)
            for (int x = d.area.left; x < d.area.right; ++x)
                ASSERT_EQ(Pixel(framed, x, y), Pixel(tile, (x - d.origin.x) % 50, (y - d.origin.y) % 50)) << x << "," << y;
    EXPECT_EQ(Pixel(framed, 10, 10), Pixel(tile, 10, 10));
    EXPECT_EQ(Pixel(framed, 80, 100), Pixel(tile, 30, 10)) << "the bottom row of tiles starts at its inner edge";
    EXPECT_EQ(ShowsSource(framed, CPoint(70, 70), source), "");
    DeleteObject(framed);
    DeleteObject(source);
}

TEST_F(Cadre, PatternedBorderNeedsAnExistingPattern)
{
    HBITMAP source = Gradient(10, 10);
    EXPECT_EQ(G().CadreMotifImage(nullptr, source, 1, -1, 0, 5, 0, 0), nullptr);
    EXPECT_EQ(G().CadreImage(nullptr, source, 1, CGraphique::kNombreMotifs, 0, 5, 0, 0), nullptr);
    DeleteObject(source);
}

TEST_F(Fond, PlainCanvasCentresThePicture)
{
    HBITMAP picture = Gradient(100, 50);
    HBITMAP canvas = G().FondImage(nullptr, CSize(300, 200), 32, picture, 0, 0, kBordure);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(SizeOf(canvas), CSize(300, 200));
    EXPECT_EQ(ShowsSource(canvas, CPoint(100, 75), picture), "");
    EXPECT_EQ(Uniform(canvas, CRect(0, 0, 300, 75), kBordure), "");
    EXPECT_EQ(Uniform(canvas, CRect(0, 125, 300, 200), kBordure), "") << "down to the last row";
    EXPECT_EQ(Uniform(canvas, CRect(200, 0, 300, 200), kBordure), "") << "out to the last column";
    DeleteObject(canvas);

    HBITMAP wide = Gradient(301, 50);
    canvas = G().FondImage(nullptr, CSize(300, 200), 32, wide, 0, 0, kBordure);
    EXPECT_EQ(Pixel(canvas, 0, 75), Pixel(wide, 0, 0));
    EXPECT_EQ(Pixel(canvas, 299, 124), Pixel(wide, 299, 49)) << "the last column is cut";
    EXPECT_EQ(Pixel(canvas, 150, 74), kBordure);
    DeleteObject(canvas);

    HBITMAP tall = Gradient(10, 203);
    canvas = G().FondImage(nullptr, CSize(30, 200), 32, tall, 0, 0, kBordure);
    EXPECT_EQ(Pixel(canvas, 10, 0), Pixel(tall, 0, 1)) << "cut on both sides: (200 - 203) / 2 = -1";
    DeleteObject(canvas);
    for (HBITMAP b : {picture, wide, tall})
        DeleteObject(b);
}

TEST_F(Fond, CanvasTakesTheGivenDepthAndMayBeEmpty)
{
    HBITMAP picture = Solid(4, 4, 32, RGB(255, 255, 255));
    HBITMAP canvas = G().FondImage(nullptr, CSize(8, 6), 16, picture, 0, 0, RGB(0, 0, 255));
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(Depth(canvas), 16);
    EXPECT_EQ(Pixel(canvas, 2, 1), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(canvas, 7, 5), RGB(0, 0, 255));
    DeleteObject(canvas);

    canvas = G().FondImage(nullptr, CSize(8, 6), 24, nullptr, 0, 0, RGB(0, 0, 255));
    EXPECT_EQ(Uniform(canvas, CRect(0, 0, 8, 6), RGB(0, 0, 255)), "");
    DeleteObject(canvas);
    EXPECT_EQ(G().FondImage(nullptr, CSize(0, 6), 24, nullptr, 0, 0, 0), nullptr);
    DeleteObject(picture);
}

TEST_F(Fond, PatternedCanvasIsTiledFromTheCorner)
{
    HBITMAP tile = G().Motif(4); // 424 x 63
    ASSERT_NE(tile, nullptr);
    HBITMAP picture = Gradient(20, 10);
    // Through FondImage: the patterned flag hands over, the colour is ignored.
    HBITMAP canvas = G().FondImage(nullptr, CSize(900, 140), 32, picture, 1, 4, kBordure);
    ASSERT_NE(canvas, nullptr);
    for (int y = 0; y < 140; y += 3)
        for (int x = 0; x < 900; x += 7) {
            if (x >= 440 && x < 460 && y >= 65 && y < 75)
                continue;
            ASSERT_EQ(Pixel(canvas, x, y), Pixel(tile, x % 424, y % 63)) << x << "," << y;
        }
    EXPECT_EQ(ShowsSource(canvas, CPoint(440, 65), picture), "");
    DeleteObject(canvas);
    EXPECT_EQ(G().FondMotifImage(nullptr, CSize(10, 10), 32, picture, 1, 99, 0), nullptr);
    DeleteObject(picture);
}

TEST_F(Cadre, RectangleOutlineOnACopy)
{
    HBITMAP source = Gradient(60, 50);
    EXPECT_EQ(CGraphique::RectangleImage(nullptr, source, CRect(10, 10, 50, 40), PS_SOLID, 0, RGB(255, 0, 0)),
              nullptr);
    HBITMAP framed = CGraphique::RectangleImage(nullptr, source, CRect(10, 10, 50, 40), PS_SOLID, 1, RGB(255, 0, 0));
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(Uniform(framed, CRect(10, 10, 50, 11), RGB(255, 0, 0)), "");
    EXPECT_EQ(Uniform(framed, CRect(10, 39, 50, 40), RGB(255, 0, 0)), "");
    EXPECT_EQ(Uniform(framed, CRect(49, 10, 50, 40), RGB(255, 0, 0)), "");
    EXPECT_EQ(Pixel(framed, 20, 20), Pixel(source, 20, 20)) << "the hollow brush leaves the inside";
    EXPECT_EQ(Pixel(framed, 50, 40), Pixel(source, 50, 40));
    EXPECT_EQ(Pixel(framed, 9, 9), Pixel(source, 9, 9));
    EXPECT_NE(Pixel(source, 10, 10), RGB(255, 0, 0)) << "the source is not changed";
    DeleteObject(framed);
    DeleteObject(source);
}
