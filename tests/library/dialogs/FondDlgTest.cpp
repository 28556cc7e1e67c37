// The background dialog: the canvas, the hidden no-background state, the
// pattern list and Reset.

#include "CCouleurDlg.h"
#include "CFondDlg.h"
#include "DialogDriver.h"
#include "MotifTestSupport.h"
#include "RetoucheTestSupport.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace MotifTest;
using namespace RetoucheTest;

namespace {

constexpr int kApercu = 2231;
constexpr int kCadreCouleur = 2232;
constexpr int kAucun = 2233;
constexpr int kMotif = 2234;
constexpr int kCouleur = 2235;
constexpr int kMotifs = 2236;
constexpr int kReset = 2228;

constexpr COLORREF kVert = RGB(0, 160, 0);
constexpr COLORREF kRouge = RGB(255, 0, 0);

class Fond : public testing::Test {
protected:
    void TearDown() override
    {
        dialog.DesInitInstance();
        DeleteObject(m_image);
    }
    void Ouvrir(HBITMAP image)
    {
        m_image = image;
        Ouvre(dialog, m_image);
    }
    void Type(int aucun, int motif, int couleur)
    {
        dialog.TypeAucun = aucun;
        dialog.TypeMotif = motif;
        dialog.TypeCouleur = couleur;
    }
    QListWidget* Liste() const { return dialog.GetDlgItemAs<QListWidget>(kMotifs); }
    bool Ouvert(int id) const { return dialog.GetDlgItem(id)->isEnabled(); }

    CFondDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Fond, CanvasHasTheScreensSizeAndDepth)
{
    int profondeur = 0;
    const CSize ecran = CGraphique::RetourneTailleEcran(&profondeur);
    ASSERT_GT(ecran.cx, 0);
    EXPECT_EQ(dialog.TailleFond, ecran);
    EXPECT_EQ(dialog.ProfondeurFond, profondeur);
}

TEST_F(Fond, PictureLandsInTheMiddleOfTheCanvas)
{
    dialog.TailleFond = CSize(1024, 768);
    dialog.CouleurUnie = kRouge;
    Ouvrir(TestImages::Solid(640, 480, 32, kVert));
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.taille, CSize(1024, 768));
    EXPECT_EQ(vue.coin, kRouge);
    EXPECT_EQ(vue.focus, dialog.GetDlgItem(kApercu));
    // Reduced to the preview: canvas colour at the edge, picture in the middle.
    const CSize zone = dialog.TailleZone[0];
    EXPECT_EQ(PixelApercu(dialog, 0, zone.cx / 2, zone.cy / 2), kVert);
    EXPECT_EQ(PixelApercu(dialog, 0, zone.cx / 2, (zone.cy - zone.cx * 768 / 1024) / 2 + 1), kRouge);
}

TEST_F(Fond, ResetSelectsBlackColourAndClosesTheList)
{
    Type(0, 1, 0);
    dialog.IndexMotif = 4;
    dialog.CouleurUnie = kRouge;
    dialog.TailleFond = CSize(400, 300);
    Ouvrir(TestImages::Solid(100, 50, 32, kVert));
    EXPECT_TRUE(Ouvert(kMotifs));
    EXPECT_FALSE(Ouvert(kCadreCouleur));
    EXPECT_TRUE(dialog.PanneauCouleur->BoutonTransparent->isHidden());

    Click(dialog.GetDlgItem(kReset));
    EXPECT_TRUE(dialog.IsDlgButtonChecked(kCouleur));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(kMotif));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(kAucun));
    EXPECT_EQ(dialog.CouleurUnie, RGB(0, 0, 0));
    EXPECT_EQ(dialog.PanneauCouleur->Couleur, RGB(0, 0, 0));
    EXPECT_TRUE(Ouvert(kCadreCouleur));
    EXPECT_FALSE(Ouvert(kMotifs));
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).coin, RGB(0, 0, 0));

    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.TypeCouleur, 1);
    EXPECT_EQ(dialog.TypeMotif, 0);
    EXPECT_EQ(dialog.IndexMotif, 4);
}

TEST_F(Fond, OnlyTheOwnerAsksForNoBackground)
{
    Type(1, 0, 0);
    Ouvrir(TestImages::Solid(100, 50, 32, kVert));
    EXPECT_TRUE(dialog.GetDlgItem(kAucun)->isHidden());
    EXPECT_FALSE(Ouvert(kMotifs));
    EXPECT_FALSE(Ouvert(kCadreCouleur));
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).image, m_image);

    // Choosing a type leaves the hidden state for good.
    Click(dialog.GetDlgItem(kMotif));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(kAucun));
    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(dialog.TypeAucun, 0);
    EXPECT_EQ(dialog.TypeMotif, 1);
}

TEST_F(Fond, PatternClickedIsDrawnAndAClickBetweenKeepsIt)
{
    Type(0, 1, 0);
    dialog.TailleFond = CSize(400, 300);
    Ouvrir(TestImages::Solid(100, 50, 32, kVert));
    // No pattern yet: nothing to draw.
    EXPECT_EQ(dialog.ImageAffichee[0], nullptr);
    ASSERT_TRUE(CliqueEntreMotifs(Liste()));
    EXPECT_EQ(dialog.IndexMotif, -1);
    EXPECT_TRUE(Liste()->selectedItems().isEmpty());

    CliqueMotif(Liste(), 12);
    EXPECT_EQ(dialog.IndexMotif, 12);
    ASSERT_NE(dialog.ImageAffichee[0], nullptr);
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.taille, CSize(400, 300));
    EXPECT_EQ(vue.coin, TestImages::Pixel(Graphique().Motif(12), 0, 0));

    ASSERT_TRUE(CliqueEntreMotifs(Liste()));
    EXPECT_EQ(dialog.IndexMotif, 12);
    EXPECT_TRUE(MotifSelectionneEtVisible(Liste(), 12));
}
