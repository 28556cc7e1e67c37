// The resize dialog: a percentage or a size, the proportion kept both ways,
// and the 2000-pixel limit.

#include "CRedimensionDlg.h"
#include "DialogDriver.h"
#include "RetoucheTestSupport.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"
#include "TestImages.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace RetoucheTest;

namespace {

constexpr int kApercu = 2213;
constexpr int kModePourcentage = 2214;
constexpr int kModeTaille = 2215;
constexpr int kLargeur = 2216;
constexpr int kHauteur = 2218;
constexpr int kPourcentage = 2220;
constexpr int kProportion = 2222;
constexpr int kReset = 2223;

class Redimension : public testing::Test {
protected:
    void TearDown() override { DeleteObject(m_image); }
    void Ouvrir(int largeur, int hauteur)
    {
        m_image = TestImages::Gradient(largeur, hauteur);
        Ouvre(dialog, m_image);
    }
    void Saisit(int id, const QString& texte)
    {
        auto* champ = dialog.GetDlgItemAs<QLineEdit>(id);
        champ->setFocus();
        champ->selectAll();
        Type(champ, texte);
    }
    bool Actif(int id) const { return dialog.GetDlgItem(id)->isEnabled(); }

    CRedimensionDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Redimension, PercentageRunsTo200AndFullScreenIsTheHalftoneResult)
{
    Ouvrir(1000, 500);
    EXPECT_DOUBLE_EQ(dialog.Proportion, 2.0);
    auto* spin = dialog.GetDlgItemAs<SpinButton>(2221);
    EXPECT_EQ(spin->Lower(), 1);
    EXPECT_EQ(spin->Upper(), 200);
    EXPECT_EQ(dialog.GetDlgItemText(kPourcentage), "100");
    EXPECT_TRUE(Actif(kPourcentage));
    EXPECT_FALSE(Actif(kLargeur));
    EXPECT_FALSE(Actif(kProportion));

    Saisit(kPourcentage, "150");
    EXPECT_EQ(dialog.Pourcentage, 150);
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.taille, CSize(1500, 750));
    EXPECT_EQ(vue.legende, "(1000x500) -> (1500x750)");
    EXPECT_EQ(vue.focus, dialog.GetDlgItem(kApercu));

    Saisit(kPourcentage, "50");
    const VuePleinEcran moitie = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(moitie.legende, "(1000x500) -> (500x250)");
    HBITMAP attendue = CGraphique::RedimensionneImage(nullptr, m_image, {500, 250}, 0);
    EXPECT_EQ(moitie.coin, TestImages::Pixel(attendue, 0, 0));
    DeleteObject(attendue);
}

TEST_F(Redimension, BeyondTheLimitNothingFollowsAndOkComesBackAt100)
{
    Ouvrir(1000, 500);
    Saisit(kPourcentage, "25");
    HBITMAP montre = dialog.ImageAffichee[0];
    Type(dialog.GetDlgItem(kPourcentage), "0");
    EXPECT_EQ(dialog.Pourcentage, 250);
    EXPECT_EQ(dialog.ControleValeurs(), 0);
    EXPECT_EQ(dialog.ImageAffichee[0], montre);
    Click(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_ICONEXCLAMATION});

    Click(dialog.GetDlgItem(IDOK));
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to validate data.");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.ModePourcentage, 1);
    EXPECT_EQ(dialog.Pourcentage, 100);
    EXPECT_EQ(dialog.ConserveProportion, 1);
    EXPECT_EQ(dialog.NouvelleLargeur, 1000);
    EXPECT_EQ(dialog.NouvelleHauteur, 500);
}

TEST_F(Redimension, KeptProportionFollowsTheWidthAndTheHeight)
{
    Ouvrir(800, 600);
    Click(dialog.GetDlgItem(kModeTaille));
    EXPECT_EQ(dialog.ModePourcentage, 0);
    EXPECT_FALSE(Actif(kPourcentage));
    EXPECT_TRUE(Actif(kLargeur));
    EXPECT_TRUE(Actif(kHauteur));
    Saisit(kLargeur, "400");
    EXPECT_EQ(dialog.NouvelleHauteur, 300);
    EXPECT_EQ(dialog.GetDlgItemText(kHauteur), "300");
    Saisit(kHauteur, "301");
    EXPECT_EQ(dialog.NouvelleLargeur, 401) << "401.33 truncated";
    EXPECT_EQ(dialog.GetDlgItemText(kLargeur), "401");

    // Off, the fields are free; on again, the height follows the width.
    Click(dialog.GetDlgItem(kProportion));
    Saisit(kLargeur, "100");
    EXPECT_EQ(dialog.NouvelleHauteur, 301);
    Click(dialog.GetDlgItem(kProportion));
    EXPECT_EQ(dialog.GetDlgItemText(kHauteur), "75");
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.legende, "(800x600) -> (100x75)");
}

TEST_F(Redimension, SwitchingToAnEmptySizeLeavesThePreviewUntilBothSidesAreSet)
{
    Ouvrir(800, 600);
    HBITMAP montre = dialog.ImageAffichee[0];
    ASSERT_NE(montre, nullptr);
    Click(dialog.GetDlgItem(kModeTaille));
    EXPECT_EQ(dialog.ImageAffichee[0], montre);
    Click(dialog.GetDlgItem(kProportion));
    Saisit(kLargeur, "60");
    EXPECT_EQ(dialog.ImageAffichee[0], montre);
    Saisit(kHauteur, "40");
    ASSERT_NE(dialog.ImageAffichee[0], montre);
    // At real scale: a 60 x 40 picture centred on the background.
    const CSize zone = dialog.TailleZone[0];
    const int gauche = (zone.cx - 60) / 2, haut = (zone.cy - 40) / 2;
    EXPECT_EQ(PixelApercu(dialog, 0, gauche - 1, haut), TestImages::Pixel(dialog.FondApercu[0], gauche - 1, haut));
    EXPECT_NE(PixelApercu(dialog, 0, gauche, haut), TestImages::Pixel(dialog.FondApercu[0], gauche, haut));
}

TEST_F(Redimension, ResetGivesThePicturesOwnSizeAt100Percent)
{
    dialog.ModePourcentage = 0;
    dialog.ConserveProportion = 0;
    dialog.NouvelleLargeur = 30;
    dialog.NouvelleHauteur = 90;
    Ouvrir(640, 480);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kModeTaille), BST_CHECKED);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kProportion), BST_UNCHECKED);
    Click(dialog.GetDlgItem(kReset));
    EXPECT_EQ(dialog.IsDlgButtonChecked(kModePourcentage), BST_CHECKED);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kProportion), BST_CHECKED);
    EXPECT_EQ(dialog.GetDlgItemText(kLargeur), "640");
    EXPECT_EQ(dialog.GetDlgItemText(kHauteur), "480");
    EXPECT_EQ(dialog.GetDlgItemText(kPourcentage), "100");
    EXPECT_TRUE(Actif(kPourcentage));
    EXPECT_FALSE(Actif(kLargeur));
}
