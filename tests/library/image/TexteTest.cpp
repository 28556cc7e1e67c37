// Text drawn into a copy of a picture: anchoring, background modes, styles, depths.

#include "CGraphique.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

using namespace TestImages;

void PrintTo(const CRect& r, std::ostream* os) { *os << r.left << "," << r.top << " " << r.right << "," << r.bottom; }

namespace {

constexpr COLORREF kInk = RGB(20, 30, 160);
constexpr COLORREF kBox = RGB(230, 40, 40);
using Image = std::unique_ptr<Bitmap>;
using FontPtr = std::unique_ptr<Font>;

FontPtr MakeFont(LONG height, LONG weight = FW_NORMAL, BYTE italic = 0, BYTE underline = 0, BYTE strike = 0)
{
    LOGFONT lf{height, 0, 0, 0, weight, italic, underline, strike};
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    return FontPtr(CreateFontIndirect(&lf));
}

CSize Extent(const FontPtr& font, const std::string& text)
{
    HDC dc = GetDC(nullptr);
    SelectObject(dc, font.get());
    CSize size;
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    ReleaseDC(nullptr, dc);
    return size;
}

struct Sample {
    FontPtr font;
    std::string text;
};
// A font and a run of "n" measuring exactly as asked (-1: any), to meet round figures.
Sample Measuring(LONG width, LONG height)
{
    for (LONG h = 12; h <= 80; ++h)
        for (LONG sign : {-1, 1})
            for (int n = 1; n <= 40; ++n) {
                Sample s{MakeFont(sign * h), std::string(std::size_t(n), 'n')};
                const CSize size = Extent(s.font, s.text);
                if ((width < 0 || size.cx == width) && (height < 0 || size.cy == height))
                    return s;
            }
    ADD_FAILURE() << "no sample measures " << width << " x " << height;
    return {MakeFont(-20), "n"};
}

// Bounding box of the pixels of exactly this colour.
CRect BoxOf(const Image& image, COLORREF colour)
{
    CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            if (Pixel(image.get(), x, y) == colour)
                box = CRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                            std::max(box.bottom, y + 1));
    return box;
}

Image Write(const Image& source, const Sample& s, CPoint at, int vertical, int horizontal, int transparent = 0,
            COLORREF background = kBox)
{
    CGraphique g;
    return Image(g.EcritureTexteDansImage(nullptr, source.get(), s.text, at, vertical, horizontal, kInk, background,
                                          transparent, s.font.get()));
}

} // namespace

TEST(Texte, AnchorsPlaceTheMeasuredBox)
{
    const Image page(Solid(160, 120, 32, RGB(255, 255, 255)));
    const Sample forty = Measuring(40, -1);
    const LONG th = Extent(forty.font, forty.text).cy;
    EXPECT_EQ(BoxOf(Write(page, forty, CPoint(100, 10), 0, 1), kBox), CRect(60, 10, 100, 10 + th));
    EXPECT_EQ(BoxOf(Write(page, forty, CPoint(-5, -5), 0, 0), kBox), CRect(0, 0, 35, th - 5));
    const Sample twenty = Measuring(-1, 20);
    const LONG tw = Extent(twenty.font, twenty.text).cx;
    EXPECT_EQ(BoxOf(Write(page, twenty, CPoint(7, 100), 1, 0), kBox), CRect(7, 80, 7 + tw, 100));

    const Image narrow(Solid(101, 60, 32, RGB(255, 255, 255)));
    EXPECT_EQ(BoxOf(Write(narrow, forty, CPoint(999, 3), 0, 2), kBox), CRect(30, 3, 70, 3 + th));
    // Wider than the picture: starts at -19, cut on both sides; the glyphs tell
    // the truncated -19 from a floored -20.
    const Sample wide = Measuring(140, -1);
    EXPECT_EQ(BoxOf(Write(narrow, wide, CPoint(0, 0), 0, 2), kBox).Width(), 101);
    const Image centred = Write(narrow, wide, CPoint(0, 0), 0, 2, 1);
    EXPECT_EQ(FirstDifference(centred.get(), Write(narrow, wide, CPoint(-19, 0), 0, 0, 1).get()), "");
    EXPECT_NE(FirstDifference(centred.get(), Write(narrow, wide, CPoint(-20, 0), 0, 0, 1).get()), "");
}

TEST(Texte, OpaqueFillsExactlyTheBoxTransparentOnlyTheGlyphs)
{
    const COLORREF paper = RGB(250, 220, 40);
    const Image source(Solid(90, 50, 32, paper));
    const Sample s{MakeFont(-24), "Hello"};
    const CSize size = Extent(s.font, s.text);
    const CRect box(11, 9, 11 + size.cx, 9 + size.cy);
    const Image opaque = Write(source, s, CPoint(11, 9), 0, 0, 0);
    const Image transparent = Write(source, s, CPoint(11, 9), 0, 0, 1);
    // The background colour means nothing without the box, even when it is the ink.
    EXPECT_EQ(FirstDifference(transparent.get(), Write(source, s, CPoint(11, 9), 0, 0, 1, kInk).get()), "");
    // Every pixel is the backdrop, the ink, or a blend of the two: each channel between them.
    auto between = [](COLORREF c, COLORREF from, COLORREF to) {
        auto in = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
        return in(GetRValue(c), GetRValue(from), GetRValue(to)) && in(GetGValue(c), GetGValue(from), GetGValue(to))
            && in(GetBValue(c), GetBValue(from), GetBValue(to));
    };
    int inked = 0, kept = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 90; ++x) {
            const bool inside = box.PtInRect(CPoint(x, y));
            const COLORREF o = Pixel(opaque.get(), x, y), t = Pixel(transparent.get(), x, y);
            ASSERT_TRUE(inside ? between(o, kBox, kInk) : o == paper) << x << "," << y;
            ASSERT_TRUE(inside ? between(t, paper, kInk) : t == paper) << x << "," << y;
            inked += t == kInk;
            kept += inside && t == paper;
        }
    EXPECT_GT(inked, 20);
    EXPECT_GT(kept, size.cx * size.cy / 2);
}

TEST(Texte, EmptyTextCopiesAndTheSourceAndFontSurvive)
{
    const Image source(Gradient(40, 30));
    Sample s{MakeFont(-14), ""};
    for (int transparent : {0, 1})
        EXPECT_EQ(FirstDifference(Write(source, s, CPoint(2, 2), 0, 0, transparent).get(), source.get()), "");
    s.text = "Abc";
    const Image first = Write(source, s, CPoint(2, 2), 0, 0);
    EXPECT_EQ(FirstDifference(source.get(), Image(Gradient(40, 30)).get()), "");
    EXPECT_NE(FirstDifference(first.get(), source.get()), "");
    LOGFONT lf;
    ASSERT_EQ(GetObject(s.font.get(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(FirstDifference(first.get(), Write(source, s, CPoint(2, 2), 0, 0).get()), "");
}

TEST(Texte, ResultsKeepTheSourceDepth)
{
    const Sample s{MakeFont(-18), "Depth"};
    const Image reference = Write(Image(Solid(70, 30, 32, RGB(255, 255, 255))), s, CPoint(3, 4), 0, 0);
    // Painting marks the spare byte of 32-bit pixels; ours carry 0 there.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 70; ++x)
            ASSERT_EQ(reference->row(y)[x * 4 + 3], 0) << x << "," << y;
    for (int depth : {8, 16, 24}) {
        const Image result = Write(Image(Solid(70, 30, depth, RGB(255, 255, 255))), s, CPoint(3, 4), 0, 0);
        EXPECT_EQ(Depth(result.get()), depth);
        // Lossless at 24 bits; 5-6-5 and palette rounding otherwise.
        EXPECT_EQ(FirstDifference(result.get(), reference.get(), depth == 24 ? 0 : depth == 16 ? 8 : 64), "") << depth;
    }
}

TEST(Texte, StylesChangeTheRendering)
{
    const Image source(Solid(200, 50, 32, RGB(255, 255, 255)));
    const std::string text = "oooooo";
    const LONG width = Extent(MakeFont(-30), text).cx;
    auto render = [&](FontPtr font) { return Write(source, Sample{std::move(font), text}, CPoint(5, 5), 0, 0, 1); };
    // Rows inked nearly across the whole text: lines, not letters.
    auto lines = [&](const Image& image) {
        std::vector<int> rows;
        for (int y = 0; y < 50; ++y) {
            int dark = 0;
            for (int x = 0; x < 200; ++x)
                dark += GetRValue(Pixel(image.get(), x, y)) < 128;
            if (dark >= width * 9 / 10)
                rows.push_back(y);
        }
        return rows;
    };
    const Image plain = render(MakeFont(-30));
    const int baseline = BoxOf(plain, kInk).bottom;
    EXPECT_TRUE(lines(plain).empty());
    const std::vector<int> underline = lines(render(MakeFont(-30, FW_NORMAL, 0, 1)));
    ASSERT_FALSE(underline.empty());
    EXPECT_GE(underline.front(), baseline - 1);
    const std::vector<int> strike = lines(render(MakeFont(-30, FW_NORMAL, 0, 0, 1)));
    ASSERT_FALSE(strike.empty());
    EXPECT_LT(strike.back(), baseline - 3);
    EXPECT_NE(FirstDifference(render(MakeFont(-30, FW_BOLD)).get(), plain.get()), "");
    EXPECT_NE(FirstDifference(render(MakeFont(-30, FW_NORMAL, 1)).get(), plain.get()), "");
}
