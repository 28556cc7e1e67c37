// Logos with transparency: laid over the picture weighed by their coverage
// (a premultiplied blend computed here independently), resized without the
// hidden colours bleeding into the edges, and the batch step loading the
// PNG logo's alpha as the panel does. An opaque logo is copied as before.

#include "Composition.h"
#include "EtapeSignature.h"
#include "LogoAlpha.h"
#include "TestImages.h"
#include "codecs/PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace TestImages;

namespace {

std::vector<std::uint8_t> Couverture(int w, int h)
{
    std::vector<std::uint8_t> alpha(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            alpha[std::size_t(y) * w + x] = static_cast<std::uint8_t>(x == 0 ? 0 : x == w - 1 ? 255 : (x * 37 + y * 11) & 0xFF);
    return alpha;
}

HBITMAP Photo(int w, int h)
{
    return Make(w, h, 32, [](int x, int y) { return RGB((x * 5) & 0xFF, (y * 9) & 0xFF, (x * y) & 0xFF); });
}

CoucheLogo Couche(HBITMAP logo, std::vector<std::uint8_t> alpha, CPoint coin)
{
    CoucheLogo couche;
    couche.Logo = "logo.png";
    couche.Image = logo;
    couche.Alpha = std::move(alpha);
    couche.Taille = SizeOf(logo);
    couche.Place.PositionAutomatique = 0;
    couche.Place.PositionAbsolue = 1;
    couche.Place.PositionAbsolueX = static_cast<UINT>(coin.x);
    couche.Place.PositionAbsolueY = static_cast<UINT>(coin.y);
    return couche;
}

// Largest channel difference between the signed picture and the photograph
// with the logo blended: out = s * a + d * (1 - a), in [0, 1] units.
int EcartAuMelange(HBITMAP signe, HBITMAP photo, HBITMAP logo, const std::vector<std::uint8_t>& alpha, CPoint coin)
{
    int pire = 0;
    for (int y = 0; y < photo->height(); ++y)
        for (int x = 0; x < photo->width(); ++x) {
            const COLORREF d = Pixel(photo, x, y);
            COLORREF attendu = d;
            const int lx = x - coin.x, ly = y - coin.y;
            if (lx >= 0 && ly >= 0 && lx < logo->width() && ly < logo->height()) {
                const double a = alpha[std::size_t(ly) * logo->width() + lx] / 255.0;
                const COLORREF s = Pixel(logo, lx, ly);
                const auto canal = [a](int sc, int dc) { return static_cast<int>(sc * a + dc * (1 - a) + 0.5); };
                attendu = RGB(canal(GetRValue(s), GetRValue(d)), canal(GetGValue(s), GetGValue(d)),
                              canal(GetBValue(s), GetBValue(d)));
            }
            const COLORREF o = Pixel(signe, x, y);
            pire = std::max({pire, std::abs(int(GetRValue(o)) - GetRValue(attendu)),
                             std::abs(int(GetGValue(o)) - GetGValue(attendu)),
                             std::abs(int(GetBValue(o)) - GetBValue(attendu))});
        }
    return pire;
}

} // namespace

TEST(LogoAlpha, TransparentLogoIsBlendedAndOpaqueOneCopied)
{
    HBITMAP photo = Photo(64, 40);
    HBITMAP logo = Gradient(21, 13);
    const CPoint coin(50, 30); // partly off the picture
    const std::vector<std::uint8_t> alpha = Couverture(21, 13);
    struct Cas {
        const char* nom;
        std::vector<std::uint8_t> alpha;
    };
    for (const Cas& c : {Cas{"coverage", alpha}, Cas{"opaque", {}}}) {
        SCOPED_TRACE(c.nom);
        HBITMAP signe = Composition::Compose(photo, CoucheTexte(), Couche(logo, c.alpha, coin));
        ASSERT_NE(signe, nullptr);
        const std::vector<std::uint8_t> plein(alpha.size(), 255);
        // The opaque logo's pixels are its own, exactly.
        EXPECT_LE(EcartAuMelange(signe, photo, logo, c.alpha.empty() ? plein : c.alpha, coin), c.alpha.empty() ? 0 : 1);
        DeleteObject(signe);
    }
    DeleteObject(logo);
    DeleteObject(photo);
}

TEST(LogoAlpha, ResizingKeepsHiddenColoursOutOfTheEdges)
{
    // Blue where visible, red under full transparency.
    HBITMAP logo = Make(16, 8, 32, [](int x, int) { return x < 8 ? RGB(0, 0, 255) : RGB(255, 0, 0); });
    std::vector<std::uint8_t> alpha(16 * 8);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = (i % 16) < 8 ? 255 : 0;
    for (const CSize taille : {CSize(8, 4), CSize(37, 19), CSize(16, 8)}) {
        SCOPED_TRACE(std::to_string(taille.cx) + "x" + std::to_string(taille.cy));
        std::vector<std::uint8_t> sortie;
        HBITMAP r = LogoAlpha::Redimensionne(logo, alpha, taille, sortie);
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(sortie.size(), std::size_t(taille.cx) * taille.cy);
        int visibles = 0, transparents = 0;
        for (int y = 0; y < taille.cy; ++y)
            for (int x = 0; x < taille.cx; ++x) {
                const std::uint8_t a = sortie[std::size_t(y) * taille.cx + x];
                visibles += a == 255;
                transparents += a == 0;
                if (a != 0) {
                    EXPECT_EQ(GetRValue(Pixel(r, x, y)), 0) << x << "," << y;
                }
            }
        EXPECT_GT(visibles, 0);
        EXPECT_GT(transparents, 0);
        DeleteObject(r);
    }
    DeleteObject(logo);
}

TEST(LogoAlpha, BatchStepLaysThePngLogoWithItsAlpha)
{
    Sandbox box;
    HBITMAP logo = Gradient(21, 13);
    const std::vector<std::uint8_t> alpha = Couverture(21, 13);
    const std::string chemin = box.path("logo.png");
    ASSERT_EQ(PngFile::Sauve(chemin, *logo, &alpha), 1);
    ModeleSignature reglages;
    reglages.Texte.clear();
    reglages.Logo = chemin;
    reglages.EmplacementLogo = Couche(logo, {}, CPoint(7, 9)).Place;
    EtapeSignature etape(reglages, box.path(""));
    ASSERT_FALSE(etape.LogoManquant());
    HBITMAP photo = Photo(64, 40);
    HBITMAP signe = Composition::Compose(photo, CoucheTexte(), CoucheLogo());
    ASSERT_NE(signe, nullptr);
    etape.Signe(signe);
    EXPECT_LE(EcartAuMelange(signe, photo, logo, alpha, CPoint(7, 9)), 1);
    DeleteObject(signe);
    DeleteObject(photo);
    DeleteObject(logo);
}
