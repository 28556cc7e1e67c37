// Resizing, cropping, filling, merging and the size arithmetic.

#include "CGraphique.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace TestImages;

TEST(TailleCalculee, ByPercentageAndByWidth)
{
    HBITMAP image = Solid(100, 50, 32, 0);
    int percentage = -1;
    EXPECT_EQ(CGraphique::CalculTailleRedimensionne(image, 1, 33, 0, 0, &percentage), CSize(33, 16));
    EXPECT_EQ(percentage, -1) << "by percentage leaves the output alone";
    DeleteObject(image);

    image = Solid(400, 10, 32, 0);
    EXPECT_EQ(CGraphique::CalculTailleRedimensionne(image, 0, 0, 150, 77, &percentage), CSize(150, 77));
    EXPECT_EQ(percentage, 37);
    EXPECT_EQ(CGraphique::CalculTailleRedimensionne(image, 0, 0, 150, 77, nullptr), CSize(150, 77));
    DeleteObject(image);
}

TEST(TailleCalculee, OptimalPreviewPercentage)
{
    const struct {
        int w, h;
        CSize expected;
    } cases[] = {
        {1280, 960, {192, 144}}, {1279, 960, {383, 288}}, {960, 1280, {144, 192}},
        {640, 399, {320, 199}},  {319, 200, {319, 200}},  {640, 400, {192, 120}},
    };
    for (const auto& c : cases) {
        HBITMAP image = CreateBitmap(c.w, c.h, 1, 8, nullptr);
        EXPECT_EQ(CGraphique::CalculTailleOptimale(image), c.expected) << c.w << "x" << c.h;
        DeleteObject(image);
    }
}

TEST(TailleCalculee, ProportionFollowsTheLongerSide)
{
    EXPECT_EQ(CGraphique::ConservationProportion({400, 300}, {300, 300}), CSize(300, 225));
    EXPECT_EQ(CGraphique::ConservationProportion({300, 400}, {300, 300}), CSize(225, 300));
    EXPECT_EQ(CGraphique::ConservationProportion({100, 100}, {50, 80}), CSize(50, 50));
    EXPECT_EQ(CGraphique::ConservationProportion({800, 600}, {300, 200}), CSize(300, 225));
    EXPECT_EQ(CGraphique::ConservationProportion({1000, 3}, {200, 200}), CSize(200, 0));
    EXPECT_EQ(CGraphique::ConservationProportion({0, 10}, {200, 200}), CSize(0, 0)) << "no division by zero";
}

TEST(Redimensionne, SameSizeIsAnExactCopyInBothModes)
{
    HBITMAP source = Gradient(31, 17);
    for (int fast : {0, 1}) {
        HBITMAP copy = CGraphique::RedimensionneImage(nullptr, source, CSize(31, 17), fast);
        EXPECT_EQ(FirstDifference(source, copy), "") << fast;
        DeleteObject(copy);
    }
    EXPECT_EQ(CGraphique::RedimensionneImage(nullptr, source, CSize(0, 5), 1), nullptr);
    EXPECT_EQ(CGraphique::RedimensionneImage(nullptr, nullptr, CSize(5, 5), 1), nullptr);
    DeleteObject(source);
}

TEST(Redimensionne, MemberFormAttachesToTheTarget)
{
    CGraphique g;
    HBITMAP source = Gradient(80, 60, 24);
    CBitmap target;
    g.RedimensionneImage(nullptr, &target, source, CSize(40, 40));
    ASSERT_NE(target.GetSafeHandle(), nullptr);
    EXPECT_EQ(SizeOf(target), CSize(40, 40));
    EXPECT_EQ(Depth(target), 24);
    g.RedimensionneImage(nullptr, &target, source, CSize(0, 0));
    EXPECT_EQ(target.GetSafeHandle(), nullptr) << "a failed resize leaves the target empty";
    DeleteObject(source);
}

TEST(Recoupe, OutsideTheSourceKeepsTheFillColour)
{
    HBITMAP source = Gradient(100, 100);
    HBITMAP crop = CGraphique::RecoupeImage(nullptr, source, CPoint(50, 50), CSize(100, 100), RGB(255, 0, 0));
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(Pixel(crop, 0, 0), Pixel(source, 50, 50));
    EXPECT_EQ(Pixel(crop, 49, 49), Pixel(source, 99, 99));
    EXPECT_EQ(Pixel(crop, 50, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(crop, 0, 50), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(crop, 99, 99), RGB(255, 0, 0));
    DeleteObject(crop);

    crop = CGraphique::RecoupeImage(nullptr, source, CPoint(-3, -2), CSize(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(crop, 2, 1), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(crop, 3, 2), Pixel(source, 0, 0));
    DeleteObject(crop);
    DeleteObject(source);
}

TEST(Remplie, PaintsTheWholeImage)
{
    HBITMAP image = Gradient(9, 4, 16);
    CGraphique::RemplieImage(nullptr, image, RGB(0, 255, 0));
    HBITMAP green = Solid(9, 4, 16, RGB(0, 255, 0));
    EXPECT_EQ(FirstDifference(image, green), "");
    DeleteObject(image);
    DeleteObject(green);
}

TEST(Fusionne, OverlayIsOpaqueAndCutAtTheEdges)
{
    HBITMAP base = Solid(50, 40, 32, RGB(1, 1, 1));
    HBITMAP overlay = Gradient(30, 30);
    HBITMAP merged = CGraphique::FusionneImage(nullptr, base, overlay, CPoint(-10, -10));
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(SizeOf(merged), CSize(50, 40));
    EXPECT_EQ(Pixel(merged, 0, 0), Pixel(overlay, 10, 10));
    EXPECT_EQ(Pixel(merged, 19, 19), Pixel(overlay, 29, 29));
    EXPECT_EQ(Pixel(merged, 20, 0), RGB(1, 1, 1));
    EXPECT_EQ(Pixel(base, 0, 0), RGB(1, 1, 1)) << "the base is not changed";
    DeleteObject(merged);

    HBITMAP large = Gradient(80, 80);
    merged = CGraphique::FusionneImage(nullptr, base, large, CPoint(0, 0));
    EXPECT_EQ(SizeOf(merged), CSize(50, 40));
    EXPECT_EQ(Pixel(merged, 49, 39), Pixel(large, 49, 39));
    DeleteObject(merged);
    for (HBITMAP b : {base, overlay, large})
        DeleteObject(b);
}
