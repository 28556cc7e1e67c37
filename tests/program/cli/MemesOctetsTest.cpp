// Every way of signing writes, for every kind of picture, the bytes of the
// plainest one: load, sign and save on one thread with a step of its own.
// A way that does not apply to a picture (streaming a PNG, a turned JPEG)
// must hand it to that plain way, so it is run on every picture all the same.

#include "CArchive.h"
#include "EmplacementsEssai.h"
#include "CliTestSupport.h"
#include "Commandes.h"
#include "EtapeSignature.h"
#include "Lot.h"
#include "NomSortie.h"
#include "ScriptedInteraction.h"
#include "VueTestSupport.h"
#include "codecs/PngFile.h"

#include <atomic>
#include <cctype>
#include <filesystem>
#include <iterator>
#include <map>
#include <tuple>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A round logo with soft edges: its alpha is laid over the picture.
void LogoRond(const std::string& chemin)
{
    ASSERT_EQ(RunCommand(std::string(kConvert) + " -size 48x48 xc:none -fill '#20a0f0' -draw 'circle 24,24 24,3' "
                         + chemin),
              0);
}

// "logo cut by the bottom" gives "LogoCutByTheBottom": a test's name.
std::string Identifiant(const std::string& texte)
{
    std::string nom;
    bool majuscule = true;
    for (const char c : texte) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            majuscule = true;
            continue;
        }
        nom += majuscule ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        majuscule = false;
    }
    return nom;
}

// ---- every way, every kind of picture ----

enum class Facon {
    FluxIci,
    FluxEncodeurAPart,
    LotDeQuatre,
    Bureau,
    CliUnTravailleur,
    CliQuatreTravailleurs,
    CliTroisParts
};
enum class Jeu { JpegDroit, JpegTourne, PngAlpha, Bmp, Gif, Webp, TousFormats };

const std::map<Facon, const char*> kFacons = {
    {Facon::FluxIci, "StreamedOnTheCallersThread"},
    {Facon::FluxEncodeurAPart, "StreamedWithAnEncoderThread"},
    {Facon::LotDeQuatre, "LotOfFourWorkers"},
    {Facon::Bureau, "DesktopSignAllFiles"},
    {Facon::CliUnTravailleur, "CliOneJob"},
    {Facon::CliQuatreTravailleurs, "CliFourJobs"},
    {Facon::CliTroisParts, "CliThreeShards"},
};
const std::map<Jeu, const char*> kJeux = {
    {Jeu::JpegDroit, "UprightJpeg"}, {Jeu::JpegTourne, "JpegWithOrientation6"}, {Jeu::PngAlpha, "PngWithAlpha"},
    {Jeu::Bmp, "Bmp"},               {Jeu::Gif, "Gif"},                          {Jeu::Webp, "WebP"},
    {Jeu::TousFormats, "EveryFormatInOneRun"},
};
// Failures name the way and the pictures.
void PrintTo(Facon facon, std::ostream* os) { *os << kFacons.at(facon); }
void PrintTo(Jeu jeu, std::ostream* os) { *os << kJeux.at(jeu); }

// One picture of a run: where the way wrote it and its place in that run (the text's {counter}).
struct Signee {
    std::string source;
    std::string sortie;
    int numero = 1;
};

// The pictures of a set differ in size and pixels, so that one taken for
// another shows; an odd width pads BMP rows, one is a photograph's size.
// Two lie in a sub-folder, whose tree the command line mirrors.
struct Taille {
    int largeur, hauteur;
};
constexpr Taille kTailles[] = {{160, 120}, {120, 160}, {161, 97}, {640, 480}, {97, 61}, {200, 150}};
constexpr const char* kDossiers[] = {"src/", "src/", "src/sub/", "src/", "src/", "src/sub/"};

// One run of one way over one set of pictures, and the plain step after it.
class MemesOctets : public VueTest, public testing::WithParamInterface<std::tuple<Facon, Jeu, bool>> {
protected:
    void SetUp() override
    {
        VueTest::SetUp();
        LogoRond(bac.path("logo.png"));
        fs::create_directories(bac.path("src/sub"));
        fs::create_directories(bac.path("ref"));
    }

    // Everything a template carries that a way could lose: tokens that make
    // each picture's text its own, a bold face, an opaque box at the top,
    // an outline and a shadow (the extension block), a logo with alpha.
    ModeleSignature Reglages() const
    {
        ModeleSignature r;
        r.Texte = "{name} {counter} {width}x{height} \xc3\xa9t\xc3\xa9";
        r.Fonte.lfHeight = -14;
        r.Fonte.lfWeight = 700;
        std::snprintf(r.Fonte.lfFaceName, LF_FACESIZE, "%s", "Comic Sans MS");
        r.CouleurEncre = RGB(250, 240, 10);
        r.CouleurFond = RGB(20, 20, 90);
        r.FondTransparent = 0;
        r.EmplacementTexte.PositionAutomatiqueHaut = 1;
        r.EmplacementTexte.PositionAutomatiqueBas = 0;
        r.StyleTexte.Contour = 1;
        r.StyleTexte.CouleurContour = RGB(0, 0, 0);
        r.StyleTexte.OmbreX = 2;
        r.StyleTexte.OmbreY = 3;
        r.StyleTexte.OmbreFlou = 3;
        r.StyleTexte.OpaciteOmbre = 60;
        r.Logo = bac.path("logo.png");
        r.QualiteJPEG = 85;
        // The original's quality: JPEG copies signed block by block.
        r.QualiteOrigine = std::get<2>(GetParam());
        return r;
    }

    std::vector<std::string> Sources(Jeu jeu)
    {
        static const char* const kFormats[] = {".jpg", ".jpg", ".png", ".bmp", ".gif", ".webp"};
        std::vector<std::string> sources;
        std::string tournees;
        for (int i = 0; i < 6; ++i) {
            const Jeu format = jeu == Jeu::TousFormats ? static_cast<Jeu>(i) : jeu;
            const std::string chemin =
                bac.path(kDossiers[i] + ("p" + std::to_string(i)) + kFormats[static_cast<int>(format)]);
            HBITMAP image = Make(kTailles[i].largeur, kTailles[i].hauteur, 32, [i](int x, int y) {
                return RGB((x * 5 + i * 40) & 255, (y * 3 + x) & 255, (i * 70 + y * 7) & 255);
            });
            if (format == Jeu::PngAlpha) {
                // From clear to opaque across the picture.
                std::vector<std::uint8_t> alpha(static_cast<std::size_t>(kTailles[i].largeur) * kTailles[i].hauteur);
                for (std::size_t p = 0; p < alpha.size(); ++p)
                    alpha[p] = static_cast<std::uint8_t>(p * 7 + p / kTailles[i].largeur * 3 + i * 50);
                EXPECT_EQ(PngFile::Sauve(chemin, *image, &alpha), 1) << chemin;
            } else {
                EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1) << chemin;
            }
            DeleteObject(image);
            if (format == Jeu::JpegTourne)
                tournees += " " + chemin;
            sources.push_back(chemin);
        }
        if (!tournees.empty()) {
            EXPECT_EQ(RunCommand("/usr/bin/exiftool -q -overwrite_original -Orientation#=6" + tournees), 0);
        }
        return sources;
    }

    // Signs sources the way given; what it wrote, for each source.
    std::vector<Signee> Signe(Facon facon, const std::vector<std::string>& sources)
    {
        switch (facon) {
        case Facon::FluxIci:
        case Facon::FluxEncodeurAPart:
            return EnFlux(sources, facon == Facon::FluxEncodeurAPart);
        case Facon::LotDeQuatre:
            return EnLot(sources);
        case Facon::Bureau:
            return AuBureau(sources);
        case Facon::CliUnTravailleur:
        case Facon::CliQuatreTravailleurs: {
            QStringList arguments{"-j", facon == Facon::CliUnTravailleur ? "1" : "4", "-t", Q(bac.path("modele.tp2")),
                                  "-o", Q(bac.path("cli"))};
            for (const std::string& s : sources)
                arguments << Q(s);
            return EnCommande(arguments);
        }
        case Facon::CliTroisParts: {
            // Each task as a cluster starts it, over the whole folder.
            std::vector<Signee> signees;
            int occupees = 0;
            for (int i = 0; i < 3; ++i) {
                const std::vector<Signee> part = EnCommande({"-r", "-t", Q(bac.path("modele.tp2")), "-o",
                                                             Q(bac.path("parts")), Q(bac.path("src")), "--shard",
                                                             QString("%1/3").arg(i)});
                signees.insert(signees.end(), part.begin(), part.end());
                occupees += !part.empty();
            }
            EXPECT_GE(occupees, 2) << "a counter restarts in each task";
            return signees;
        }
        }
        return {};
    }

    // The plain way's bytes for one picture of a run.
    std::vector<std::uint8_t> Reference(const Signee& s)
    {
        const std::string chemin = bac.path("ref/" + fs::path(s.sortie).filename().string());
        EtapeSignature etape(Reglages());
        HBITMAP image = etape.Charge(s.source);
        EXPECT_NE(image, nullptr) << s.source;
        if (!image)
            return {};
        etape.Signe(image, s.numero);
        EXPECT_EQ(etape.SauveSignee(s.source, chemin, image, s.numero), 1) << chemin;
        DeleteObject(image);
        return ReadFile(chemin);
    }

private:
    static std::string Nom(const std::string& source) { return "TP" + fs::path(source).filename().string(); }

    // One step for the whole run, as one worker has.
    std::vector<Signee> EnFlux(const std::vector<std::string>& sources, bool aPart)
    {
        EtapeSignature etape(Reglages());
        etape.EncodeAPart(aPart);
        fs::create_directories(bac.path("flux"));
        std::vector<Signee> signees;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            signees.push_back({sources[i], bac.path("flux/" + Nom(sources[i])), static_cast<int>(i) + 1});
            EXPECT_EQ(etape.Traite(sources[i], signees.back().sortie, signees.back().numero),
                      EtapeSignature::Resultat::Signe);
        }
        return signees;
    }

    std::vector<Signee> EnLot(const std::vector<std::string>& sources)
    {
        std::vector<Travail> travaux;
        std::vector<Signee> signees;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            // The lot makes the folders as needed.
            travaux.push_back({sources[i], bac.path("lot/sous/" + Nom(sources[i])), {}});
            signees.push_back({sources[i], travaux.back().Destination, static_cast<int>(i) + 1});
        }
        Lot lot(Reglages(), "", 4, Lot::Ecrasement::Jamais);
        EXPECT_EQ(lot.Travailleurs(), 4);
        const std::atomic<int> arret{0};
        lot.Execute(travaux, arret, [](const CompteRendu& c) {
            EXPECT_EQ(c.Etat, CompteRendu::Statut::Signe) << c.Objet->Source << ": " << c.Erreur;
        });
        return signees;
    }

    // The template opened into the view, the pictures dropped, "Sign All Files".
    std::vector<Signee> AuBureau(const std::vector<std::string>& sources)
    {
        const std::vector<std::uint8_t> octets = ReadFile(bac.path("modele.tp2"));
        CArchive archive(octets);
        vue->Serialize(archive, false);
        Depose(sources);
        Scripted().answer(IDYES);
        Scripted().answer(IDNO);
        EXPECT_TRUE(vue->OnCommand(Commande::SigneTout));
        EXPECT_TRUE(Scripted().answers.empty()) << "fewer boxes than answers";
        EXPECT_EQ(Scripted().shown.size(), 2u) << "only the start and the removal questions";
        // Numbered in the list's order, which is not the drop's.
        NomSortie nommage(vue->Reglages());
        std::vector<Signee> signees;
        for (const std::string& source : Lignes())
            signees.push_back({source, nommage.Chemin(source), static_cast<int>(signees.size()) + 1});
        return signees;
    }

    // The dry run tells the pictures in the order they are numbered, then the run writes them.
    std::vector<Signee> EnCommande(const QStringList& arguments)
    {
        const Sortie liste = Lance(QStringList{"-n"} + arguments);
        EXPECT_EQ(liste.code, 0) << liste.erreurs;
        std::vector<Signee> signees;
        std::size_t debut = 0;
        for (std::size_t fin; (fin = liste.standard.find('\n', debut)) != std::string::npos; debut = fin + 1) {
            const std::string ligne = liste.standard.substr(debut, fin - debut);
            const std::size_t fleche = ligne.find(" -> ");
            if (fleche != std::string::npos)
                signees.push_back({ligne.substr(0, fleche), ligne.substr(fleche + 4),
                                   static_cast<int>(signees.size()) + 1});
        }
        const Sortie run = Lance(QStringList{"-q"} + arguments);
        EXPECT_EQ(run.code, 0) << run.erreurs;
        return signees;
    }
};

std::string NomDuCas(const testing::TestParamInfo<MemesOctets::ParamType>& info)
{
    return std::string(kFacons.at(std::get<0>(info.param))) + "_" + kJeux.at(std::get<1>(info.param)) +
           (std::get<2>(info.param) ? "_SameQuality" : "");
}

TEST_P(MemesOctets, TheWayWritesTheBytesOfTheOneThreadStep)
{
    const Facon facon = std::get<0>(GetParam());
    const Jeu jeu = std::get<1>(GetParam());
    ASSERT_TRUE(Reglages().SauveFichier(bac.path("modele.tp2")));
    const std::vector<std::string> sources = Sources(jeu);
    const std::vector<Signee> signees = Signe(facon, sources);

    std::map<std::string, int> fois;
    for (const Signee& s : signees)
        ++fois[s.source];
    ASSERT_EQ(fois.size(), sources.size());
    for (const std::string& source : sources)
        EXPECT_EQ(fois[source], 1) << source;
    for (const Signee& s : signees) {
        SCOPED_TRACE(s.sortie);
        const std::vector<std::uint8_t> attendu = Reference(s);
        ASSERT_FALSE(attendu.empty());
        EXPECT_EQ(ReadFile(s.sortie), attendu);
    }
    if (facon != Facon::Bureau) {
        EXPECT_TRUE(Scripted().shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    ToutesFacons, MemesOctets,
    testing::Combine(testing::Values(Facon::FluxIci, Facon::FluxEncodeurAPart, Facon::LotDeQuatre, Facon::Bureau,
                                     Facon::CliUnTravailleur, Facon::CliQuatreTravailleurs, Facon::CliTroisParts),
                     testing::Values(Jeu::JpegDroit, Jeu::JpegTourne, Jeu::PngAlpha, Jeu::Bmp, Jeu::Gif, Jeu::Webp,
                                     Jeu::TousFormats),
                     testing::Values(false)),
    NomDuCas);
INSTANTIATE_TEST_SUITE_P(
    QualiteOrigine, MemesOctets,
    testing::Combine(testing::Values(Facon::FluxIci, Facon::LotDeQuatre, Facon::Bureau, Facon::CliQuatreTravailleurs),
                     testing::Values(Jeu::JpegDroit, Jeu::JpegTourne, Jeu::TousFormats), testing::Values(true)),
    NomDuCas);

// ---- streaming, every way a layer meets the bands' edges ----

constexpr int kLargeur = 320;
constexpr int kHauteur = 240;

void Ombre(Style& s, int dx, int dy)
{
    s.Contour = 2;
    s.CouleurContour = RGB(0, 0, 0);
    s.OmbreX = dx;
    s.OmbreY = dy;
    s.OmbreFlou = 6;
    s.OpaciteOmbre = 70;
    s.CouleurOmbre = RGB(20, 20, 60);
}

// A placement: how it changes the template's text at the bottom right, without a logo.
struct Placement {
    const char* nom;
    void (*regle)(ModeleSignature&);
};

// Every way a layer meets the picture's edges, each layer alone and both.
const Placement kPlacements[] = {
    {"bottom right", [](ModeleSignature&) {}},
    {"top left", [](ModeleSignature& r) { r.EmplacementTexte = Automatique(true, false, false, 5, 5); }},
    {"top edge", [](ModeleSignature& r) { r.EmplacementTexte = Automatique(true, false, true, 0, 0); }},
    {"cut by the bottom", [](ModeleSignature& r) { r.EmplacementTexte = Absolu(250, 232); }},
    {"cut by the right", [](ModeleSignature& r) { r.EmplacementTexte = Absolu(300, 100); }},
    {"outside", [](ModeleSignature& r) { r.EmplacementTexte = Absolu(10, 5000); }},
    {"opaque box", [](ModeleSignature& r) { r.FondTransparent = 0; }},
    {"large relative text", [](ModeleSignature& r) { r.StyleTexte.TailleRelative = 3000; }},
    {"outline and shadow above, cut by the top",
     [](ModeleSignature& r) {
         r.EmplacementTexte = Automatique(true, true, false, 3, 0);
         Ombre(r.StyleTexte, 4, -9);
     }},
    {"outline and shadow below, cut by the bottom",
     [](ModeleSignature& r) {
         r.EmplacementTexte = Automatique(false, false, true, 0, 0);
         Ombre(r.StyleTexte, -5, 12);
         r.StyleTexte.Opacite = 60;
     }},
    {"relative text with its shadow, centred at the top",
     [](ModeleSignature& r) {
         r.EmplacementTexte = Automatique(true, false, true, 0, 2);
         r.StyleTexte.TailleRelative = 1500;
         Ombre(r.StyleTexte, 3, 7);
     }},
    {"logo top, text bottom",
     [](ModeleSignature& r) {
         r.Logo = "logo.png";
         r.EmplacementLogo = Automatique(true, false, false, 10, 10);
     }},
    {"logo over the text",
     [](ModeleSignature& r) {
         r.Logo = "logo.bmp";
         r.EmplacementLogo = Automatique(false, true, false, 2, 3);
     }},
    {"logo cut by the bottom, relative and half opaque",
     [](ModeleSignature& r) {
         r.Logo = "logo.png";
         r.EmplacementLogo = Absolu(100, 225);
         r.StyleLogo.TailleRelative = 1500;
         r.StyleLogo.Opacite = 50;
     }},
    {"logo only", [](ModeleSignature& r) {
         r.Texte.clear();
         r.Logo = "logo.bmp";
         r.EmplacementLogo = Absolu(0, 0);
     }},
    {"nothing to lay", [](ModeleSignature& r) { r.Texte.clear(); }},
};

// One placement streamed in bands, encoded here or on a thread of its own.
class MemesOctetsEnBandes : public testing::TestWithParam<std::tuple<int, bool>> {
protected:
    void SetUp() override
    {
        HBITMAP photo = Gradient(kLargeur, kHauteur);
        ASSERT_EQ(graphique.SauveImage(bac.path("photo.jpg"), photo, 92), 1);
        DeleteObject(photo);
        HBITMAP logo = Make(40, 30, 32, [](int x, int y) { return RGB(200, x * 6, y * 8); });
        ASSERT_EQ(graphique.SauveImage(bac.path("logo.bmp"), logo, 0), 1);
        DeleteObject(logo);
        LogoRond(bac.path("logo.png"));
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_P(MemesOctetsEnBandes, TheBandsWriteTheBytesOfTheWholePicture)
{
    const auto [placement, aPart] = GetParam();
    ModeleSignature r;
    r.Texte = "Åsa Öberg 2026 — gjÉ";
    r.Fonte.lfHeight = -22;
    r.CouleurEncre = RGB(255, 255, 240);
    r.CouleurFond = RGB(10, 40, 90);
    r.FondTransparent = 1;
    r.QualiteJPEG = 85;
    kPlacements[placement].regle(r);

    EtapeSignature entiere(r, bac.path(""));
    ASSERT_FALSE(entiere.LogoManquant());
    HBITMAP image = entiere.Charge(bac.path("photo.jpg"));
    ASSERT_NE(image, nullptr);
    entiere.Signe(image);
    ASSERT_EQ(entiere.Sauve(bac.path("entiere.jpg"), image), 1);
    DeleteObject(image);

    EtapeSignature enBandes(r, bac.path(""));
    enBandes.EncodeAPart(aPart);
    ASSERT_EQ(enBandes.Traite(bac.path("photo.jpg"), bac.path("bandes.jpg")), EtapeSignature::Resultat::Signe);
    EXPECT_EQ(ReadFile(bac.path("bandes.jpg")), ReadFile(bac.path("entiere.jpg")));
    EXPECT_TRUE(Scripted().shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Placements, MemesOctetsEnBandes,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kPlacements))),
                                          testing::Bool()),
                         [](const testing::TestParamInfo<MemesOctetsEnBandes::ParamType>& info) {
                             return Identifiant(kPlacements[std::get<0>(info.param)].nom)
                                 + (std::get<1>(info.param) ? "_EncoderThread" : "_CallersThread");
                         });

} // namespace
