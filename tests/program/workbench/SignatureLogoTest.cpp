// The logo panel inside a small host, driven through its controls.

#include "CGraphique.h"
#include "CSignatureLogoDlg.h"
#include "DialogDriver.h"
#include "RessourcesProgramme.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/PngFile.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace DialogDriver;
using namespace TestImages;

namespace {

constexpr UINT kHote = 60104;
constexpr int kCadre = 1401;

const bool registered = DialogTemplate::Register({
    kHote, "Host", 410, 160, "Comic Sans MS", 8, Opt::Visible, ResourceModule::Program,
    {{ControlKind::GroupBox, kCadre, "", 4, 4, 398, 147}},
});

// Counts the notifications the panel posts to its owner.
class Hote : public CDialog {
public:
    Hote() : CDialog(kHote) {}
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_CHANGEMENT_SIGNATURE)
            ++notifications;
        return 0;
    }
    int notifications = 0;
};

class SignatureLogo : public testing::Test {
protected:
    void SetUp() override
    {
        RessourcesProgramme::Enregistre();
        hote.Create();
        panneau.Create(hote.GetDlgItem(kCadre));
    }

    // The owner's set-up: stored values written, then the panel attached.
    void Attache(const CString& logo = CString())
    {
        panneau.Logo = logo;
        panneau.MaximumX = panneau.MaximumY = 2000;
        panneau.InitInstance(&hote, &graphique, 1);
        Pump();
        hote.notifications = 0;
    }

    std::string Logo(HBITMAP image)
    {
        const std::string chemin = bac.path("logo.bmp");
        EXPECT_EQ(graphique.SauveImageBMP(chemin, image), 1);
        DeleteObject(image);
        return chemin;
    }

    Sandbox bac;
    CGraphique graphique;
    Hote hote;
    CSignatureLogoDlg panneau;
};

TEST_F(SignatureLogo, ChoosingALogoShowsItsSizeItsPathAndItCentredAtItsOwnSize)
{
    Attache();
    const std::string chemin = Logo(Gradient(300, 200));
    Scripted().files.push_back({chemin});
    Click(Control(&panneau, 1616));
    Pump();

    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    const FileDialogRequest& demande = Scripted().fileDialogs[0].request;
    EXPECT_EQ(demande.title, "Logo File Loading");
    const std::string toutes = "*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.webp;*.heic;*.heif;*.avif;*.svg";
    EXPECT_EQ(demande.filter, "Jpeg (*.jpg)|*.jpg|Gif (*.gif)|*.gif|Bitmap (*.bmp)|*.bmp|Png (*.png)|*.png|"
                              "WebP (*.webp)|*.webp|Heif (*.heic;*.heif)|*.heic;*.heif|Avif (*.avif)|*.avif|"
                              "Svg (*.svg)|*.svg|All pictures (" + toutes + ")|" + toutes + "||");
    EXPECT_FALSE(demande.multiple);

    EXPECT_EQ(panneau.Logo, chemin);
    EXPECT_EQ(panneau.GetDlgItemText(1618), "(300x200)");
    EXPECT_EQ(panneau.GetDlgItemText(1617), chemin);
    EXPECT_EQ(panneau.TailleLogo, CSize(300, 200));
    EXPECT_EQ(hote.notifications, 1);
    EXPECT_EQ(panneau.Modifie, 1);

    // The preview is lower than the logo: only the logo's middle rows show.
    const CSize cadre = panneau.TailleCadre;
    ASSERT_LT(cadre.cy, 200);
    ASSERT_GT(cadre.cx, 300);
    const int x0 = (cadre.cx - 300) / 2;
    const int y0 = (cadre.cy - 200) / 2;
    HBITMAP logo = graphique.ChargeImage(chemin);
    ASSERT_NE(logo, nullptr);
    for (int x : {0, 150, 299})
        for (int y : {0, static_cast<int>(cadre.cy) - 1})
            EXPECT_EQ(Pixel(panneau.ApercuLogo, x0 + x, y), Pixel(logo, x, y - y0)) << x << "," << y;
    EXPECT_EQ(Pixel(panneau.ApercuLogo, x0 - 1, 0), Pixel(panneau.ImageCadre, x0 - 1, 0));
    EXPECT_EQ(Pixel(panneau.ApercuLogo, x0 + 300, 0), Pixel(panneau.ImageCadre, x0 + 300, 0));
    DeleteObject(logo);
}

TEST_F(SignatureLogo, AbsoluteAndAutomaticSwitchTheEnablingAndNotify)
{
    Attache();
    const auto enabled = [this](int id) { return Control(&panneau, id)->isEnabled(); };
    Click(Control(&panneau, 1602));
    Pump();
    for (int id : {1603, 1604, 1605, 1606, 1607, 1608, 1610})
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : {1612, 1614, 1609, 1611, 1613, 1615})
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_EQ(hote.notifications, 1);
    EXPECT_EQ(panneau.Modifie, 1);

    Click(Control(&panneau, 1601));
    Pump();
    for (int id : {1603, 1604, 1605, 1606, 1607, 1608, 1610, 1609, 1611, 1613, 1615})
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : {1612, 1614})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_EQ(hote.notifications, 2);
}

TEST_F(SignatureLogo, AnchorsAndMarginsReachThePlacement)
{
    Attache(Logo(Solid(640, 480, 32, RGB(9, 9, 9))));
    EXPECT_EQ(panneau.PositionLogo(CSize(640, 480)).point, CPoint(-5, -5)) << "as large as the picture";

    Click(Control(&panneau, 1603)); // Up
    Click(Control(&panneau, 1605)); // Left
    auto* dy = static_cast<QLineEdit*>(Control(&panneau, 1608));
    dy->selectAll();
    Type(dy, "12");
    Pump();
    EXPECT_EQ(panneau.PositionLogo(CSize(1000, 1000)).point, CPoint(5, 12));
    EXPECT_EQ(hote.notifications, 4) << "two clicks and two keystrokes";
}

TEST_F(SignatureLogo, AMarginAboveTheBoundWarnsAndIsStillUsed)
{
    Attache(Logo(Solid(20, 10, 32, RGB(9, 9, 9))));
    auto* dx = static_cast<QLineEdit*>(Control(&panneau, 1610));
    dx->selectAll();
    Type(dx, "2001");
    Pump();
    ASSERT_FALSE(Scripted().shown.empty());
    EXPECT_EQ(Scripted().shown.back().text, "Please enter an integer between 0 and 2000.");
    EXPECT_EQ(panneau.PositionAutomatiqueDeltaX, 2001u);
    EXPECT_EQ(panneau.PositionLogo(CSize(3000, 100)).point.x, 3000 - 2001 - 20);
    EXPECT_EQ(hote.notifications, 4);
}

TEST_F(SignatureLogo, AStoredLogoThatNoLongerLoadsLeavesNoLogo)
{
    Attache(bac.path("gone.jpg"));
    EXPECT_EQ(panneau.GetDlgItemText(1617), "*** No Selected Logo File ***");
    EXPECT_EQ(panneau.GetDlgItemText(1618), "");
    EXPECT_TRUE(panneau.Logo.empty());
    EXPECT_EQ(panneau.ImageLogo, panneau.ImageCadre);
    EXPECT_TRUE(Scripted().shown.empty()) << "no message box: " << (Scripted().shown.empty() ? "" : Scripted().shown[0].text);
}

TEST_F(SignatureLogo, ResetAndReloadingReleaseTheLogoTheyReplace)
{
    Attache(Logo(Solid(30, 20, 32, RGB(200, 0, 0))));
    ASSERT_NE(panneau.ImageLogo, panneau.ImageCadre);
    // An empty path after a logo: the logo goes (a sanitizer run sees a leak otherwise).
    panneau.ChargeLogo(CString());
    EXPECT_EQ(panneau.ImageLogo, panneau.ImageCadre);
    EXPECT_EQ(panneau.GetDlgItemText(1617), "*** No Selected Logo File ***");

    panneau.ChargeLogo(Logo(Solid(30, 20, 32, RGB(200, 0, 0))));
    panneau.ValeurDefaut();
    panneau.ChargeLogo(CString());
    panneau.ConstruitApercuLogo();
    EXPECT_EQ(panneau.ImageLogo, panneau.ImageCadre);
    EXPECT_EQ(FirstDifference(panneau.ApercuLogo, panneau.ImageCadre), "") << "background alone";
}

TEST_F(SignatureLogo, EnterAndEscapeCloseNothing)
{
    Attache();
    PressKey(Control(&panneau, 1608), Qt::Key_Return);
    PressKey(Control(&panneau, 1608), Qt::Key_Escape);
    Pump();
    EXPECT_TRUE(panneau.isVisible());
}

} // namespace

TEST_F(SignatureLogo, TransparentLogoShowsTheHatchingThrough)
{
    Attache();
    // Clear on the left half, opaque on the right.
    HBITMAP image = Gradient(40, 20);
    std::vector<std::uint8_t> alpha(40 * 20);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = i % 40 < 20 ? 0 : 255;
    const std::string chemin = bac.path("logo.png");
    ASSERT_EQ(PngFile::Sauve(chemin, *image, &alpha), 1);
    Scripted().files.push_back({chemin});
    Click(Control(&panneau, 1616));
    Pump();
    ASSERT_EQ(panneau.TailleLogo, CSize(40, 20));
    const CSize cadre = panneau.TailleCadre;
    const int x0 = (cadre.cx - 40) / 2, y0 = (cadre.cy - 20) / 2;
    for (int y : {0, 19})
        for (int x : {0, 19, 20, 39}) {
            const COLORREF attendu = x < 20 ? Pixel(panneau.ImageCadre, x0 + x, y0 + y) : Pixel(image, x, y);
            EXPECT_EQ(Pixel(panneau.ApercuLogo, x0 + x, y0 + y), attendu) << x << "," << y;
        }
    DeleteObject(image);
}
