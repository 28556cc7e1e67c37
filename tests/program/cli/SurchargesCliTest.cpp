// A run's --quality, --format and --metadata win over the template's own
// choices, and --quality same keeps a JPEG photograph's tables.

#include "CGraphique.h"
#include "CliTestSupport.h"
#include "ModeleSignature.h"
#include "OptionsCli.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The first quantization table segment of a JPEG file, or empty.
std::vector<std::uint8_t> TablesDeQuantification(const std::vector<std::uint8_t>& jpeg)
{
    for (std::size_t i = 2; i + 4 <= jpeg.size() && jpeg[i] == 0xFF;) {
        const std::size_t longueur = std::size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
        if (jpeg[i + 1] == 0xDB && i + 2 + longueur <= jpeg.size())
            return {jpeg.begin() + i, jpeg.begin() + i + 2 + longueur};
        i += 2 + longueur;
    }
    return {};
}

} // namespace

TEST(SurchargesCli, TheRunsChoicesWinOverTheTemplates)
{
    struct Cas {
        QStringList options;
        int qualite;
        bool origine;
        FormatSortie format;
        PolitiqueMetadonnees politique;
    };
    const Cas cas[] = {
        {{}, 75, false, FormatSortie::Source, PolitiqueMetadonnees::SaufLieu},
        {{"--quality", "40"}, 40, false, FormatSortie::Source, PolitiqueMetadonnees::SaufLieu},
        {{"--quality", "same"}, 75, true, FormatSortie::Source, PolitiqueMetadonnees::SaufLieu},
        {{"--format", "png", "--metadata", "none"}, 75, false, FormatSortie::PNG, PolitiqueMetadonnees::Aucune},
        {{"--format", "source", "--metadata", "keep"}, 75, false, FormatSortie::Source, PolitiqueMetadonnees::Toutes},
        {{"--format", "heic"}, 75, false, FormatSortie::HEIC, PolitiqueMetadonnees::SaufLieu},
        {{"--format", "avif", "--quality", "30"}, 30, false, FormatSortie::AVIF, PolitiqueMetadonnees::SaufLieu},
    };
    for (const Cas& c : cas) {
        std::vector<std::string> arguments;
        for (const QString& a : c.options)
            arguments.push_back(a.toStdString());
        arguments.push_back("a.jpg");
        OptionsCli options;
        ASSERT_TRUE(options.Lit(arguments)) << options.Erreur;
        ModeleSignature reglages;
        reglages.FormatEnregistrement = FormatSortie::Source;
        reglages.MetadonneesSortie = PolitiqueMetadonnees::SaufLieu;
        options.Surcharge(reglages);
        EXPECT_EQ(reglages.QualiteJPEG, c.qualite) << c.options.join(' ').toStdString();
        EXPECT_EQ(reglages.QualiteOrigine, c.origine);
        EXPECT_EQ(reglages.FormatEnregistrement, c.format);
        EXPECT_EQ(reglages.MetadonneesSortie, c.politique);
    }
    for (const char* option : {"--quality", "--format", "--metadata"})
        for (const char* refus : {"101", "-1", "sam", "", "gif", "all"}) {
            OptionsCli options;
            EXPECT_FALSE(options.Lit({option, refus, "a.jpg"})) << option << " " << refus;
        }
}

TEST(SurchargesCli, SameQualityKeepsTheJpegsTablesAndNearlyItsSize)
{
    Sandbox bac;
    CGraphique graphique;
    const std::string source = bac.path("photo.jpg");
    HBITMAP image = Gradient(320, 240);
    ASSERT_EQ(graphique.SauveImage(source, image, 95), 1);
    DeleteObject(image);
    ModeleSignature r;
    r.Texte = "Tamparo";
    r.Fonte.lfHeight = -14;
    r.QualiteJPEG = 50;
    ASSERT_TRUE(r.SauveFichier(bac.path("modele.tp2")));

    for (const char* qualite : {"same", "50"}) {
        const std::string sortie = bac.path(std::string("out-") + qualite);
        const Sortie s = Lance({"-q", "-t", Q(bac.path("modele.tp2")), "-o", Q(sortie), "--quality", qualite, Q(source)});
        ASSERT_EQ(s.code, 0) << s.erreurs;
        const auto signe = ReadFile(sortie + "/TPphoto.jpg");
        const auto original = ReadFile(source);
        const bool memes = TablesDeQuantification(signe) == TablesDeQuantification(original);
        EXPECT_EQ(memes, std::string(qualite) == "same") << qualite;
        if (memes) {
            EXPECT_LT(std::abs(double(signe.size()) - double(original.size())), original.size() * 0.02);
        }
    }
}
