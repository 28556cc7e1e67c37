// Signing templates through the workbench: every field into the panels and
// the "Setup" area and back out, damaged files, and a template named on the
// command line at start-up.

#include "CMainFrame.h"
#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"
#include "DialogDriver.h"
#include "Screen.h"
#include "ScriptedInteraction.h"
#include "TexteImporte.h"
#include "VueTestSupport.h"

#include <QElapsedTimer>
#include <QLineEdit>

#include <cstring>

using namespace DialogDriver;
using namespace TestImages;

namespace {

// Settings unlike the defaults wherever a field can differ; each radio group
// keeps one choice, as the panels show them.
ModeleSignature Distinct(const std::string& logo)
{
    ModeleSignature m;
    m.Texte = "Photo (c) 2026";
    m.Fonte.lfHeight = -19;
    m.Fonte.lfWeight = FW_BOLD;
    m.Fonte.lfItalic = 1;
    m.Fonte.lfCharSet = 1;
    std::strcpy(m.Fonte.lfFaceName, "DejaVu Sans");
    m.EmplacementTexte = {0, 1, 1, 0, 0, 1, 0, 11, 12, 130, 140};
    m.CouleurEncre = RGB(10, 20, 30);
    m.EncreHexa = 0;
    m.EncreDecimal = 1;
    m.CouleurFond = RGB(200, 100, 50);
    m.FondHexa = 0;
    m.FondDecimal = 1;
    m.FondTransparent = 0;
    m.Logo = logo;
    // A margin above the controls' bound of 2000 is kept and shown.
    m.EmplacementLogo = {1, 0, 1, 0, 0, 0, 1, 2500, 22, 31, 32};
    m.NomFichier = "_sig";
    m.NomFichierAucun = 0;
    m.NomFichierPrefixe = 0;
    m.NomFichierSuffixe = 1;
    m.QualiteJPEG = 42;
    m.NomRepertoire = "/srv/signed";
    m.NomRepertoireAucun = 0;
    m.NomRepertoireSpecifique = 1;
    return m;
}

std::vector<BYTE> Octets(const ModeleSignature& m)
{
    CArchive archive;
    m.Ecrit(archive);
    return archive.Bytes();
}

std::uint32_t Mot(const std::vector<BYTE>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

class Modele : public VueTest {
protected:
    // The view reads bytes as the document hands them over.
    bool Lit(const std::vector<BYTE>& octets)
    {
        CArchive archive(octets);
        vue->Serialize(archive, false);
        Pump();
        return !archive.Failed();
    }
    std::vector<BYTE> Ecrit()
    {
        CArchive archive;
        vue->Serialize(archive, true);
        return archive.Bytes();
    }
};

TEST_F(Modele, EveryFieldGoesIntoTheWorkbenchAndComesBackOut)
{
    const std::vector<BYTE> octets = Octets(Distinct(Image("logo.bmp", 20, 10, RGB(0, 90, 0))));
    ASSERT_TRUE(Lit(octets));
    EXPECT_TRUE(Scripted().shown.empty());

    // What the user sees.
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "Photo (c) 2026");
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2249), "130");
    EXPECT_TRUE(vue->PanneauTexte->GetDlgItem(2249)->isEnabled()) << "absolute placement enables X";
    EXPECT_EQ(vue->PanneauTexte->CouleurEncre->GetDlgItemText(1402), "10") << "decimal";
    EXPECT_EQ(vue->PanneauTexte->CouleurFond->IsDlgButtonChecked(1408), BST_UNCHECKED);
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1618), "(20x10)");
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1610), "2500");
    EXPECT_EQ(vue->GetDlgItemText(1505), "_sig");
    EXPECT_EQ(vue->GetDlgItemText(1506), "42");
    EXPECT_EQ(vue->GetDlgItemText(1510), "/srv/signed");
    EXPECT_TRUE(vue->GetDlgItem(1510)->isEnabled());
    EXPECT_EQ(vue->IsDlgButtonChecked(1504), BST_CHECKED);

    // All 43 fields, as they are read back from the controls.
    EXPECT_EQ(Ecrit(), octets);
    EXPECT_TRUE(Scripted().shown.empty()) << "a margin above the bound is not checked on saving";
}

TEST_F(Modele, TheSecondAbsoluteFlagWinsAndBothCopiesAreWrittenAlike)
{
    std::vector<BYTE> octets = Octets(ModeleSignature());
    // Text "Absolute": field 4 after the version, the empty text and the font.
    const std::size_t texte = 4 + 1 + 60;
    // Logo "Absolute": after the 19 fields that follow, and the empty logo path.
    const std::size_t logo = texte + 19 * 4 + 1;
    ASSERT_EQ(Mot(octets, texte), 0u);
    ASSERT_EQ(Mot(octets, logo), 0u);
    octets[texte + 4] = 1; // first copy 0, second 1
    octets[logo] = 1;      // first copy 1, second 0
    ASSERT_TRUE(Lit(octets));
    EXPECT_EQ(vue->PanneauTexte->IsDlgButtonChecked(2247), BST_CHECKED);
    EXPECT_EQ(vue->PanneauLogo->IsDlgButtonChecked(1602), BST_UNCHECKED);

    const std::vector<BYTE> ecrits = Ecrit();
    EXPECT_EQ(Mot(ecrits, texte), 1u);
    EXPECT_EQ(Mot(ecrits, texte + 4), 1u);
    EXPECT_EQ(Mot(ecrits, logo), 0u);
    EXPECT_EQ(Mot(ecrits, logo + 4), 0u);
}

TEST_F(Modele, ADamagedFileStopsWhereItEndsWithoutHarm)
{
    const ModeleSignature distinct = Distinct("");
    std::vector<BYTE> octets = Octets(distinct);
    const std::vector<BYTE> avant = Ecrit();

    // Cut inside the "Filenames" radios: the name text is read, the rest is not.
    const std::size_t apresNom = octets.size() - (3 * 4 + 4 + 1 + distinct.NomRepertoire.size() + 2 * 4);
    octets.resize(apresNom + 2);
    EXPECT_FALSE(Lit(octets));
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "Photo (c) 2026");
    EXPECT_EQ(vue->GetDlgItemText(1505), "_sig");
    EXPECT_EQ(vue->IsDlgButtonChecked(1503), BST_CHECKED) << "the radios after the end keep their state";
    EXPECT_EQ(vue->GetDlgItemText(1506), "75");
    EXPECT_TRUE(Scripted().shown.empty()) << "the document reports the failed open";

    // A text that claims 4 GiB: nothing is allocated for it and nothing changes.
    vue->ReinitialiseTout();
    std::vector<BYTE> enorme = {191, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'};
    EXPECT_FALSE(Lit(enorme));
    EXPECT_EQ(Ecrit(), avant);

    // Not a template at all.
    EXPECT_TRUE(Lit({190, 0, 0, 0}));
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "This file isn't correct.");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    EXPECT_EQ(Ecrit(), avant);
}

TEST_F(Modele, SavingRightAfterTypingStoresWhatIsShown)
{
    auto* nom = static_cast<QLineEdit*>(Control(vue.get(), 1505));
    nom->selectAll();
    Type(nom, "NEW");
    auto* qualite = static_cast<QLineEdit*>(Control(vue.get(), 1506));
    qualite->selectAll();
    Type(qualite, "150");
    const std::string chemin = bac.path("modele.tp2");
    ASSERT_TRUE(application->Document()->OnSaveDocument(chemin));

    // The range warning is shown, and the file holds what the user sees.
    ASSERT_EQ(Scripted().shown.size(), 1u);
    ModeleSignature lu;
    ASSERT_EQ(lu.ChargeFichier(chemin), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(lu.NomFichier, "NEW");
    EXPECT_EQ(lu.QualiteJPEG, 150);
}

TEST_F(Modele, AMegabyteTextComesInCutAndTheWindowStaysResponsive)
{
    ModeleSignature m = Distinct("");
    m.Texte.clear();
    while (m.Texte.size() < (15u << 20))
        m.Texte += "Sign\xC3\xA9 ";
    QElapsedTimer horloge;
    horloge.start();
    ASSERT_TRUE(Lit(Octets(m)));
    const qint64 ms = horloge.elapsed();
    // The edit control keeps fewer characters still; what it shows is the start.
    const CString montre = vue->PanneauTexte->GetDlgItemText(2241);
    EXPECT_GT(montre.size(), 30000u);
    EXPECT_LE(montre.size(), TexteImporte::kTailleMaximale);
    EXPECT_TRUE(montre == m.Texte.substr(0, montre.size()));
    EXPECT_EQ(vue->GetDlgItemText(1510), "/srv/signed") << "the fields after the text";
    // Before the cut this took tens of seconds; a loaded machine gets ample margin.
    EXPECT_LT(ms, 5000);
}

// The program started as "tamparo2 template.tp2".
class DemarrageAvecModele : public testing::Test {
protected:
    void SetUp() override
    {
        m_configAvant = qgetenv("XDG_CONFIG_HOME");
        m_donneesAvant = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(bac.path("donnees")));
        Screen::simulate({1280, 1024}, 32);
        Scripted().clear();
    }
    void TearDown() override
    {
        if (application)
            application->ExitInstance();
        application.reset();
        Screen::simulate({0, 0}, 0);
        qputenv("XDG_CONFIG_HOME", m_configAvant);
        qputenv("XDG_DATA_HOME", m_donneesAvant);
    }

    Sandbox bac;
    std::unique_ptr<CTamparoApp> application;

private:
    QByteArray m_configAvant;
    QByteArray m_donneesAvant;
};

TEST_F(DemarrageAvecModele, TheWorkbenchShowsTheTemplateAndTheWindowItsTitle)
{
    CGraphique graphique;
    HBITMAP image = Solid(20, 10, 32, RGB(0, 90, 0));
    const std::string logo = bac.path("logo.bmp");
    ASSERT_EQ(graphique.SauveImage(logo, image, 90), 1);
    DeleteObject(image);
    const ModeleSignature modele = Distinct(logo);
    const std::string chemin = bac.path("vacances 2026.tp2");
    ASSERT_TRUE(modele.SauveFichier(chemin));

    application = std::make_unique<CTamparoApp>();
    OnNextModal([](QWidget* aPropos) { Click(Control(aPropos, 1200)); });
    ASSERT_TRUE(application->InitInstance({QString::fromStdString(chemin)}));
    Pump();

    CPrincipaleView* vue = application->Vue;
    ASSERT_NE(vue, nullptr);
    EXPECT_EQ(application->Frame()->windowTitle(), "Tamparo2 - vacances 2026");
    EXPECT_EQ(vue->PanneauTexte->GetDlgItemText(2241), "Photo (c) 2026");
    EXPECT_EQ(vue->PanneauLogo->GetDlgItemText(1618), "(20x10)");
    EXPECT_EQ(vue->GetDlgItemText(1505), "_sig");
    EXPECT_EQ(Octets(vue->Reglages()), Octets(modele)) << "every field, not only the ones looked at";
    EXPECT_FALSE(application->Document()->IsModified());
    EXPECT_TRUE(Scripted().shown.empty());
}

} // namespace
