// Styled signature layers: sizes relative to the picture, outline, shadow
// and opacity, each checked against the same layer drawn plain.

#include "Composition.h"
#include "DessinStyle.h"
#include "Font.h"
#include "TestImages.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

using namespace TestImages;

namespace {

constexpr COLORREF kFond = RGB(40, 90, 200);
constexpr COLORREF kEncre = RGB(250, 250, 250);

// Bounding box of the marked pixels from (x0, y0) on; empty (left > right) when none.
CRect Zone(int largeur, int hauteur, const std::function<bool(int, int)>& marque, int x0 = 0, int y0 = 0)
{
    CRect box(largeur, hauteur, -1, -1);
    for (int y = y0; y < hauteur; ++y)
        for (int x = x0; x < largeur; ++x)
            if (marque(x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class StyleComposition : public testing::Test {
protected:
    void SetUp() override
    {
        LOGFONT lf{};
        lf.lfHeight = -40;
        lf.lfWeight = FW_BOLD;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        police = CreateFontIndirect(&lf);
        texte.Texte = "Signed";
        texte.Police = police;
        texte.Encre = kEncre;
        texte.Transparent = 1;
        texte.Place.PositionAutomatiqueDeltaX = 20;
        texte.Place.PositionAutomatiqueDeltaY = 20;
    }
    void TearDown() override { DeleteObject(police); }

    HBITMAP Signe(const Style& style, int profondeur = 32, CSize taille = CSize(320, 120))
    {
        HBITMAP image = Solid(taille.cx, taille.cy, profondeur, kFond);
        CoucheTexte t = texte;
        t.Rendu = style;
        Composition::SigneSurPlace(image, t, CoucheLogo());
        return image;
    }

    HFONT police = nullptr;
    CoucheTexte texte;
};

bool Proche(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST_F(StyleComposition, RelativeTextHasTheSameHeightAndPlaceOnEveryPicture)
{
    texte.Transparent = 0; // the box shows the text's extent
    texte.Fond = RGB(0, 0, 0);
    texte.Place.PositionAutomatiqueDeltaX = 2;
    texte.Place.PositionAutomatiqueDeltaY = 3;
    Style s;
    s.TailleRelative = 500;
    s.PlaceRelative = 1;
    struct Cas {
        CSize image;
        int hauteur; // the font's pixel height
    };
    for (const Cas& c : {Cas{CSize(1000, 750), 37}, Cas{CSize(6000, 4500), 225}}) {
        SCOPED_TRACE(c.hauteur);
        HBITMAP image = Signe(s, 32, c.image);
        // The signature sits in the bottom-right corner: only that is searched.
        const CRect boite = Zone(c.image.cx, c.image.cy, [&](int x, int y) { return Pixel(image, x, y) == texte.Fond; },
                                 c.image.cx * 3 / 4, c.image.cy * 3 / 4);
        QFont f = police->qfont();
        f.setPixelSize(c.hauteur);
        const QFontMetrics m(f);
        EXPECT_EQ(boite.Height(), m.ascent() + m.descent());
        EXPECT_EQ(boite.Width(), m.horizontalAdvance("Signed"));
        const int marge = c.image.cy * 2 / 100;
        EXPECT_EQ(c.image.cx - boite.right, marge) << "2 % of the shorter side from the right";
        EXPECT_EQ(c.image.cy - boite.bottom, c.image.cy * 3 / 100);
        DeleteObject(image);
    }
}

TEST_F(StyleComposition, OutlineAndShadowOnlyAroundTheText)
{
    HBITMAP plain = Signe(Style());
    const CSize taille = SizeOf(plain);
    const CRect encre = Zone(taille.cx, taille.cy, [&](int x, int y) { return Pixel(plain, x, y) != kFond; });
    ASSERT_GT(encre.Width(), 0);
    const auto pres = [&](int x, int y, int rayon, CPoint decalage) {
        for (int dy = -rayon; dy <= rayon; ++dy)
            for (int dx = -rayon; dx <= rayon; ++dx) {
                const int px = x + dx - decalage.x, py = y + dy - decalage.y;
                if (px >= 0 && py >= 0 && px < taille.cx && py < taille.cy && Pixel(plain, px, py) != kFond)
                    return true;
            }
        return false;
    };

    struct Cas {
        const char* nom;
        std::function<void(Style&)> regle;
        int rayon;        // how far from the plain glyphs a change may reach
        CPoint decalage;  // the shadow's offset
        COLORREF couleur; // a colour that must appear
    };
    const Cas cas[] = {
        {"outline", [](Style& s) { s.Contour = 3; s.CouleurContour = RGB(0, 0, 0); }, 4, CPoint(), RGB(0, 0, 0)},
        {"outline in % of the text height",
         [](Style& s) { s.Contour = 5; s.ContourRelatif = 1; s.CouleurContour = RGB(255, 0, 0); }, 3, CPoint(),
         RGB(255, 0, 0)},
        {"hard shadow",
         [](Style& s) { s.OmbreX = 6; s.OmbreY = 5; s.OpaciteOmbre = 100; s.CouleurOmbre = RGB(0, 0, 0); }, 1,
         CPoint(6, 5), RGB(0, 0, 0)},
        {"soft shadow",
         [](Style& s) { s.OmbreX = 4; s.OmbreY = 4; s.OmbreFlou = 6; s.OpaciteOmbre = 80; s.CouleurOmbre = RGB(0, 0, 0); },
         8, CPoint(4, 4), kFond},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Style s;
        c.regle(s);
        HBITMAP style = Signe(s);
        int changes = 0, horsGlyphes = 0, couleur = 0;
        for (int y = 0; y < taille.cy; ++y)
            for (int x = 0; x < taille.cx; ++x) {
                const COLORREF p = Pixel(style, x, y);
                couleur += p == c.couleur && Pixel(plain, x, y) == kFond && c.couleur != kFond;
                if (p == Pixel(plain, x, y))
                    continue;
                ++changes;
                // Each change touches the glyphs, their outline or their shadow.
                if (!pres(x, y, c.rayon, CPoint()) && !pres(x, y, c.rayon, c.decalage))
                    ++horsGlyphes;
            }
        EXPECT_GT(changes, 200);
        EXPECT_EQ(horsGlyphes, 0);
        if (c.couleur != kFond) {
            EXPECT_GT(couleur, 50) << "the outline or shadow colour around the glyphs";
        }
        // The glyphs themselves stay in their ink where the plain text is solid.
        for (int y = encre.top; y < encre.bottom; ++y)
            for (int x = encre.left; x < encre.right; ++x) {
                if (Pixel(plain, x, y) == kEncre) {
                    ASSERT_TRUE(Proche(Pixel(style, x, y), kEncre, 1)) << x << "," << y;
                }
            }
        DeleteObject(style);
    }
    DeleteObject(plain);
}

TEST_F(StyleComposition, HalfOpacityGivesTheMeanOfTextAndPicture)
{
    HBITMAP plain = Signe(Style());
    Style s;
    s.Opacite = 50;
    HBITMAP moitie = Signe(s);
    const CSize taille = SizeOf(plain);
    int pleins = 0;
    for (int y = 0; y < taille.cy; ++y)
        for (int x = 0; x < taille.cx; ++x) {
            if (Pixel(plain, x, y) == kFond) {
                ASSERT_EQ(Pixel(moitie, x, y), kFond) << x << "," << y;
            } else if (Pixel(plain, x, y) == kEncre) {
                ++pleins;
                const COLORREF moyenne = RGB((GetRValue(kEncre) + GetRValue(kFond)) / 2,
                                             (GetGValue(kEncre) + GetGValue(kFond)) / 2,
                                             (GetBValue(kEncre) + GetBValue(kFond)) / 2);
                ASSERT_TRUE(Proche(Pixel(moitie, x, y), moyenne, 1)) << x << "," << y;
            }
        }
    EXPECT_GT(pleins, 100);
    DeleteObject(plain);
    DeleteObject(moitie);
}

TEST_F(StyleComposition, EveryDepthGetsTheSameStyledPixels)
{
    Style s;
    s.Contour = 2;
    s.OmbreX = 3;
    s.OmbreY = 3;
    s.OmbreFlou = 3;
    s.OpaciteOmbre = 70;
    s.Opacite = 80;
    HBITMAP reference = Signe(s, 32);
    HBITMAP ligne = Signe(s, 24);
    EXPECT_EQ(FirstDifference(reference, ligne), "");
    DeleteObject(reference);
    DeleteObject(ligne);
}

TEST_F(StyleComposition, TextFarOutsideOrOverTheEdgeStaysInThePicture)
{
    Style s;
    s.Contour = Style::kContourMaximal;
    s.OmbreX = -Style::kDecalageMaximal;
    s.OmbreFlou = Style::kFlouMaximal;
    s.OpaciteOmbre = 100;
    for (UINT marge : {0u, 100000u, 2000000000u}) {
        texte.Place.PositionAutomatiqueDeltaX = marge;
        HBITMAP image = Signe(s, 32, CSize(64, 48));
        EXPECT_EQ(SizeOf(image), CSize(64, 48));
        DeleteObject(image);
    }
}

TEST(StyleLogo, RelativeSizeAndOpacity)
{
    HBITMAP logo = Solid(40, 20, 32, RGB(200, 0, 0));
    CoucheLogo couche;
    couche.Logo = "logo.bmp";
    couche.Image = logo;
    couche.Taille = CSize(40, 20);
    couche.Place.PositionAutomatiqueDeltaX = 0;
    couche.Place.PositionAutomatiqueDeltaY = 0;
    couche.Rendu.TailleRelative = 1000;
    couche.Rendu.Opacite = 50;
    for (CSize taille : {CSize(1000, 750), CSize(300, 400)}) {
        HBITMAP image = Solid(taille.cx, taille.cy, 32, RGB(0, 0, 100));
        Composition::SigneSurPlace(image, CoucheTexte(), couche);
        const CRect pose = Zone(taille.cx, taille.cy, [&](int x, int y) { return Pixel(image, x, y) != RGB(0, 0, 100); });
        const int longue = std::min(taille.cx, taille.cy) / 10;
        EXPECT_EQ(pose.Width(), longue);
        EXPECT_EQ(pose.Height(), (longue + 1) / 2);
        EXPECT_EQ(pose.right, taille.cx);
        EXPECT_EQ(pose.bottom, taille.cy);
        EXPECT_EQ(Pixel(image, pose.left + 2, pose.top + 2), RGB(100, 0, 50));
        DeleteObject(image);
    }
    DeleteObject(logo);
}

TEST(StyleLogo, CoverageScalesTheOpacity)
{
    HBITMAP image = Solid(4, 1, 24, RGB(0, 0, 0));
    HBITMAP logo = Solid(4, 1, 32, RGB(255, 255, 255));
    const std::uint8_t alpha[] = {0, 255, 255, 255};
    DessinStyle::Logo(image, logo, alpha, CPoint(-1, 0), 100);
    EXPECT_EQ(Pixel(image, 0, 0), RGB(255, 255, 255)) << "the logo starts one pixel left of the picture";
    EXPECT_EQ(Pixel(image, 3, 0), RGB(0, 0, 0));
    DessinStyle::Logo(image, logo, nullptr, CPoint(3, 0), 40);
    EXPECT_EQ(Pixel(image, 3, 0), RGB(102, 102, 102));
    DeleteObject(image);
    DeleteObject(logo);
}

} // namespace
