// The settings store over its INI file, with the config home in a sandbox.

#include "CBaseRegistre.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QCheckBox>
#include <QSettings>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class BaseRegistre : public testing::Test {
protected:
    void SetUp() override
    {
        m_avant = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_bac.path("config")));
        std::filesystem::create_directories(m_bac.path("config/Quillon"));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_avant); }
    std::string Fichier() const { return m_bac.path("config/Quillon/Tamparo2.conf"); }
    std::string Contenu() const
    {
        const auto octets = TestImages::ReadFile(Fichier());
        return {octets.begin(), octets.end()};
    }
    void Ecrit(const std::string& contenu)
    {
        TestImages::WriteFile(Fichier(), std::vector<std::uint8_t>(contenu.begin(), contenu.end()));
    }

    TestImages::Sandbox m_bac;
    CBaseRegistre m_registre;

private:
    QByteArray m_avant;
};

TEST_F(BaseRegistre, ReadingCreatesTheEmptyKeyAndMissingValuesKeepTheDefaults)
{
    ASSERT_EQ(m_registre.OuvreLecture("Tamparo2"), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(Fichier()));
    EXPECT_EQ(std::filesystem::file_size(Fichier()), 0u);
    CString texte = "defaut";
    int nombre = 7;
    LOGFONT police{};
    police.lfHeight = -13;
    EXPECT_EQ(m_registre.Lecture("Texte", texte), 0);
    EXPECT_EQ(m_registre.Erreur, ENOENT);
    EXPECT_EQ(m_registre.Lecture("Nombre", nombre), 0);
    EXPECT_EQ(m_registre.Lecture("Police", &police, sizeof police), 0);
    EXPECT_EQ(texte, "defaut");
    EXPECT_EQ(nombre, 7);
    EXPECT_EQ(police.lfHeight, -13);
    EXPECT_EQ(m_registre.Ferme(), 1);
}

TEST_F(BaseRegistre, NumbersAndCheckStatesAreDecimalText)
{
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    m_registre.Ecriture("Melange", CString("12abc"));
    m_registre.Ecriture("Lettres", CString("abc"));
    m_registre.Ecriture("Enorme", CString("99999999999999999999999"));
    m_registre.Ecriture("Max", 4294967295u);
    QCheckBox boite;
    boite.setTristate(true);
    boite.setCheckState(Qt::PartiallyChecked);
    m_registre.Ecriture("Boite", boite);
    ASSERT_EQ(m_registre.Ferme(), 1);
    EXPECT_NE(Contenu().find("Max=-1\n"), std::string::npos) << Contenu();
    EXPECT_NE(Contenu().find("Boite=0\n"), std::string::npos) << Contenu();

    ASSERT_EQ(m_registre.OuvreLecture("Tamparo2"), 1);
    int nombre = 99;
    EXPECT_EQ(m_registre.Lecture("Melange", nombre), 1);
    EXPECT_EQ(nombre, 12);
    EXPECT_EQ(m_registre.Lecture("Lettres", nombre), 1);
    EXPECT_EQ(nombre, 0);
    // Saturates instead of wrapping to an arbitrary value.
    EXPECT_EQ(m_registre.Lecture("Enorme", nombre), 1);
    EXPECT_EQ(nombre, INT_MAX);
    unsigned int positif = 0;
    EXPECT_EQ(m_registre.Lecture("Max", positif), 1);
    EXPECT_EQ(positif, 4294967295u);
    EXPECT_EQ(m_registre.Lecture("Melange", boite), 1);
    EXPECT_EQ(boite.checkState(), Qt::Checked);
    m_registre.Ferme();
}

TEST_F(BaseRegistre, RecordsAndTextsComeBackAsWrittenWithinTheirLimits)
{
    LOGFONT police{};
    police.lfHeight = -24;
    police.lfWeight = 700;
    police.lfCharSet = 0xFF;
    std::strcpy(police.lfFaceName, "Comic Sans MS");
    const CString latin1 = "/photos/\xE9t\xE9.jpg";
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    EXPECT_EQ(m_registre.Ecriture("Police", &police, sizeof police), 1);
    EXPECT_EQ(m_registre.Ecriture("Dossier", latin1), 1);
    EXPECT_EQ(m_registre.Ecriture("Limite", CString(65534, 'x')), 1);
    // With its terminator it would reach 65,536 bytes: refused, not written.
    EXPECT_EQ(m_registre.Ecriture("Trop", CString(65535, 'x')), 0);
    EXPECT_EQ(m_registre.Erreur, EFBIG);
    ASSERT_EQ(m_registre.Ferme(), 1);

    ASSERT_EQ(m_registre.OuvreLecture("Tamparo2"), 1);
    LOGFONT lue{};
    ASSERT_EQ(m_registre.Lecture("Police", &lue, sizeof lue), 1);
    EXPECT_EQ(std::memcmp(&lue, &police, sizeof police), 0);
    unsigned char petit[59];
    std::memset(petit, 0x11, sizeof petit);
    EXPECT_EQ(m_registre.Lecture("Police", petit, sizeof petit), 0);
    EXPECT_EQ(m_registre.Erreur, EOVERFLOW);
    EXPECT_EQ(std::count(petit, petit + sizeof petit, 0x11), 59);
    CString texte;
    EXPECT_EQ(m_registre.Lecture("Dossier", texte), 1);
    EXPECT_EQ(texte, latin1);
    EXPECT_EQ(m_registre.Lecture("Limite", texte), 1);
    EXPECT_EQ(texte.size(), 65534u);
    m_registre.Ferme();

    // Put into the file by another hand.
    QSettings(QString::fromStdString(Fichier()), QSettings::IniFormat).setValue("Enorme", QString(70000, u'y'));
    ASSERT_EQ(m_registre.OuvreLecture("Tamparo2"), 1);
    texte = "defaut";
    EXPECT_EQ(m_registre.Lecture("Enorme", texte), 0);
    EXPECT_EQ(texte, "defaut");
    m_registre.Ferme();
}

TEST_F(BaseRegistre, OpenFailsWhenTheStoreCannotBeCreatedOrIsNoSettingsFile)
{
    // A regular file where a folder should be: tests run as root, so
    // permissions alone would not stop us.
    std::filesystem::remove_all(m_bac.path("config"));
    TestImages::WriteFile(m_bac.path("config"), {'x'});
    EXPECT_EQ(m_registre.OuvreLecture("Tamparo2"), 0);
    EXPECT_NE(m_registre.Erreur, 0);
    CString texte = "defaut";
    EXPECT_EQ(m_registre.Lecture("Texte", texte), 0);
    EXPECT_EQ(m_registre.Ecriture("Texte", CString("x")), 0);

    std::filesystem::remove(m_bac.path("config"));
    std::filesystem::create_directories(Fichier());
    EXPECT_EQ(m_registre.OuvreEcriture("Tamparo2"), 0);
    EXPECT_EQ(m_registre.Erreur, EISDIR);
    std::filesystem::remove(Fichier());
    Ecrit("[");
    std::filesystem::resize_file(Fichier(), (std::uintmax_t(16) << 20) + 1);
    EXPECT_EQ(m_registre.OuvreLecture("Tamparo2"), 0);
    EXPECT_EQ(m_registre.Erreur, EFBIG);
    EXPECT_EQ(m_registre.OuvreEcriture("../Ailleurs"), 0);
    EXPECT_EQ(m_registre.Erreur, EINVAL);
}

TEST_F(BaseRegistre, ASpoiledFileGivesWhatParsesAndIsWrittenBackClean)
{
    Ecrit("[General]\nAvant=12\n[[[\n");
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    int avant = 0;
    EXPECT_EQ(m_registre.Lecture("Avant", avant), 1);
    EXPECT_EQ(avant, 12);
    m_registre.Ecriture("Apres", 34);
    EXPECT_EQ(m_registre.Ferme(), 1);
    EXPECT_NE(Contenu().find("Apres=34"), std::string::npos) << Contenu();
    EXPECT_EQ(Contenu().find("[[["), std::string::npos) << Contenu();
}

TEST_F(BaseRegistre, CloseReportsThatTheFileCouldNotBeWritten)
{
    // From a clean file, and from a spoiled one whose read error would
    // otherwise hide the write error.
    for (const std::string debut : {"", "[General]\nA=1\n[[[\n"}) {
        SCOPED_TRACE(debut);
        std::filesystem::remove_all(m_bac.path("config/Quillon"));
        std::filesystem::create_directories(m_bac.path("config/Quillon"));
        Ecrit(debut);
        ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
        m_registre.Ecriture("Texte", CString("perdu"));
        std::filesystem::remove_all(m_bac.path("config/Quillon"));
        TestImages::WriteFile(m_bac.path("config/Quillon"), {'x'});
        EXPECT_EQ(m_registre.Ferme(), 0);
        EXPECT_EQ(m_registre.Erreur, ENOTDIR);
    }
}

TEST_F(BaseRegistre, AFileThatMayNotBeReplacedKeepsItsSettings)
{
    Ecrit("[General]\nTexte=ancien\n");
    ::chmod(Fichier().c_str(), 0444);
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    m_registre.Ecriture("Texte", CString("nouveau"));
    EXPECT_EQ(m_registre.Ferme(), 0);
    EXPECT_EQ(m_registre.Erreur, EACCES);
    EXPECT_EQ(Contenu(), "[General]\nTexte=ancien\n");
}

TEST_F(BaseRegistre, ALinkedSettingsFileIsWrittenThroughAndStaysALink)
{
    // Settings kept with the user's other configuration files elsewhere.
    std::filesystem::create_directories(m_bac.path("dotfiles"));
    TestImages::WriteFile(m_bac.path("dotfiles/Tamparo2.conf"), {});
    std::filesystem::create_symlink(m_bac.path("dotfiles/Tamparo2.conf"), Fichier());
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    m_registre.Ecriture("Nombre", 42);
    ASSERT_EQ(m_registre.Ferme(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(Fichier()));
    const auto octets = TestImages::ReadFile(m_bac.path("dotfiles/Tamparo2.conf"));
    EXPECT_NE(std::string(octets.begin(), octets.end()).find("Nombre=42"), std::string::npos);
}

TEST_F(BaseRegistre, AFullDiskIsReportedAndThePreviousFileStaysWhole)
{
    ASSERT_EQ(m_registre.OuvreEcriture("Tamparo2"), 1);
    m_registre.Ecriture("Texte", CString("ancien"));
    ASSERT_EQ(m_registre.Ferme(), 1);
    const std::string avant = Contenu();

    const pid_t enfant = ::fork();
    ASSERT_GE(enfant, 0);
    if (enfant == 0) {
        // Writes beyond the limit fail as on a full disk, for root too.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limite);
        int resultat = 1;
        {
            CBaseRegistre registre;
            if (registre.OuvreEcriture("Tamparo2")) {
                registre.Ecriture("Texte", CString(20000, 'n'));
                resultat = registre.Ferme() == 0 && registre.Erreur != 0 ? 0 : 2;
            }
        }
        ::_exit(resultat);
    }
    int etat = 0;
    ::waitpid(enfant, &etat, 0);
    EXPECT_TRUE(WIFEXITED(etat) && WEXITSTATUS(etat) == 0) << "the save was reported failed";
    EXPECT_EQ(Contenu(), avant);
    std::vector<std::string> noms;
    for (const auto& entree : std::filesystem::directory_iterator(m_bac.path("config/Quillon")))
        noms.push_back(entree.path().filename().string());
    EXPECT_EQ(noms, (std::vector<std::string>{"Tamparo2.conf"})) << "no temporary left";
}

TEST_F(BaseRegistre, AnOversizedFileIsReportedOncePerRun)
{
    Ecrit("[");
    std::filesystem::resize_file(Fichier(), CBaseRegistre::kTailleFichierMax + 1);
    Scripted().clear();
    for (int fois = 0; fois < 3; ++fois) {
        EXPECT_EQ(fois % 2 ? m_registre.OuvreEcriture("Tamparo2") : m_registre.OuvreLecture("Tamparo2"), 0);
        EXPECT_EQ(m_registre.Erreur, EFBIG);
    }
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_NE(Scripted().shown[0].text.find(Fichier()), std::string::npos) << Scripted().shown[0].text;
    EXPECT_EQ(std::filesystem::file_size(Fichier()), std::uintmax_t(CBaseRegistre::kTailleFichierMax + 1))
        << "the file is left to the user";

    // Exactly at the limit it is still a settings file.
    std::filesystem::resize_file(Fichier(), CBaseRegistre::kTailleFichierMax);
    EXPECT_EQ(m_registre.OuvreLecture("Tamparo2"), 1);
    m_registre.Ferme();
}

} // namespace
