// What tamparo2-cli knows of picture formats: a picture is read as its
// content says and its copy keeps that format; --help and the manual page
// name every option of the table and every ending of the registry.

#include "CGraphique.h"
#include "CliTestSupport.h"
#include "ModeleSignature.h"
#include "OptionsCli.h"
#include "TestImages.h"
#include "codecs/RegistreFormats.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

int Compte(const std::string& texte, const std::string& morceau)
{
    int n = 0;
    for (std::size_t p = 0; (p = texte.find(morceau, p)) != std::string::npos; p += morceau.size())
        ++n;
    return n;
}

// Lines joined and runs of spaces made one: a wrapped list reads whole.
std::string UneLigne(const std::string& texte) { return std::regex_replace(texte, std::regex("\\s+"), " "); }

// The page's text without its font and hyphen escapes.
std::string Manuel()
{
    std::ifstream fichier(TAMPARO_MANUEL_CLI);
    std::stringstream lu;
    lu << fichier.rdbuf();
    std::string texte = std::regex_replace(lu.str(), std::regex(R"(\\f[BIRP])"), "");
    texte = std::regex_replace(texte, std::regex(R"(\\&)"), "");
    return std::regex_replace(texte, std::regex(R"(\\-)"), "-");
}

std::string Debut(const std::string& chemin, std::size_t n)
{
    const std::vector<std::uint8_t> octets = ReadFile(chemin);
    return std::string(octets.begin(), octets.begin() + static_cast<std::ptrdiff_t>(std::min(n, octets.size())));
}

TEST(FormatsCli, APictureIsReadAsItsContentSaysAndItsCopyKeepsThatFormat)
{
    Sandbox bac;
    CGraphique graphique;
    HBITMAP image = Gradient(64, 48);
    ASSERT_EQ(graphique.SauveImage(bac.path("vrai.png"), image, 90), 1);
    ASSERT_EQ(graphique.SauveImage(bac.path("vrai.jpg"), image, 90), 1);
    DeleteObject(image);
    fs::rename(bac.path("vrai.png"), bac.path("p.jpg"));
    fs::rename(bac.path("vrai.jpg"), bac.path("j.png"));
    ModeleSignature reglages;
    reglages.Texte = "Tamparo";
    ASSERT_TRUE(reglages.SauveFichier(bac.path("modele.tp2")));

    const Sortie essai = Lance({"-n", "-t", Q(bac.path("modele.tp2")), Q(bac.path("p.jpg")), Q(bac.path("j.png"))});
    EXPECT_EQ(essai.code, 0) << essai.erreurs;
    EXPECT_NE(essai.standard.find(bac.path("p.jpg") + " -> " + bac.path("TPp.png")), std::string::npos)
        << essai.standard;
    EXPECT_NE(essai.standard.find(bac.path("j.png") + " -> " + bac.path("TPj.jpg")), std::string::npos)
        << essai.standard;

    const Sortie sortie = Lance({"-t", Q(bac.path("modele.tp2")), Q(bac.path("p.jpg")), Q(bac.path("j.png"))});
    ASSERT_EQ(sortie.code, 0) << sortie.erreurs;
    EXPECT_EQ(Debut(bac.path("TPp.png"), 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(Debut(bac.path("TPj.jpg"), 3), "\xFF\xD8\xFF");
    EXPECT_FALSE(fs::exists(bac.path("TPp.jpg")));
    EXPECT_FALSE(fs::exists(bac.path("TPj.png")));
    // What was signed is the picture, upright and whole.
    for (const char* nom : {"TPp.png", "TPj.jpg"}) {
        HBITMAP signee = graphique.ChargeImage(bac.path(nom));
        ASSERT_NE(signee, nullptr) << nom;
        EXPECT_EQ(SizeOf(signee), CSize(64, 48)) << nom;
        DeleteObject(signee);
    }
}

TEST(FormatsCli, HelpAndManualNameEveryOptionAndEveryEnding)
{
    const Sortie aide = Lance({"--help"});
    ASSERT_EQ(aide.code, 0);
    const std::string manuel = Manuel();
    ASSERT_FALSE(manuel.empty()) << TAMPARO_MANUEL_CLI;
    // The options' headings: the line after each .TP.
    std::vector<std::string> titres;
    for (std::size_t p = 0; (p = manuel.find("\n.TP\n", p)) != std::string::npos;) {
        p += 5;
        titres.push_back(manuel.substr(p, manuel.find('\n', p) - p));
    }
    for (const OptionsCli::Definition& d : OptionsCli::Definitions()) {
        const std::string longue = std::string("--") + d.Long;
        const std::string courte = d.Court ? std::string("-") + d.Court : std::string();
        SCOPED_TRACE(longue);
        EXPECT_NE(aide.standard.find(d.Court ? courte + ", " + longue : longue), std::string::npos);
        EXPECT_TRUE(std::any_of(titres.begin(), titres.end(), [&](const std::string& t) {
            return t.find(longue) != std::string::npos && t.find(courte + " ") != std::string::npos;
        })) << "no heading in the manual page";
    }
    // Every ending, and no list that stops short of them.
    const std::string texteAide = UneLigne(aide.standard);
    const std::string texteManuel = UneLigne(manuel);
    EXPECT_EQ(Compte(texteAide, RegistreFormats::ListeTerminaisons(" ", " ")), 1) << texteAide;
    EXPECT_EQ(Compte(texteAide, ".bmp"), 1) << texteAide;
    EXPECT_GE(Compte(texteManuel, RegistreFormats::ListeTerminaisons(", ", " or ")), 1);
    EXPECT_EQ(Compte(texteManuel, ".bmp"), Compte(texteManuel, RegistreFormats::ListeTerminaisons(", ", " or ")));
    // Descriptions stay inside 80 columns.
    std::istringstream lignes(aide.standard);
    for (std::string ligne; std::getline(lignes, ligne);)
        EXPECT_LT(ligne.size(), 80u) << ligne;
}

} // namespace
