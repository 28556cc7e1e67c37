// The preview as the user sees it: redrawn in part after each change yet
// equal to one made anew, the whole picture fitted into any display, and a
// burst of keys shown by one build.

#include "CMiniTexteDlg.h"
#include "EmplacementsEssai.h"
#include "CSignatureLogoDlg.h"
#include "DialogDriver.h"
#include "VueTestSupport.h"

#include <QLineEdit>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

using namespace DialogDriver;
using namespace TestImages;

namespace {

class ApercuVue : public VueTest {
protected:
    // A picture file in the sandbox, its pixels drawn by couleur.
    std::string Photo(const std::string& nom, CSize taille, const std::function<COLORREF(int, int)>& couleur)
    {
        HBITMAP image = Make(taille.cx, taille.cy, 32, couleur);
        const std::string chemin = bac.path(nom);
        EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
        DeleteObject(image);
        return chemin;
    }
};

// Against an edge: haut or bas, then left (0), right (1) or centred (2).
Emplacement Bord(bool haut, int cote, UINT marge)
{
    Emplacement e;
    e.PositionAutomatiqueHaut = haut;
    e.PositionAutomatiqueBas = !haut;
    e.PositionAutomatiqueGauche = cote == 0;
    e.PositionAutomatiqueDroite = cote == 1;
    e.PositionAutomatiqueContinue = cote == 2;
    e.PositionAutomatiqueDeltaX = e.PositionAutomatiqueDeltaY = marge;
    return e;
}

Style Contoure(int relative)
{
    Style s;
    s.TailleRelative = relative;
    s.Contour = 3;
    s.OmbreX = s.OmbreY = 4;
    s.OmbreFlou = 5;
    s.OpaciteOmbre = 70;
    return s;
}

// What a preview made anew shows for the view's layers now.
void AttendReconstruction(CPrincipaleView& vue)
{
    HBITMAP signee = Composition::Compose(vue.ImageSelection, vue.CoucheTexteCourante(), vue.CoucheLogoCourante());
    CSize taille;
    HBITMAP apercu = Composition::Apercu(signee, vue.ImageFond, vue.TailleAffichage, &taille);
    EXPECT_EQ(FirstDifference(vue.ImageSignee, signee), "");
    EXPECT_EQ(FirstDifference(vue.ImageApercu, apercu), "");
    EXPECT_EQ(vue.TailleApercu, taille);
    DeleteObject(signee);
    DeleteObject(apercu);
}

TEST_F(ApercuVue, EachChangeRedrawsInPlaceWhatAFullRebuildShows)
{
    struct Etape {
        const char* texte;
        Emplacement texteEn;
        Style style;
        Emplacement logoEn;
        Style styleLogo;
    };
    const Style simple;
    Style transparent;
    transparent.Opacite = 45;
    transparent.TailleRelative = 1500;
    // The text and the logo wander over the picture, each change leaving
    // rows the previous signature covered.
    const std::vector<Etape> etapes = {
        {"Signature", Bord(false, 1, 5), simple, Bord(false, 1, 5), simple},
        {"Signature (c) 2026 long", Bord(true, 0, 12), Contoure(0), Bord(true, 1, 3), simple},
        {"S", Bord(false, 2, 40), Contoure(900), Absolu(20, 30), transparent},
        {"", Bord(true, 2, 0), simple, Bord(false, 0, 0), simple},
        {"Back", Absolu(7, 90), transparent, Absolu(300, 1000), transparent},
        {"Signature", Bord(false, 1, 5), simple, Bord(false, 1, 5), simple},
    };
    struct Cas {
        CSize image;
        QSize agrandi; // the form grown by, so the display is
    };
    const std::vector<Cas> cas = {
        {CSize(400, 300), QSize(0, 0)},
        {CSize(1500, 1000), QSize(500, 150)},
        {CSize(640, 1100), QSize(120, 400)},
    };
    const std::string logo = Image("logo.bmp", 60, 40, RGB(0, 0, 200));
    vue->PanneauLogo->Logo = logo;
    vue->PanneauLogo->ChargeLogo(logo);
    const QSize depart = vue->size();
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.image.cx << "x" << c.image.cy);
        vue->resize(depart + c.agrandi);
        Pump();
        vue->ChargeSelection(Photo("photo.bmp", c.image, [](int x, int y) {
            return RGB((x * 7) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF);
        }));
        vue->ConstruitApercu();
        const HBITMAP signee = vue->ImageSignee;
        for (std::size_t i = 0; i < etapes.size(); ++i) {
            SCOPED_TRACE(i);
            ModeleSignature r = vue->Reglages();
            r.Texte = etapes[i].texte;
            r.EmplacementTexte = etapes[i].texteEn;
            r.StyleTexte = etapes[i].style;
            r.EmplacementLogo = etapes[i].logoEn;
            r.StyleLogo = etapes[i].styleLogo;
            vue->FixeReglages(r);
            vue->ConstruitApercu();
            EXPECT_EQ(vue->ImageSignee, signee) << "redrawn in place, not made anew";
            AttendReconstruction(*vue);
        }
    }
}

TEST_F(ApercuVue, TheWholePictureIsFittedIntoEveryDisplay)
{
    constexpr COLORREF kCadre = RGB(255, 0, 255);
    struct Cas {
        CSize image;
        QSize agrandi;
    };
    const std::vector<Cas> cas = {
        {CSize(1600, 1200), QSize(0, 0)},
        {CSize(1600, 1200), QSize(900, 100)}, // wider than the picture: bars left and right
        {CSize(1600, 1200), QSize(0, 500)},   // taller: bars above and below
        {CSize(900, 1600), QSize(900, 100)},
    };
    const QSize depart = vue->size();
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.image.cx << "x" << c.image.cy << " +" << c.agrandi.width() << "+"
                                        << c.agrandi.height());
        vue->resize(depart + c.agrandi);
        Pump();
        // A frame thicker than a reduced pixel: the preview's outermost rows
        // and columns are the frame's when nothing is cut.
        Depose({Photo("cadre.bmp", c.image, [&](int x, int y) {
            const bool cadre = x < 24 || y < 24 || x >= c.image.cx - 24 || y >= c.image.cy - 24;
            return cadre ? kCadre : RGB(20, x & 0xFF, 90);
        })});
        const CSize zone = vue->TailleAffichage;
        const CSize reduit = vue->TailleApercu;
        ASSERT_LE(reduit.cx, zone.cx);
        ASSERT_LE(reduit.cy, zone.cy);
        EXPECT_TRUE(reduit.cx == zone.cx || reduit.cy == zone.cy) << "as large as the display allows";
        EXPECT_NEAR(1.0 * reduit.cx / reduit.cy, 1.0 * c.image.cx / c.image.cy, 0.02);
        const CPoint origine((zone.cx - reduit.cx) / 2, (zone.cy - reduit.cy) / 2);
        const CRect place(origine.x, origine.y, origine.x + reduit.cx, origine.y + reduit.cy);
        for (const CPoint coin : {CPoint(place.left, place.top), CPoint(place.right - 1, place.top),
                                  CPoint(place.left, place.bottom - 1), CPoint(place.right - 1, place.bottom - 1)})
            EXPECT_EQ(Pixel(vue->ImageApercu, coin.x, coin.y), kCadre) << coin.x << "," << coin.y;
        int marges = 0;
        for (int y = 0; y < zone.cy; ++y)
            for (int x = 0; x < zone.cx; ++x)
                if (!place.PtInRect(CPoint(x, y))) {
                    ++marges;
                    ASSERT_EQ(Pixel(vue->ImageApercu, x, y), Pixel(vue->ImageFond, x, y)) << x << "," << y;
                }
        EXPECT_EQ(marges, zone.cx * zone.cy - reduit.cx * reduit.cy);
        vue->Liste()->clear();
    }
}

TEST_F(ApercuVue, TenKeysTypedAreShownByOneBuildOfTheFinalText)
{
    Depose({Photo("photo.bmp", CSize(800, 600), [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 40); })});
    const int avant = vue->ApercusConstruits;
    Type(vue->PanneauTexte->GetDlgItemAs<QLineEdit>(2241), "0123456789");
    EXPECT_EQ(vue->ApercusConstruits, avant) << "nothing built while the keys come";
    ASSERT_TRUE(AttendApercu(avant));
    Pump();
    EXPECT_EQ(vue->ApercusConstruits, avant + 1);
    EXPECT_EQ(vue->CoucheTexteCourante().Texte, "0123456789");
    AttendReconstruction(*vue);
    EXPECT_TRUE(application->Document()->IsModified());
}

// Changes composed by the worker, mixed with builds made here, each shown
// as a composition made anew shows it, into the same images.
TEST_F(ApercuVue, TheWorkersPreviewIsTheSynchronousComposition)
{
    vue->StyleTexte = Contoure(400);
    Depose({Photo("photo.bmp", CSize(1500, 1000), [](int x, int y) {
        return RGB((x * 5) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF);
    })});
    const HBITMAP signee = vue->ImageSignee;
    auto* champ = vue->PanneauTexte->GetDlgItemAs<QLineEdit>(2241);
    const std::vector<std::function<void()>> changements = {
        [&] { Type(champ, "Signature"); },
        [&] { Click(Control(vue->PanneauTexte, 2253)); }, // up: other rows than before
        [&] { Type(champ, " (c) 2026"); },
        [&] { Click(Control(vue->PanneauTexte, 2254)); },
        [&] {
            champ->selectAll();
            Type(champ, "Back");
        },
    };
    for (std::size_t i = 0; i < changements.size(); ++i) {
        SCOPED_TRACE(i);
        const int avant = vue->ApercusConstruits;
        changements[i]();
        ASSERT_TRUE(AttendApercu(avant));
        Pump();
        EXPECT_EQ(vue->ImageSignee, signee) << "laid into the images shown";
        AttendReconstruction(*vue);
        if (i == 2) {
            // A build here starts from what the worker laid in.
            ModeleSignature r = vue->Reglages();
            r.EmplacementTexte = Bord(true, 0, 30);
            vue->FixeReglages(r);
            vue->ConstruitApercu();
            AttendReconstruction(*vue);
        }
    }
}

TEST_F(ApercuVue, AResultForAPictureLeftIsDroppedAndTheViewMayGoWhileTheWorkerDraws)
{
    vue->StyleTexte = Contoure(500);
    const auto motif = [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 90); };
    Depose({Photo("a.bmp", CSize(2400, 1800), motif), Photo("b.bmp", CSize(900, 700), motif)});
    auto* champ = vue->PanneauTexte->GetDlgItemAs<QLineEdit>(2241);
    Type(champ, "Late");
    Pump(); // handed to the worker
    vue->SelectionneLigne(1);
    vue->AfficheSelection();
    for (int i = 0; i < 50; ++i) {
        Pump();
        QThread::msleep(4);
    }
    EXPECT_EQ(SizeOf(vue->ImageSignee), CSize(900, 700));
    AttendReconstruction(*vue);

    Type(champ, "Gone");
    Pump();
    vue.reset(); // the worker finishes its picture alone, then stops
    Pump();
}

TEST_F(ApercuVue, TheFullSizeToggleShowsTheSignedPictureAroundTheSignature)
{
    Depose({Photo("photo.bmp", CSize(1600, 1200), [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 40); })});
    auto* bouton = vue->findChild<QToolButton*>(QStringLiteral("Apercu100"));
    auto* defilement = vue->findChild<QScrollArea*>(QStringLiteral("ApercuPleineTaille"));
    ASSERT_NE(bouton, nullptr);
    ASSERT_NE(defilement, nullptr);
    EXPECT_TRUE(bouton->isVisible());
    EXPECT_FALSE(defilement->isVisible());
    // Whatever the user sees of the full view must be the signed picture.
    const auto montre = [&] {
        const QImage pixels = static_cast<QLabel*>(defilement->widget())->pixmap().toImage();
        EXPECT_EQ(pixels.size(), QSize(1600, 1200));
        int faux = 0;
        for (int y = 0; y < pixels.height(); y += 7)
            for (int x = 0; x < pixels.width(); x += 7)
                faux += pixels.pixelColor(x, y) != QColor(GetRValue(Pixel(vue->ImageSignee, x, y)),
                                                          GetGValue(Pixel(vue->ImageSignee, x, y)),
                                                          GetBValue(Pixel(vue->ImageSignee, x, y)));
        return faux;
    };

    auto* champ = vue->PanneauTexte->GetDlgItemAs<QLineEdit>(2241);
    int avant = vue->ApercusConstruits;
    Type(champ, "Signature");
    ASSERT_TRUE(AttendApercu(avant));
    Click(bouton);
    Pump();
    EXPECT_TRUE(defilement->isVisible());
    EXPECT_TRUE(bouton->isVisible()) << "the toggle stays reachable over the full view";
    // The default signature lies in the bottom right corner: so does the view.
    const QRect vu(defilement->horizontalScrollBar()->value(), defilement->verticalScrollBar()->value(),
                   defilement->viewport()->width(), defilement->viewport()->height());
    EXPECT_TRUE(vu.contains(1590, 1190)) << vu.x() << "," << vu.y();

    avant = vue->ApercusConstruits;
    Type(champ, " at full size");
    ASSERT_TRUE(AttendApercu(avant));
    Pump();
    EXPECT_EQ(montre(), 0) << "the full view follows the signature";

    Click(bouton);
    Pump();
    EXPECT_FALSE(defilement->isVisible());
}

} // namespace
