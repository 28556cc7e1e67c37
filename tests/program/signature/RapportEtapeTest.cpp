// What a signing step and its toolbox keep to themselves: the messages of a
// picture that does not load, as data and never as boxes, and the decoding
// budget, one per toolbox whatever thread it runs on.

#include "CGraphique.h"
#include "EtapeSignature.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace TestImages;

namespace {

class RapportEtape : public testing::Test {
protected:
    std::string Photo(const std::string& nom)
    {
        const std::string chemin = bac.path(nom);
        HBITMAP image = Gradient(96, 64);
        EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
        DeleteObject(image);
        return chemin;
    }

    Sandbox bac;
    CGraphique graphique;
};

} // namespace

TEST_F(RapportEtape, ADamagedPictureSpeaksInTheStepsReportAndShowsNoBox)
{
    WriteFile(bac.path("abime.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 2});
    WriteFile(bac.path("abime.bmp"), {'B', 'M', 1, 2, 3});
    WriteFile(bac.path("abime.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
    struct Cas {
        const char* nom;
        const char* logo;   // loaded by the step's constructor
        const char* source; // signed by Traite, when given
        const char* sortie;
    };
    const Cas cas[] = {
        {"JPEG streamed to JPEG", "", "abime.jpg", "x.jpg"},
        {"JPEG loaded whole", "", "abime.jpg", "x.bmp"},
        {"BMP", "", "abime.bmp", "x.jpg"},
        {"logo", "abime.png", nullptr, nullptr},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        ModeleSignature reglages;
        reglages.Logo = *c.logo ? bac.path(c.logo) : "";
        Scripted().clear();
        EtapeSignature etape(reglages);
        if (c.source) {
            EXPECT_EQ(etape.Traite(bac.path(c.source), bac.path(c.sortie)),
                      EtapeSignature::Resultat::EchecChargement);
        }
        const RapportCodec rapport = etape.PrendRapport();
        EXPECT_TRUE(Scripted().shown.empty()) << Scripted().shown.front().text;
        EXPECT_TRUE(etape.PrendRapport().Messages().empty()) << "the report is handed over once";

        // The desktop's loaders show the same messages, in the same order.
        Metadonnees metadonnees;
        std::vector<BYTE> alpha;
        EXPECT_EQ(c.source ? graphique.ChargePhoto(bac.path(c.source), metadonnees)
                           : graphique.ChargeImageAlpha(bac.path(c.logo), alpha),
                  nullptr);
        const auto& shown = Scripted().shown;
        ASSERT_EQ(rapport.Messages().size(), shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const RapportCodec::Message& m = rapport.Messages()[i];
            const std::string titre = m.Forme == RapportCodec::Boite::Application ? shown[i].caption : m.Titre;
            EXPECT_EQ(m.Texte, shown[i].text);
            EXPECT_EQ(titre, shown[i].caption);
            EXPECT_EQ(m.Type, shown[i].type);
        }
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().text, "Unable to load file");
    }
    Scripted().clear();
}

TEST_F(RapportEtape, TwoToolboxesOnTwoThreadsEachDecodeUnderTheirOwnBudget)
{
    const std::string photos[] = {Photo("p.jpg"), Photo("p.bmp"), Photo("p.gif"), Photo("p.png")};
    CGraphique etroite;
    CGraphique large;
    // One pixel short of the pictures.
    etroite.BudgetLecture() = Budget({96 * 64 - 1, Budget::kDefaut.octets});
    const auto lit = [&photos](CGraphique& g, int& chargees) {
        for (int tour = 0; tour < 10; ++tour)
            for (const std::string& photo : photos) {
                Metadonnees metadonnees;
                RapportCodec rapport;
                HBITMAP image = g.ChargePhoto(photo, metadonnees, rapport);
                chargees += image != nullptr;
                DeleteObject(image);
            }
    };
    int parEtroite = 0;
    int parLarge = 0;
    std::thread a(lit, std::ref(etroite), std::ref(parEtroite));
    std::thread b(lit, std::ref(large), std::ref(parLarge));
    a.join();
    b.join();
    EXPECT_EQ(parEtroite, 0);
    EXPECT_EQ(parLarge, 40);
    EXPECT_EQ(etroite.BudgetLecture().Motif(), Budget::Refus::Pixels);
    EXPECT_EQ(large.BudgetLecture().Motif(), Budget::Refus::Aucun);
    EXPECT_GE(large.BudgetLecture().Pic(), 96u * 64u * 4u);
    EXPECT_LT(etroite.BudgetLecture().Pic(), 96u * 64u * 4u) << "no picture was charged to the narrow budget";
}
