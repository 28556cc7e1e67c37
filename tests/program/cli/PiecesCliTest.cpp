// The command line's parts on their own: options, JSON text, progress
// text, picture headers and the number of workers.

#include "CGraphique.h"
#include "codecs/RegistreFormats.h"
#include "EstimationMemoire.h"
#include "Manifeste.h"
#include "OptionsCli.h"
#include "Progression.h"
#include "TestImages.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace TestImages;

namespace {

TEST(OptionsCliTest, ShortLongGroupedAndJoinedFormsReadAlike)
{
    struct Cas {
        std::vector<std::string> arguments;
        std::string modele, sortie;
        bool recursif, simulation, silencieux;
        int travailleurs;
        OptionsCli::Ecrasement ecrase;
        std::vector<std::string> chemins;
    };
    using E = OptionsCli::Ecrasement;
    const Cas cas[] = {
        {{"-t", "m.tp2", "a.jpg"}, "m.tp2", "", false, false, false, 0, E::Jamais, {"a.jpg"}},
        {{"--template=m.tp2", "--output", "o", "-rnq", "-j4", "x"}, "m.tp2", "o", true, true, true, 4, E::Jamais, {"x"}},
        {{"-rj", "2", "--overwrite", "always", "d"}, "", "", true, false, false, 2, E::Toujours, {"d"}},
        {{"--jobs=256", "--", "-n", "-"}, "", "", false, false, false, 256, E::Jamais, {"-n", "-"}},
    };
    for (const Cas& c : cas) {
        OptionsCli o;
        ASSERT_TRUE(o.Lit(c.arguments)) << o.Erreur;
        EXPECT_EQ(o.Modele, c.modele);
        EXPECT_EQ(o.DossierSortie, c.sortie);
        EXPECT_EQ(o.Recursif, c.recursif);
        EXPECT_EQ(o.Simulation, c.simulation);
        EXPECT_EQ(o.Silencieux, c.silencieux);
        EXPECT_EQ(o.Travailleurs, c.travailleurs);
        EXPECT_EQ(o.Ecrase, c.ecrase);
        EXPECT_EQ(o.Chemins, c.chemins);
    }
    OptionsCli o;
    EXPECT_FALSE(o.Lit({"-j", "257", "a"}));
    EXPECT_TRUE(OptionsCli().Lit({"--files-from", "-"})) << "a list alone is enough";
}

TEST(ManifesteTest, LinesAreValidJsonWhateverTheNames)
{
    // What a JSON reader gets back in "source": bytes that are not UTF-8
    // become U+FFFD, one each.
    struct Cas {
        std::string nom, lisible;
    };
    const Cas cas[] = {
        {"plain/a.jpg", "plain/a.jpg"},
        {"say \"hi\"\\", "say \"hi\"\\"},
        {"l1\nl2\tx\r", "l1\nl2\tx\r"},
        {std::string("\x01\x1f\x7f", 3), std::string("\x01\x1f\x7f", 3)},
        {"\xc3\xa9t\xc3\xa9 \xf0\x9f\x93\xb7", "\xc3\xa9t\xc3\xa9 \xf0\x9f\x93\xb7"},
        {"bad\xff\xc3", "bad\xef\xbf\xbd\xef\xbf\xbd"},
        {"\xc0\xaf \xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // overlong, surrogate
    };
    for (const Cas& c : cas) {
        const Travail travail{c.nom, "TP", {}};
        CompteRendu compte;
        compte.Objet = &travail;
        const std::string ligne = Manifeste::Ligne(compte);
        QJsonParseError erreur;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(ligne), &erreur);
        ASSERT_EQ(erreur.error, QJsonParseError::NoError) << ligne;
        EXPECT_EQ(document["source"].toString().toStdString(), c.lisible);
        EXPECT_EQ(ligne.find('\n'), ligne.size() - 1) << ligne;
    }

    const Travail t{"a\".jpg", "TPa\".jpg", {}};
    CompteRendu compte;
    compte.Objet = &t;
    compte.Etat = CompteRendu::Statut::Passe;
    compte.Millisecondes = 12;
    EXPECT_EQ(Manifeste::Ligne(compte), "{\"source\":\"a\\\".jpg\",\"destination\":\"TPa\\\".jpg\",\"status\":"
                                        "\"skipped\",\"error\":\"\",\"ms\":12}\n");
}

TEST(ProgressionTest, CountRateAndTimeLeft)
{
    struct Cas {
        std::size_t faits, total;
        double secondes;
        std::string attendu;
    };
    const Cas cas[] = {
        {0, 10, 0, "[0/10]"},
        {4, 10, 2, "[4/10] 2.0 pictures/s, 3 s left"},
        {10, 10, 4, "[10/10] 2.5 pictures/s"},
        {1, 1000, 10, "[1/1000] 0.1 pictures/s, 2 h 46 min left"},
        {30, 100, 60, "[30/100] 0.5 pictures/s, 2 min 20 s left"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(Progression::Ligne(c.faits, c.total, c.secondes), c.attendu);
}

TEST(EstimationMemoireTest, SizesComeFromTheHeadersOfEachFormat)
{
    Sandbox bac;
    CGraphique graphique;
    struct Cas {
        const char* nom;
        int bits;
    };
    for (const Cas c : {Cas{"a.jpg", 32}, Cas{"a.bmp", 24}, Cas{"b.bmp", 8}, Cas{"a.gif", 8}}) {
        HBITMAP image = Gradient(123, 45, c.bits);
        ASSERT_EQ(graphique.SauveImage(bac.path(c.nom), image, 80), 1);
        DeleteObject(image);
        const auto taille = RegistreFormats::Dimensions(bac.path(c.nom));
        ASSERT_TRUE(taille) << c.nom;
        EXPECT_EQ(taille->Largeur, 123u) << c.nom;
        EXPECT_EQ(taille->Hauteur, 45u) << c.nom;
    }
    const std::vector<std::vector<std::uint8_t>> mauvais = {
        {}, {'B', 'M'}, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01}, {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0}, {'G', 'I', 'F'}};
    for (const auto& octets : mauvais) {
        WriteFile(bac.path("x"), octets);
        EXPECT_FALSE(RegistreFormats::Dimensions(bac.path("x")));
    }
    EXPECT_FALSE(RegistreFormats::Dimensions(bac.path("absent")));
}

TEST(EstimationMemoireTest, WorkersFitInThreeQuartersOfTheAvailableMemory)
{
    struct Cas {
        int coeurs;
        std::uint64_t disponible, parImage;
        int attendu;
    };
    const Cas cas[] = {
        {8, 0, 100, 8},              // memory unknown
        {8, 4000, 1000, 3},
        {8, 4000, 0, 8},
        {2, 1 << 30, 100, 2},
        {4, 1000, 100000, 1},        // never fewer than one
        {0, 0, 0, 1},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(EstimationMemoire::Travailleurs(c.coeurs, c.disponible, c.parImage), c.attendu);
}

} // namespace
