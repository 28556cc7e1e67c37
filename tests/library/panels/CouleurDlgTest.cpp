// The colour panel as its owner sees it: fields, base, swatch, chooser and
// the messages it posts; and the coloured edit.

#include "CCouleurDlg.h"
#include "CEditColor.h"
#include "DialogDriver.h"
#include "PanelHost.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

constexpr int kRouge = 1402;
constexpr int kVert = 1404;
constexpr int kBleu = 1406;

class ColourPanel : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(panel.Create(host.GetDlgItem(PanelHost::kCadreCouleur)));
        panel.Couleur = RGB(0, 128, 255);
        panel.InitInstance(&host, nullptr, 0);
        Pump();
        host.Oublie();
    }

    QString Field(int id) const { return panel.GetDlgItemAs<QLineEdit>(id)->text(); }
    // The user replaces a field's text by typing.
    void Retype(int id, const QString& text)
    {
        panel.GetDlgItemAs<QLineEdit>(id)->clear();
        Type(panel.GetDlgItem(id), text);
        Pump();
    }
    QColor Swatch() const
    {
        const QImage shown = panel.GetDlgItemAs<QLabel>(1409)->pixmap().toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }

    PanelHost host;
    CCouleurDlg panel;
};

} // namespace

TEST_F(ColourPanel, ShowsTheChannelsInEitherBaseWithoutAnyChange)
{
    EXPECT_EQ(Field(kRouge), "0");
    EXPECT_EQ(Field(kVert), "80");
    EXPECT_EQ(Field(kBleu), "FF");
    EXPECT_EQ(Swatch(), QColor(0, 128, 255));
    EXPECT_EQ(panel.GetDlgItemAs<SpinButton>(1405)->GetPos(), 128);

    Click(panel.BoutonDecimal);
    Pump();
    EXPECT_EQ(Field(kRouge), "0");
    EXPECT_EQ(Field(kVert), "128");
    EXPECT_EQ(Field(kBleu), "255");
    EXPECT_EQ(panel.GetDlgItemAs<SpinButton>(1403)->GetBase(), 10);

    Click(panel.BoutonHexa);
    Pump();
    EXPECT_EQ(Field(kVert), "80");
    EXPECT_EQ(panel.GetDlgItemAs<SpinButton>(1403)->GetBase(), 16);
    EXPECT_EQ(panel.Couleur, RGB(0, 128, 255));
    EXPECT_EQ(panel.Modifie, 0);
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_COULEUR), 0);
}

TEST_F(ColourPanel, HexadecimalFieldCountsItsLastTwoDigitsAndRefusesOthers)
{
    for (const char* other : {"g", "Z", "-", " "})
        Type(panel.GetDlgItem(kVert), other);
    EXPECT_EQ(Field(kVert), "80");
    EXPECT_EQ(panel.Modifie, 0) << "nothing typed may spill into a neighbouring channel";

    Retype(kRouge, "1ff");
    EXPECT_EQ(panel.Couleur, RGB(255, 128, 255));
    EXPECT_EQ(Field(kRouge), "FF");
    EXPECT_EQ(Swatch(), QColor(255, 128, 255));
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_COULEUR), 3) << "one per keystroke";
    Retype(kRouge, "7");
    EXPECT_EQ(panel.Couleur, RGB(7, 128, 255));
    EXPECT_EQ(Field(kRouge), "7");
}

TEST_F(ColourPanel, DecimalChannelsKeepTheirLowByte)
{
    Click(panel.BoutonDecimal);
    Retype(kVert, "300");
    EXPECT_EQ(panel.Couleur, RGB(0, 44, 255));
    EXPECT_EQ(Field(kVert), "44");

    panel.GetDlgItemAs<QLineEdit>(kRouge)->setText("-");
    Type(panel.GetDlgItem(kRouge), "1");
    EXPECT_EQ(GetRValue(panel.Couleur), 255);
    EXPECT_EQ(Field(kRouge), "255");
}

TEST_F(ColourPanel, SpinStepsTheChannelInTheShownBase)
{
    auto* vert = panel.GetDlgItemAs<SpinButton>(1405);
    ASSERT_TRUE(vert->Step(+1));
    Pump();
    EXPECT_EQ(panel.Couleur, RGB(0, 129, 255));
    EXPECT_EQ(Field(kVert), "81");
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_GE(host.Recus(WM_CHANGEMENT_COULEUR), 1);

    PressKey(panel.GetDlgItem(kBleu), Qt::Key_Down);
    EXPECT_EQ(panel.Couleur, RGB(0, 129, 254));
    EXPECT_EQ(Field(kBleu), "FE");
    PressKey(panel.GetDlgItem(kRouge), Qt::Key_Down);
    EXPECT_EQ(GetRValue(panel.Couleur), 0) << "0 is the bottom of the range";
}

TEST_F(ColourPanel, TransparentTellsTheOwnerButFlagsNoChange)
{
    Click(panel.BoutonTransparent);
    Pump();
    EXPECT_FALSE(panel.BoutonTransparent->isChecked());
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_COULEUR), 1);
    EXPECT_EQ(panel.Modifie, 0);
}

TEST_F(ColourPanel, SwatchOpensTheChooserOnTheCurrentColour)
{
    Scripted().colours.push_back(RGB(10, 20, 30));
    Click(panel.GetDlgItem(1409));
    Pump();
    ASSERT_EQ(Scripted().colourRequests.size(), 1u);
    EXPECT_EQ(Scripted().colourRequests[0], RGB(0, 128, 255));
    EXPECT_EQ(panel.Couleur, RGB(10, 20, 30));
    EXPECT_EQ(Field(kVert), "14");
    EXPECT_EQ(Swatch(), QColor(10, 20, 30));
    EXPECT_EQ(panel.Modifie, 1);
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_COULEUR), 1);

    panel.Modifie = 0;
    host.Oublie();
    Click(panel.GetDlgItem(1409)); // cancelled
    Pump();
    EXPECT_EQ(panel.Couleur, RGB(10, 20, 30));
    EXPECT_EQ(panel.Modifie, 0);
    EXPECT_EQ(host.Recus(WM_CHANGEMENT_COULEUR), 0);
}

TEST_F(ColourPanel, EscapeAndEnterCloseNothing)
{
    PressKey(panel.GetDlgItem(kRouge), Qt::Key_Escape);
    PressKey(panel.GetDlgItem(kRouge), Qt::Key_Return);
    PressKey(panel.BoutonHexa, Qt::Key_Escape);
    Pump();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(host.isVisible()) << "the key must not reach the owner either";
}

TEST_F(ColourPanel, InitInstanceHidesTransparentOnRequestAndClearsModifie)
{
    CCouleurDlg ink;
    ASSERT_TRUE(ink.Create(host.GetDlgItem(PanelHost::kCadreCouleur)));
    ink.CheckDlgButton(CCouleurDlg::kDecimal, BST_CHECKED);
    ink.CheckDlgButton(CCouleurDlg::kHexa, BST_UNCHECKED);
    ink.Couleur = RGB(1, 2, 3);
    ink.Modifie = 1;
    ink.InitInstance(&host, nullptr, 1);
    EXPECT_TRUE(ink.BoutonTransparent->isHidden());
    EXPECT_EQ(ink.Modifie, 0);
    EXPECT_EQ(ink.GetDlgItemText(kBleu), "3") << "the stored base is applied";
    EXPECT_EQ(ink.GetDlgItemAs<SpinButton>(1407)->GetBase(), 10);
}

TEST(ColouredEdit, PaintsItsWholeAreaInItsOwnColours)
{
    CEditColor edit;
    HDC dc = GetDC(&edit);
    EXPECT_EQ(edit.CtlColor(dc, 0)->colour(), edit.CouleurArrierePlan);
    EXPECT_EQ(dc->textColour, RGB(0, 0, 0));
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(edit.CouleurArrierePlan, RGB(face.red(), face.green(), face.blue()));

    edit.SetBkColor(RGB(200, 0, 0));
    edit.SetTextColor(RGB(0, 0, 200));
    HBRUSH brush = edit.CtlColor(dc, 0);
    EXPECT_EQ(brush, edit.PinceauFond);
    EXPECT_EQ(brush->colour(), RGB(200, 0, 0));
    EXPECT_EQ(dc->textColour, RGB(0, 0, 200));
    EXPECT_EQ(dc->backgroundColour, RGB(200, 0, 0));
    ReleaseDC(&edit, dc);

    edit.resize(120, 30);
    const QImage shown = edit.grab().toImage();
    EXPECT_EQ(shown.pixelColor(60, 15), QColor(200, 0, 0));
}
