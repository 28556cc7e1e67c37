// The workbench as a mouse user meets it: every control answers a click
// where it is drawn, the text edit shows any font within its height, and
// the form grows with its window.

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "Commandes.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"
#include "VueTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

using namespace DialogDriver;

namespace {

using Souris = VueTest;

constexpr int kAffichage = 1200;
constexpr int kListe = 1300;
constexpr int kCadreReglages = 1500;
constexpr int kCadreSignature = 1400;

QString Premier(const std::vector<QString>& liste) { return liste.empty() ? QString() : liste.front(); }

} // namespace

TEST_F(Souris, NoControlOfTheFormOrOfEitherPanelIsCovered)
{
    std::vector<QString> couverts = CoveredInEveryTemplate();
    EXPECT_TRUE(couverts.empty()) << couverts.size() << " covered, first: " << Premier(couverts).toStdString();
    couverts = CoveredControls(vue.get());
    EXPECT_TRUE(couverts.empty()) << Premier(couverts).toStdString();
    vue->OnCommand(Commande::SignatureLogo);
    Pump();
    couverts = CoveredControls(vue.get());
    EXPECT_TRUE(couverts.empty()) << Premier(couverts).toStdString();
}

TEST_F(Souris, ClicksOnEachPanelReachTheirControls)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hote));
    struct Panneau {
        CDialog* panneau;
        int edit;      // 0: none
        int police;    // 0: none
        int absolue;
        int fleche;
        int champ;     // the spin's buddy
    };
    const Panneau panneaux[] = {
        {vue->PanneauTexte, 2241, 2246, CMiniTexteDlg::kAbsolue, 2256, 2255},
        {vue->PanneauLogo, 0, 0, 1602, 1609, 1608},
    };
    for (const Panneau& p : panneaux) {
        vue->OnCommand(p.panneau == vue->PanneauTexte ? Commande::SignatureTexte : Commande::SignatureLogo);
        Pump();
        SCOPED_TRACE(p.panneau->GetTemplateId());
        if (p.edit) {
            ClickThroughWindow(p.panneau->GetDlgItem(p.edit));
            EXPECT_EQ(QApplication::focusWidget(), p.panneau->GetDlgItem(p.edit));
        }
        if (p.police) {
            Scripted().fonts.push_back(vue->PanneauTexte->Fonte);
            ClickThroughWindow(p.panneau->GetDlgItem(p.police));
            EXPECT_EQ(Scripted().fontRequests.size(), 1u);
        }
        auto* absolue = p.panneau->GetDlgItemAs<QAbstractButton>(p.absolue);
        ClickThroughWindow(absolue);
        EXPECT_TRUE(absolue->isChecked());
        ClickThroughWindow(p.panneau->GetDlgItemAs<QAbstractButton>(p.absolue - 1 + (p.edit ? 2 : 0)));
        auto* champ = p.panneau->GetDlgItemAs<QLineEdit>(p.champ);
        const QString avant = champ->text();
        QWidget* fleche = p.panneau->GetDlgItem(p.fleche);
        ClickThroughWindowAt(fleche, QPoint(fleche->width() / 2, fleche->height() / 4));
        EXPECT_NE(champ->text(), avant);
    }
}

TEST_F(Souris, TextTypedAfterAClickInTheFieldReachesThePanelAndThePreviewOnly)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hote));
    HBITMAP avant = Composition::Compose(vue->ImageSelection, vue->CoucheTexteCourante(), vue->CoucheLogoCourante());
    vue->GetDlgItem(1506)->setFocus();
    ClickThroughWindow(vue->PanneauTexte->GetDlgItem(2241));
    TypeIntoFocus(QStringLiteral("© 2026 A B"));
    Pump();
    EXPECT_EQ(vue->PanneauTexte->Texte, "© 2026 A B");
    EXPECT_EQ(vue->CoucheTexteCourante().Texte, "© 2026 A B");
    EXPECT_FALSE(TestImages::FirstDifference(avant, vue->ImageSignee).empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Scripted().fileDialogs.empty());
    EXPECT_TRUE(Scripted().shown.empty());
    DeleteObject(avant);
}

TEST_F(Souris, ALargeFontIsShownWithinTheEditAndDrawnAtItsSize)
{
    CMiniTexteDlg* panneau = vue->PanneauTexte;
    auto* edit = panneau->GetDlgItemAs<QLineEdit>(2241);
    for (const int pixels : {12, 72, 150}) {
        SCOPED_TRACE(pixels);
        panneau->Fonte.lfHeight = -pixels;
        panneau->Fonte.lfItalic = 1;
        panneau->FormateLeTexte();
        EXPECT_LE(QFontMetrics(edit->font()).height(), edit->contentsRect().height());
        EXPECT_TRUE(edit->font().italic());
        EXPECT_EQ(edit->font().family(), panneau->PoliceTexte->qfont().family());
        EXPECT_EQ(QFontInfo(panneau->PoliceTexte->qfont()).pixelSize(), pixels);
    }
    panneau->Fonte.lfHeight = -12;
    panneau->FormateLeTexte();
    EXPECT_EQ(QFontInfo(edit->font()).pixelSize(), 12);
}

TEST_F(Souris, TheFormGivesExtraRoomToThePreviewAndTheList)
{
    const std::string photo = Image("large.bmp", 400, 300, RGB(10, 200, 30));
    Depose({photo});
    Pump();
    const QSize depart = vue->size();
    const QRect affichage = vue->GetDlgItem(kAffichage)->geometry();
    const QRect liste = vue->GetDlgItem(kListe)->geometry();
    const QRect reglages = vue->GetDlgItem(kCadreReglages)->geometry();
    const QRect signature = vue->GetDlgItem(kCadreSignature)->geometry();

    // "Setup" first takes what its lists need to show their longest choice.
    int reglagesGagne = 0;
    for (const int id : {1511, 1512})
        reglagesGagne = std::max(reglagesGagne, vue->GetDlgItem(id)->sizeHint().width() - vue->GetDlgItem(id)->width());
    ASSERT_LT(reglagesGagne, 400);
    const int reste = 400 - reglagesGagne;
    vue->resize(depart + QSize(400, 200));
    Pump();
    EXPECT_EQ(vue->GetDlgItem(kAffichage)->size(), affichage.size() + QSize(reste / 2, 200));
    EXPECT_EQ(vue->GetDlgItem(kListe)->size(), liste.size() + QSize(reste - reste / 2, 200));
    EXPECT_EQ(vue->GetDlgItem(kCadreReglages)->geometry(),
              reglages.translated(reste, 0).adjusted(0, 0, reglagesGagne, 0));
    EXPECT_EQ(vue->GetDlgItem(kCadreSignature)->geometry().bottom(), signature.bottom() + 200);
    EXPECT_EQ(vue->GetDlgItem(kCadreSignature)->width(), signature.width() + 400);
    const QRect client = vue->GetDlgItem(kAffichage)->contentsRect();
    EXPECT_EQ(vue->TailleAffichage, CSize(client.width(), client.height()));
    EXPECT_EQ(TestImages::SizeOf(vue->ImageApercu), vue->TailleAffichage);
    // The picture is reduced to the larger display, as before to the smaller.
    EXPECT_EQ(vue->TailleApercu, Composition::TailleApercu(CSize(400, 300), vue->TailleAffichage));
    const QTreeWidget* lignes = vue->Liste();
    EXPECT_EQ(lignes->columnWidth(0) + lignes->columnWidth(1), lignes->viewport()->width());

    vue->resize(depart);
    Pump();
    EXPECT_EQ(vue->GetDlgItem(kAffichage)->geometry(), affichage);
    EXPECT_EQ(vue->GetDlgItem(kCadreReglages)->geometry(), reglages);
}
