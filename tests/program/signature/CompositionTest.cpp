// Where the two signature layers land, in which order, and how the result is
// reduced for the display area.

#include "Composition.h"
#include "Font.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace TestImages;

namespace {

Emplacement Automatique(int haut, int droite, int gauche, UINT dx, UINT dy)
{
    Emplacement e;
    e.PositionAutomatiqueHaut = haut;
    e.PositionAutomatiqueBas = !haut;
    e.PositionAutomatiqueDroite = droite;
    e.PositionAutomatiqueGauche = gauche;
    e.PositionAutomatiqueContinue = !droite && !gauche;
    e.PositionAutomatiqueDeltaX = dx;
    e.PositionAutomatiqueDeltaY = dy;
    return e;
}

Emplacement Absolue(UINT x, UINT y)
{
    Emplacement e = Automatique(1, 0, 1, 33, 44);
    e.PositionAutomatique = 0;
    e.PositionAbsolue = 1;
    e.PositionAbsolueX = x;
    e.PositionAbsolueY = y;
    return e;
}

// Bounding box of the pixels that differ from a colour.
CRect Marked(HBITMAP image, COLORREF background)
{
    const CSize size = SizeOf(image);
    CRect box(size.cx, size.cy, -1, -1);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (Pixel(image, x, y) != background) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class CompositionFixture : public testing::Test {
protected:
    void SetUp() override
    {
        LOGFONT lf{};
        lf.lfHeight = -20;
        lf.lfWeight = FW_BOLD;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        font = CreateFontIndirect(&lf);
    }
    void TearDown() override { DeleteObject(font); }

    CGraphique graphique;
    HFONT font = nullptr;
};

} // namespace

TEST(Emplacement, TextAnchorsAndMargins)
{
    const CSize picture(640, 480);
    Position p = PlaceTexte(Automatique(0, 1, 0, 2000, 5), picture);
    EXPECT_EQ(p.point, CPoint(640 - 2000, 475)) << "a margin wider than the picture goes negative";
    EXPECT_EQ(p.horizontal, 1);
    EXPECT_EQ(p.vertical, 1);

    p = PlaceTexte(Automatique(1, 0, 0, 77, 9), picture);
    EXPECT_EQ(p.point, CPoint(0, 9)) << "centre ignores Dx";
    EXPECT_EQ(p.horizontal, 2);
    EXPECT_EQ(p.vertical, 0);

    p = PlaceTexte(Automatique(1, 0, 1, 12, 9), picture);
    EXPECT_EQ(p.point, CPoint(12, 9));
    EXPECT_EQ(p.horizontal, 0);

    p = PlaceTexte(Absolue(300, 400), picture);
    EXPECT_EQ(p.point, CPoint(300, 400));
    EXPECT_EQ(p.horizontal, 0);
    EXPECT_EQ(p.vertical, 0);
}

TEST(Emplacement, RightThenLeftThenCentreAreReadInThatOrder)
{
    Emplacement e = Automatique(0, 1, 1, 10, 10); // both "Right" and "Left" set: "Right" wins
    EXPECT_EQ(PlaceLogo(e, CSize(100, 100), CSize(20, 20)).point, CPoint(70, 70));
    e.PositionAutomatiqueDroite = 0;
    e.PositionAutomatiqueGauche = 0;
    e.PositionAutomatiqueContinue = 0; // no anchor checked at all: centre
    EXPECT_EQ(PlaceLogo(e, CSize(100, 100), CSize(20, 20)).point.x, 40);
}

TEST(Emplacement, LogoPlacement)
{
    EXPECT_EQ(PlaceLogo(Automatique(0, 1, 0, 5, 5), CSize(640, 480), CSize(640, 480)).point, CPoint(-5, -5));
    EXPECT_EQ(PlaceLogo(Automatique(1, 0, 0, 50, 5), CSize(100, 100), CSize(107, 10)).point, CPoint(-3, 5));
    EXPECT_EQ(PlaceLogo(Absolue(7, 8), CSize(100, 100), CSize(50, 50)).point, CPoint(7, 8));
    EXPECT_EQ(PlaceLogo(Automatique(1, 0, 1, 3, 4), CSize(100, 100), CSize(50, 50)).point, CPoint(3, 4));
}

TEST_F(CompositionFixture, OpaqueTextBoxLandsByTheTable)
{
    HBITMAP picture = Solid(300, 200, 32, RGB(255, 255, 255));
    CoucheTexte texte;
    texte.Texte = "Signature";
    texte.Police = font;
    texte.Encre = RGB(0, 0, 0);
    texte.Fond = RGB(255, 0, 0);
    texte.Place = Automatique(0, 1, 0, 10, 6);
    HBITMAP signedPicture = Composition::Compose(picture, texte, CoucheLogo());
    ASSERT_NE(signedPicture, nullptr);
    const CRect box = Marked(signedPicture, RGB(255, 255, 255));
    EXPECT_EQ(box.right, 300 - 10) << "right edge at W - Dx";
    EXPECT_EQ(box.bottom, 200 - 6) << "bottom edge at H - Dy";
    EXPECT_EQ(Pixel(picture, 295, 190), RGB(255, 255, 255)) << "the picture itself is not changed";
    DeleteObject(signedPicture);

    texte.Place = Absolue(20, 30);
    signedPicture = Composition::Compose(picture, texte, CoucheLogo());
    const CRect absolute = Marked(signedPicture, RGB(255, 255, 255));
    EXPECT_EQ(absolute.left, 20);
    EXPECT_EQ(absolute.top, 30);
    DeleteObject(signedPicture);
    DeleteObject(picture);
}

TEST_F(CompositionFixture, EmptyOpaqueTextDrawsNothing)
{
    HBITMAP picture = Gradient(60, 40);
    CoucheTexte texte;
    texte.Police = font;
    texte.Fond = RGB(255, 0, 0);
    HBITMAP signedPicture = Composition::Compose(picture, texte, CoucheLogo());
    EXPECT_EQ(FirstDifference(picture, signedPicture), "");
    DeleteObject(signedPicture);
    DeleteObject(picture);
}

TEST_F(CompositionFixture, LogoLiesOverTheTextAndNeedsAFileAndAnImage)
{
    HBITMAP picture = Solid(200, 100, 32, RGB(255, 255, 255));
    HBITMAP logoImage = Solid(30, 20, 32, RGB(0, 0, 255));
    CoucheTexte texte;
    texte.Texte = "WWWWWWWWWWWW";
    texte.Police = font;
    texte.Fond = RGB(255, 0, 0);
    texte.Place = Absolue(0, 0);
    CoucheLogo logo;
    logo.Logo = "/pictures/logo.bmp";
    logo.Image = logoImage;
    logo.Taille = CSize(30, 20);
    logo.Place = Absolue(0, 0);
    HBITMAP signedPicture = Composition::Compose(picture, texte, logo);
    EXPECT_EQ(Pixel(signedPicture, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(signedPicture, 29, 19), RGB(0, 0, 255));
    DeleteObject(signedPicture);

    logo.Logo.clear(); // no file named: no logo layer even with an image
    signedPicture = Composition::Compose(picture, texte, logo);
    EXPECT_NE(Pixel(signedPicture, 0, 0), RGB(0, 0, 255));
    DeleteObject(signedPicture);

    logo.Logo = "/pictures/logo.bmp";
    logo.Image = nullptr; // failed to load
    signedPicture = Composition::Compose(picture, texte, logo);
    EXPECT_NE(Pixel(signedPicture, 0, 0), RGB(0, 0, 255));
    DeleteObject(signedPicture);
    DeleteObject(logoImage);
    DeleteObject(picture);
}

TEST(Apercu, SmallPictureIsCentredUnscaled)
{
    HBITMAP background = Solid(300, 200, 32, RGB(9, 9, 9));
    HBITMAP picture = Gradient(200, 100);
    CSize size;
    HBITMAP preview = Composition::Apercu(picture, background, CSize(300, 200), &size);
    EXPECT_EQ(size, CSize(200, 100));
    EXPECT_EQ(SizeOf(preview), CSize(300, 200));
    EXPECT_EQ(Pixel(preview, 49, 49), RGB(9, 9, 9));
    EXPECT_EQ(Pixel(preview, 50, 50), Pixel(picture, 0, 0));
    EXPECT_EQ(Pixel(preview, 249, 149), Pixel(picture, 199, 99));
    for (HBITMAP b : {background, picture, preview})
        DeleteObject(b);
}

// The preview used to give the longer side the area's and cut what ran
// past it; it now fits the whole picture into the area.
TEST(Apercu, LargePictureIsFittedWholeWithItsProportions)
{
    const struct {
        CSize picture, area, fitted;
    } cas[] = {
        {CSize(1000, 900), CSize(240, 160), CSize(177, 160)},
        {CSize(4000, 3000), CSize(238, 180), CSize(238, 178)},
        {CSize(4000, 3000), CSize(1000, 600), CSize(800, 600)},
        {CSize(3000, 4000), CSize(238, 180), CSize(135, 180)},
        {CSize(5000, 1), CSize(100, 100), CSize(100, 1)},
        {CSize(200, 100), CSize(300, 200), CSize(200, 100)}, // never enlarged
    };
    for (const auto& c : cas)
        EXPECT_EQ(Composition::TailleApercu(c.picture, c.area), c.fitted) << c.picture.cx << "x" << c.picture.cy;

    HBITMAP background = Solid(240, 160, 32, RGB(9, 9, 9));
    HBITMAP picture = Make(1000, 900, 32, [](int, int y) { return y < 450 ? RGB(255, 0, 0) : RGB(0, 255, 0); });
    CSize size;
    HBITMAP preview = Composition::Apercu(picture, background, CSize(240, 160), &size);
    EXPECT_EQ(size, CSize(177, 160));
    // Centred at x = 31: bars left and right, the picture's rows all shown
    // and averaged, each colour whole on its side of row 450 (reduced row 80).
    EXPECT_EQ(Pixel(preview, 30, 80), RGB(9, 9, 9));
    EXPECT_EQ(Pixel(preview, 208, 80), RGB(9, 9, 9));
    EXPECT_EQ(Pixel(preview, 31, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(preview, 120, 79), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(preview, 120, 80), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(preview, 207, 159), RGB(0, 255, 0));
    for (HBITMAP b : {background, picture, preview})
        DeleteObject(b);
}

TEST_F(CompositionFixture, SameResultAsTextThenMergeAndInPlace)
{
    HBITMAP picture = Gradient(321, 203);
    HBITMAP logoImage = Gradient(40, 30, 24);
    CoucheTexte texte;
    texte.Texte = "Tamparo2 \xc3\xa9t\xc3\xa9";
    texte.Police = font;
    texte.Encre = RGB(250, 250, 0);
    texte.Fond = RGB(0, 0, 128);
    texte.Place = Automatique(0, 0, 0, 5, 7);
    CoucheLogo logo;
    logo.Logo = "logo.bmp";
    logo.Image = logoImage;
    logo.Taille = CSize(40, 30);
    logo.Place = Automatique(1, 1, 0, 3, 3);
    for (int transparent : {0, 1}) {
        texte.Transparent = transparent;
        // The two documented steps, one after the other.
        const Position t = PlaceTexte(texte.Place, CSize(321, 203));
        HBITMAP withText = graphique.EcritureTexteDansImage(nullptr, picture, texte.Texte, t.point, t.vertical,
                                                            t.horizontal, texte.Encre, texte.Fond, transparent, font);
        HBITMAP expected = CGraphique::FusionneImage(nullptr, withText,
                                                     logoImage, PlaceLogo(logo.Place, CSize(321, 203), logo.Taille).point);
        HBITMAP composed = Composition::Compose(picture, texte, logo);
        EXPECT_EQ(FirstDifference(expected, composed), "") << transparent;
        HBITMAP inPlace = CGraphique::RedimensionneImage(nullptr, picture, CSize(321, 203), 1);
        Composition::SigneSurPlace(inPlace, texte, logo);
        EXPECT_EQ(FirstDifference(expected, inPlace), "") << transparent;
        for (HBITMAP b : {withText, expected, composed, inPlace})
            DeleteObject(b);
    }
    DeleteObject(logoImage);
    DeleteObject(picture);
}
