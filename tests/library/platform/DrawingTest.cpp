// Device images, copies, stretches, fills and the system palette.

#include "Gdi.h"
#include "PixelRows.h"
#include "SystemPalette.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <random>

using namespace TestImages;

namespace {

struct Selected {
    Selected(HBITMAP image) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, image)) {}
    ~Selected()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP old;
};

} // namespace

TEST(SystemPalette, NearestIndexIsTheTrueNearestColour)
{
    const SystemPalette& palette = SystemPalette::instance();
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        const int r = random() & 0xFF, g = random() & 0xFF, b = random() & 0xFF;
        int best = 1 << 30;
        for (const RGBQUAD& e : palette.entries()) {
            const int d = (r - e.rgbRed) * (r - e.rgbRed) + (g - e.rgbGreen) * (g - e.rgbGreen)
                + (b - e.rgbBlue) * (b - e.rgbBlue);
            best = std::min(best, d);
        }
        const RGBQUAD& chosen = palette.entries()[palette.nearestIndex(r, g, b)];
        const int d = (r - chosen.rgbRed) * (r - chosen.rgbRed) + (g - chosen.rgbGreen) * (g - chosen.rgbGreen)
            + (b - chosen.rgbBlue) * (b - chosen.rgbBlue);
        ASSERT_EQ(d, best) << r << "," << g << "," << b;
    }
}

TEST(SystemPalette, HoldsBlackWhitePrimariesAndDistinctGreys)
{
    const SystemPalette& palette = SystemPalette::instance();
    for (COLORREF c : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        const std::uint32_t rgb = PixelRows::FromColorRef(c);
        EXPECT_EQ(palette.colour(palette.nearestIndex(GetRValue(c), GetGValue(c), GetBValue(c))), rgb);
    }
    // Greys never land further than a few levels away.
    for (int v = 0; v < 256; ++v) {
        const int level = palette.entries()[palette.nearestIndex(v, v, v)].rgbRed;
        EXPECT_LE(std::abs(level - v), 4) << v;
    }
}

TEST(DeviceImage, FormatsKeepColoursTheirDepthCanHold)
{
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(12, 200, 99), RGB(255, 0, 128)};
    for (COLORREF c : colours) {
        for (int bpp : {24, 32}) {
            HBITMAP image = Solid(3, 2, bpp, c);
            EXPECT_EQ(Pixel(image, 2, 1), c) << bpp;
            DeleteObject(image);
        }
    }
    // 5-6-5 keeps the top bits and widens so that white stays white.
    HBITMAP image16 = Solid(2, 2, 16, RGB(255, 255, 255));
    EXPECT_EQ(Pixel(image16, 1, 1), RGB(255, 255, 255));
    DeleteObject(image16);
    image16 = Solid(2, 2, 16, RGB(0x84, 0x82, 0x08));
    EXPECT_EQ(Pixel(image16, 0, 0), RGB(0x84, 0x82, 0x08));
    DeleteObject(image16);
}

TEST(DeviceImage, RefusesImpossibleSizes)
{
    EXPECT_EQ(CreateBitmap(0, 10, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(10, -1, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(65535, 65535, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(10, 10, 2, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(10, 10, 1, 7, nullptr), nullptr);
}

TEST(DeviceImage, BitmapBitsUseWordAlignedRows)
{
    // 3 pixels of 24 bits: 9 bytes, padded to 10.
    const BYTE bits[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0};
    HBITMAP image = CreateBitmap(3, 2, 1, 24, bits);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixel(image, 0, 1), RGB(13, 12, 11));
    BYTE back[20] = {};
    EXPECT_EQ(GetBitmapBits(image, sizeof back, back), 20);
    EXPECT_EQ(0, std::memcmp(back, bits, sizeof back));
    DeleteObject(image);
}

TEST(BitBlt, ClipsAgainstBothImagesAndConvertsDepth)
{
    HBITMAP source = Gradient(20, 10, 32);
    HBITMAP dest = Solid(8, 8, 24, RGB(1, 2, 3));
    {
        Selected from(source), to(dest);
        // Source starts outside on the left and the copy runs past the destination.
        ASSERT_TRUE(BitBlt(to.dc, 2, 3, 50, 50, from.dc, -1, 4, SRCCOPY));
    }
    EXPECT_EQ(Pixel(dest, 2, 3), RGB(1, 2, 3));     // source column -1 does not exist
    EXPECT_EQ(Pixel(dest, 3, 3), Pixel(source, 0, 4));
    EXPECT_EQ(Pixel(dest, 7, 7), Pixel(source, 4, 8));
    EXPECT_EQ(Pixel(dest, 1, 3), RGB(1, 2, 3));
    EXPECT_EQ(Pixel(dest, 5, 2), RGB(1, 2, 3));
    DeleteObject(source);
    DeleteObject(dest);
}

TEST(StretchBlt, ColourOnColourTakesWholeSourcePixels)
{
    HBITMAP source = Gradient(7, 5, 32);
    HBITMAP dest = Solid(17, 3, 32, 0);
    {
        Selected from(source), to(dest);
        SetStretchBltMode(to.dc, COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(to.dc, 0, 0, 17, 3, from.dc, 0, 0, 7, 5, SRCCOPY));
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 17; ++x) {
            bool found = false;
            for (int sy = 0; sy < 5 && !found; ++sy)
                for (int sx = 0; sx < 7 && !found; ++sx)
                    found = Pixel(dest, x, y) == Pixel(source, sx, sy);
            EXPECT_TRUE(found) << x << "," << y;
        }
    // Corners map to corners.
    EXPECT_EQ(Pixel(dest, 0, 0), Pixel(source, 0, 0));
    EXPECT_EQ(Pixel(dest, 16, 2), Pixel(source, 6, 4));
    DeleteObject(source);
    DeleteObject(dest);
}

TEST(StretchBlt, HalftoneAveragesBlocksAndInterpolatesWhenEnlarging)
{
    // 4 x 2 source: two 2 x 2 blocks, one black and white, one pure red.
    HBITMAP source = Make(4, 2, 32, [](int x, int y) {
        if (x >= 2)
            return RGB(200, 0, 0);
        return (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    });
    HBITMAP half = Solid(2, 1, 32, 0);
    {
        Selected from(source), to(half);
        SetStretchBltMode(to.dc, HALFTONE);
        StretchBlt(to.dc, 0, 0, 2, 1, from.dc, 0, 0, 4, 2, SRCCOPY);
    }
    EXPECT_EQ(Pixel(half, 0, 0), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(half, 1, 0), RGB(200, 0, 0));

    // Enlarging a black-white pair gives a monotonic ramp, no new extremes.
    HBITMAP pair = Make(2, 1, 32, [](int x, int) { return x ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    HBITMAP wide = Solid(10, 1, 32, 0);
    {
        Selected from(pair), to(wide);
        SetStretchBltMode(to.dc, HALFTONE);
        StretchBlt(to.dc, 0, 0, 10, 1, from.dc, 0, 0, 2, 1, SRCCOPY);
    }
    int previous = -1;
    for (int x = 0; x < 10; ++x) {
        const int v = GetRValue(Pixel(wide, x, 0));
        EXPECT_GE(v, previous);
        previous = v;
    }
    EXPECT_EQ(GetRValue(Pixel(wide, 0, 0)), 0);
    EXPECT_EQ(GetRValue(Pixel(wide, 9, 0)), 255);
    for (HBITMAP b : {source, half, pair, wide})
        DeleteObject(b);
}

TEST(StretchBlt, HalftoneReductionOfAFlatImageStaysFlat)
{
    HBITMAP source = Solid(1003, 751, 32, RGB(17, 130, 244));
    HBITMAP dest = Solid(97, 61, 24, 0);
    {
        Selected from(source), to(dest);
        SetStretchBltMode(to.dc, HALFTONE);
        StretchBlt(to.dc, 0, 0, 97, 61, from.dc, 0, 0, 1003, 751, SRCCOPY);
    }
    HBITMAP expected = Solid(97, 61, 24, RGB(17, 130, 244));
    EXPECT_EQ(FirstDifference(dest, expected), "");
    for (HBITMAP b : {source, dest, expected})
        DeleteObject(b);
}

TEST(Fill, PatternBrushTilesFromTheOrigin)
{
    HBITMAP tile = Gradient(3, 2, 24);
    HBITMAP image = Solid(10, 7, 32, 0);
    HBRUSH brush = CreatePatternBrush(tile);
    DeleteObject(tile); // the brush keeps its own copy
    HBITMAP reference = Gradient(3, 2, 24);
    {
        Selected to(image);
        const CRect area(1, 1, 9, 6);
        FillRect(to.dc, &area, brush);
    }
    EXPECT_EQ(Pixel(image, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(image, 4, 3), Pixel(reference, 4 % 3, 3 % 2));
    EXPECT_EQ(Pixel(image, 8, 5), Pixel(reference, 8 % 3, 5 % 2));
    EXPECT_EQ(Pixel(image, 9, 5), RGB(0, 0, 0));
    DeleteObject(brush);
    DeleteObject(reference);
    DeleteObject(image);
}

TEST(Fill, RectangleFillsInsideAndOutlinesWithThePen)
{
    HBITMAP image = Solid(10, 10, 32, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    {
        Selected to(image);
        HBRUSH oldBrush = SelectObject(to.dc, brush);
        HPEN oldPen = SelectObject(to.dc, pen);
        Rectangle(to.dc, 2, 2, 8, 7);
        SelectObject(to.dc, oldBrush);
        SelectObject(to.dc, oldPen);
    }
    EXPECT_EQ(Pixel(image, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(image, 7, 6), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(image, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(image, 8, 7), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(image, 1, 1), RGB(255, 255, 255));
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteObject(image);
}
