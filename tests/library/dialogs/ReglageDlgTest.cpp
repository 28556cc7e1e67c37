// The colour-adjustment dialog, and through it the previews every
// picture-editing dialog shares.

#include "CReglageDlg.h"
#include "DialogDriver.h"
#include "RetoucheTestSupport.h"
#include "TestImages.h"

#include <QSlider>
#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace RetoucheTest;

namespace {

constexpr int kReset = 1700;
constexpr int kAvant = 1701;
constexpr int kApres = 1702;
constexpr int kLumiere = 1703;
constexpr int kTexteLumiere = 1704;
constexpr int kContraste = 1705;
constexpr int kIntensite = 1707;

class Reglage : public testing::Test {
protected:
    void TearDown() override { DeleteObject(m_image); }
    void Ouvrir(HBITMAP image)
    {
        m_image = image;
        Ouvre(dialog, m_image);
    }
    QSlider* Curseur(int id) const { return dialog.GetDlgItemAs<QSlider>(id); }
    std::string Difference() const
    {
        return TestImages::FirstDifference(dialog.ImageAffichee[0], dialog.ImageAffichee[1]);
    }

    CReglageDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Reglage, NeutralSettingsShowThePictureItselfAfter)
{
    Ouvrir(TestImages::Gradient(640, 480));
    EXPECT_EQ(Difference(), "");
    const VuePleinEcran apres = CliquePleinEcran(dialog.GetDlgItem(kApres));
    EXPECT_EQ(apres.image, m_image);
    EXPECT_EQ(apres.legende, "");
    EXPECT_EQ(apres.focus, dialog.GetDlgItem(kApres));
    // "Before" is the picture whatever the settings.
    dialog.Lumiere = 90;
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kAvant)).image, m_image);
}

TEST_F(Reglage, DraggedThumbIsFollowedByItsTextAndTheAfterPreview)
{
    Ouvrir(TestImages::Gradient(640, 480));
    QSlider* lumiere = Curseur(kLumiere);
    EXPECT_EQ(lumiere->minimum(), 0);
    EXPECT_EQ(lumiere->maximum(), 100);
    EXPECT_EQ(dialog.GetDlgItemText(kTexteLumiere), "50");

    lumiere->setSliderDown(true);
    lumiere->setSliderPosition(80);
    EXPECT_EQ(dialog.Lumiere, 80);
    EXPECT_EQ(dialog.GetDlgItemText(kTexteLumiere), "80");
    EXPECT_NE(Difference(), "");
    const COLORREF clair = PixelApercu(dialog, 1, 60, 60);
    lumiere->setSliderPosition(20);
    EXPECT_EQ(dialog.Lumiere, 20);
    EXPECT_NE(PixelApercu(dialog, 1, 60, 60), clair) << "redrawn while still dragged";
    lumiere->setSliderDown(false);
    EXPECT_EQ(dialog.Lumiere, 20);

    // A key moves the thumb a step; the move counts once it is over.
    PressKey(lumiere, Qt::Key_Right);
    Pump();
    EXPECT_EQ(dialog.Lumiere, 21);
    EXPECT_EQ(dialog.GetDlgItemText(kTexteLumiere), "21");
    EXPECT_EQ(dialog.Contraste, 50);

    const VuePleinEcran apres = CliquePleinEcran(dialog.GetDlgItem(kApres));
    EXPECT_NE(apres.image, m_image);
    EXPECT_EQ(apres.taille, CSize(640, 480));
    HBITMAP attendue = CGraphique::ReglageImage(nullptr, m_image, 21, 50, 50);
    EXPECT_EQ(apres.coin, TestImages::Pixel(attendue, 0, 0));
    DeleteObject(attendue);
}

TEST_F(Reglage, ResetPutsTheThreeSlidersBackTo50)
{
    Ouvrir(TestImages::Gradient(300, 200));
    for (const int id : {kLumiere, kContraste, kIntensite}) {
        Curseur(id)->setSliderDown(true);
        Curseur(id)->setSliderPosition(10);
        Curseur(id)->setSliderDown(false);
    }
    EXPECT_NE(Difference(), "");
    Click(dialog.GetDlgItem(kReset));
    EXPECT_EQ(dialog.Lumiere, 50);
    EXPECT_EQ(dialog.Contraste, 50);
    EXPECT_EQ(dialog.Intensite, 50);
    for (const int id : {kLumiere, kContraste, kIntensite})
        EXPECT_EQ(Curseur(id)->value(), 50);
    EXPECT_EQ(dialog.GetDlgItemText(kTexteLumiere), "50");
    EXPECT_EQ(Difference(), "");
}

TEST_F(Reglage, CancelKeepsTheLastValuesAndOkReadsTheSliders)
{
    Ouvrir(TestImages::Gradient(300, 200));
    Curseur(kContraste)->setSliderDown(true);
    Curseur(kContraste)->setSliderPosition(70);
    Curseur(kContraste)->setSliderDown(false);
    Click(dialog.GetDlgItem(IDCANCEL));
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.Contraste, 70);

    CReglageDlg autre;
    Ouvre(autre, m_image);
    // Set by the program, not the user: only OK's transfer reads it.
    autre.GetDlgItemAs<QSlider>(kIntensite)->setValue(35);
    EXPECT_EQ(autre.Intensite, 50);
    Click(autre.GetDlgItem(IDOK));
    EXPECT_EQ(autre.result(), IDOK);
    EXPECT_EQ(autre.Intensite, 35);
}

TEST_F(Reglage, SmallPictureIsShownAtItsOwnSizeCentredNeverEnlarged)
{
    Ouvrir(TestImages::Solid(60, 40, 32, RGB(10, 200, 30)));
    EXPECT_EQ(dialog.ImageReduite[0], m_image);
    EXPECT_EQ(dialog.TailleReduite[1], CSize(60, 40));
    const CSize zone = dialog.TailleZone[1];
    ASSERT_EQ(TestImages::SizeOf(dialog.ImageAffichee[1]), zone);
    const int gauche = (zone.cx - 60) / 2, haut = (zone.cy - 40) / 2;
    EXPECT_EQ(PixelApercu(dialog, 1, gauche, haut), RGB(10, 200, 30));
    EXPECT_EQ(PixelApercu(dialog, 1, gauche + 59, haut + 39), RGB(10, 200, 30));
    EXPECT_EQ(PixelApercu(dialog, 1, gauche - 1, haut), TestImages::Pixel(dialog.FondApercu[1], gauche - 1, haut));
    EXPECT_EQ(PixelApercu(dialog, 1, gauche + 60, haut + 40),
              TestImages::Pixel(dialog.FondApercu[1], gauche + 60, haut + 40));
}

TEST_F(Reglage, PicturesAreReducedToFitTheZoneBothWays)
{
    const CSize zone(178, 135);
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({800, 600}, zone), CSize(178, 133));
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({600, 800}, zone), CSize(101, 135));
    // The longer side alone would leave these higher than the zone.
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({800, 800}, zone), CSize(135, 135));
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({1000, 900}, zone), CSize(150, 135));
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({5000, 3}, zone), CSize(178, 1));
    EXPECT_EQ(CRetoucheDlg::TailleAjustee({100, 100}, zone), CSize(100, 100));

    Ouvrir(TestImages::Gradient(500, 500));
    EXPECT_LE(dialog.TailleReduite[0].cy, dialog.TailleZone[0].cy);
    EXPECT_EQ(dialog.TailleReduite[0].cx, dialog.TailleReduite[0].cy);
}

TEST_F(Reglage, TheOwnersPictureIsNeitherChangedNorReleased)
{
    HBITMAP copie = TestImages::Gradient(90, 70);
    {
        CReglageDlg court;
        m_image = TestImages::Gradient(90, 70);
        Ouvre(court, m_image);
        court.GetDlgItemAs<QSlider>(kLumiere)->setSliderDown(true);
        court.GetDlgItemAs<QSlider>(kLumiere)->setSliderPosition(0);
        court.GetDlgItemAs<QSlider>(kLumiere)->setSliderDown(false);
        CliquePleinEcran(court.GetDlgItem(kApres));
        Click(court.GetDlgItem(IDOK));
    }
    EXPECT_EQ(TestImages::SizeOf(m_image), CSize(90, 70));
    EXPECT_EQ(TestImages::FirstDifference(m_image, copie), "");
    DeleteObject(copie);
}
