// The layers' styles in the workbench: the panels' "Style..." buttons, the
// preview of a styled signature with its tokens, and the run's pixels.

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "CStyleDlg.h"
#include "DialogDriver.h"
#include "EtapeSignature.h"
#include "VueTestSupport.h"

#include <QLineEdit>
#include <QTreeWidget>

using namespace DialogDriver;
using namespace TestImages;

namespace {

using StyleVue = VueTest;

void Remplace(QWidget* dialogue, int id, const QString& texte)
{
    auto* champ = ControlAs<QLineEdit>(dialogue, id);
    ASSERT_NE(champ, nullptr) << id;
    champ->selectAll();
    Type(champ, texte);
}

TEST_F(StyleVue, EachPanelOpensItsOwnStyleAndThePreviewFollows)
{
    Depose({Image("photo.bmp", 400, 300)});
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Signature");
    Pump();
    ASSERT_EQ(SizeOf(vue->ImageSignee), CSize(400, 300));

    bool contourVisible = false, ombreVisible = false;
    OnNextModal([&](QWidget* dialogue) {
        contourVisible = Control(dialogue, CStyleDlg::kContour)->isVisible();
        ombreVisible = Control(dialogue, CStyleDlg::kFlou)->isVisible();
        Remplace(dialogue, CStyleDlg::kContour, "3");
        Remplace(dialogue, CStyleDlg::kOpaciteOmbre, "60");
        Remplace(dialogue, CStyleDlg::kOpacite, "150"); // refused, then corrected
        Click(Control(dialogue, IDOK));
        Remplace(dialogue, CStyleDlg::kOpacite, "90");
        Click(Control(dialogue, IDOK));
    });
    HBITMAP plain = Composition::Compose(vue->ImageSelection, vue->CoucheTexteCourante(), CoucheLogo());
    Click(Control(vue->PanneauTexte, CMiniTexteDlg::kStyle));
    Pump();
    EXPECT_TRUE(contourVisible);
    EXPECT_TRUE(ombreVisible);
    EXPECT_EQ(vue->StyleTexte.Contour, 3);
    EXPECT_EQ(vue->StyleTexte.OpaciteOmbre, 60);
    EXPECT_EQ(vue->StyleTexte.Opacite, 90);
    EXPECT_TRUE(vue->StyleLogo.ParDefaut());
    EXPECT_TRUE(application->Document()->IsModified());
    EXPECT_NE(FirstDifference(vue->ImageSignee, plain), "") << "the preview shows the outline";
    DeleteObject(plain);

    // The logo's dialog has no outline nor shadow.
    OnNextModal([&](QWidget* dialogue) {
        contourVisible = Control(dialogue, CStyleDlg::kContour)->isVisible();
        ombreVisible = Control(dialogue, CStyleDlg::kFlou)->isVisible();
        Click(Control(dialogue, CStyleDlg::kRelative));
        Remplace(dialogue, CStyleDlg::kTaille, "12.5");
        Click(Control(dialogue, IDOK));
    });
    Click(Control(vue->PanneauLogo, CSignatureLogoDlg::kStyle));
    Pump();
    EXPECT_FALSE(contourVisible);
    EXPECT_FALSE(ombreVisible);
    EXPECT_EQ(vue->StyleLogo.TailleRelative, 1250);
    EXPECT_EQ(vue->Reglages().StyleLogo.TailleRelative, 1250) << "templates and settings get it";
}

TEST_F(StyleVue, ThePreviewShowsWhatTheRunWrites)
{
    Depose({Image("premiere.bmp", 120, 90), Image("seconde.bmp", 640, 480, RGB(250, 240, 200))});
    auto* liste = static_cast<QTreeWidget*>(Control(vue.get(), 1300));
    liste->setCurrentItem(liste->topLevelItem(1));
    vue->AfficheSelection();
    Pump();
    ASSERT_EQ(vue->LigneSelectionnee(), 1);
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "{name} #{counter} {width}x{height}");
    Pump();
    EXPECT_EQ(vue->CoucheTexteCourante().Texte, "seconde #2 640x480");

    vue->StyleTexte.TailleRelative = 600;
    vue->StyleTexte.PlaceRelative = 1;
    vue->StyleTexte.Contour = 10;
    vue->StyleTexte.ContourRelatif = 1;
    vue->StyleTexte.OmbreX = 3;
    vue->StyleTexte.OmbreY = 3;
    vue->StyleTexte.OmbreFlou = 4;
    vue->StyleTexte.OpaciteOmbre = 70;
    vue->StyleTexte.Opacite = 85;
    vue->ConstruitApercu();

    EtapeSignature etape(vue->Reglages());
    for (int numero : {2, 3}) {
        HBITMAP image = etape.Charge(bac.path("seconde.bmp"));
        ASSERT_NE(image, nullptr);
        etape.Signe(image, numero);
        if (numero == 2)
            EXPECT_EQ(FirstDifference(vue->ImageSignee, image), "");
        else
            EXPECT_NE(FirstDifference(vue->ImageSignee, image), "") << "another number, another text";
        DeleteObject(image);
    }
}

} // namespace
