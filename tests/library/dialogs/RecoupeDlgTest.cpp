// The crop dialog: four fields, an outlined "Before" and a cropped "After".

#include "CRecoupeDlg.h"
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

constexpr int kAvant = 2201;
constexpr int kApres = 2202;
constexpr int kX1 = 2203;
constexpr int kY1 = 2204;
constexpr int kX2 = 2205;
constexpr int kY2 = 2206;
constexpr int kReset = 2211;

constexpr COLORREF kVert = RGB(0, 160, 0);
constexpr COLORREF kRouge = RGB(255, 0, 0);

class Recoupe : public testing::Test {
protected:
    void TearDown() override { DeleteObject(m_image); }
    void Ouvrir(HBITMAP image)
    {
        m_image = image;
        Ouvre(dialog, m_image);
    }
    // Replaces the field's text as a user selecting it and typing does.
    void Saisit(int id, const QString& texte)
    {
        auto* champ = dialog.GetDlgItemAs<QLineEdit>(id);
        champ->setFocus();
        champ->selectAll();
        Type(champ, texte);
    }
    void Rectangle(int x1, int y1, int x2, int y2)
    {
        Saisit(kX1, QString::number(x1));
        Saisit(kY1, QString::number(y1));
        Saisit(kX2, QString::number(x2));
        Saisit(kY2, QString::number(y2));
    }
    std::vector<CString> Champs() const
    {
        return {dialog.GetDlgItemText(kX1), dialog.GetDlgItemText(kY1), dialog.GetDlgItemText(kX2),
                dialog.GetDlgItemText(kY2)};
    }

    CRecoupeDlg dialog;
    HBITMAP m_image = nullptr;
};

} // namespace

TEST_F(Recoupe, ResetTakesTheWholePicture)
{
    Ouvrir(TestImages::Gradient(800, 600));
    // Nothing valid yet: the previews show their background only.
    EXPECT_EQ(dialog.ImageAffichee[0], nullptr);
    EXPECT_EQ(dialog.GetDlgItemAs<SpinButton>(2207)->Upper(), 800);
    EXPECT_EQ(dialog.GetDlgItemAs<SpinButton>(2210)->Upper(), 600);

    Click(dialog.GetDlgItem(kReset));
    EXPECT_EQ(dialog.ZoneRecoupe, CRect(0, 0, 800, 600));
    EXPECT_EQ(Champs(), (std::vector<CString>{"0", "0", "800", "600"}));
    ASSERT_NE(dialog.ImageAffichee[1], nullptr);
    const VuePleinEcran apres = CliquePleinEcran(dialog.GetDlgItem(kApres));
    EXPECT_EQ(apres.taille, CSize(800, 600));
    EXPECT_EQ(apres.legende, "(800x600) -> (800x600)");
    EXPECT_EQ(apres.focus, dialog.GetDlgItem(kApres));
}

TEST_F(Recoupe, TypedRectangleIsCroppedAtFullSizeAndOutlinedBefore)
{
    Ouvrir(TestImages::Gradient(800, 600));
    Rectangle(100, 50, 300, 250);
    EXPECT_EQ(dialog.ZoneRecoupe, CRect(100, 50, 300, 250));
    const VuePleinEcran apres = CliquePleinEcran(dialog.GetDlgItem(kApres));
    EXPECT_EQ(apres.taille, CSize(200, 200));
    EXPECT_EQ(apres.legende, "(800x600) -> (200x200)");
    EXPECT_EQ(apres.coin, TestImages::Pixel(m_image, 100, 50));

    const VuePleinEcran avant = CliquePleinEcran(dialog.GetDlgItem(kAvant));
    EXPECT_EQ(avant.taille, CSize(800, 600));
    EXPECT_EQ(avant.legende, "(800x600)");
    EXPECT_EQ(avant.focus, dialog.GetDlgItem(kApres));

    // A spin step is an edit like any other.
    dialog.GetDlgItemAs<SpinButton>(2209)->Step(+1);
    EXPECT_EQ(dialog.ZoneRecoupe.right, 301);
}

TEST_F(Recoupe, BeforeOutlineIsRedAndOnePixelWideOnTheReducedPicture)
{
    Ouvrir(TestImages::Solid(800, 600, 32, kVert));
    Rectangle(100, 50, 300, 250);
    ASSERT_EQ(dialog.TailleReduite[0], CSize(178, 133));
    const CSize zone = dialog.TailleZone[0];
    const int ox = (zone.cx - 178) / 2, oy = (zone.cy - 133) / 2;
    // 100 x 178 / 800 = 22.25 and 300 x 178 / 800 = 66.75, truncated.
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 21, oy + 30), kVert);
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 22, oy + 30), kRouge);
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 23, oy + 30), kVert);
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 65, oy + 30), kRouge);
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 66, oy + 30), kVert);
    EXPECT_EQ(PixelApercu(dialog, 0, ox + 40, oy + 11), kRouge);
    // "After" is the 44 x 44 piece, centred.
    EXPECT_EQ(PixelApercu(dialog, 1, zone.cx / 2, zone.cy / 2), kVert);
    EXPECT_EQ(PixelApercu(dialog, 1, zone.cx / 2 - 23, zone.cy / 2),
              TestImages::Pixel(dialog.FondApercu[1], zone.cx / 2 - 23, zone.cy / 2));
}

TEST_F(Recoupe, ZeroWidthFreezesThePreviewsBeepsAndComesBackWhole)
{
    Ouvrir(TestImages::Gradient(800, 600));
    Rectangle(100, 50, 300, 250);
    HBITMAP avant = dialog.ImageAffichee[0], apres = dialog.ImageAffichee[1];
    Saisit(kX2, "100");
    EXPECT_EQ(dialog.ControleValeurs(), 0);
    EXPECT_EQ(dialog.ImageAffichee[0], avant);
    EXPECT_EQ(dialog.ImageAffichee[1], apres);

    Click(dialog.GetDlgItem(kApres));
    Click(dialog.GetDlgItem(kAvant));
    EXPECT_EQ(Scripted().beeps, (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}));

    Click(dialog.GetDlgItem(IDOK));
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to validate data.");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    EXPECT_EQ(Scripted().shown[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.ZoneRecoupe, CRect(0, 0, 800, 600));
}

TEST_F(Recoupe, OwnersRectangleIsShownAndAValidOneIsKeptAtOk)
{
    dialog.ZoneRecoupe = CRect(10, 20, 30, 40);
    Ouvrir(TestImages::Gradient(100, 80));
    EXPECT_EQ(Champs(), (std::vector<CString>{"10", "20", "30", "40"}));
    ASSERT_NE(dialog.ImageAffichee[1], nullptr);
    // Small picture, no reduction: "After" is the 20 x 20 piece itself.
    const CSize zone = dialog.TailleZone[1];
    EXPECT_EQ(PixelApercu(dialog, 1, (zone.cx - 20) / 2, (zone.cy - 20) / 2), TestImages::Pixel(m_image, 10, 20));
    Click(dialog.GetDlgItem(IDOK));
    EXPECT_TRUE(Scripted().shown.empty());
    EXPECT_EQ(dialog.ZoneRecoupe, CRect(10, 20, 30, 40));
}
