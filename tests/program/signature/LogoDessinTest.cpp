// An SVG logo drawn anew at the size each picture gives it, not its small
// bitmap enlarged: the layer compared with the drawing's own rendering.

#include "CGraphique.h"
#include "Composition.h"
#include "CouchesSignature.h"
#include "MemoireSignature.h"
#include "TestImages.h"
#include "codecs/Budget.h"
#include "image/LogoSvg.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace TestImages;

namespace {

// Thin diagonals and a half-transparent disc: what an enlarged bitmap blurs.
const std::string kDessin = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">
<rect x="1" y="1" width="38" height="18" fill="none" stroke="#0040c0" stroke-width="1"/>
<path d="M2 18 L38 2" stroke="#c00000" stroke-width="0.7"/>
<circle cx="12" cy="10" r="6" fill="#20a020" fill-opacity="0.6"/>
</svg>)svg";

void Ecrit(const std::string& chemin, const std::string& texte)
{
    WriteFile(chemin, std::vector<std::uint8_t>(texte.begin(), texte.end()));
}

class LogoDessin : public testing::Test {
protected:
    // The layer as the preview and the runs build it from the file.
    CoucheLogo Couche(const std::string& chemin, int tailleRelative)
    {
        std::vector<std::uint8_t> alpha;
        ModeleSignature reglages;
        reglages.Logo = chemin;
        reglages.StyleLogo.TailleRelative = tailleRelative;
        return CouchesSignature::Logo(reglages, chemin, graphique.ChargeImageAlpha(chemin, alpha), std::move(alpha));
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(LogoDessin, ARelativeSvgLogoIsTheDrawingRenderedAtThatSize)
{
    const std::string chemin = bac.path("logo.svg");
    Ecrit(chemin, kDessin);
    const CSize picture(800, 600);
    for (const int tailleRelative : {500, 4000}) {
        SCOPED_TRACE(tailleRelative);
        const CoucheLogo couche = Couche(chemin, tailleRelative);
        ASSERT_NE(couche.Dessin, nullptr);
        ASSERT_EQ(couche.Taille, CSize(40, 20));
        HBITMAP fond = Gradient(picture.cx, picture.cy);
        HBITMAP signee = Composition::Compose(fond, CoucheTexte(), couche);
        ASSERT_NE(signee, nullptr);

        const CSize voulue = couche.Rendu.TailleLogo(picture, couche.Taille);
        EXPECT_EQ(voulue.cx, picture.cy * tailleRelative / 10000);
        const std::vector<CRect> zones = Composition::ZonesTouchees(picture, CoucheTexte(), couche);
        ASSERT_EQ(zones.size(), 1u);
        const CRect zone = zones[0];
        ASSERT_EQ(CSize(zone.Width(), zone.Height()), voulue);

        // Qt's own rendering at that size, laid with straight colours
        // weighed by their coverage.
        QImage attendu(voulue.cx, voulue.cy, QImage::Format_ARGB32_Premultiplied);
        attendu.fill(Qt::transparent);
        {
            QSvgRenderer rendu(QByteArray::fromStdString(kDessin));
            QPainter peintre(&attendu);
            rendu.render(&peintre, QRectF(0, 0, voulue.cx, voulue.cy));
        }
        attendu.convertTo(QImage::Format_ARGB32);
        int ecart = 0, differents = 0;
        for (int y = 0; y < picture.cy; ++y)
            for (int x = 0; x < picture.cx; ++x) {
                const COLORREF dessous = Pixel(fond, x, y);
                COLORREF voulu = dessous;
                if (zone.PtInRect(CPoint(x, y))) {
                    const QRgb s = attendu.pixel(x - zone.left, y - zone.top);
                    const int a = qAlpha(s);
                    const auto melange = [a](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
                    voulu = RGB(melange(qRed(s), GetRValue(dessous)), melange(qGreen(s), GetGValue(dessous)),
                                melange(qBlue(s), GetBValue(dessous)));
                }
                const COLORREF obtenu = Pixel(signee, x, y);
                const int e = std::max({std::abs(GetRValue(obtenu) - GetRValue(voulu)),
                                        std::abs(GetGValue(obtenu) - GetGValue(voulu)),
                                        std::abs(GetBValue(obtenu) - GetBValue(voulu))});
                ecart = std::max(ecart, e);
                differents += obtenu != dessous;
            }
        EXPECT_LE(ecart, 1);
        EXPECT_GT(differents, voulue.cx) << "the logo was laid";
        DeleteObject(signee);
        DeleteObject(fond);
        DeleteObject(couche.Image);
    }
}

TEST_F(LogoDessin, OnlyAnSvgFileThatStillMatchesItsImageGivesADrawing)
{
    const std::string svg = bac.path("logo.svg");
    Ecrit(svg, kDessin);
    HBITMAP rouge = Solid(40, 20, 32, RGB(200, 0, 0));
    ASSERT_EQ(graphique.SauveImage(bac.path("logo.png"), rouge, 75), 1);

    CoucheLogo png = Couche(bac.path("logo.png"), 4000);
    EXPECT_EQ(png.Dessin, nullptr);
    DeleteObject(png.Image);

    // The file changed since its image was loaded: the image alone is laid.
    ModeleSignature reglages;
    reglages.StyleLogo.TailleRelative = 4000;
    std::vector<std::uint8_t> alpha;
    HBITMAP ancienne = graphique.ChargeImageAlpha(svg, alpha);
    Ecrit(svg, std::string(kDessin).replace(kDessin.find("width=\"40\""), 10, "width=\"41\""));
    EXPECT_EQ(CouchesSignature::Logo(reglages, svg, ancienne, alpha).Dessin, nullptr);
    DeleteObject(ancienne);

    EXPECT_EQ(CouchesSignature::Logo(reglages, svg, nullptr, {}).Dessin, nullptr) << "no image, no logo";
    DeleteObject(rouge);
}

// A raster logo and a drawing loaded into the same slot in turn never give
// each other's resampled image.
TEST_F(LogoDessin, TheMemoryTellsADrawingFromItsBitmap)
{
    const std::string chemin = bac.path("logo.svg");
    Ecrit(chemin, kDessin);
    const CoucheLogo couche = Couche(chemin, 4000);
    ASSERT_NE(couche.Dessin, nullptr);
    const CSize taille(240, 120);
    Budget budget;
    std::vector<std::uint8_t> alpha;
    HBITMAP attendu = couche.Dessin->Rend(taille, budget, &alpha);
    ASSERT_NE(attendu, nullptr);
    ASSERT_FALSE(alpha.empty());
    const auto differents = [&](HBITMAP image) {
        int n = 0;
        for (int y = 0; y < taille.cy; ++y)
            for (int x = 0; x < taille.cx; ++x)
                n += Pixel(image, x, y) != Pixel(attendu, x, y);
        return n;
    };
    MemoireSignature memoire;
    const MemoireSignature::Logo* dessine = memoire.Redimensionne(couche.Image, couche.Alpha, taille, couche.Dessin.get());
    ASSERT_NE(dessine, nullptr);
    EXPECT_EQ(differents(dessine->image), 0);
    EXPECT_EQ(dessine->alpha, alpha);
    const MemoireSignature::Logo* agrandi = memoire.Redimensionne(couche.Image, couche.Alpha, taille);
    ASSERT_NE(agrandi, nullptr);
    EXPECT_GT(differents(agrandi->image), 0) << "the bitmap enlarged is not the drawing";
    DeleteObject(attendu);
    DeleteObject(couche.Image);
}

} // namespace
