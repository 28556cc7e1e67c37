// Layers repeated across the whole picture: where the marks fall, that any
// piece or band of a picture is signed as the whole, and the turn of the
// marks and of their lattice.

#include "Composition.h"
#include "MemoireSignature.h"
#include "MotifRepete.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

using namespace TestImages;

namespace {

constexpr COLORREF kFond = RGB(0, 0, 200);
constexpr COLORREF kRouge = RGB(255, 0, 0);

CoucheLogo LogoRepete(HBITMAP image, int angle, int espacement, int opacite = 100)
{
    CoucheLogo logo;
    logo.Logo = "logo.bmp";
    logo.Image = image;
    logo.Taille = SizeOf(image);
    logo.Rendu.Repete = true;
    logo.Rendu.Angle = angle;
    logo.Rendu.Espacement = espacement;
    logo.Rendu.Opacite = opacite;
    return logo;
}

TEST(MotifRepete, SolidLogoFallsOnABrickGrid)
{
    // A 6x4 logo on 64x48 with a gap of 10 % of 48 = 5: steps 11 and 9, the
    // first row's mark at (29, 22) in the middle, odd rows 5 pixels along.
    HBITMAP logoImage = Solid(6, 4, 24, kRouge);
    const CoucheLogo logo = LogoRepete(logoImage, 0, 10);
    struct Point {
        int x, y;
        bool marque;
        const char* ou;
    };
    const Point points[] = {
        {29, 22, true, "the middle mark's top-left"},
        {34, 25, true, "its bottom-right"},
        {35, 22, false, "right of it"},
        {29, 26, false, "below it, in the gap"},
        {40, 22, true, "one step right"},
        {18, 25, true, "one step left"},
        {34, 31, true, "the next row, half a step along"},
        {29, 31, false, "the next row, between two marks"},
        {28, 13, true, "the row above, shifted the same way"},
        {29, 13, false, "the row above, between two marks"},
        {0, 0, false, "a corner in a gap"},
    };
    for (int profondeur : {24, 32}) {
        HBITMAP image = Solid(64, 48, profondeur, kFond);
        Composition::SigneSurPlace(image, CoucheTexte(), logo);
        for (const Point& p : points)
            EXPECT_EQ(Pixel(image, p.x, p.y), p.marque ? kRouge : kFond)
                << p.ou << " (" << p.x << ", " << p.y << ") at " << profondeur << " bits";
        DeleteObject(image);
    }

    // Half the opacity: the mean of logo and picture on every mark alike.
    HBITMAP image = Solid(64, 48, 32, kFond);
    Composition::SigneSurPlace(image, CoucheTexte(), LogoRepete(logoImage, 0, 10, 50));
    for (CPoint p : {CPoint(29, 22), CPoint(40, 25), CPoint(23, 31)})
        EXPECT_EQ(Pixel(image, p.x, p.y), RGB(128, 0, 100)) << p.x << ", " << p.y;
    EXPECT_EQ(Pixel(image, 29, 26), kFond);
    DeleteObject(image);
    DeleteObject(logoImage);
}

TEST(MotifRepete, AngleTurnsTheMarkAnticlockwise)
{
    // A single mark (the gap is the whole picture) 30x4 in the middle.
    HBITMAP logoImage = Solid(30, 4, 32, kRouge);
    const auto rouge = [](COLORREF c) { return GetRValue(c) > 200 && GetBValue(c) < 60; };
    const auto signe = [&](int angle) {
        HBITMAP image = Solid(100, 100, 32, kFond);
        Composition::SigneSurPlace(image, CoucheTexte(), LogoRepete(logoImage, angle, 100));
        return image;
    };
    HBITMAP plat = signe(0), penche = signe(45), debout = signe(90);
    // The turned mark's centre is (49.5, 49.5); the diagonal goes up to the right.
    for (int k = -8; k <= 8; ++k) {
        EXPECT_TRUE(rouge(Pixel(penche, 49 + k, 49 - k))) << "on the diagonal at " << k;
        EXPECT_TRUE(rouge(Pixel(debout, 49, 49 + k))) << "upright at " << k;
        EXPECT_TRUE(rouge(Pixel(plat, 49 + k, 49))) << "level at " << k;
    }
    for (int k : {-8, 8}) {
        EXPECT_EQ(Pixel(plat, 49 + k, 49 - k), kFond) << "level: off the diagonal at " << k;
        EXPECT_EQ(Pixel(penche, 49 + k, 49), kFond) << "turned: off the row at " << k;
        EXPECT_EQ(Pixel(penche, 49 + k, 49 + k), kFond) << "turned the other way at " << k;
        EXPECT_EQ(Pixel(debout, 49 + k, 49), kFond) << "upright: off the row at " << k;
    }
    for (HBITMAP b : {plat, penche, debout, logoImage})
        DeleteObject(b);
}

// The picture's pixels from (left, top) on, w x h of them.
HBITMAP Extrait(HBITMAP image, int left, int top, int w, int h)
{
    return Make(w, h, Depth(image), [&](int x, int y) { return Pixel(image, left + x, top + y); });
}

struct CasTreillis {
    int angle;
    int profondeur;
};

class TreillisTourne : public testing::TestWithParam<CasTreillis> {};

TEST_P(TreillisTourne, LongMarksRepeatAlongTheirAngle)
{
    // A 600x40 mark on 1024x768 with a gap of 10 % of 768 = 77: steps of 677
    // along the mark and 117 across it, whatever the angle.
    const CasTreillis cas = GetParam();
    const CSize taille(1024, 768);
    HBITMAP logoImage = Solid(600, 40, 32, kRouge);
    const CoucheLogo logo = LogoRepete(logoImage, cas.angle, 10);
    MotifRepete motif;
    motif.Logo(logoImage, nullptr, logo.Rendu, taille);
    EXPECT_EQ(motif.Pas().cx, 677);
    EXPECT_EQ(motif.Pas().cy, 117);
    EXPECT_LE(std::abs(motif.Origine().x + motif.Tuile().cx / 2.0 - 512), 1.0) << "the middle mark is centred";
    EXPECT_LE(std::abs(motif.Origine().y + motif.Tuile().cy / 2.0 - 384), 1.0);

    HBITMAP image = Solid(taille.cx, taille.cy, cas.profondeur, kFond);
    Composition::SigneSurPlace(image, CoucheTexte(), logo);
    const double radians = cas.angle * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const auto dedans = [&](double x, double y) { return x >= 3 && y >= 3 && x < taille.cx - 3 && y < taille.cy - 3; };
    const auto couleur = [&](double x, double y) {
        return Pixel(image, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
    };
    int marques = 0;
    for (int j = -8; j <= 8; ++j)
        for (int i = -3; i <= 3; ++i) {
            // Along (c, -s), across (s, c); odd rows half a step along.
            const double t = i * 677.0 + (j % 2 ? 338 : 0);
            const double x = 512 + j * 117 * s + t * c, y = 384 + j * 117 * c - t * s;
            if (dedans(x, y)) {
                ++marques;
                EXPECT_EQ(couleur(x, y), kRouge) << "the mark " << i << ", " << j;
            }
            // Halfway to the next row and to the next mark along: gaps.
            const double xr = x + 58.5 * s, yr = y + 58.5 * c, xm = x + 338.5 * c, ym = y - 338.5 * s;
            if (dedans(xr, yr)) {
                EXPECT_EQ(couleur(xr, yr), kFond) << "below the mark " << i << ", " << j;
            }
            if (dedans(xm, ym)) {
                EXPECT_EQ(couleur(xm, ym), kFond) << "after the mark " << i << ", " << j;
            }
        }
    EXPECT_GE(marques, 6);

    // Quarters cut off the steps, the long marks across them, sign as the whole.
    MemoireSignature memoire;
    const int mx = 389, my = 301;
    for (const CRect& r : {CRect(0, 0, mx, my), CRect(mx, 0, taille.cx, my), CRect(0, my, mx, taille.cy),
                           CRect(mx, my, taille.cx, taille.cy)}) {
        HBITMAP piece = Solid(r.Width(), r.Height(), cas.profondeur, kFond);
        Composition::SignePiece(piece, taille, CPoint(r.left, r.top), CoucheTexte(), logo, &memoire);
        HBITMAP attendu = Extrait(image, r.left, r.top, r.Width(), r.Height());
        EXPECT_EQ(FirstDifference(piece, attendu), "") << "the piece from " << r.left << ", " << r.top;
        DeleteObject(piece);
        DeleteObject(attendu);
    }
    DeleteObject(image);
    DeleteObject(logoImage);
}

INSTANTIATE_TEST_SUITE_P(Angles, TreillisTourne, testing::Values(CasTreillis{30, 32}, CasTreillis{45, 24}),
                         [](const testing::TestParamInfo<CasTreillis>& info) {
                             return "Angle" + std::to_string(info.param.angle);
                         });


struct CasPieces {
    const char* nom;
    int profondeur;
    bool texteRepete, logoRepete;
    int angle;
};

void PrintTo(const CasPieces& c, std::ostream* os) { *os << c.nom; }

class PiecesRepetees : public testing::TestWithParam<CasPieces> {
protected:
    void SetUp() override
    {
        LOGFONT lf{};
        lf.lfHeight = -14;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        police = CreateFontIndirect(&lf);
        texte.Texte = "Wjg mark";
        texte.Police = police;
        texte.Encre = RGB(250, 250, 20);
        texte.Transparent = 1;
        texte.Rendu.Repete = GetParam().texteRepete;
        texte.Rendu.Angle = GetParam().angle;
        texte.Rendu.Espacement = 8;
        // Effects on a repeated text only: a placed one is signed alike by
        // pieces that hold it whole, which quarters do not.
        if (texte.Rendu.Repete) {
            texte.Rendu.Opacite = 70;
            texte.Rendu.Contour = 1;
        }
        logoImage = Make(9, 7, 24, [](int x, int y) { return RGB(x * 25, y * 30, 90); });
        logo.Logo = "logo.bmp";
        logo.Image = logoImage;
        logo.Taille = SizeOf(logoImage);
        for (int i = 0; i < 9 * 7; ++i)
            logo.Alpha.push_back(static_cast<std::uint8_t>(i * 37 % 256));
        logo.Rendu.Repete = GetParam().logoRepete;
        logo.Rendu.Angle = 90 - GetParam().angle;
        logo.Rendu.Espacement = 12;
        original = Make(kTaille.cx, kTaille.cy, GetParam().profondeur,
                        [](int x, int y) { return RGB((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, 77); });
    }
    void TearDown() override
    {
        for (HBITMAP b : {original, logoImage})
            DeleteObject(b);
        DeleteObject(police);
    }

    static constexpr CSize kTaille = CSize(97, 61);
    HFONT police = nullptr;
    HBITMAP logoImage = nullptr;
    HBITMAP original = nullptr;
    CoucheTexte texte;
    CoucheLogo logo;
};

TEST_P(PiecesRepetees, QuadrantsAndBandsAreSignedAsTheWhole)
{
    const CRect tout(0, 0, kTaille.cx, kTaille.cy);
    EXPECT_EQ(Composition::ZonesTouchees(kTaille, texte, logo), std::vector<CRect>{tout});
    EXPECT_EQ(Composition::LignesTouchees(kTaille, texte, logo), (std::vector<std::pair<int, int>>{{0, kTaille.cy}}));

    HBITMAP signe = Extrait(original, 0, 0, kTaille.cx, kTaille.cy);
    Composition::SigneSurPlace(signe, texte, logo);
    // Marks at the middle and near the corners: the pattern reaches all over.
    for (CPoint coin : {CPoint(0, 0), CPoint(kTaille.cx / 2, 0), CPoint(0, kTaille.cy / 2),
                        CPoint(kTaille.cx / 2, kTaille.cy / 2)}) {
        HBITMAP avant = Extrait(original, coin.x, coin.y, kTaille.cx / 2, kTaille.cy / 2);
        HBITMAP apres = Extrait(signe, coin.x, coin.y, kTaille.cx / 2, kTaille.cy / 2);
        EXPECT_NE(FirstDifference(avant, apres), "") << "a quarter from " << coin.x << ", " << coin.y;
        DeleteObject(avant);
        DeleteObject(apres);
    }

    // One memory kept over the pieces, as a signing step keeps it.
    MemoireSignature memoire;
    const int mx = 41, my = 23; // not on a step of the grid
    for (const CRect& r : {CRect(0, 0, mx, my), CRect(mx, 0, kTaille.cx, my), CRect(0, my, mx, kTaille.cy),
                           CRect(mx, my, kTaille.cx, kTaille.cy)}) {
        HBITMAP piece = Extrait(original, r.left, r.top, r.Width(), r.Height());
        Composition::SignePiece(piece, kTaille, CPoint(r.left, r.top), texte, logo, &memoire);
        HBITMAP attendu = Extrait(signe, r.left, r.top, r.Width(), r.Height());
        EXPECT_EQ(FirstDifference(piece, attendu), "") << "the piece from " << r.left << ", " << r.top;
        DeleteObject(piece);
        DeleteObject(attendu);
    }
    for (int hauteur : {1, 17}) {
        MemoireSignature bandes;
        for (int premiere = 0; premiere < kTaille.cy; premiere += hauteur) {
            const int h = std::min<int>(hauteur, kTaille.cy - premiere);
            HBITMAP bande = Extrait(original, 0, premiere, kTaille.cx, h);
            Composition::SigneBande(bande, kTaille, premiere, texte, logo, &bandes);
            HBITMAP attendu = Extrait(signe, 0, premiere, kTaille.cx, h);
            ASSERT_EQ(FirstDifference(bande, attendu), "") << "the band from row " << premiere << " of " << hauteur;
            DeleteObject(bande);
            DeleteObject(attendu);
        }
    }
    DeleteObject(signe);
}

INSTANTIATE_TEST_SUITE_P(
    Repetitions, PiecesRepetees,
    testing::Values(CasPieces{"TextLevel", 32, true, false, 0}, CasPieces{"LogoTurned", 24, false, true, 30},
                    CasPieces{"BothTurned", 32, true, true, 60}, CasPieces{"TextRepeatedLogoPlaced", 24, true, false, 45},
                    CasPieces{"LogoRepeatedTextPlaced", 32, false, true, 0}),
    [](const testing::TestParamInfo<CasPieces>& info) { return std::string(info.param.nom); });

} // namespace
