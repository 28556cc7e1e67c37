// Light, contrast and intensity, and the HSV conversions behind intensity.

#include "CGraphique.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace TestImages;

namespace {

// The same picture at another depth, converted the way every blit converts.
HBITMAP AtDepth(HBITMAP image, int depth)
{
    const CSize size = SizeOf(image);
    HBITMAP copy = CreateBitmap(size.cx, size.cy, 1, depth, nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HBITMAP oldFrom = SelectObject(from, image), oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

struct Settings {
    int light, contrast, intensity;
};

// Every pixel of a uniform 7 x 3 picture (rows padded at 24 and 16 bits)
// after the adjustment, which must come out uniform too.
COLORREF Adjusted(COLORREF colour, int depth, Settings s)
{
    HBITMAP source = Solid(7, 3, depth, colour);
    HBITMAP result = CGraphique::ReglageImage(nullptr, source, s.light, s.contrast, s.intensity);
    EXPECT_NE(result, nullptr);
    EXPECT_EQ(Depth(result), depth);
    const COLORREF first = Pixel(result, 0, 0);
    HBITMAP uniform = Solid(7, 3, depth, first);
    EXPECT_EQ(FirstDifference(result, uniform), "") << "depth " << depth;
    EXPECT_EQ(Pixel(source, 6, 2), colour) << "the source is not changed";
    for (HBITMAP b : {source, result, uniform})
        DeleteObject(b);
    return first;
}

} // namespace

TEST(ReglageImage, FiguresOfEachSetting)
{
    const struct {
        COLORREF colour;
        Settings settings;
        COLORREF expected;
    } cases[] = {
        {RGB(100, 150, 200), {60, 50, 50}, RGB(125, 175, 225)},
        {RGB(100, 150, 200), {50, 75, 50}, RGB(150, 225, 255)},
        {RGB(100, 150, 200), {0, 50, 50}, RGB(0, 23, 73)},
        {RGB(100, 150, 200), {100, 50, 50}, RGB(227, 255, 255)},
        {RGB(100, 150, 200), {50, 50, 100}, RGB(241, 255, 255)},
        {RGB(100, 150, 200), {50, 50, 0}, RGB(0, 0, 0)},
        {RGB(60, 60, 60), {50, 50, 100}, RGB(60, 60, 60)},
        {RGB(100, 100, 100), {49, 50, 50}, RGB(98, 98, 98)},
        {RGB(100, 100, 100), {51, 50, 50}, RGB(102, 102, 102)},
        {RGB(255, 255, 255), {50, 0, 50}, RGB(0, 0, 0)},
        {RGB(100, 150, 200), {50, 0, 50}, RGB(0, 0, 0)},
    };
    for (const auto& c : cases)
        for (int depth : {24, 32})
            EXPECT_EQ(Adjusted(c.colour, depth, c.settings), c.expected)
                << "light " << c.settings.light << " contrast " << c.settings.contrast << " intensity "
                << c.settings.intensity << " at " << depth << " bits";
}

TEST(ReglageImage, NeutralSettingsGiveAnExactNewCopy)
{
    HBITMAP source = Gradient(33, 9, 32);
    HBITMAP copy = CGraphique::ReglageImage(nullptr, source, 50, 50, 50);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(FirstDifference(source, copy), "");
    DeleteObject(copy);
    DeleteObject(source);
    EXPECT_EQ(CGraphique::ReglageImage(nullptr, nullptr, 60, 50, 50), nullptr);
}

TEST(ReglageImage, BlockPathLeavesTheFourthByteAlone)
{
    HBITMAP source = CreateBitmap(5, 2, 1, 32, nullptr);
    std::vector<BYTE> bytes(5 * 2 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        bytes[i] = 100; // blue
        bytes[i + 1] = 150;
        bytes[i + 2] = 200;
        bytes[i + 3] = 0xAB;
    }
    SetBitmapBits(source, static_cast<DWORD>(bytes.size()), bytes.data());
    HBITMAP result = CGraphique::ReglageImage(nullptr, source, 60, 50, 50);
    std::vector<BYTE> out(bytes.size());
    GetBitmapBits(result, static_cast<LONG>(out.size()), out.data());
    for (std::size_t i = 0; i < out.size(); i += 4) {
        EXPECT_EQ(out[i], 125);
        EXPECT_EQ(out[i + 2], 225);
        EXPECT_EQ(out[i + 3], 0xAB) << "byte " << i + 3;
    }
    DeleteObject(result);
    DeleteObject(source);
}

TEST(ReglageImage, EveryDepthGivesTheSameColours)
{
    const Settings settings[] = {{60, 50, 50}, {50, 75, 50}, {30, 80, 100}, {70, 20, 0}, {50, 50, 100}, {45, 55, 65}};
    HBITMAP wide = Gradient(37, 29, 32);
    // Sources whose colours each depth holds exactly: 16-bit and palette colours.
    for (int depth : {24, 16, 8}) {
        HBITMAP narrow = AtDepth(wide, depth);
        HBITMAP reference = depth == 24 ? AtDepth(wide, 32) : AtDepth(narrow, 32);
        for (const Settings& s : settings) {
            HBITMAP adjusted = CGraphique::ReglageImage(nullptr, narrow, s.light, s.contrast, s.intensity);
            HBITMAP full = CGraphique::ReglageImage(nullptr, reference, s.light, s.contrast, s.intensity);
            HBITMAP expected = AtDepth(full, depth);
            EXPECT_EQ(Depth(adjusted), depth);
            EXPECT_EQ(FirstDifference(adjusted, expected), "")
                << depth << " bits, settings " << s.light << "/" << s.contrast << "/" << s.intensity;
            for (HBITMAP b : {adjusted, full, expected})
                DeleteObject(b);
        }
        DeleteObject(narrow);
        DeleteObject(reference);
    }
    DeleteObject(wide);
}

TEST(ReglageHsv, FiguresAndTheWayBack)
{
    double h, s, v;
    CGraphique::fp_rgb_to_hsv(200, 150, 100, &h, &s, &v);
    EXPECT_DOUBLE_EQ(h, 21.25);
    EXPECT_DOUBLE_EQ(s, 127.5);
    EXPECT_DOUBLE_EQ(v, 200);
    double r, g, b;
    CGraphique::fp_hsv_to_rgb(h, s, v, &r, &g, &b);
    EXPECT_NEAR(r, 200, 1e-9);
    EXPECT_NEAR(g, 150, 1e-9);
    EXPECT_NEAR(b, 100, 1e-9);

    CGraphique::fp_rgb_to_hsv(0, 0, 0, &h, &s, &v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(v, 0);
    CGraphique::fp_rgb_to_hsv(77, 77, 77, &h, &s, &v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(v, 77);
    CGraphique::fp_hsv_to_rgb(100, 0.9, 42, &r, &g, &b);
    EXPECT_EQ(r, 42) << "a saturation below 1 is grey";
    EXPECT_EQ(g, 42);
    EXPECT_EQ(b, 42);
}

TEST(ReglageHsv, EverySectorRoundTrips)
{
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17) {
                double h, s, v, r2, g2, b2;
                CGraphique::fp_rgb_to_hsv(r, g, b, &h, &s, &v);
                ASSERT_GE(h, 0);
                ASSERT_LT(h, 255);
                CGraphique::fp_hsv_to_rgb(h, s, v, &r2, &g2, &b2);
                ASSERT_NEAR(r2, r, 1e-9) << r << "," << g << "," << b;
                ASSERT_NEAR(g2, g, 1e-9) << r << "," << g << "," << b;
                ASSERT_NEAR(b2, b, 1e-9) << r << "," << g << "," << b;
            }
}

TEST(ReglageHsv, HueAtTheTopOfTheScaleIsRed)
{
    double r = -1, g = -1, b = -1;
    CGraphique::fp_hsv_to_rgb(255, 255, 200, &r, &g, &b);
    EXPECT_NEAR(r, 200, 1e-6);
    EXPECT_NEAR(g, 0, 1e-6);
    EXPECT_NEAR(b, 0, 1e-6);
}
