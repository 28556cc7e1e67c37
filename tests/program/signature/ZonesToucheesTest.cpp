// The rectangles a signature may change, and a signature laid on a piece of
// a picture: the same pixels as on the whole picture, nothing outside them.

#include "Composition.h"
#include "EmplacementsEssai.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace TestImages;

TEST(ZonesTouchees, OverlappingRectanglesBecomeTheirBoundingBoxUntilNoneOverlap)
{
    struct Cas {
        const char* nom;
        std::vector<CRect> zones, attendu;
    };
    const Cas cas[] = {
        {"empty ones dropped", {{5, 5, 5, 9}, {1, 2, 3, 4}, {7, 7, 6, 9}}, {{1, 2, 3, 4}}},
        {"apart stay apart, by top then left", {{10, 10, 20, 20}, {0, 10, 5, 12}, {0, 0, 4, 4}},
         {{0, 0, 4, 4}, {0, 10, 5, 12}, {10, 10, 20, 20}}},
        {"touching is not overlapping", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}}},
        {"rows shared but columns apart", {{0, 0, 10, 10}, {30, 5, 40, 15}}, {{0, 0, 10, 10}, {30, 5, 40, 15}}},
        {"two overlapping", {{0, 0, 10, 10}, {5, 5, 20, 8}}, {{0, 0, 20, 10}}},
        // The box of the first two reaches the third, which neither met.
        {"a merged box meets another", {{0, 0, 10, 10}, {8, 20, 12, 30}, {9, 9, 11, 21}}, {{0, 0, 12, 30}}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        EXPECT_EQ(Composition::Fusionne(c.zones), c.attendu);
    }
}

namespace {

constexpr CSize kTaille(200, 120);

struct Cas {
    const char* nom;
    int profondeur;
    const char* fonte;
    int hauteur;
    bool italique;
    CString texte;
    Emplacement placeTexte;
    Style styleTexte;
    int transparent;
    bool avecLogo;
    Emplacement placeLogo;
    Style styleLogo;
    bool alpha;
};

Style Effets(int contour, int ox, int oy, int flou, int opacite = 100)
{
    Style s;
    s.Contour = contour;
    s.CouleurContour = RGB(10, 200, 30);
    s.OmbreX = ox;
    s.OmbreY = oy;
    s.OmbreFlou = flou;
    s.OpaciteOmbre = 60;
    s.Opacite = opacite;
    return s;
}

Style Opacite(int opacite)
{
    Style s;
    s.Opacite = opacite;
    return s;
}

class Pieces : public testing::TestWithParam<Cas> {
protected:
    void SetUp() override
    {
        const Cas& c = GetParam();
        LOGFONT lf{};
        lf.lfHeight = -c.hauteur;
        lf.lfItalic = c.italique;
        std::strcpy(lf.lfFaceName, c.fonte);
        police = CreateFontIndirect(&lf);
        texte.Texte = c.texte;
        texte.Police = police;
        texte.Encre = RGB(250, 240, 10);
        texte.Fond = RGB(0, 0, 90);
        texte.Transparent = c.transparent;
        texte.Place = c.placeTexte;
        texte.Rendu = c.styleTexte;
        if (c.avecLogo) {
            logo.Logo = "logo.png";
            logo.Image = image = Make(30, 22, 32, [](int x, int y) { return RGB(8 * x, 255 - 10 * y, 128); });
            logo.Taille = CSize(30, 22);
            if (c.alpha)
                for (int y = 0; y < 22; ++y)
                    for (int x = 0; x < 30; ++x)
                        logo.Alpha.push_back(static_cast<std::uint8_t>((x * 9 + y * 5) % 256));
            logo.Place = c.placeLogo;
            logo.Rendu = c.styleLogo;
        }
        original = Motif(CRect(0, 0, kTaille.cx, kTaille.cy));
        signe = Motif(CRect(0, 0, kTaille.cx, kTaille.cy));
        Composition::SigneSurPlace(signe, texte, logo);
    }
    void TearDown() override
    {
        for (HBITMAP b : {original, signe, image})
            if (b)
                DeleteObject(b);
        DeleteObject(police);
    }

    // That rectangle of a picture whose every pixel differs from its neighbours.
    HBITMAP Motif(const CRect& r) const
    {
        return Make(r.Width(), r.Height(), GetParam().profondeur, [&](int x, int y) {
            const int px = x + r.left, py = y + r.top;
            return RGB((px * 37 + py * 11) % 256, (px * 5 + py * 53) % 256, (px * py + 77) % 256);
        });
    }

    HFONT police = nullptr;
    HBITMAP image = nullptr;
    HBITMAP original = nullptr;
    HBITMAP signe = nullptr;
    CoucheTexte texte;
    CoucheLogo logo;
};

bool Dans(const std::vector<CRect>& zones, CPoint p)
{
    return std::ranges::any_of(zones, [&](const CRect& z) { return z.PtInRect(p); });
}

} // namespace

TEST_P(Pieces, EveryChangedPixelIsInAZoneAndAPieceHoldingOneSignsItAlike)
{
    const std::vector<CRect> zones = Composition::ZonesTouchees(kTaille, texte, logo);
    ASSERT_FALSE(zones.empty());
    EXPECT_EQ(Composition::Fusionne(zones), zones) << "apart from each other already";
    int changes = 0;
    for (int y = 0; y < kTaille.cy; ++y)
        for (int x = 0; x < kTaille.cx; ++x)
            if (Pixel(signe, x, y) != Pixel(original, x, y)) {
                ++changes;
                ASSERT_TRUE(Dans(zones, CPoint(x, y))) << "changed outside the zones at " << x << ", " << y;
            }
    EXPECT_GT(changes, 0);
    for (const CRect& z : zones) {
        ASSERT_TRUE(z.left >= 0 && z.top >= 0 && z.right <= kTaille.cx && z.bottom <= kTaille.cy);
        // The zone itself, then a piece reaching past it (into another zone, maybe).
        const CRect large(std::max<LONG>(0, z.left - 9), std::max<LONG>(0, z.top - 4), std::min<LONG>(kTaille.cx, z.right + 5),
                          std::min<LONG>(kTaille.cy, z.bottom + 7));
        for (const CRect& r : {z, large}) {
            HBITMAP piece = Motif(r);
            Composition::SignePiece(piece, kTaille, CPoint(r.left, r.top), texte, logo);
            for (int y = z.top; y < z.bottom; ++y)
                for (int x = z.left; x < z.right; ++x)
                    ASSERT_EQ(Pixel(piece, x - r.left, y - r.top), Pixel(signe, x, y))
                        << "at " << x << ", " << y << " of a piece from " << r.left << ", " << r.top;
            DeleteObject(piece);
        }
    }
    // The rows stay those of the zones.
    std::vector<std::pair<int, int>> lignes;
    for (const CRect& z : zones)
        lignes.emplace_back(z.top, z.bottom);
    EXPECT_EQ(Composition::LignesTouchees(kTaille, texte, logo), Composition::Reunit(lignes));
}

INSTANTIATE_TEST_SUITE_P(
    Placements, Pieces,
    testing::Values(
        Cas{"opaque text bottom right, opaque logo top left", 32, "DejaVu Sans", 20, false, "Wjg Signed",
            Automatique(false, true, false, 6, 4), Style(), 0, true, Automatique(true, false, false, 3, 3), Style(), false},
        Cas{"italic serif centred at the top, logo with coverage over it", 32, "DejaVu Serif", 28, true, "fjord Ag",
            Automatique(true, false, true, 5, 2), Style(), 1, true, Absolu(90, 8), Style(), true},
        Cas{"outline and shadow, centred at the bottom", 32, "DejaVu Sans", 24, false, "Signed W",
            Automatique(false, false, true, 5, 6), Effets(3, 5, 4, 3), 1, true, Automatique(true, true, false, 4, 4),
            Opacite(50), false},
        Cas{"shadow up and left, half opaque, on 24 bits", 24, "DejaVu Sans", 22, true, "Shadow",
            Absolu(40, 50), Effets(0, -6, -5, 4, 50), 0, true, Absolu(60, 60), Opacite(70), true},
        Cas{"running past the right and bottom edges", 32, "DejaVu Sans", 26, false, "Past the edge",
            Absolu(150, 100), Effets(2, 3, 3, 0), 1, true, Absolu(185, 108), Style(), true},
        Cas{"off the left edge, relative size", 32, "DejaVu Serif", 20, false, "Left",
            Automatique(false, true, false, 180, 30), [] {
                Style s = Effets(1, 2, 2, 2);
                s.TailleRelative = 1500;
                return s;
            }(),
            0, false, Emplacement(), Style(), false}),
    [](const testing::TestParamInfo<Cas>& info) {
        std::string nom;
        for (const char* p = info.param.nom; *p; ++p)
            nom += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return nom;
    });
