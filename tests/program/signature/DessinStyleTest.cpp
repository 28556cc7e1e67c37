// The styled text's reach on the picture, what a signing step keeps from
// one picture to the next, and effects that follow a relative text size.

#include "Composition.h"
#include "DessinStyle.h"
#include "MemoireSignature.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace TestImages;

namespace {

constexpr COLORREF kFond = RGB(40, 90, 200);

HFONT Police(int hauteur)
{
    LOGFONT lf{};
    lf.lfHeight = -hauteur;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    return CreateFontIndirect(&lf);
}

Style Effets()
{
    Style s;
    s.Contour = 3;
    s.CouleurContour = RGB(0, 0, 0);
    s.OmbreX = 7;
    s.OmbreY = -5;
    s.OmbreFlou = 6;
    s.OpaciteOmbre = 90;
    s.CouleurOmbre = RGB(255, 0, 0);
    s.Opacite = 90;
    return s;
}

TEST(DessinStyle, NoPixelChangesOutsideTheZone)
{
    HFONT police = Police(30);
    struct Cas {
        const char* nom;
        Position place;
        Style style;
    };
    const auto position = [](int x, int y, int vertical, int horizontal) {
        Position p;
        p.point = CPoint(x, y);
        p.vertical = vertical;
        p.horizontal = horizontal;
        return p;
    };
    Style ombreSeule;
    ombreSeule.OmbreX = -12;
    ombreSeule.OmbreY = 9;
    ombreSeule.OpaciteOmbre = 100;
    const Cas cas[] = {
        {"inside", position(20, 30, 0, 0), Effets()},
        {"cut by the left and top edges", position(-25, -12, 0, 0), Effets()},
        {"cut by the right and bottom edges", position(150, 100, 0, 0), Effets()},
        {"anchored right and bottom, past the corner", position(215, 130, 1, 1), Effets()},
        {"centred", position(0, 60, 1, 2), Effets()},
        {"shadow alone, thrown left", position(4, 2, 0, 0), ombreSeule},
        {"only the shadow reaches the picture", position(205, 20, 0, 0), ombreSeule},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        HBITMAP image = Solid(200, 120, 32, kFond);
        DessinStyle::Texte(image, "Wjg Signed", c.place, RGB(255, 255, 255), RGB(0, 0, 0), 0, police, c.style);
        const QRect zone = DessinStyle::Zone(CSize(200, 120), "Wjg Signed", c.place, police, c.style);
        int changes = 0, dehors = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                if (Pixel(image, x, y) != kFond) {
                    ++changes;
                    dehors += !zone.contains(x, y);
                }
        EXPECT_GT(changes, 0);
        EXPECT_EQ(dehors, 0) << "zone " << zone.x() << "," << zone.y() << " " << zone.width() << "x" << zone.height();
        EXPECT_TRUE(QRect(0, 0, 200, 120).contains(zone));
        DeleteObject(image);
    }
    EXPECT_TRUE(DessinStyle::Zone(CSize(200, 120), "", Position(), police, Effets()).isEmpty());
    EXPECT_TRUE(DessinStyle::Zone(CSize(200, 120), "far", position(5000, 20, 0, 0), police, Effets()).isEmpty());
    DeleteObject(police);
}

// A step signing pictures one after the other, its memory carried over,
// gives each the pixels it would get alone.
TEST(MemoireSignature, EachPictureGetsWhatItWouldAlone)
{
    HFONT police = Police(40);
    CoucheTexte texte;
    texte.Police = police;
    texte.Encre = RGB(250, 250, 250);
    texte.Fond = RGB(10, 10, 10);
    texte.Place.PositionAutomatiqueDeltaX = 3;
    texte.Place.PositionAutomatiqueDeltaY = 2;
    texte.Rendu = Effets();
    texte.Rendu.TailleRelative = 800;
    texte.Rendu.PlaceRelative = 1;
    HBITMAP image = Gradient(30, 20);
    CoucheLogo logo;
    logo.Logo = "logo.png";
    logo.Image = image;
    logo.Taille = CSize(30, 20);
    logo.Alpha.assign(30 * 20, 255);
    for (std::size_t i = 0; i < logo.Alpha.size(); i += 3)
        logo.Alpha[i] = 60;
    logo.Rendu.TailleRelative = 1500;
    logo.Rendu.Opacite = 70;

    struct Image {
        CSize taille;
        const char* texte;
        int transparent;
    };
    // Same size twice (reused), another size, back, then another text and box.
    const Image suite[] = {{CSize(400, 300), "Signed", 1},  {CSize(400, 300), "Signed", 1},
                           {CSize(300, 400), "Signed", 1},  {CSize(400, 300), "Signed", 1},
                           {CSize(400, 300), "Other", 1},   {CSize(400, 300), "Other", 0}};
    MemoireSignature memoire;
    int numero = 0;
    for (const Image& i : suite) {
        SCOPED_TRACE(++numero);
        texte.Texte = i.texte;
        texte.Transparent = i.transparent;
        // Each picture differs from the last: nothing of one may show on the next.
        HBITMAP seule = Make(i.taille.cx, i.taille.cy, 32, [&](int x, int y) { return RGB(x * numero, y, 90); });
        HBITMAP suivie = Make(i.taille.cx, i.taille.cy, 32, [&](int x, int y) { return RGB(x * numero, y, 90); });
        HBITMAP plate = Make(i.taille.cx, i.taille.cy, 32, [&](int x, int y) { return RGB(x * numero, y, 90); });
        Composition::SigneSurPlace(seule, texte, logo);
        Composition::SigneSurPlace(suivie, texte, logo, &memoire);
        EXPECT_EQ(FirstDifference(seule, suivie), "");
        EXPECT_NE(FirstDifference(seule, plate), "") << "the signature was drawn";
        DeleteObject(seule);
        DeleteObject(suivie);
        DeleteObject(plate);
    }
    DeleteObject(image);
    DeleteObject(police);
}

TEST(MemoireSignature, FontIsMadeOncePerHeight)
{
    HFONT base = Police(20);
    MemoireSignature memoire;
    EXPECT_EQ(memoire.Police(base, 0), base);
    EXPECT_EQ(memoire.Police(nullptr, 30), nullptr);
    const HFONT trente = memoire.Police(base, 30);
    ASSERT_NE(trente, nullptr);
    EXPECT_EQ(trente->qfont().pixelSize(), 30);
    EXPECT_EQ(memoire.Police(base, 30), trente);
    EXPECT_EQ(memoire.Police(base, 31)->qfont().pixelSize(), 31);
    DeleteObject(base);
}

// The same template on a small and a large picture: the shadow's offset
// follows the text's height; a fixed text keeps its offset in pixels.
TEST(StyleRelatif, ShadowOffsetFollowsTheTextHeight)
{
    HFONT police = Police(37);
    CoucheTexte texte;
    texte.Texte = "Signed";
    texte.Police = police;
    texte.Encre = RGB(255, 255, 255);
    texte.Transparent = 1;
    texte.Place.PositionAutomatiqueDeltaX = 2;
    texte.Place.PositionAutomatiqueDeltaY = 3;
    texte.Rendu.PlaceRelative = 1;
    // Top left: the shadow thrown right and down stays in the picture.
    texte.Place.PositionAutomatiqueHaut = 1;
    texte.Place.PositionAutomatiqueBas = 0;
    texte.Place.PositionAutomatiqueGauche = 1;
    texte.Place.PositionAutomatiqueDroite = 0;
    // How far the changes reach right of and below the same text drawn without shadow.
    const auto decalage = [&](CSize taille, int relative) {
        CoucheTexte t = texte;
        t.Rendu.TailleRelative = relative;
        t.Rendu.OmbreX = 8;
        t.Rendu.OmbreY = 6;
        t.Rendu.CouleurOmbre = RGB(0, 0, 0);
        QRect etendue[2];
        for (int ombre = 0; ombre < 2; ++ombre) {
            t.Rendu.OpaciteOmbre = ombre ? 100 : 0;
            t.Rendu.Opacite = 99; // the styled drawing with or without its shadow
            HBITMAP image = Solid(taille.cx, taille.cy, 32, kFond);
            Composition::SigneSurPlace(image, t, CoucheLogo());
            // The signature's corner only: a whole large picture is slow to probe.
            for (int y = 0; y < taille.cy / 8; ++y)
                for (int x = 0; x < taille.cx / 4; ++x)
                    if (Pixel(image, x, y) != kFond)
                        etendue[ombre] |= QRect(x, y, 1, 1);
            DeleteObject(image);
        }
        return QPoint(etendue[1].right() - etendue[0].right(), etendue[1].bottom() - etendue[0].bottom());
    };
    // 5 % of 750 is the template's 37 px: the offset as given.
    EXPECT_EQ(decalage(CSize(1000, 750), 500), QPoint(8, 6));
    // 225 px: 8 x 225 / 37 = 48.6, 6 x 225 / 37 = 36.5.
    const QPoint grand = decalage(CSize(6000, 4500), 500);
    EXPECT_EQ(grand, QPoint(49, 36));
    EXPECT_NEAR(grand.x() / 8.0, 225.0 / 37, 0.1);
    EXPECT_EQ(decalage(CSize(6000, 4500), 0), QPoint(8, 6)) << "a fixed text keeps its pixels";
    DeleteObject(police);
}

} // namespace
