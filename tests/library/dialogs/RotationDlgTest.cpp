// The rotation dialog: three toggling buttons whose angles replace each other.

#include "CRotationDlg.h"
#include "DialogDriver.h"
#include "RetoucheTestSupport.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace RetoucheTest;

namespace {

constexpr int kApercu = 1601;
constexpr int kGauche = 1602;
constexpr int kInverse = 1603;
constexpr int kDroite = 1604;
constexpr int kReset = 2230;

constexpr COLORREF kRouge = RGB(255, 0, 0);
constexpr COLORREF kBleu = RGB(0, 0, 255);

// Red on the left half, blue on the right: a half turn swaps them.
HBITMAP DeuxMoities(int largeur, int hauteur)
{
    return TestImages::Make(largeur, hauteur, 32, [largeur](int x, int) { return x < largeur / 2 ? kRouge : kBleu; });
}

// The size of the owner's own rotation of the full picture.
CSize TailleTournee(HBITMAP image, int angle)
{
    HBITMAP tournee = CGraphique::RotationImage(nullptr, image, angle);
    const CSize taille = TestImages::SizeOf(tournee);
    DeleteObject(tournee);
    return taille;
}

class Rotation : public testing::Test {
protected:
    void TearDown() override { DeleteObject(m_image); }
    void Ouvrir(int largeur, int hauteur)
    {
        m_image = DeuxMoities(largeur, hauteur);
        Ouvre(dialog, m_image);
    }
    std::vector<UINT> Coches() const
    {
        return {dialog.IsDlgButtonChecked(kGauche), dialog.IsDlgButtonChecked(kInverse),
                dialog.IsDlgButtonChecked(kDroite)};
    }
    // Pixel of the preview at a point given from the zone's centre.
    COLORREF DuCentre(int dx, int dy) const
    {
        return PixelApercu(dialog, 0, dialog.TailleZone[0].cx / 2 + dx, dialog.TailleZone[0].cy / 2 + dy);
    }

    CRotationDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Rotation, EachButtonTogglesItsOwnAngleAndAnglesNeverAdd)
{
    Ouvrir(400, 300);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 0, 0}));
    Click(dialog.GetDlgItem(kDroite));
    EXPECT_EQ(dialog.Angle, 180);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 0, 1}));
    Click(dialog.GetDlgItem(kDroite));
    EXPECT_EQ(dialog.Angle, 0);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 0, 0}));
    EXPECT_EQ(DuCentre(-20, 0), kRouge) << "unturned again";

    Click(dialog.GetDlgItem(kDroite));
    Click(dialog.GetDlgItem(kInverse));
    EXPECT_EQ(dialog.Angle, 360);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 1, 0}));
    Click(dialog.GetDlgItem(kGauche));
    EXPECT_EQ(dialog.Angle, -180);
    EXPECT_EQ(Coches(), (std::vector<UINT>{1, 0, 0}));
    Click(dialog.GetDlgItem(kReset));
    EXPECT_EQ(dialog.Angle, 0);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 0, 0}));
}

TEST_F(Rotation, PresetHalfTurnIsCheckedAndPreviewedAtStart)
{
    dialog.Angle = 360;
    Ouvrir(400, 300);
    EXPECT_EQ(Coches(), (std::vector<UINT>{0, 1, 0}));
    EXPECT_EQ(DuCentre(-20, 0), kBleu);
    EXPECT_EQ(DuCentre(20, 0), kRouge);

    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    ASSERT_TRUE(vue.ouverte);
    EXPECT_NE(vue.image, m_image);
    EXPECT_EQ(vue.taille, TailleTournee(m_image, 360));
    EXPECT_EQ(vue.coin, kBleu);
    EXPECT_EQ(vue.legende, "");
    EXPECT_EQ(vue.focus, dialog.GetDlgItem(kApercu));
}

TEST_F(Rotation, QuarterTurnOfAWidePictureIsReducedAgainToFit)
{
    Ouvrir(800, 400);
    const CSize zone = dialog.TailleZone[0];
    ASSERT_EQ(dialog.TailleReduite[0].cx, zone.cx);
    Click(dialog.GetDlgItem(kDroite));
    ASSERT_EQ(TestImages::SizeOf(dialog.ImageAffichee[0]), zone);
    // Turned, the reduced picture is as high as the zone was wide: fitted
    // again, it spans the zone's height and half its own former height.
    EXPECT_EQ(DuCentre(0, -zone.cy / 2 + 1), kRouge);
    EXPECT_EQ(DuCentre(0, zone.cy / 2 - 2), kBleu);
    const COLORREF fond = TestImages::Pixel(dialog.FondApercu[0], zone.cx / 2 - zone.cy / 4 - 3, zone.cy / 2);
    EXPECT_EQ(DuCentre(-zone.cy / 4 - 3, 0), fond) << "narrower than the unfitted turn";

    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.taille, TailleTournee(m_image, 180));
    EXPECT_GT(vue.taille.cy, vue.taille.cx);
}

TEST_F(Rotation, WithoutAngleTheFullScreenViewIsTheOwnersPicture)
{
    Ouvrir(120, 90);
    // Small enough to be its own preview.
    EXPECT_EQ(dialog.ImageReduite[0], m_image);
    const VuePleinEcran vue = CliquePleinEcran(dialog.GetDlgItem(kApercu));
    EXPECT_EQ(vue.image, m_image);
    EXPECT_TRUE(Scripted().beeps.empty());
}
