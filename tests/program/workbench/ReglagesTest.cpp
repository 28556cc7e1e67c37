// The last settings from one run of the program to the next, in a sandboxed
// settings store.

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "DialogDriver.h"
#include "ReglagesRegistre.h"
#include "ScriptedInteraction.h"
#include "VueTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSettings>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace DialogDriver;

namespace {

class Reglages : public VueTest {
protected:
    std::string Magasin() const { return bac.path("config/Quillon/Tamparo2.conf"); }
    QVariant Valeur(const char* nom) const
    {
        QSettings magasin(QString::fromStdString(Magasin()), QSettings::IniFormat);
        return magasin.value(QString::fromUtf8(nom));
    }
    bool Coche(QAbstractButton* bouton) const { return bouton && bouton->isChecked(); }
};

TEST_F(Reglages, AcrossTwoRunsOfTheProgram)
{
    // First start on a fresh machine: the defaults, and the empty store made.
    EXPECT_TRUE(std::filesystem::is_regular_file(Magasin()));
    EXPECT_EQ(std::filesystem::file_size(Magasin()), 0u);
    EXPECT_TRUE(Coche(vue->PanneauTexte->PositionAutomatiqueBas));
    EXPECT_TRUE(Coche(vue->PanneauTexte->PositionAutomatiqueDroite));
    EXPECT_EQ(vue->PanneauTexte->PositionAutomatiqueDeltaX, 5u);
    EXPECT_TRUE(Coche(vue->PanneauLogo->PositionAutomatiqueBas));
    EXPECT_TRUE(Coche(vue->PanneauLogo->PositionAutomatiqueDroite));
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1610), "5");
    EXPECT_EQ(vue->GetDlgItemText(1505), "TP");
    EXPECT_EQ(vue->GetDlgItemText(1506), "75");
    EXPECT_EQ(vue->IsDlgButtonChecked(1503), BST_CHECKED);
    EXPECT_EQ(vue->IsDlgButtonChecked(1501), BST_CHECKED);

    auto* qualite = static_cast<QLineEdit*>(Control(vue.get(), 1506));
    qualite->selectAll();
    Type(qualite, "90");
    Type(static_cast<QLineEdit*>(Control(vue->PanneauTexte, 2241)), "Ma signature");
    Click(Control(vue->PanneauLogo, 1602));
    Pump();
    Arrete();

    EXPECT_EQ(Valeur("Qualite JPEG").toString(), "90");
    EXPECT_EQ(Valeur("ST:Texte").toString(), "Ma signature");
    EXPECT_EQ(Valeur("SL:PositionAbsolue").toString(), "1");
    EXPECT_EQ(Valeur("SL:PositionAutomatique").toString(), "0");
    const QVariant fonte = Valeur("ST:Fonte");
    EXPECT_EQ(fonte.typeId(), QMetaType::QByteArray);
    EXPECT_EQ(fonte.toByteArray().size(), 60);
    QSettings magasin(QString::fromStdString(Magasin()), QSettings::IniFormat);
    // The forty of the original program, the metadata policy, the two layers' styles, the save-as format,
    // "Same as the original" and "Resize" (its mode and its number).
    EXPECT_EQ(magasin.allKeys().size(), 47);
    EXPECT_EQ(Valeur("MetadonneesSortie").toString(), "0");
    EXPECT_EQ(Valeur("FormatSortie").toString(), "0");

    // Second start: what was saved is shown.
    Demarre();
    EXPECT_EQ(vue->GetDlgItemText(1506), "90");
    EXPECT_EQ(vue->QualiteJPEG, 90);
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "Ma signature");
    EXPECT_TRUE(Coche(vue->PanneauLogo->PositionAbsolue));
    EXPECT_FALSE(Control(vue->PanneauLogo, 1603)->isEnabled()) << "the enabling follows the restored mode";
    EXPECT_NE(TestImages::FirstDifference(vue->ImageSignee, vue->ImageFond), "") << "the restored text is in the preview";
}

TEST_F(Reglages, AStoredLogoThatIsGoneGivesNoLogo)
{
    const std::string logo = Image("logo.bmp", 16, 16);
    Scripted().files.push_back({logo});
    Click(Control(vue->PanneauLogo, 1616));
    Pump();
    Arrete();
    EXPECT_EQ(Valeur("SL:Logo").toString().toStdString(), logo);

    std::filesystem::remove(logo);
    Demarre();
    EXPECT_EQ(vue->PanneauLogo->Logo, "");
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1617), "*** No Selected Logo File ***");
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST(ReglagesRegistre, EveryValueComesBackAndMissingOnesKeepTheirSetting)
{
    TestImages::Sandbox bac;
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));

    ModeleSignature ecrits;
    ecrits.Texte = "été";
    ecrits.Fonte.lfHeight = -17;
    ecrits.Fonte.lfWeight = 700;
    std::strcpy(ecrits.Fonte.lfFaceName, "DejaVu Sans");
    ecrits.EmplacementTexte.PositionAbsolue = 1;
    ecrits.EmplacementTexte.PositionAutomatique = 0;
    ecrits.EmplacementTexte.PositionAbsolueX = 2500;
    ecrits.CouleurEncre = RGB(1, 2, 3);
    ecrits.FondTransparent = 0;
    ecrits.Logo = "/logos/l.gif";
    ecrits.EmplacementLogo.PositionAutomatiqueHaut = 1;
    ecrits.EmplacementLogo.PositionAutomatiqueBas = 0;
    ecrits.EmplacementLogo.PositionAutomatiqueDeltaY = 77;
    ecrits.NomFichier = "";
    ecrits.NomFichierSuffixe = 1;
    ecrits.NomFichierPrefixe = 0;
    ecrits.QualiteJPEG = 12;
    ecrits.NomRepertoire = "/sortie";
    ecrits.NomRepertoireAucun = 0;
    ecrits.NomRepertoireSpecifique = 1;
    ecrits.MetadonneesSortie = PolitiqueMetadonnees::SaufLieu;
    ecrits.FormatEnregistrement = FormatSortie::AVIF;
    ASSERT_EQ(ReglagesRegistre::Ecriture(ecrits), 1);

    ModeleSignature lus;
    ASSERT_EQ(ReglagesRegistre::Lecture(lus), 1);
    CArchive a, b;
    ecrits.Ecrit(a);
    lus.Ecrit(b);
    EXPECT_EQ(a.Bytes(), b.Bytes()) << "all the fields a template holds";

    // A value gone from the store leaves its setting; a short font record
    // leaves the rest of the font.
    {
        QSettings magasin(QString::fromStdString(bac.path("config/Quillon/Tamparo2.conf")), QSettings::IniFormat);
        magasin.remove("Qualite JPEG");
        magasin.setValue("ST:Fonte", QByteArray(4, '\x01'));
        magasin.setValue("MetadonneesSortie", "7");
        magasin.setValue("FormatSortie", "6");
    }
    ModeleSignature defaut;
    defaut.MetadonneesSortie = PolitiqueMetadonnees::Aucune;
    defaut.FormatEnregistrement = FormatSortie::PNG;
    std::strcpy(defaut.Fonte.lfFaceName, "Comic Sans MS");
    ASSERT_EQ(ReglagesRegistre::Lecture(defaut), 1);
    EXPECT_EQ(defaut.QualiteJPEG, 75);
    EXPECT_EQ(defaut.Fonte.lfHeight, 0x01010101);
    EXPECT_STREQ(defaut.Fonte.lfFaceName, "Comic Sans MS");
    EXPECT_EQ(defaut.NomRepertoire, "/sortie");
    EXPECT_EQ(defaut.MetadonneesSortie, PolitiqueMetadonnees::Aucune) << "a policy out of range is ignored";
    EXPECT_EQ(defaut.FormatEnregistrement, FormatSortie::PNG) << "so is a format";

    qputenv("XDG_CONFIG_HOME", avant);
}

TEST(ReglagesRegistre, AStoreThatCannotBeOpenedChangesNothing)
{
    TestImages::Sandbox bac;
    TestImages::WriteFile(bac.path("fichier"), {1});
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    // The config home lies under a plain file: no folder can be made there.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("fichier/config")));
    ModeleSignature reglages;
    reglages.QualiteJPEG = 33;
    EXPECT_EQ(ReglagesRegistre::Lecture(reglages), 0);
    EXPECT_EQ(reglages.QualiteJPEG, 33);
    EXPECT_EQ(ReglagesRegistre::Ecriture(reglages), 0);
    qputenv("XDG_CONFIG_HOME", avant);
}

} // namespace
