// The text-signature panel inside a plain owner: font description, enabling
// of the position controls, checks against the owner's bounds, the messages
// posted for each user change, and the text edit's colours.

#include "CMiniTexteDlg.h"
#include "DialogDriver.h"
#include "PanelHost.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace DialogDriver;

namespace {

constexpr int kTexte = 2241;
constexpr int kX = 2249;
constexpr int kDx = 2260;
constexpr int kAncres[] = {2253, 2254, 2257, 2258, 2259};
constexpr int kFleches[] = {2250, 2252, 2256, 2261};

LOGFONT Police(const char* face, LONG height, LONG weight)
{
    LOGFONT lf{};
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    return lf;
}

class TextPanel : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(panel.Create(host.GetDlgItem(PanelHost::kCadreTexte)));
        panel.MaximumX = 2000;
        panel.MaximumY = 1000;
        panel.InitInstance(&host, nullptr, 1);
        Pump();
        host.Oublie();
    }
    void TearDown() override { panel.DesInitInstance(); }

    int Signatures() const { return host.Recus(WM_CHANGEMENT_SIGNATURE); }
    QLineEdit* Edit(int id) const { return panel.GetDlgItemAs<QLineEdit>(id); }
    void Retype(int id, const QString& text)
    {
        Edit(id)->clear();
        Type(Edit(id), text);
        Pump();
    }
    // Pixels of the text edit of exactly that colour, left and right of its middle.
    std::pair<int, int> Count(QColor colour) const
    {
        const QImage shown = Edit(kTexte)->grab().toImage();
        std::pair<int, int> found{0, 0};
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixelColor(x, y) == colour)
                    ++(x < shown.width() / 2 ? found.first : found.second);
        return found;
    }

    PanelHost host;
    CMiniTexteDlg panel;
};

} // namespace

TEST_F(TextPanel, TemplateFontIsDescribedOnTheButton)
{
    EXPECT_STREQ(panel.Fonte.lfFaceName, "Comic Sans MS");
    EXPECT_EQ(panel.Fonte.lfHeight, -11) << "8 points at 96 dots per inch";
    EXPECT_EQ(std::memcmp(&panel.Fonte, &panel.FonteDefaut, sizeof(LOGFONT)), 0);
    EXPECT_EQ(panel.BoutonPolice->text(), "Comic Sans MS\n8");
    ASSERT_NE(panel.PoliceTexte, nullptr);
    EXPECT_EQ(Edit(kTexte)->font().pixelSize(), 11);
}

TEST_F(TextPanel, StyleLinesFollowInAFixedOrderAndBoldMeans700)
{
    panel.Fonte = Police("DejaVu Sans", -16, FW_BOLD);
    panel.Fonte.lfItalic = panel.Fonte.lfUnderline = panel.Fonte.lfStrikeOut = 1;
    panel.AffichePolice();
    EXPECT_EQ(panel.BoutonPolice->text(), "DejaVu Sans\n12\nItalic\nUnderline\nBarred\nBold");
    for (const LONG weight : {FW_SEMIBOLD, 800}) {
        panel.Fonte.lfWeight = weight;
        panel.AffichePolice();
        EXPECT_EQ(panel.BoutonPolice->text(), "DejaVu Sans\n12\nItalic\nUnderline\nBarred") << weight;
    }
    panel.Fonte = Police("DejaVu Sans", -14, FW_NORMAL);
    panel.AffichePolice();
    EXPECT_EQ(panel.BoutonPolice->text(), "DejaVu Sans\n11") << "10.5 points round away from zero";
}

TEST_F(TextPanel, FontChooserStartsFromTheFontAndItsAnswerIsApplied)
{
    Scripted().fonts.push_back(Police("DejaVu Sans", -20, FW_BOLD));
    Click(panel.BoutonPolice);
    Pump();
    ASSERT_EQ(Scripted().fontRequests.size(), 1u);
    EXPECT_STREQ(Scripted().fontRequests[0].lfFaceName, "Comic Sans MS");
    EXPECT_STREQ(panel.Fonte.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(panel.BoutonPolice->text(), "DejaVu Sans\n15\nBold");
    EXPECT_EQ(Edit(kTexte)->font().pixelSize(), 20);
    EXPECT_EQ(Edit(kTexte)->font().weight(), QFont::Bold);
    EXPECT_EQ(panel.PoliceTexte->description().lfHeight, -20);
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_EQ(Signatures(), 1);

    panel.Modifie = 0;
    host.Oublie();
    Click(panel.BoutonPolice); // cancelled
    Pump();
    EXPECT_STREQ(panel.Fonte.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(panel.Modifie, 0);
    EXPECT_EQ(Signatures(), 0);
}

TEST_F(TextPanel, AbsoluteAndAutomaticSwitchTheEnablingButNotTheSpins)
{
    const auto expect = [this](bool automatic) {
        for (const int id : kAncres)
            EXPECT_EQ(panel.GetDlgItem(id)->isEnabled(), automatic) << id;
        for (const int id : {kX, 2251})
            EXPECT_EQ(panel.GetDlgItem(id)->isEnabled(), !automatic) << id;
        for (const int id : {kDx, 2255})
            EXPECT_EQ(panel.GetDlgItem(id)->isEnabled(), automatic) << id;
        for (const int id : kFleches)
            EXPECT_TRUE(panel.GetDlgItem(id)->isEnabled()) << id;
    };
    expect(true);
    Click(panel.PositionAbsolue);
    Pump();
    EXPECT_FALSE(panel.PositionAutomatique->isChecked());
    expect(false);
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_EQ(Signatures(), 1);
    Click(panel.PositionAutomatique);
    Pump();
    expect(true);
    EXPECT_EQ(Signatures(), 2);
}

TEST(TextPanelSetUp, OwnerValuesAreShownAndInitInstanceIsNoUserChange)
{
    PanelHost host;
    ASSERT_TRUE(host.Create());
    CMiniTexteDlg panel;
    ASSERT_TRUE(panel.Create(host.GetDlgItem(PanelHost::kCadreTexte)));
    EXPECT_FALSE(panel.isVisible()) << "shown by InitInstance only";

    panel.PositionAbsolueX = 12;
    panel.PositionAutomatiqueDeltaY = 40;
    panel.CouleurEncre->Couleur = RGB(255, 0, 0);
    panel.PositionAbsolue->setChecked(true);
    panel.PositionAutomatique->setChecked(false);
    panel.MaximumY = 30;
    panel.Modifie = 1;
    panel.InitInstance(&host, nullptr, 1);
    Pump();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.Modifie, 0);
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_SIGNATURE), 0);
    EXPECT_EQ(panel.GetDlgItemText(kX), "12");
    EXPECT_EQ(panel.GetDlgItemText(2255), "40") << "shown as stored, beyond the bound";
    EXPECT_TRUE(panel.GetDlgItem(kX)->isEnabled());
    EXPECT_EQ(panel.CouleurEncre->GetDlgItemText(1402), "FF");
    EXPECT_EQ(panel.GetDlgItemAs<SpinButton>(2256)->Upper(), 30);
    EXPECT_TRUE(panel.CouleurEncre->BoutonTransparent->isHidden());
    panel.DesInitInstance();
    EXPECT_FALSE(panel.CouleurEncre);
    EXPECT_FALSE(panel.CouleurFond);
    EXPECT_EQ(panel.PoliceTexte, nullptr);
}

TEST(TextPanelSetUp, InATabControlItTakesThePageArea)
{
    PanelHost host;
    ASSERT_TRUE(host.Create());
    auto* tabs = host.GetDlgItemAs<QTabWidget>(PanelHost::kOnglets);
    tabs->addTab(new QWidget, "Text 1");
    CMiniTexteDlg panel;
    ASSERT_TRUE(panel.Create(tabs));
    const QSize size = panel.size();
    CRect page(0, 0, size.width(), size.height());
    SendMessage(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    ASSERT_GT(page.top, 0);
    panel.InitInstance(&host, nullptr, 0);
    EXPECT_EQ(panel.pos(), QPoint(page.left, page.top));
    EXPECT_FALSE(panel.isVisible()) << "left hidden when not asked to show";
    panel.DesInitInstance();
}

TEST_F(TextPanel, ValueBeyondTheBoundIsWarnedKeptAndStillNotified)
{
    Click(panel.PositionAbsolue);
    Pump();
    host.Oublie();
    Retype(kX, "2001");
    ASSERT_FALSE(Scripted().shown.empty());
    EXPECT_EQ(Scripted().shown.back().text, "Please enter an integer between 0 and 2000.");
    EXPECT_EQ(Scripted().shown.size(), 1u) << "2, 20 and 200 pass";
    EXPECT_EQ(panel.PositionAbsolueX, 2001u);
    EXPECT_EQ(Signatures(), 4);
}

TEST_F(TextPanel, EachUserChangePostsExactlyOneMessage)
{
    Type(Edit(kTexte), "ab");
    Pump();
    EXPECT_EQ(panel.Texte, "ab");
    EXPECT_EQ(Signatures(), 2);

    host.Oublie();
    Click(panel.PositionAutomatiqueHaut);
    Pump();
    EXPECT_TRUE(panel.PositionAutomatiqueHaut->isChecked());
    EXPECT_FALSE(panel.PositionAutomatiqueBas->isChecked());
    EXPECT_EQ(Signatures(), 1);

    host.Oublie();
    ASSERT_TRUE(panel.GetDlgItemAs<SpinButton>(2261)->Step(+1));
    Pump();
    EXPECT_EQ(panel.PositionAutomatiqueDeltaX, 6u);
    EXPECT_EQ(Signatures(), 1);

    host.Oublie();
    panel.Modifie = 0;
    Type(panel.CouleurEncre->GetDlgItem(1402), "F");
    Pump();
    EXPECT_EQ(panel.CouleurEncre->Couleur, RGB(15, 0, 0));
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_EQ(panel.CouleurEncre->Modifie, 0) << "taken over by the text panel";
    EXPECT_EQ(Edit(kTexte)->palette().color(QPalette::Text), QColor(15, 0, 0));
    EXPECT_EQ(Signatures(), 1);
}

TEST_F(TextPanel, TransparentToggleNotifiesButFlagsNothing)
{
    Click(panel.CouleurFond->BoutonTransparent);
    Pump();
    EXPECT_EQ(Signatures(), 1);
    EXPECT_EQ(panel.Modifie, 0);
}

TEST_F(TextPanel, EnterAndEscapeCloseNothing)
{
    PressKey(Edit(kTexte), Qt::Key_Return);
    PressKey(Edit(kTexte), Qt::Key_Escape);
    PressKey(Edit(kDx), Qt::Key_Escape);
    Pump();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(host.isVisible());
    EXPECT_EQ(panel.Texte, "");
    EXPECT_EQ(Signatures(), 0);
}

TEST_F(TextPanel, OpaqueBackgroundFillsTheCharacterCellsOnly)
{
    Type(Edit(kTexte), "MMMM");
    Type(panel.CouleurFond->GetDlgItem(1402), "F");
    Pump();
    const QColor fond(15, 0, 0);
    EXPECT_EQ(Count(fond), std::make_pair(0, 0)) << "transparent: no cells";

    Click(panel.CouleurFond->BoutonTransparent);
    Pump();
    const auto [left, right] = Count(fond);
    EXPECT_GT(left, 100);
    EXPECT_EQ(right, 0) << "the rest of the edit keeps its own background";
}

TEST_F(TextPanel, DefaultsComeBackOnReset)
{
    Type(Edit(kTexte), "x");
    Retype(kDx, "9");
    Click(panel.PositionAutomatiqueGauche);
    Click(panel.PositionAbsolue);
    panel.Fonte = Police("DejaVu Sans", -30, FW_NORMAL);
    panel.CouleurEncre->Couleur = RGB(1, 2, 3);
    Pump();

    panel.Modifie = 0;
    panel.ValeurDefaut();
    panel.AffichageGlobal();
    panel.UpdateData(FALSE);
    EXPECT_EQ(panel.GetDlgItemText(kTexte), "");
    EXPECT_EQ(panel.GetDlgItemText(kDx), "5");
    EXPECT_TRUE(panel.PositionAutomatique->isChecked());
    EXPECT_TRUE(panel.PositionAutomatiqueDroite->isChecked());
    EXPECT_FALSE(panel.GetDlgItem(kX)->isEnabled());
    EXPECT_EQ(panel.BoutonPolice->text(), "Comic Sans MS\n8");
    EXPECT_EQ(panel.CouleurEncre->GetDlgItemText(1406), "0");
    EXPECT_EQ(panel.Modifie, 0);
}

namespace {

// The web's contrast ratio, written out here on its own.
double Rapport(QColor a, QColor b)
{
    const auto lum = [](QColor c) {
        const auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = lum(a);
    const double lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

TEST_F(TextPanel, TheEditStaysReadableWhateverTheInkAndKeepsItsLookOtherwise)
{
    Type(Edit(kTexte), "MMMM");
    const QColor base = panel.palette().color(QPalette::Base);
    const struct {
        const char* cas;
        COLORREF encre;
        bool transparent;
        COLORREF fond;
        bool memeAspect; // the edit as it always looked
    } cas[] = {
        {"black ink, transparent", RGB(0, 0, 0), true, RGB(0, 0, 0), true},
        {"dark blue ink, transparent", RGB(0, 0, 128), true, RGB(0, 0, 0), true},
        {"white ink, transparent", RGB(255, 255, 255), true, RGB(0, 0, 0), false},
        {"pale yellow ink, transparent", RGB(255, 255, 200), true, RGB(0, 0, 0), false},
        {"white ink on black cells", RGB(255, 255, 255), false, RGB(0, 0, 0), true},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.cas);
        panel.CouleurEncre->Couleur = c.encre;
        panel.CouleurFond->Couleur = c.fond;
        panel.CouleurFond->BoutonTransparent->setChecked(c.transparent);
        panel.FormateLeTexte();
        Pump();
        const QImage vue = Edit(kTexte)->grab().toImage();
        // Right of the text, inside the frame: the edit's own background.
        const QColor derriere = vue.pixelColor(vue.width() - 8, vue.height() / 2);
        const QColor encre(GetRValue(c.encre), GetGValue(c.encre), GetBValue(c.encre));
        const QColor cellule(GetRValue(c.fond), GetGValue(c.fond), GetBValue(c.fond));
        const bool cellules = Count(cellule).first > 100;
        EXPECT_EQ(cellules, !c.transparent);
        EXPECT_GE(Rapport(encre, cellules ? cellule : derriere), 3.0) << derriere.name().toStdString();
        EXPECT_EQ(derriere == base, c.memeAspect) << derriere.name().toStdString();
    }
}

TEST(FondLisible, KeepsAReadableBackgroundAndOtherwiseGivesTheBetterOfDarkAndLight)
{
    const QColor blanc(Qt::white);
    const QColor sombre(0x30, 0x30, 0x30);
    const struct {
        QColor encre;
        QColor fond;
        QColor attendu;
    } cas[] = {
        {Qt::black, blanc, blanc},          {QColor(0, 0, 128), blanc, blanc},
        {blanc, blanc, sombre},             {QColor(255, 255, 200), blanc, sombre},
        {Qt::black, QColor(20, 20, 20), blanc}, {QColor(120, 120, 120), QColor(128, 128, 128), blanc},
        {Qt::yellow, Qt::black, Qt::black},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.encre.name().toStdString() + " on " + c.fond.name().toStdString());
        const QColor choisi = CMiniTexteDlg::FondLisible(c.encre, c.fond);
        EXPECT_EQ(choisi, c.attendu);
        EXPECT_GE(Rapport(c.encre, choisi), 3.0);
    }
}
