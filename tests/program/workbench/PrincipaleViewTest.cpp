// The workbench view through its controls and commands: the file list, the
// panels' commands, the "Setup" area and the preview.

#include "CMiniTexteDlg.h"
#include "CPleinEcranDlg.h"
#include "CSignatureLogoDlg.h"
#include "Commandes.h"
#include "DialogDriver.h"
#include "FileFilter.h"
#include "ScriptedInteraction.h"
#include "VueTestSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTreeWidget>

#include <filesystem>

using namespace DialogDriver;
using namespace TestImages;

namespace {

constexpr int kListe = 1300;

using Vue = VueTest;

// Pixels of a picture that differ from a colour, counted.
int Differents(HBITMAP image, COLORREF couleur)
{
    const CSize taille = SizeOf(image);
    int n = 0;
    for (int y = 0; y < taille.cy; ++y)
        for (int x = 0; x < taille.cx; ++x)
            n += Pixel(image, x, y) != couleur;
    return n;
}

TEST_F(Vue, StartsEmptyWithTheBackgroundSignedAndTheTextPanelShown)
{
    EXPECT_EQ(vue->Initialisation, 0);
    EXPECT_TRUE(Lignes().empty());
    EXPECT_EQ(Compteur(), "(0/0)");
    EXPECT_EQ(vue->ImageSelection, vue->ImageFond);
    EXPECT_EQ(vue->TailleImage, vue->TailleAffichage);
    ASSERT_NE(vue->ImageApercu, nullptr);
    EXPECT_TRUE(vue->PanneauTexte->isVisible());
    EXPECT_FALSE(vue->PanneauLogo->isVisible());
    EXPECT_TRUE(vue->acceptDrops());
    const QTreeWidget* liste = vue->Liste();
    EXPECT_EQ(liste->headerItem()->text(0), "Name");
    EXPECT_EQ(liste->headerItem()->text(1), "State");
    EXPECT_EQ(liste->columnWidth(0) + liste->columnWidth(1), liste->viewport()->width());

    vue->OnCommand(Commande::SignatureLogo);
    EXPECT_FALSE(vue->PanneauTexte->isVisible());
    EXPECT_TRUE(vue->PanneauLogo->isVisible());
    vue->OnCommand(Commande::SignatureTexte);
    EXPECT_TRUE(vue->PanneauTexte->isVisible());
}

TEST_F(Vue, ChoosingFilesAsksForPicturesWhateverTheirCase)
{
    const std::string b = Image("b.bmp", 40, 30);
    const std::string a = Image("a.bmp", 20, 10);
    Scripted().files.push_back({b, a});
    vue->OnCommand(Commande::ListeSelection);

    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    const FileDialogRequest& demande = Scripted().fileDialogs[0].request;
    EXPECT_EQ(demande.title, "Files List Selection");
    const std::string toutes = "*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.webp;*.heic;*.heif;*.avif";
    EXPECT_EQ(demande.filter, "Jpeg (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp|Gif (*.gif)|*.gif|Png (*.png)|*.png|"
                              "WebP (*.webp)|*.webp|Heif (*.heic;*.heif)|*.heic;*.heif|Avif (*.avif)|*.avif|"
                              "All pictures (" + toutes + ")|" + toutes + "||");
    EXPECT_TRUE(demande.multiple);
    // Cameras write capitals.
    const QStringList filtres = FileFilter::NameFilters(demande.filter);
    ASSERT_EQ(filtres.size(), 8);
    // The dialog matches names against the last parenthesised part.
    const auto motifs = [](const QString& filtre) {
        const qsizetype debut = filtre.lastIndexOf(u'(') + 1;
        return filtre.mid(debut, filtre.size() - debut - 1);
    };
    EXPECT_TRUE(QDir::match(motifs(filtres[0]), QStringLiteral("IMG_0001.JPG")));
    EXPECT_TRUE(QDir::match(motifs(filtres[1]), QStringLiteral("scan.Bmp")));
    EXPECT_FALSE(QDir::match(motifs(filtres[0]), QStringLiteral("scan.bmp")));
    EXPECT_TRUE(QDir::match(motifs(filtres[5]), QStringLiteral("IMG_0002.HEIC")));
    EXPECT_TRUE(QDir::match(motifs(filtres[6]), QStringLiteral("web.avif")));
    for (const char* nom : {"IMG_0003.JPEG", "scan.bmp", "web.avif", "a.Gif"})
        EXPECT_TRUE(QDir::match(motifs(filtres[7]), QString::fromLatin1(nom))) << nom;

    EXPECT_EQ(Lignes(), (std::vector<std::string>{a, b})) << "sorted by name";
    EXPECT_EQ(vue->LigneSelectionnee(), 1);
    EXPECT_EQ(Compteur(), "(2/2)");
    EXPECT_EQ(vue->TailleImage, CSize(40, 30));

    // Cancelled: nothing changes.
    vue->OnCommand(Commande::ListeSelection);
    EXPECT_EQ(Lignes().size(), 2u);
    EXPECT_EQ(vue->LigneSelectionnee(), 1);
}

TEST_F(Vue, APathIsListedOnceWhetherChosenOrDropped)
{
    const std::string a = Image("a.bmp", 20, 10);
    Scripted().files.push_back({a, a});
    vue->OnCommand(Commande::ListeSelection);
    EXPECT_EQ(Lignes().size(), 1u);
    Depose({a});
    EXPECT_EQ(Lignes(), std::vector<std::string>{a});
    EXPECT_EQ(Compteur(), "(1/1)");
}

TEST_F(Vue, DroppingSelectsTheLastRowInSortedOrder)
{
    const std::string z = Image("z.bmp", 70, 50);
    Depose({z});
    Depose({Image("c.bmp", 30, 20), Image("a.bmp", 10, 10), Image("b.bmp", 20, 10)});
    EXPECT_EQ(Lignes().size(), 4u);
    EXPECT_EQ(vue->LigneSelectionnee(), 3);
    EXPECT_EQ(vue->Liste()->topLevelItem(3)->text(0).toStdString(), z) << "not one of the files just dropped";
    EXPECT_EQ(Compteur(), "(4/4)");
    EXPECT_EQ(vue->TailleImage, CSize(70, 50));
}

TEST_F(Vue, DroppedPathsMayBeLongerThanTheOldLimit)
{
    std::string dossier = bac.path("");
    while (dossier.size() < 400)
        dossier += "/un-dossier-au-nom-assez-long";
    std::filesystem::create_directories(dossier);
    const std::string chemin = dossier + "/photo.bmp";
    HBITMAP image = Solid(33, 22, 32, RGB(1, 2, 3));
    ASSERT_EQ(graphique.SauveImageBMP(chemin, image), 1);
    DeleteObject(image);

    Depose({chemin});
    EXPECT_EQ(Lignes(), std::vector<std::string>{chemin});
    EXPECT_EQ(vue->TailleImage, CSize(33, 22));
}

TEST_F(Vue, DeletingRowsMovesTheSelectionAndEmptyingShowsTheBackground)
{
    Depose({Image("a.bmp", 10, 10), Image("b.bmp", 20, 10), Image("c.bmp", 30, 10)});
    ASSERT_EQ(vue->LigneSelectionnee(), 2);
    vue->OnCommand(Commande::ListeSupprimeSelection);
    EXPECT_EQ(vue->LigneSelectionnee(), 1) << "the new last row";
    EXPECT_EQ(Compteur(), "(2/2)");
    EXPECT_EQ(vue->TailleImage, CSize(20, 10));

    PressKey(vue->Liste(), Qt::Key_Up);
    PressKey(vue->Liste(), Qt::Key_Delete);
    EXPECT_EQ(vue->LigneSelectionnee(), 0) << "the row that moved up into its place";
    EXPECT_EQ(Compteur(), "(1/1)");

    vue->OnCommand(Commande::ListeSupprimeSelection);
    EXPECT_TRUE(Lignes().empty());
    EXPECT_EQ(Compteur(), "(0/0)");
    EXPECT_EQ(vue->ImageSelection, vue->ImageFond);
    EXPECT_TRUE(Scripted().beeps.empty());

    vue->OnCommand(Commande::ListeSupprimeSelection);
    vue->OnCommand(Commande::ListeSupprimeTout);
    vue->OnCommand(Commande::AfficheSelection);
    EXPECT_EQ(Scripted().beeps, (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}));
}

TEST_F(Vue, DeleteAllEmptiesTheList)
{
    Depose({Image("a.bmp", 10, 10), Image("b.bmp", 20, 10)});
    vue->OnCommand(Commande::ListeSupprimeTout);
    EXPECT_TRUE(Lignes().empty());
    EXPECT_EQ(Compteur(), "(0/0)");
    EXPECT_EQ(vue->ImageSelection, vue->ImageFond);
    EXPECT_TRUE(Scripted().beeps.empty());
}

TEST_F(Vue, ArrowKeysMoveAndBeepAtTheEnds)
{
    Depose({Image("a.bmp", 10, 10), Image("b.bmp", 20, 10), Image("c.bmp", 30, 10)});
    vue->Liste()->clearSelection();
    vue->AfficheSelection();
    QTreeWidget* liste = vue->Liste();

    PressKey(liste, Qt::Key_Up);
    EXPECT_EQ(vue->LigneSelectionnee(), -1);
    EXPECT_TRUE(Scripted().beeps.empty()) << "Up with nothing selected stays quiet";
    PressKey(liste, Qt::Key_Down);
    EXPECT_EQ(vue->LigneSelectionnee(), 0);
    EXPECT_EQ(vue->TailleImage, CSize(10, 10));
    PressKey(liste, Qt::Key_Down);
    PressKey(liste, Qt::Key_Down);
    EXPECT_EQ(vue->LigneSelectionnee(), 2);
    EXPECT_EQ(Compteur(), "(3/3)");
    PressKey(liste, Qt::Key_Down);
    EXPECT_EQ(vue->LigneSelectionnee(), 2);
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
    PressKey(liste, Qt::Key_Up);
    PressKey(liste, Qt::Key_Up);
    EXPECT_EQ(vue->LigneSelectionnee(), 0);
    EXPECT_EQ(vue->TailleImage, CSize(10, 10));
    PressKey(liste, Qt::Key_Up);
    EXPECT_EQ(Scripted().beeps.size(), 2u);

    // Keys the list handles itself are followed by the counter and preview.
    PressKey(liste, Qt::Key_End);
    Pump();
    EXPECT_EQ(vue->LigneSelectionnee(), 2);
    EXPECT_EQ(Compteur(), "(3/3)");
    EXPECT_EQ(vue->TailleImage, CSize(30, 10));
}

TEST_F(Vue, ASignatureChangeMarksTheDocumentAndRebuildsThePreview)
{
    Depose({Image("blanc.bmp", 400, 300)});
    ASSERT_EQ(Differents(vue->ImageSignee, RGB(255, 255, 255)), 0);
    auto* texte = static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241));
    Type(texte, "Signature");
    Pump();
    EXPECT_TRUE(application->Document()->IsModified());
    EXPECT_EQ(vue->PanneauTexte->Modifie, 0) << "cleared by the view";
    EXPECT_GT(Differents(vue->ImageSignee, RGB(255, 255, 255)), 0);
    EXPECT_EQ(SizeOf(vue->ImageSignee), CSize(400, 300));
    EXPECT_EQ(SizeOf(vue->ImageApercu), vue->TailleAffichage);
}

TEST_F(Vue, WithNoPictureTheBackgroundItselfIsSigned)
{
    auto* texte = static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241));
    Type(texte, "Signature");
    Pump();
    EXPECT_NE(FirstDifference(vue->ImageSignee, vue->ImageFond), "");
    EXPECT_EQ(SizeOf(vue->ImageSignee), vue->TailleAffichage);
}

TEST_F(Vue, DeleteTextAndDeleteLogoResetTheirPanelAndBeep)
{
    const std::string logo = Image("logo.bmp", 16, 16, RGB(200, 0, 0));
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Hello");
    Scripted().files.push_back({logo});
    Click(Control(vue->PanneauLogo, 1616));
    Pump();
    ASSERT_EQ(vue->PanneauLogo->Logo, logo);
    application->Document()->SetModifiedFlag(false);

    vue->OnCommand(Commande::SupprimeTexte);
    EXPECT_EQ(vue->PanneauTexte->Texte, "");
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "");
    EXPECT_TRUE(application->Document()->IsModified());
    EXPECT_EQ(vue->CoucheLogoCourante().Logo, logo) << "the logo stays";

    application->Document()->SetModifiedFlag(false);
    vue->OnCommand(Commande::SupprimeLogo);
    Pump();
    EXPECT_EQ(vue->PanneauLogo->Logo, "");
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1617), "*** No Selected Logo File ***");
    EXPECT_TRUE(application->Document()->IsModified());
    EXPECT_EQ(Scripted().beeps, (std::vector<UINT>{MB_SIMPLEBEEP, MB_SIMPLEBEEP}));
    EXPECT_EQ(FirstDifference(vue->ImageSignee, vue->ImageFond), "") << "nothing left to sign";
}

TEST_F(Vue, ResetEverythingRestoresTheDefaultsWithoutMarkingTheDocument)
{
    Depose({Image("a.bmp", 10, 10)});
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Hello");
    Click(Control(vue.get(), 1504));
    Click(Control(vue.get(), 1508));
    auto* qualite = static_cast<QLineEdit*>(Control(vue.get(), 1506));
    qualite->selectAll();
    Type(qualite, "90");
    Pump();
    application->Document()->SetModifiedFlag(false);

    vue->ReinitialiseTout();
    Pump();
    EXPECT_TRUE(Lignes().empty());
    EXPECT_EQ(Compteur(), "(0/0)");
    EXPECT_EQ(vue->PanneauTexte->Texte, "");
    EXPECT_EQ(vue->GetDlgItemText(1505), "TP");
    EXPECT_EQ(vue->GetDlgItemText(1506), "75");
    EXPECT_EQ(vue->IsDlgButtonChecked(1503), BST_CHECKED);
    EXPECT_EQ(vue->IsDlgButtonChecked(1504), BST_UNCHECKED);
    EXPECT_EQ(vue->IsDlgButtonChecked(1501), BST_CHECKED);
    EXPECT_FALSE(Control(vue.get(), 1510)->isEnabled());
    EXPECT_FALSE(application->Document()->IsModified());
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_SIMPLEBEEP});
}

TEST_F(Vue, SetupEnablingFollowsTheRadios)
{
    const auto actif = [this](int id) { return Control(vue.get(), id)->isEnabled(); };
    EXPECT_TRUE(actif(1505));
    EXPECT_FALSE(actif(1509));
    EXPECT_FALSE(actif(1510));
    Click(Control(vue.get(), 1502));
    EXPECT_FALSE(actif(1505));
    Click(Control(vue.get(), 1504));
    EXPECT_TRUE(actif(1505));
    Click(Control(vue.get(), 1508));
    EXPECT_TRUE(actif(1509));
    EXPECT_TRUE(actif(1510));
    Click(Control(vue.get(), 1501));
    EXPECT_FALSE(actif(1509));
}

TEST_F(Vue, AQualityOutOfRangeWarnsAtTheNextTransfer)
{
    auto* qualite = static_cast<QLineEdit*>(Control(vue.get(), 1506));
    qualite->selectAll();
    Type(qualite, "1x5y0");
    EXPECT_EQ(qualite->text(), "150") << "digits only";
    EXPECT_TRUE(Scripted().shown.empty());
    PostMessage(vue.get(), WM_CHANGEMENT_SIGNATURE, 0, 0);
    Pump();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Please enter an integer between 0 and 100.");
}

TEST_F(Vue, DisplaySelectedFileShowsTheSignedPictureAtFullSize)
{
    Depose({Image("photo.bmp", 1024, 768)});
    CString legende;
    HBITMAP montree = nullptr;
    OnNextModal([&](QWidget* dialogue) {
        auto* plein = static_cast<CPleinEcranDlg*>(dialogue);
        legende = plein->Legende;
        montree = plein->Image;
        plein->EndDialog(IDOK);
    });
    vue->OnCommand(Commande::AfficheSelection);
    EXPECT_EQ(legende, "(1024x768)");
    EXPECT_EQ(montree, vue->ImageSignee);
    EXPECT_EQ(SizeOf(vue->ImageSignee), CSize(1024, 768));
}

TEST_F(Vue, TheLogoLiesOverTheTextAndCountsWhileTheTextPanelIsShown)
{
    Depose({Image("blanc.bmp", 300, 200)});
    const std::string logo = Image("logo.bmp", 40, 30, RGB(0, 0, 200));
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "WWWWWWWW");
    Scripted().files.push_back({logo});
    Click(Control(vue->PanneauLogo, 1616));
    Pump();
    ASSERT_TRUE(vue->PanneauTexte->isVisible());
    // Both layers sit in the bottom-right corner, 5 pixels from the edges;
    // the text runs out to the left of the logo, which covers the rest of it.
    int encre = 0;
    for (int y = 150; y < 195; ++y)
        for (int x = 0; x < 255; ++x)
            encre += Pixel(vue->ImageSignee, x, y) != RGB(255, 255, 255);
    EXPECT_GT(encre, 0);
    for (int y = 165; y < 195; ++y)
        for (int x = 255; x < 295; ++x)
            ASSERT_EQ(Pixel(vue->ImageSignee, x, y), RGB(0, 0, 200)) << x << "," << y;
}

TEST_F(Vue, AFileGoneSinceItWasListedShowsTheSignedBackgroundSilently)
{
    const std::string a = Image("a.jpg", 20, 10);
    const std::string b = Image("b.bmp", 30, 10);
    Depose({a, b});
    std::filesystem::remove(a);
    PressKey(vue->Liste(), Qt::Key_Up);
    EXPECT_EQ(vue->LigneSelectionnee(), 0);
    EXPECT_EQ(vue->ImageSelection, vue->ImageFond);
    EXPECT_EQ(vue->TailleImage, vue->TailleAffichage);
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(Vue, TheFolderPickerFillsTheSpecialFolderOnlyWhenConfirmed)
{
    Click(Control(vue.get(), 1508));
    Scripted().folders.push_back(bac.path("sortie"));
    Click(Control(vue.get(), 1509));
    EXPECT_EQ(vue->NomRepertoire, bac.path("sortie"));
    EXPECT_EQ(vue->GetDlgItemText(1510), bac.path("sortie"));
    Click(Control(vue.get(), 1509)); // cancelled
    EXPECT_EQ(vue->GetDlgItemText(1510), bac.path("sortie"));
}

TEST_F(Vue, ATemplateWrittenAndReadBackRestoresWhatWasShown)
{
    const std::string logo = Image("logo.bmp", 16, 16, RGB(200, 0, 0));
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Hello");
    Scripted().files.push_back({logo});
    Click(Control(vue->PanneauLogo, 1616));
    Click(Control(vue.get(), 1504));
    auto* nom = static_cast<QLineEdit*>(Control(vue.get(), 1505));
    nom->selectAll();
    Type(nom, "_s"); // saved with no other action: the typed text is what is stored
    Pump();
    CArchive ecrit;
    vue->Serialize(ecrit, true);

    vue->ReinitialiseTout();
    ASSERT_EQ(vue->GetDlgItemText(1505), "TP");
    CArchive lu(ecrit.Bytes());
    vue->Serialize(lu, false);
    Pump();
    EXPECT_FALSE(lu.Failed());
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "Hello");
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1618), "(16x16)");
    EXPECT_EQ(vue->GetDlgItemText(1505), "_s");
    EXPECT_EQ(vue->IsDlgButtonChecked(1504), BST_CHECKED);
    EXPECT_EQ(vue->IsDlgButtonChecked(1503), BST_UNCHECKED);
    EXPECT_NE(FirstDifference(vue->ImageSignee, vue->ImageFond), "") << "the preview was rebuilt";

    // Not a template: refused, nothing changed.
    const std::vector<BYTE> faux = {190, 0, 0, 0, 1, 2, 3};
    CArchive refuse(faux);
    vue->Serialize(refuse, false);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "This file isn't correct.");
    EXPECT_EQ(vue->GetDlgItemText(1505), "_s");
}

TEST_F(Vue, TheTextPlacementFollowsTheTextPanel)
{
    Position p = vue->PositionTexte(CSize(640, 480));
    EXPECT_EQ(p.point, CPoint(635, 475));
    EXPECT_EQ(p.horizontal, 1);
    EXPECT_EQ(p.vertical, 1);
    Click(Control(vue->PanneauTexte, 2259)); // Center
    Click(Control(vue->PanneauTexte, 2253)); // Up
    p = vue->PositionTexte(CSize(640, 480));
    EXPECT_EQ(p.point, CPoint(0, 5));
    EXPECT_EQ(p.horizontal, 2);
    EXPECT_EQ(p.vertical, 0);
    Click(Control(vue->PanneauTexte, 2247)); // Absolute
    p = vue->PositionTexte(CSize(640, 480));
    EXPECT_EQ(p.point, CPoint(0, 0));
    EXPECT_EQ(p.horizontal, 0);
}

} // namespace
