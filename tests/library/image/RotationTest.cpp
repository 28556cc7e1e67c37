// Rotation by half-degrees: result sizes, orientation, white corners, and the
// row-wise implementation against a plain pixel-by-pixel one.

#include "CGraphique.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace TestImages;

namespace {

constexpr COLORREF kBlanc = RGB(255, 255, 255);

// One GetPixel and one SetPixelV per destination pixel, straight from the
// formulas; slow, and only here to hold the real one to them.
HBITMAP PixelByPixel(HBITMAP source, int angle)
{
    const CSize size = SizeOf(source);
    const double theta = angle * std::numbers::pi * (1.0 / 360);
    const double c = std::cos(theta), s = std::sin(theta);
    const int b = size.cx - 1, k = size.cy - 1;
    auto r = [](double x) { return static_cast<int>(x + 0.5); };
    const int xs[] = {0, r(b * c), r(-k * s), r(b * c - k * s)};
    const int ys[] = {0, r(b * s), r(k * c), r(k * c + b * s)};
    const int minX = std::min({xs[0], xs[1], xs[2], xs[3]}), maxX = std::max({xs[0], xs[1], xs[2], xs[3]});
    const int minY = std::min({ys[0], ys[1], ys[2], ys[3]}), maxY = std::max({ys[0], ys[1], ys[2], ys[3]});
    HBITMAP result = CreateBitmap(maxX - minX + 1, maxY - minY + 1, 1, Depth(source), nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HBITMAP oldFrom = SelectObject(from, source), oldTo = SelectObject(to, result);
    for (int Y = minY; Y <= maxY; ++Y)
        for (int X = minX; X <= maxX; ++X) {
            const int x = static_cast<int>(X * c + Y * s), y = static_cast<int>(Y * c - X * s);
            const bool inside = x >= 0 && x < size.cx && y >= 0 && y < size.cy;
            SetPixelV(to, X - minX, Y - minY, inside ? GetPixel(from, x, y) : kBlanc);
        }
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return result;
}

} // namespace

TEST(Rotation, NoTurnIsAnExactCopyAtEveryDepth)
{
    for (int depth : {8, 16, 24, 32}) {
        HBITMAP source = Gradient(200, 100, depth);
        HBITMAP same = CGraphique::RotationImage(nullptr, source, 0);
        ASSERT_NE(same, nullptr);
        EXPECT_NE(same, source);
        EXPECT_EQ(Depth(same), depth);
        EXPECT_EQ(FirstDifference(source, same), "") << depth << " bits";
        DeleteObject(same);
        DeleteObject(source);
    }
    EXPECT_EQ(CGraphique::RotationImage(nullptr, nullptr, 90), nullptr);
}

TEST(Rotation, SizesFollowTheRoundedCorners)
{
    HBITMAP source = Solid(200, 100, 32, RGB(9, 9, 9));
    const struct {
        int angle;
        CSize size;
    } cases[] = {{360, {199, 99}}, {180, {99, 200}}, {-180, {100, 199}}, {720, {200, 100}}};
    for (const auto& c : cases) {
        HBITMAP turned = CGraphique::RotationImage(nullptr, source, c.angle);
        EXPECT_EQ(SizeOf(turned), c.size) << c.angle;
        DeleteObject(turned);
    }
    DeleteObject(source);
}

TEST(Rotation, QuarterTurnIsClockwise)
{
    HBITMAP source = Gradient(200, 100);
    HBITMAP turned = CGraphique::RotationImage(nullptr, source, 180);
    ASSERT_EQ(SizeOf(turned), CSize(99, 200));
    EXPECT_EQ(Pixel(turned, 98, 0), Pixel(source, 0, 0)) << "top-left goes to the top-right";
    EXPECT_EQ(Pixel(turned, 0, 0), Pixel(source, 0, 98)) << "the left column becomes the top row";
    EXPECT_EQ(Pixel(turned, 98, 199), Pixel(source, 199, 0)) << "top-right goes to the bottom-right";
    EXPECT_EQ(Pixel(source, 0, 0), RGB(0, 0, 0)) << "the source is not changed";
    DeleteObject(turned);
    DeleteObject(source);
}

TEST(Rotation, EighthTurnHasWhiteCorners)
{
    HBITMAP source = Solid(100, 100, 24, RGB(200, 0, 0));
    HBITMAP turned = CGraphique::RotationImage(nullptr, source, 90);
    ASSERT_EQ(SizeOf(turned), CSize(140, 141));
    EXPECT_EQ(Depth(turned), 24);
    for (CPoint corner : {CPoint(0, 0), CPoint(139, 0), CPoint(0, 140), CPoint(139, 140), CPoint(20, 20)})
        EXPECT_EQ(Pixel(turned, corner.x, corner.y), kBlanc) << corner.x << "," << corner.y;
    EXPECT_EQ(Pixel(turned, 70, 70), RGB(200, 0, 0));
    EXPECT_EQ(Pixel(turned, 70, 2), RGB(200, 0, 0)) << "the top corner of the turned square";
    DeleteObject(turned);
    DeleteObject(source);
}

TEST(Rotation, RowsMatchThePixelByPixelFormula)
{
    for (int depth : {32, 24, 16, 8}) {
        HBITMAP source = Gradient(37, 23, depth);
        for (int angle : {1, 45, 90, 180, 270, 360, 540, -180, -37, 719, 3600}) {
            HBITMAP fast = CGraphique::RotationImage(nullptr, source, angle);
            HBITMAP slow = PixelByPixel(source, angle);
            EXPECT_EQ(FirstDifference(fast, slow), "") << "angle " << angle << " at " << depth << " bits";
            DeleteObject(fast);
            DeleteObject(slow);
        }
        DeleteObject(source);
    }
}
