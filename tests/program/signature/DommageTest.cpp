// Damaged pictures (a JPEG cut short) in both run engines: the command
// line's workers refuse them unless told otherwise; the desktop signs them
// and says so.

#include "CGraphique.h"
#include "Lot.h"
#include "ScriptedInteraction.h"
#include "SignatureOrdonnee.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

using namespace TestImages;

namespace {

constexpr const char* kRaison = "Premature end of JPEG file";

class Dommage : public testing::Test {
protected:
    void SetUp() override
    {
        HBITMAP image = Gradient(320, 240);
        ASSERT_EQ(graphique.SauveImage(bac.path("entiere.jpg"), image, 90), 1);
        DeleteObject(image);
        const std::vector<std::uint8_t> octets = ReadFile(bac.path("entiere.jpg"));
        WriteFile(bac.path("coupee.jpg"),
                  std::vector<std::uint8_t>(octets.begin(), octets.begin() + static_cast<long>(octets.size() * 6 / 10)));
    }

    static ModeleSignature Reglages(FormatSortie format = FormatSortie::Source)
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -14;
        r.FormatEnregistrement = format;
        return r;
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(Dommage, TheWorkersRefuseADamagedPictureUnlessItIsAccepted)
{
    const struct {
        const char* source;
        FormatSortie format; // Source: the JPEG is streamed; PNG: loaded whole
        bool accepte;
        CompteRendu::Statut etat;
        std::string erreur;
        std::string avertissement;
    } cas[] = {
        {"coupee.jpg", FormatSortie::Source, false, CompteRendu::Statut::Echec, std::string("damaged: ") + kRaison, ""},
        {"coupee.jpg", FormatSortie::PNG, false, CompteRendu::Statut::Echec, std::string("damaged: ") + kRaison, ""},
        {"coupee.jpg", FormatSortie::Source, true, CompteRendu::Statut::Signe, "", std::string("damaged: ") + kRaison},
        {"coupee.jpg", FormatSortie::PNG, true, CompteRendu::Statut::Signe, "", std::string("damaged: ") + kRaison},
        {"entiere.jpg", FormatSortie::Source, false, CompteRendu::Statut::Signe, "", ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.source) + (c.accepte ? " accepted " : " refused ") +
                     std::to_string(static_cast<int>(c.format)));
        const std::string sortie = bac.path(c.format == FormatSortie::PNG ? "sortie.png" : "sortie.jpg");
        WriteFile(sortie, {'o', 'l', 'd'});
        const std::vector<Travail> travaux = {{bac.path(c.source), sortie, {}}};
        Lot lot(Reglages(c.format), "", 1, Lot::Ecrasement::Toujours);
        lot.AccepteEndommagees(c.accepte);
        const std::atomic<int> arret{0};
        std::vector<CompteRendu> comptes;
        lot.Execute(travaux, arret, [&comptes](const CompteRendu& compte) { comptes.push_back(compte); });
        ASSERT_EQ(comptes.size(), 1u);
        EXPECT_EQ(comptes[0].Etat, c.etat);
        EXPECT_EQ(comptes[0].Erreur, c.erreur);
        EXPECT_EQ(comptes[0].Avertissement, c.avertissement);
        EXPECT_EQ(ReadFile(sortie) == std::vector<std::uint8_t>({'o', 'l', 'd'}), c.etat == CompteRendu::Statut::Echec)
            << "a refused picture replaces nothing";
    }
}

TEST_F(Dommage, TheDesktopSignsADamagedPictureAndCountsIt)
{
    Scripted().clear();
    const std::vector<CString> sources = {bac.path("entiere.jpg"), bac.path("coupee.jpg"), bac.path("absente.jpg")};
    SignatureOrdonnee::Rappels rappels;
    rappels.Source = [&](int index) -> std::optional<CString> {
        return index < static_cast<int>(sources.size()) ? std::optional<CString>(sources[index]) : std::nullopt;
    };
    rappels.Etape = [](int, const CString&, const CString&) { return false; };
    rappels.Question = [](CString&, int&) { return static_cast<int>(SignatureOrdonnee::Ecraser); };
    rappels.QuestionOriginal = [](const CString&) { return IDNO; };
    rappels.EchecChargement = [](const CString&, const CString&) { return true; };
    rappels.EchecEcriture = [](const CString&) { return true; };
    rappels.Interrompu = [] { return false; };
    SignatureOrdonnee run(Reglages(), rappels);
    std::vector<SignatureOrdonnee::Issue> issues;
    for (int i = 0; i < static_cast<int>(sources.size()); ++i)
        issues.push_back(run.SigneFichier(i, sources[static_cast<std::size_t>(i)]));

    using Issue = SignatureOrdonnee::Issue;
    EXPECT_EQ(issues, (std::vector<Issue>{Issue::Signee, Issue::Endommagee, Issue::Echec}));
    EXPECT_TRUE(std::filesystem::exists(bac.path("TPcoupee.jpg")));
    EXPECT_EQ(run.Resultats().Signees, 2);
    EXPECT_EQ(run.Resultats().Endommagees, std::vector<CString>{bac.path("coupee.jpg")});
    EXPECT_EQ(run.Resultats().Echecs, std::vector<CString>{bac.path("absente.jpg")});
    // The reader's warning is still shown, as it always was.
    ASSERT_FALSE(Scripted().shown.empty());
    EXPECT_EQ(Scripted().shown[0].text, kRaison);
    Scripted().clear();
}

} // namespace
