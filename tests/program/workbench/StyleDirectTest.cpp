// The style dialog drives the preview while it is open: each valid change
// is shown, a half-typed number neither warns nor moves the caret, and
// Cancel brings back the preview of the old style.

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CStyleDlg.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "VueTestSupport.h"

#include <QLabel>
#include <QLineEdit>

using namespace DialogDriver;
using namespace TestImages;

namespace {

using StyleDirect = VueTest;

// The preview equals a composition made anew of the view's layers now.
void MontreLesCouches(CPrincipaleView& vue)
{
    HBITMAP signee = Composition::Compose(vue.ImageSelection, vue.CoucheTexteCourante(), vue.CoucheLogoCourante());
    EXPECT_EQ(FirstDifference(vue.ImageSignee, signee), "");
    DeleteObject(signee);
}

TEST_F(StyleDirect, ThePreviewFollowsTheDialogAndCancelRestoresIt)
{
    Depose({Image("photo.bmp", 600, 400, RGB(30, 120, 60))});
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Signature");
    Pump();
    vue->ConstruitApercu();
    application->Document()->SetModifiedFlag(false);
    const Style avant = vue->StyleTexte;
    HBITMAP simple = Composition::Compose(vue->ImageSelection, vue->CoucheTexteCourante(), CoucheLogo());

    int contourMontre = -1;
    std::string difference;
    bool curseurGarde = false;
    OnNextModal([&](QWidget* dialogue) {
        auto* contour = ControlAs<QLineEdit>(dialogue, CStyleDlg::kContour);
        contour->setFocus();
        contour->selectAll();
        const int avantContour = vue->ApercusConstruits;
        Type(contour, "4");
        EXPECT_TRUE(AttendApercu(avantContour));
        contourMontre = vue->StyleTexte.Contour;
        difference = FirstDifference(vue->ImageSignee, simple);
        MontreLesCouches(*vue);

        // Out of range while typed: nothing shown, nothing said, the caret stays.
        auto* opacite = ControlAs<QLineEdit>(dialogue, CStyleDlg::kOpacite);
        opacite->setFocus();
        opacite->selectAll();
        const int avantOpacite = vue->ApercusConstruits;
        Type(opacite, "15");
        Type(opacite, "0");
        EXPECT_TRUE(AttendApercu(avantOpacite));
        Pump();
        curseurGarde = opacite->hasFocus() && opacite->text() == "150" && opacite->cursorPosition() == 3 &&
                       !opacite->hasSelectedText();
        EXPECT_EQ(vue->StyleTexte.Opacite, 15) << "the last valid whole is shown";
        Click(Control(dialogue, IDCANCEL));
    });
    Click(Control(vue->PanneauTexte, CMiniTexteDlg::kStyle));
    Pump();

    EXPECT_EQ(contourMontre, 4);
    EXPECT_NE(difference, "") << "the outline was in the preview";
    EXPECT_TRUE(curseurGarde);
    EXPECT_TRUE(Scripted().shown.empty()) << "no warning while typing";
    EXPECT_EQ(vue->StyleTexte, avant);
    EXPECT_EQ(FirstDifference(vue->ImageSignee, simple), "") << "the old style shown again";
    EXPECT_FALSE(application->Document()->IsModified());
    DeleteObject(simple);
}

// Margins and positions in percent say so in their edits; the numbers and
// what is stored stay as they were.
TEST_F(StyleDirect, PercentMarginsShowASignInTheirEdits)
{
    Depose({Image("photo.bmp", 300, 200)});
    const auto signe = [](QWidget* panneau, int id) {
        auto* label = Control(panneau, id)->findChild<QLabel*>(QStringLiteral("pourcent"));
        return label && label->isVisible() && label->text() == "%";
    };
    const CString dx = vue->PanneauTexte->GetDlgItemText(2260);
    EXPECT_FALSE(signe(vue->PanneauTexte, 2260));

    OnNextModal([&](QWidget* dialogue) {
        Click(Control(dialogue, CStyleDlg::kPlaceRelative));
        Click(Control(dialogue, IDOK));
    });
    Click(Control(vue->PanneauTexte, CMiniTexteDlg::kStyle));
    Pump();
    ASSERT_EQ(vue->StyleTexte.PlaceRelative, 1);
    for (int id : {2260, 2255, 2249, 2251})
        EXPECT_TRUE(signe(vue->PanneauTexte, id)) << id;
    for (int id : {1610, 1608, 1612, 1614})
        EXPECT_FALSE(signe(vue->PanneauLogo, id)) << "the logo's margins are still pixels: " << id;
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2260), dx);
    EXPECT_EQ(vue->Reglages().EmplacementTexte.PositionAutomatiqueDeltaX, 5u);

    ModeleSignature r = vue->Reglages();
    r.StyleTexte.PlaceRelative = 0;
    vue->FixeReglages(r);
    vue->ConstruitApercu();
    EXPECT_FALSE(signe(vue->PanneauTexte, 2260));
}

} // namespace
