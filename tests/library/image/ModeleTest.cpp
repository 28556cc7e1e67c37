// The image model: sizes, depths, packed DIBs and the display queries.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace TestImages;

class CGraphiqueTestAccess {
public:
    static HGLOBAL ToDib(CGraphique& g, HBITMAP image, DWORD compression = BI_RGB)
    {
        CBitmap holder;
        holder.Attach(image);
        HGLOBAL dib = g.LocalDDBToDIB(&holder, compression, nullptr);
        holder.Detach();
        return dib;
    }
    static HGLOBAL ToDib8(CGraphique& g, HBITMAP image, PALETTEENTRY* entries)
    {
        CBitmap holder;
        holder.Attach(image);
        HGLOBAL dib = g.LocalDDBToDIB8Bits(&holder, BI_RGB, nullptr, entries);
        holder.Detach();
        return dib;
    }
    static HBITMAP To8Bits(CGraphique& g, HBITMAP image) { return g.Image8Bits(nullptr, image); }
};

namespace {

DWORD Dword(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

} // namespace

TEST(Modele, RecupereInfosImageLeavesDepthAloneWithoutPointer)
{
    HBITMAP image = Solid(7, 3, 16, 0);
    CSize size;
    CGraphique::RecupereInfosImage(image, size, nullptr);
    EXPECT_EQ(size, CSize(7, 3));
    long depth = 0;
    CGraphique::RecupereInfosImage(image, size, &depth);
    EXPECT_EQ(depth, 16);
    DeleteObject(image);
}

TEST(Modele, PackedDibOfOnePixelIs44Bytes)
{
    CGraphique g;
    HBITMAP image = Solid(1, 1, 32, RGB(10, 20, 30));
    HGLOBAL dib = CGraphiqueTestAccess::ToDib(g, image);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), 44u);
    const auto* bytes = static_cast<const BYTE*>(dib);
    EXPECT_EQ(Dword(bytes), 40u);
    EXPECT_EQ(Dword(bytes + 4), 1u);
    EXPECT_EQ(Dword(bytes + 8), 1u);
    EXPECT_EQ(bytes[14], 24);
    EXPECT_EQ(Dword(bytes + 20), 4u);
    EXPECT_EQ(bytes[40], 30); // blue, green, red
    EXPECT_EQ(bytes[41], 20);
    EXPECT_EQ(bytes[42], 10);
    GlobalFree(dib);
    DeleteObject(image);
}

TEST(Modele, PackedDibRowsArePaddedAndBottomUp)
{
    CGraphique g;
    for (int width : {3, 4}) {
        HBITMAP image = Make(width, 2, 32, [](int, int y) { return y ? RGB(0, 0, 255) : RGB(255, 0, 0); });
        HGLOBAL dib = CGraphiqueTestAccess::ToDib(g, image);
        ASSERT_NE(dib, nullptr);
        EXPECT_EQ(GlobalSize(dib), 40u + 24u) << width;
        const auto* bytes = static_cast<const BYTE*>(dib);
        EXPECT_EQ(bytes[40], 255) << "first stored row is the bottom one (blue)";
        EXPECT_EQ(bytes[40 + 12 + 2], 255) << "second stored row is the top one (red)";
        GlobalFree(dib);
        DeleteObject(image);
    }
}

TEST(Modele, BitFieldCompressionIsRefused)
{
    CGraphique g;
    HBITMAP image = Solid(2, 2, 32, RGB(1, 2, 3));
    EXPECT_EQ(CGraphiqueTestAccess::ToDib(g, image, BI_BITFIELDS), nullptr);
    EXPECT_EQ(CGraphiqueTestAccess::ToDib(g, nullptr), nullptr);
    EXPECT_EQ(Pixel(image, 1, 1), RGB(1, 2, 3));
    DeleteObject(image);
}

TEST(Modele, EightBitDibCarriesTheSystemPalette)
{
    CGraphique g;
    HBITMAP image = Make(5, 3, 32, [](int x, int) { return x % 2 ? RGB(255, 255, 0) : RGB(0, 0, 0); });
    PALETTEENTRY entries[256];
    HGLOBAL dib = CGraphiqueTestAccess::ToDib8(g, image, entries);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), 1064u + 8u * 3u);
    const auto* bytes = static_cast<const BYTE*>(dib);
    EXPECT_EQ(bytes[14], 8);
    const BYTE yellow = bytes[1064 + 1];
    EXPECT_EQ(entries[yellow].peRed, 255);
    EXPECT_EQ(entries[yellow].peGreen, 255);
    EXPECT_EQ(entries[yellow].peBlue, 0);
    EXPECT_EQ(bytes[40 + 4 * yellow + 2], 255); // the table is blue, green, red, 0
    GlobalFree(dib);
    DeleteObject(image);
}

TEST(Modele, DerivedImagesKeepTheirSourceDepth)
{
    CGraphique g;
    HBITMAP image16 = Gradient(20, 10, 16);
    HBITMAP resized = CGraphique::RedimensionneImage(nullptr, image16, CSize(7, 5), 1);
    HBITMAP cropped = CGraphique::RecoupeImage(nullptr, image16, CPoint(2, 2), CSize(4, 4), 0);
    HBITMAP merged = CGraphique::FusionneImage(nullptr, image16, resized, CPoint(1, 1));
    EXPECT_EQ(Depth(resized), 16);
    EXPECT_EQ(Depth(cropped), 16);
    EXPECT_EQ(Depth(merged), 16);
    HBITMAP reduced = CGraphiqueTestAccess::To8Bits(g, image16);
    EXPECT_EQ(Depth(reduced), 8);
    EXPECT_EQ(SizeOf(reduced), CSize(20, 10));
    for (HBITMAP b : {image16, resized, cropped, merged, reduced})
        DeleteObject(b);
}

TEST(Modele, ScreenDepthWarning)
{
    CGraphique g;
    EXPECT_EQ(g.MessageResolutionEcran(16), 0);
    EXPECT_TRUE(Scripted().shown.empty());

    Screen::simulate(CSize(800, 600), 8);
    int depth = 0;
    EXPECT_EQ(CGraphique::RetourneTailleEcran(&depth), CSize(800, 600));
    EXPECT_EQ(depth, 8);
    EXPECT_EQ(g.MessageResolutionEcran(16), 1);
    Screen::simulate(CSize(), 0);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].caption, "Erreur");
    EXPECT_EQ(Scripted().shown[0].text,
              "Attention ! afin d'op\u00e9rer dans des conditions optimales,\nle nombre de bits par point doit "
              "\u00eatre au minimun de 16.\n(votre ordinateur est actuellement configur\u00e9 en 8 bpp)");
    EXPECT_EQ(Scripted().shown[0].type & MB_ICONMASK, MB_ICONERROR);
}
