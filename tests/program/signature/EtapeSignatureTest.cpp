// The signing step and its workers, through real files.

#include "CGraphique.h"
#include "EtapeSignature.h"
#include "Lot.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QDir>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <map>

using namespace TestImages;

namespace {

constexpr COLORREF kRougeLogo = RGB(200, 0, 0);

class Etape : public testing::Test {
protected:
    std::string Photo(const std::string& nom, int largeur = 96, int hauteur = 64)
    {
        const std::string chemin = bac.path(nom);
        std::filesystem::create_directories(std::filesystem::path(chemin).parent_path());
        HBITMAP image = Gradient(largeur, hauteur);
        EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
        DeleteObject(image);
        return chemin;
    }

    // Text bottom right, the logo at the top-left corner.
    ModeleSignature Reglages(const CString& logo)
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -14;
        r.CouleurEncre = RGB(0, 0, 255);
        r.Logo = logo;
        r.EmplacementLogo.PositionAutomatique = 0;
        r.EmplacementLogo.PositionAbsolue = 1;
        return r;
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(Etape, TheLogoIsFoundAsTheDesktopFindsItOrRelativeToTheTemplateFolder)
{
    const std::string modeles = bac.path("modeles");
    QDir().mkpath(QString::fromStdString(modeles));
    HBITMAP logo = Solid(6, 4, 32, kRougeLogo);
    ASSERT_EQ(graphique.SauveImage(bac.path("modeles/logo.bmp"), logo, 75), 1);
    DeleteObject(logo);
    const std::string source = Photo("a.bmp");

    struct Cas {
        CString logo;
        std::string dossier;
        bool trouve;
    };
    const Cas cas[] = {
        {bac.path("modeles/logo.bmp"), "", true},
        {bac.path("modeles/logo.bmp"), "/elsewhere", true}, // absolute wins
        {"logo.bmp", modeles, true},
        {"logo.bmp", "", false},                            // the current folder has none
        {bac.path("modeles/absent.bmp"), modeles, false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.logo + " in " + c.dossier);
        EtapeSignature etape(Reglages(c.logo), c.dossier);
        EXPECT_EQ(etape.LogoManquant(), !c.trouve);
        const std::string sortie = bac.path("sortie.bmp");
        ASSERT_EQ(etape.Traite(source, sortie), EtapeSignature::Resultat::Signe);
        HBITMAP ecrit = graphique.ChargeImage(sortie);
        EXPECT_EQ(Pixel(ecrit, 2, 2) == kRougeLogo, c.trouve);
        EXPECT_TRUE(Scripted().shown.empty()) << "a missing logo is no message";
        DeleteObject(ecrit);
    }
}

TEST_F(Etape, FailuresSayWhichStepFailedAndLeaveTheTargetWhole)
{
    const std::string source = Photo("a.jpg");
    WriteFile(bac.path("abime.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 2});
    WriteFile(bac.path("cible.jpg"), {'o', 'l', 'd'});
    EtapeSignature etape(Reglages(""));
    ModeleSignature hors = Reglages("");
    hors.QualiteJPEG = 150; // the writer refuses it
    EtapeSignature refusee(hors);

    EXPECT_EQ(etape.Traite(bac.path("abime.jpg"), bac.path("x.jpg")), EtapeSignature::Resultat::EchecChargement);
    EXPECT_EQ(etape.Traite(source, bac.path("absent/x.jpg")), EtapeSignature::Resultat::EchecEcriture);
    EXPECT_EQ(refusee.Traite(source, bac.path("cible.jpg")), EtapeSignature::Resultat::EchecEcriture);
    std::string messages;
    for (EtapeSignature* e : {&etape, &refusee}) {
        const RapportCodec rapport = e->PrendRapport();
        for (const RapportCodec::Message& m : rapport.Messages())
            messages += m.Texte + "; ";
    }
    EXPECT_NE(messages.find("Unable to load file"), std::string::npos) << messages;
    EXPECT_EQ(ReadFile(bac.path("cible.jpg")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(QDir(QString::fromStdString(bac.path(""))).entryList(QDir::Files).size(), 3) << "no temporary left";
}

TEST(EtapeMemoire, WorkingMemoryGrowsWithThePictureAndSaturates)
{
    struct Cas {
        std::uint64_t l, h, octets, attendu;
    };
    const std::uint64_t plafond = std::uint64_t(1) << 62;
    const Cas cas[] = {
        {0, 0, 1000, 1000},
        {4000, 3000, 5'000'000, 8ull * 4000 * 3000 + 5'000'000},
        {65535, 65535, 0, 8ull * 65535 * 65535},
        {std::uint64_t(1) << 40, std::uint64_t(1) << 40, 0, plafond},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(EtapeSignature::MemoireDeTravail(c.l, c.h, c.octets), c.attendu) << c.l << "x" << c.h;
}

class LotTest : public Etape {
protected:
    // Mixed formats and sizes, so workers meet every codec at once.
    std::vector<Travail> Travaux(const std::string& sortie)
    {
        std::vector<Travail> travaux;
        const char* formats[] = {"jpg", "bmp", "gif"};
        for (int i = 0; i < 12; ++i) {
            const std::string nom = "p" + std::to_string(i) + "." + formats[i % 3];
            const std::string source = bac.path("src/" + nom);
            if (!std::filesystem::exists(source))
                Photo("src/" + nom, 40 + 13 * i, 30 + 7 * i);
            travaux.push_back({source, bac.path(sortie + "/TP" + nom), {}});
        }
        return travaux;
    }

    std::vector<CompteRendu> Signe(const std::vector<Travail>& travaux, int travailleurs, Lot::Ecrasement ecrasement,
                                   int arret = 0)
    {
        Lot lot(Reglages(""), "", travailleurs, ecrasement);
        std::atomic<int> drapeau{arret};
        std::vector<CompteRendu> comptes;
        lot.Execute(travaux, drapeau, [&comptes](const CompteRendu& c) { comptes.push_back(c); });
        return comptes;
    }
};

TEST_F(LotTest, ExistingOutputsPassRefusedPicturesFailAndAStopStartsNothing)
{
    std::vector<Travail> travaux = Travaux("sortie");
    travaux[1].Refus = "Same destination as p0";
    std::filesystem::create_directories(bac.path("sortie"));
    WriteFile(travaux[2].Destination, {'o', 'l', 'd'});
    EXPECT_TRUE(Signe(travaux, 2, Lot::Ecrasement::Jamais, SIGINT).empty());
    EXPECT_FALSE(std::filesystem::exists(travaux[0].Destination));

    std::map<std::string, CompteRendu> parSource;
    for (const CompteRendu& c : Signe(travaux, 2, Lot::Ecrasement::Jamais))
        parSource[c.Objet->Source] = c;
    ASSERT_EQ(parSource.size(), travaux.size());
    EXPECT_EQ(parSource[travaux[1].Source].Etat, CompteRendu::Statut::Echec);
    EXPECT_EQ(parSource[travaux[1].Source].Erreur, "Same destination as p0");
    EXPECT_EQ(parSource[travaux[2].Source].Etat, CompteRendu::Statut::Passe);
    EXPECT_EQ(ReadFile(travaux[2].Destination), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(parSource[travaux[3].Source].Etat, CompteRendu::Statut::Signe);

    for (const CompteRendu& c : Signe(travaux, 2, Lot::Ecrasement::Toujours)) {
        if (c.Objet == &travaux[2]) {
            EXPECT_EQ(c.Etat, CompteRendu::Statut::Signe);
        }
    }
    EXPECT_NE(ReadFile(travaux[2].Destination), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

} // namespace
