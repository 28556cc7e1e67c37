// The text dialog: five tabbed pages, the records they edit, and where and
// in which order the texts land on the picture.

#include "CCouleurDlg.h"
#include "CMiniTexteDlg.h"
#include "CTexteDlg.h"
#include "DialogDriver.h"
#include "RetoucheTestSupport.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace DialogDriver;
using namespace RetoucheTest;

namespace {

constexpr int kApercu = 2238;
constexpr int kReset = 2239;
constexpr int kOnglets = 2240;
constexpr int kTexte = 2241;

constexpr COLORREF kBlanc = RGB(255, 255, 255);
constexpr COLORREF kRouge = RGB(255, 0, 0);
constexpr COLORREF kBleu = RGB(0, 0, 255);

// A text in one colour on a background of the same colour: every pixel of
// its box takes it, which shows exactly where the box lies.
T_TEXTE Pave(const char* texte, COLORREF couleur)
{
    T_TEXTE t;
    t.Actif = 1;
    t.Texte = texte;
    t.Fonte.lfHeight = -20;
    std::strcpy(t.Fonte.lfFaceName, "DejaVu Sans");
    t.CouleurEncre = couleur;
    t.CouleurFond = couleur;
    t.CouleurFondTransparent = 0;
    return t;
}

// Columns, then rows, holding colour within image: the box's extent.
struct Etendue {
    int gauche = -1, droite = -1, haut = -1, bas = -1;
};
Etendue EtendueDe(HBITMAP image, COLORREF couleur)
{
    Etendue e;
    const CSize taille = TestImages::SizeOf(image);
    for (int y = 0; y < taille.cy; ++y)
        for (int x = 0; x < taille.cx; ++x) {
            if (TestImages::Pixel(image, x, y) != couleur)
                continue;
            if (e.gauche < 0 || x < e.gauche)
                e.gauche = x;
            e.droite = std::max(e.droite, x);
            if (e.haut < 0)
                e.haut = y;
            e.bas = y;
        }
    return e;
}

class Ecriture : public testing::Test {
protected:
    void TearDown() override
    {
        DeleteObject(m_resultat);
        DeleteObject(m_image);
    }
    HBITMAP Ecrit(CSize taille, const CTexteDlg::Textes_t& textes)
    {
        m_image = TestImages::Solid(taille.cx, taille.cy, 32, kBlanc);
        HDC dc = GetDC(nullptr);
        m_resultat = CTexteDlg::EcritureTextes(Graphique(), dc, m_image, textes);
        ReleaseDC(nullptr, dc);
        return m_resultat;
    }
    HBITMAP m_image = nullptr;
    HBITMAP m_resultat = nullptr;
};

class Texte : public testing::Test {
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
        m_nu = Apercu();
    }
    std::vector<COLORREF> Apercu() const
    {
        std::vector<COLORREF> pixels;
        const CSize zone = dialog.TailleZone[0];
        for (int y = 0; y < zone.cy; ++y)
            for (int x = 0; x < zone.cx; ++x)
                pixels.push_back(PixelApercu(dialog, 0, x, y));
        return pixels;
    }
    QLineEdit* Edit(int page) const { return dialog.Pages[page]->GetDlgItemAs<QLineEdit>(kTexte); }
    void Onglet(int index)
    {
        QTabBar* barre = dialog.Onglets->tabBar();
        ClickAt(barre, barre->tabRect(index).center());
    }

    CTexteDlg dialog;
    HBITMAP m_image = nullptr;
    std::vector<COLORREF> m_nu; // the preview of the bare picture
};

} // namespace

TEST_F(Texte, FiveNumberedTabsShowOnePageAtATime)
{
    Ouvrir(TestImages::Gradient(640, 480));
    ASSERT_EQ(dialog.Onglets, dialog.GetDlgItem(kOnglets));
    ASSERT_EQ(dialog.Onglets->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dialog.Onglets->tabText(i), QString("Text n°%1").arg(i + 1));
        // Each page fits in the tab control, under its tabs.
        EXPECT_TRUE(dialog.Onglets->rect().contains(dialog.Pages[i]->geometry())) << i;
        EXPECT_GE(dialog.Pages[i]->y(), dialog.Onglets->tabBar()->height());
        EXPECT_EQ(dialog.Pages[i]->isVisible(), i == 0) << i;
    }
    Onglet(2);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(dialog.Pages[i]->isVisible(), i == 2) << i;
}

TEST_F(Texte, RecordsFillThePagesWithThePictureAsBound)
{
    T_TEXTE t = Pave("abc", kRouge);
    t.PositionAutomatique = 1;
    t.PositionVerticale = 1;
    t.PositionHorizontale = 2;
    t.PositionAutomatiqueDeltaX = 7;
    t.PositionAutomatiqueDeltaY = 9;
    t.CouleurFond = kBleu;
    dialog.Textes[1] = t;
    Ouvrir(TestImages::Solid(640, 480, 32, kBlanc));
    const CMiniTexteDlg& page = *dialog.Pages[1];
    EXPECT_EQ(Edit(1)->text(), "abc");
    EXPECT_TRUE(page.PositionAutomatique->isChecked());
    EXPECT_FALSE(page.PositionAbsolue->isChecked());
    EXPECT_TRUE(page.PositionAutomatiqueBas->isChecked());
    EXPECT_FALSE(page.PositionAutomatiqueHaut->isChecked());
    EXPECT_TRUE(page.PositionAutomatiqueContinue->isChecked());
    EXPECT_FALSE(page.PositionAutomatiqueDroite->isChecked());
    EXPECT_EQ(page.PositionAutomatiqueDeltaX, 7u);
    EXPECT_EQ(page.CouleurEncre->Couleur, kRouge);
    EXPECT_EQ(page.CouleurFond->Couleur, kBleu);
    EXPECT_FALSE(page.CouleurFond->BoutonTransparent->isChecked());
    EXPECT_EQ(page.MaximumX, 640u);
    EXPECT_EQ(page.MaximumY, 480u);
    const std::vector<COLORREF> apercu = Apercu();
    EXPECT_GT(std::count(apercu.begin(), apercu.end(), kBleu), 0) << "the active text is on the preview";
}

TEST_F(Texte, TypedTextIsDrawnAndAnEmptyPageIsNot)
{
    // Active for its owner, with an opaque background that would show.
    dialog.Textes[0] = Pave("", kRouge);
    Ouvrir(TestImages::Solid(320, 240, 32, kBlanc));
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).coin, kBlanc) << "not even its background";

    Type(Edit(0), "Hi");
    Pump();
    EXPECT_EQ(dialog.Textes[0].Actif, 1);
    EXPECT_EQ(dialog.Textes[0].Texte, "Hi");
    EXPECT_NE(Apercu(), m_nu);

    Edit(0)->selectAll();
    PressKey(Edit(0), Qt::Key_Backspace);
    Pump();
    EXPECT_EQ(dialog.Textes[0].Actif, 0);
    EXPECT_EQ(Apercu(), m_nu);
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).image, m_image);
}

TEST_F(Texte, ResetLeavesFiveInactiveAbsoluteTextsAndTheBarePicture)
{
    for (T_TEXTE& t : dialog.Textes) {
        t = Pave("Stamp", kRouge);
        t.PositionAutomatique = 1;
        t.PositionAutomatiqueDeltaX = 3;
    }
    Ouvrir(TestImages::Solid(320, 240, 32, kBlanc));
    const auto rouges = [this] {
        const std::vector<COLORREF> pixels = Apercu();
        return std::count(pixels.begin(), pixels.end(), kRouge);
    };
    EXPECT_GT(rouges(), 0);
    Click(dialog.GetDlgItem(kReset));
    const LOGFONT police = Font::Describe(dialog.font());
    for (int i = 0; i < 5; ++i) {
        const T_TEXTE& t = dialog.Textes[i];
        EXPECT_EQ(t.Actif, 0);
        EXPECT_EQ(t.Texte, "");
        EXPECT_EQ(t.PositionAutomatique, 0);
        EXPECT_EQ(CPoint(t.PositionAbsolueX, t.PositionAbsolueY), CPoint(0, 0));
        EXPECT_EQ(t.PositionAutomatiqueDeltaX, 20);
        EXPECT_EQ(t.PositionAutomatiqueDeltaY, 20);
        EXPECT_EQ(t.CouleurEncre, RGB(0, 0, 0));
        EXPECT_EQ(t.CouleurFondTransparent, 1);
        EXPECT_STREQ(t.Fonte.lfFaceName, police.lfFaceName);
        EXPECT_EQ(Edit(i)->text(), "");
        EXPECT_TRUE(dialog.Pages[i]->PositionAbsolue->isChecked()) << i;
        EXPECT_TRUE(dialog.Pages[i]->CouleurFond->BoutonTransparent->isChecked()) << i;
    }
    EXPECT_EQ(rouges(), 0);
    EXPECT_EQ(CliquePleinEcran(dialog.GetDlgItem(kApercu)).image, m_image);
}

TEST_F(Texte, OkGivesBackWhatThePagesShow)
{
    Ouvrir(TestImages::Solid(320, 240, 32, kBlanc));
    Onglet(3);
    Type(Edit(3), "Four");
    Click(dialog.Pages[3]->PositionAutomatique);
    Click(dialog.Pages[3]->PositionAutomatiqueDroite);
    Pump();
    Click(dialog.GetDlgItem(IDOK));
    EXPECT_EQ(dialog.result(), IDOK);
    const T_TEXTE& t = dialog.Textes[3];
    EXPECT_EQ(t.Actif, 1);
    EXPECT_EQ(t.Texte, "Four");
    EXPECT_EQ(t.PositionAutomatique, 1);
    EXPECT_EQ(t.PositionHorizontale, 1);
    EXPECT_EQ(dialog.Textes[0].Actif, 0);
}

TEST_F(Ecriture, LaterTextsLieOverEarlierOnes)
{
    CTexteDlg::Textes_t textes;
    textes[0] = Pave("MMMM", kRouge);
    textes[4] = Pave("MMMM", kBleu);
    textes[0].PositionAbsolueX = textes[4].PositionAbsolueX = 10;
    textes[0].PositionAbsolueY = textes[4].PositionAbsolueY = 10;
    HBITMAP resultat = Ecrit(CSize(200, 100), textes);
    ASSERT_NE(resultat, nullptr);
    EXPECT_NE(resultat, m_image);
    EXPECT_EQ(TestImages::Pixel(resultat, 12, 12), kBleu);
    EXPECT_EQ(EtendueDe(resultat, kRouge).gauche, -1);
    EXPECT_EQ(TestImages::Pixel(m_image, 12, 12), kBlanc) << "the picture itself is left alone";
}

TEST_F(Ecriture, RightAnchorEndsTheTextAtTheMargin)
{
    CTexteDlg::Textes_t textes;
    textes[0] = Pave("MMM", kRouge);
    textes[0].PositionAutomatique = 1;
    textes[0].PositionHorizontale = 1;
    textes[0].PositionVerticale = 1;
    textes[0].PositionAutomatiqueDeltaX = 10;
    textes[0].PositionAutomatiqueDeltaY = 10;
    const Etendue e = EtendueDe(Ecrit(CSize(640, 100), textes), kRouge);
    EXPECT_EQ(e.droite, 629);
    EXPECT_EQ(e.bas, 89);
    EXPECT_GT(e.gauche, 0);
}

TEST_F(Ecriture, CentredTextIgnoresItsMarginAndAbsoluteIgnoresItsAnchor)
{
    CTexteDlg::Textes_t textes;
    textes[0] = Pave("MMM", kRouge);
    textes[0].PositionAutomatique = 1;
    textes[0].PositionHorizontale = 2;
    textes[0].PositionAutomatiqueDeltaX = 200;
    const Etendue centre = EtendueDe(Ecrit(CSize(640, 100), textes), kRouge);
    EXPECT_LE(std::abs(centre.gauche + centre.droite - 639), 1);
    TearDown();

    // "Right" still checked from before does not move an absolute text.
    textes[0].PositionAutomatique = 0;
    textes[0].PositionHorizontale = 1;
    textes[0].PositionAbsolueX = 100;
    textes[0].PositionAbsolueY = 30;
    const Etendue absolue = EtendueDe(Ecrit(CSize(640, 100), textes), kRouge);
    EXPECT_EQ(absolue.gauche, 100);
    EXPECT_EQ(absolue.haut, 30);
}
