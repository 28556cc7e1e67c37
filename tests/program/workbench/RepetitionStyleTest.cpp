// The style dialog's repeated mark: its controls for the text and the logo,
// the preview while it is set, and what OK keeps.

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CStyleDlg.h"
#include "DialogDriver.h"
#include "VueTestSupport.h"

#include <QLineEdit>

using namespace DialogDriver;
using namespace TestImages;

namespace {

using RepetitionStyle = VueTest;

void Remplace(QWidget* dialogue, int id, const QString& texte)
{
    auto* champ = ControlAs<QLineEdit>(dialogue, id);
    ASSERT_NE(champ, nullptr) << id;
    champ->setFocus();
    champ->selectAll();
    Type(champ, texte);
}

TEST_F(RepetitionStyle, TheTextRepeatsInThePreviewAndOkKeepsIt)
{
    Depose({Image("photo.bmp", 300, 200, RGB(30, 120, 60))});
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Signature");
    Pump();
    vue->ConstruitApercu();
    HBITMAP simple = Composition::Compose(vue->ImageSelection, vue->CoucheTexteCourante(), CoucheLogo());

    bool angleActifAvant = true, angleActifApres = false;
    std::string difference;
    OnNextModal([&](QWidget* dialogue) {
        angleActifAvant = Control(dialogue, CStyleDlg::kAngle)->isEnabled();
        const int avant = vue->ApercusConstruits;
        Click(Control(dialogue, CStyleDlg::kRepete));
        EXPECT_TRUE(AttendApercu(avant));
        angleActifApres = Control(dialogue, CStyleDlg::kAngle)->isEnabled() &&
                          Control(dialogue, CStyleDlg::kEspacement)->isEnabled();
        difference = FirstDifference(vue->ImageSignee, simple);
        Remplace(dialogue, CStyleDlg::kAngle, "45");
        Remplace(dialogue, CStyleDlg::kEspacement, "3"); // refused, then corrected
        Click(Control(dialogue, IDOK));
        Remplace(dialogue, CStyleDlg::kEspacement, "10");
        Click(Control(dialogue, IDOK));
    });
    Click(Control(vue->PanneauTexte, CMiniTexteDlg::kStyle));
    Pump();

    EXPECT_FALSE(angleActifAvant) << "no angle without a repeat";
    EXPECT_TRUE(angleActifApres);
    EXPECT_NE(difference, "") << "the repeat was in the preview at once";
    EXPECT_TRUE(vue->StyleTexte.Repete);
    EXPECT_EQ(vue->StyleTexte.Angle, 45);
    EXPECT_EQ(vue->StyleTexte.Espacement, 10);
    EXPECT_TRUE(vue->StyleLogo.ParDefaut());
    EXPECT_TRUE(application->Document()->IsModified());
    HBITMAP attendu = Composition::Compose(vue->ImageSelection, vue->CoucheTexteCourante(), vue->CoucheLogoCourante());
    EXPECT_EQ(FirstDifference(vue->ImageSignee, attendu), "");
    DeleteObject(attendu);
    DeleteObject(simple);
}

TEST_F(RepetitionStyle, TheLogoDialogKeepsTheRepeatAboveItsButtons)
{
    bool visibles = false, dessous = false, contourCache = false;
    OnNextModal([&](QWidget* dialogue) {
        QWidget* espacement = Control(dialogue, CStyleDlg::kEspacement);
        QWidget* ok = Control(dialogue, IDOK);
        visibles = Control(dialogue, CStyleDlg::kRepete)->isVisible() && espacement->isVisible();
        dessous = ok->y() > espacement->y() + espacement->height() && ok->y() + ok->height() <= dialogue->height();
        contourCache = !Control(dialogue, CStyleDlg::kContour)->isVisible();
        Click(Control(dialogue, IDCANCEL));
    });
    Click(Control(vue->PanneauLogo, CSignatureLogoDlg::kStyle));
    Pump();
    EXPECT_TRUE(visibles);
    EXPECT_TRUE(dessous);
    EXPECT_TRUE(contourCache);
}

} // namespace
