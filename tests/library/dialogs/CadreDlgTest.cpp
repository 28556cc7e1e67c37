// The border dialog: pattern list, border types and what they leave open,
// the thickness field, the two colour panels and Reset.

#include "CCadreDlg.h"
#include "CCouleurDlg.h"
#include "DialogDriver.h"
#include "MotifTestSupport.h"
#include "RetoucheTestSupport.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"
#include "TestImages.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace MotifTest;
using namespace RetoucheTest;

namespace {

constexpr int kEpaisseur = 1500;
constexpr int kLiseret = 1502;
constexpr int kCadreCouleur = 1503;
constexpr int kCadreLiseret = 1504;
constexpr int kMotifs = 1506;
constexpr int kAucun = 1507;
constexpr int kMotif = 1508;
constexpr int kCouleur = 1509;
constexpr int kApercu = 1511;
constexpr int kReset = 2229;

constexpr COLORREF kVert = RGB(0, 160, 0);
constexpr COLORREF kRouge = RGB(255, 0, 0);
constexpr COLORREF kBleu = RGB(0, 0, 255);

class Cadre : public testing::Test {
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
    void Type(int aucun, int motif, int couleur, int liseret)
    {
        dialog.TypeAucun = aucun;
        dialog.TypeMotif = motif;
        dialog.TypeCouleur = couleur;
        dialog.AvecLiseret = liseret;
    }
    QListWidget* Liste() const { return dialog.GetDlgItemAs<QListWidget>(kMotifs); }
    bool Ouvert(int id) const { return dialog.GetDlgItem(id)->isEnabled(); }
    // On its box: a check box takes clicks on its box and its label only.
    void CliqueLiseret()
    {
        QWidget* boite = dialog.GetDlgItem(kLiseret);
        ClickAt(boite, QPoint(6, boite->height() / 2));
    }
    void SaisitEpaisseur(const QString& texte)
    {
        auto* champ = dialog.GetDlgItemAs<QLineEdit>(kEpaisseur);
        champ->setFocus();
        champ->selectAll();
        DialogDriver::Type(champ, texte);
    }

    CCadreDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Cadre, PatternListIsNumberedAndStartsOnTheOwnersPattern)
{
    Type(0, 1, 0, 0);
    dialog.IndexMotif = 37;
    Ouvrir(TestImages::Gradient(300, 200));
    QListWidget* liste = Liste();
    ASSERT_EQ(liste->count(), 50);
    EXPECT_EQ(liste->item(0)->text(), "01");
    EXPECT_EQ(liste->item(8)->text(), "09");
    EXPECT_EQ(liste->item(49)->text(), "50");
    EXPECT_FALSE(liste->item(49)->icon().isNull());
    EXPECT_EQ(liste->iconSize(), QSize(40, 40));
    EXPECT_TRUE(MotifSelectionneEtVisible(liste, 37));
}

TEST_F(Cadre, ClickBetweenPatternsKeepsTheChosenOneAndKeysMoveIt)
{
    Type(0, 1, 0, 0);
    dialog.IndexMotif = 3;
    Ouvrir(TestImages::Gradient(300, 200));
    QListWidget* liste = Liste();

    CliqueMotif(liste, 5);
    EXPECT_EQ(dialog.IndexMotif, 5);
    HBITMAP avant = dialog.ImageAffichee[0];
    ASSERT_TRUE(CliqueEntreMotifs(liste));
    EXPECT_EQ(dialog.IndexMotif, 5);
    EXPECT_TRUE(MotifSelectionneEtVisible(liste, 5));
    EXPECT_EQ(dialog.ImageAffichee[0], avant) << "nothing changed, nothing redrawn";

    // A selection moved with the keyboard is what OK gives, and what the preview shows.
    PressKey(liste, Qt::Key_Right);
    EXPECT_EQ(dialog.IndexMotif, 6);
    EXPECT_NE(dialog.ImageAffichee[0], avant);
}

TEST_F(Cadre, BorderTypesOpenOnlyWhatTheyUse)
{
    Ouvrir(TestImages::Solid(200, 100, 32, kVert));
    // The owner's "None": only the type radios are open, and the picture is shown as it is.
    EXPECT_TRUE(dialog.IsDlgButtonChecked(kAucun));
    for (const int id : {kMotifs, kEpaisseur, kCadreCouleur, kCadreLiseret, kLiseret})
        EXPECT_FALSE(Ouvert(id)) << id;
    for (const int id : {kAucun, kMotif, kCouleur})
        EXPECT_TRUE(Ouvert(id)) << id;
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).image, m_image);

    Click(dialog.GetDlgItem(kMotif));
    EXPECT_TRUE(Ouvert(kMotifs));
    EXPECT_TRUE(Ouvert(kEpaisseur));
    for (const int id : {kCadreCouleur, kCadreLiseret, kLiseret})
        EXPECT_FALSE(Ouvert(id)) << id;

    Click(dialog.GetDlgItem(kCouleur));
    EXPECT_FALSE(Ouvert(kMotifs));
    EXPECT_TRUE(Ouvert(kCadreCouleur));
    EXPECT_TRUE(Ouvert(kLiseret));
    EXPECT_FALSE(Ouvert(kCadreLiseret));
    CliqueLiseret();
    EXPECT_TRUE(Ouvert(kCadreLiseret));
    // Back to a pattern with "Borderline" still checked: no borderline colour to choose.
    Click(dialog.GetDlgItem(kMotif));
    EXPECT_TRUE(dialog.IsDlgButtonChecked(kLiseret));
    EXPECT_FALSE(Ouvert(kCadreLiseret));

    // Both panels are inside their frames, their "Transparent" box hidden.
    EXPECT_TRUE(dialog.PanneauCadre->BoutonTransparent->isHidden());
    EXPECT_TRUE(dialog.PanneauLiseret->BoutonTransparent->isHidden());
    EXPECT_EQ(dialog.PanneauCadre->parentWidget(), dialog.GetDlgItem(kCadreCouleur));
    EXPECT_EQ(dialog.PanneauLiseret->parentWidget(), dialog.GetDlgItem(kCadreLiseret));
}

TEST_F(Cadre, ColourBorderFollowsThePanelAndTheThickness)
{
    Type(0, 0, 1, 0);
    dialog.Epaisseur = 10;
    dialog.CouleurCadre = kBleu;
    Ouvrir(TestImages::Solid(200, 100, 32, kVert));
    ASSERT_EQ(dialog.PanneauCadre->Couleur, kBleu);

    Scripted().colours.push_back(kRouge);
    Click(dialog.PanneauCadre->GetDlgItem(1409));
    Pump();
    EXPECT_EQ(dialog.CouleurCadre, kRouge);
    // The preview is the bordered picture reduced: red all round, green inside.
    const CSize zone = dialog.TailleZone[0];
    EXPECT_EQ(PixelApercu(dialog, 0, zone.cx / 2, zone.cy / 2), kVert);
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.taille, CSize(220, 120));
    EXPECT_EQ(vue.coin, kRouge);
    EXPECT_EQ(vue.focus, dialog.GetDlgItem(kApercu));

    // A spin step is a thickness typed.
    dialog.GetDlgItemAs<SpinButton>(1501)->Step(+1);
    EXPECT_EQ(dialog.Epaisseur, 11u);
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).taille, CSize(222, 122));
}

TEST_F(Cadre, ResetGivesNoneThickness20AndBlack)
{
    Type(0, 0, 1, 1);
    dialog.Epaisseur = 7;
    dialog.CouleurCadre = kRouge;
    dialog.CouleurLiseret = kBleu;
    Ouvrir(TestImages::Solid(200, 100, 32, kVert));

    Click(dialog.GetDlgItem(kReset));
    EXPECT_TRUE(dialog.IsDlgButtonChecked(kAucun));
    for (const int id : {kMotif, kCouleur, kLiseret})
        EXPECT_FALSE(dialog.IsDlgButtonChecked(id)) << id;
    EXPECT_EQ(dialog.GetDlgItemText(kEpaisseur), "20");
    EXPECT_EQ(dialog.Epaisseur, 20u);
    EXPECT_EQ(dialog.CouleurCadre, RGB(0, 0, 0));
    EXPECT_EQ(dialog.CouleurLiseret, RGB(0, 0, 0));
    EXPECT_EQ(dialog.PanneauCadre->GetDlgItemText(1402), "0");
    EXPECT_FALSE(Ouvert(kEpaisseur));
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).image, m_image);

    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.TypeAucun, 1);
    EXPECT_EQ(dialog.TypeCouleur, 0);
    EXPECT_EQ(dialog.AvecLiseret, 0);
}

TEST_F(Cadre, ThicknessOutOfRangeIsWarnedRefusedAndKeepsTheDialogOpen)
{
    Type(0, 0, 1, 0);
    dialog.Epaisseur = 10;
    Ouvrir(TestImages::Solid(200, 100, 32, kVert));

    SaisitEpaisseur("60");
    ASSERT_EQ(Scripted().shown.size(), 1u) << "6 passes, 60 does not";
    EXPECT_EQ(Scripted().shown[0].text, "Please enter an integer between 1 and 50.");
    EXPECT_EQ(dialog.Epaisseur, 6u);
    EXPECT_EQ(dialog.GetDlgItemText(kEpaisseur), "60") << "left for the user to correct";
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).taille, CSize(212, 112));

    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(Scripted().shown.size(), 2u) << "one warning for OK";
    EXPECT_NE(dialog.result(), IDOK);
    EXPECT_TRUE(dialog.isVisible());

    // An empty field is no thickness either.
    SaisitEpaisseur("");
    PressKey(dialog.GetDlgItem(kEpaisseur), Qt::Key_Backspace);
    ASSERT_EQ(Scripted().shown.size(), 3u);
    EXPECT_EQ(Scripted().shown[2].text, "Please enter a positive integer.");
    EXPECT_EQ(dialog.Epaisseur, 6u);

    SaisitEpaisseur("30");
    CliqueLiseret();
    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.Epaisseur, 30u);
    EXPECT_EQ(dialog.TypeAucun, 0);
    EXPECT_EQ(dialog.TypeMotif, 0);
    EXPECT_EQ(dialog.TypeCouleur, 1);
    EXPECT_EQ(dialog.AvecLiseret, 1);
}
