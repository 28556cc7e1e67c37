// Signing a JPEG in bands of rows writes the bytes of the whole-picture way.

#include "CGraphique.h"
#include "EmplacementsEssai.h"
#include "Composition.h"
#include "EtapeSignature.h"
#include "codecs/Metadonnees.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <string>

using namespace TestImages;

namespace {

constexpr int kLargeur = 320;
constexpr int kHauteur = 240;

class Flux : public testing::Test {
protected:
    void SetUp() override
    {
        HBITMAP photo = Gradient(kLargeur, kHauteur);
        ASSERT_EQ(graphique.SauveImage(bac.path("photo.jpg"), photo, 92), 1);
        DeleteObject(photo);
        HBITMAP logo = Make(40, 30, 32, [](int x, int y) { return RGB(200, x * 6, y * 8); });
        ASSERT_EQ(graphique.SauveImage(bac.path("logo.bmp"), logo, 0), 1);
        DeleteObject(logo);
    }

    static ModeleSignature Reglages()
    {
        ModeleSignature r;
        r.Texte = "Åsa Öberg 2026 — gjÉ";
        r.Fonte.lfHeight = -22;
        r.CouleurEncre = RGB(255, 255, 240);
        r.CouleurFond = RGB(10, 40, 90);
        r.FondTransparent = 1;
        r.QualiteJPEG = 85;
        return r;
    }

    // The whole-picture way: load, sign in place, save.
    void EntierementSigne(EtapeSignature& etape, const std::string& source, const std::string& sortie)
    {
        HBITMAP image = etape.Charge(source);
        ASSERT_NE(image, nullptr);
        etape.Signe(image);
        EXPECT_EQ(etape.Sauve(sortie, image), 1);
        DeleteObject(image);
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(Flux, OnlyTheRowsUnderTheLayersAreHeldAndATurnedPhotoIsLeftToTheWholeWay)
{
    ModeleSignature r = Reglages();
    r.Logo = "logo.bmp";
    r.EmplacementLogo = Automatique(true, false, false, 10, 10);
    CoucheTexte texte;
    texte.Texte = r.Texte;
    texte.Police = CreateFontIndirect(&r.Fonte);
    texte.Place = r.EmplacementTexte;
    CoucheLogo logo;
    logo.Image = graphique.ChargeImage(bac.path("logo.bmp"));
    logo.Logo = bac.path("logo.bmp");
    logo.Place = r.EmplacementLogo;
    CGraphique::RecupereInfosImage(logo.Image, logo.Taille, nullptr);

    std::vector<std::pair<int, int>> tenues;
    const auto bandes = [&](CSize taille) { return Composition::LignesTouchees(taille, texte, logo); };
    const auto retouche = [&](HBITMAP bande, int premiere) {
        tenues.emplace_back(premiere, premiere + bande->height());
        Composition::SigneBande(bande, CSize(kLargeur, kHauteur), premiere, texte, logo);
    };
    Metadonnees metadonnees;
    EXPECT_EQ(graphique.RetouchePhotoEnFlux(bac.path("photo.jpg"), bac.path("b.jpg"), 85, metadonnees,
                                            PolitiqueMetadonnees(), bandes, retouche, true),
              CGraphique::Flux::Ecrit);
    // The logo's 30 rows from row 10, the text's line of about 26 rows down to the 5-pixel margin.
    ASSERT_EQ(tenues.size(), 2u);
    EXPECT_EQ(tenues[0], std::make_pair(10, 40));
    EXPECT_GT(tenues[1].first, kHauteur - 45);
    EXPECT_GE(tenues[1].second, kHauteur - 5);
    EXPECT_LE(tenues[1].second, kHauteur);

    // Turned by its orientation: nothing read into bands, nothing written.
    ASSERT_EQ(RunCommand("/usr/bin/exiftool -q -overwrite_original -Orientation#=6 " + bac.path("photo.jpg")), 0);
    tenues.clear();
    EXPECT_EQ(graphique.RetouchePhotoEnFlux(bac.path("photo.jpg"), bac.path("c.jpg"), 85, metadonnees,
                                            PolitiqueMetadonnees(), bandes, retouche, true),
              CGraphique::Flux::Inapplicable);
    EXPECT_TRUE(tenues.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(bac.path("c.jpg"))));
    // The step still signs it, upright, as the desktop does.
    EtapeSignature entiere(r, bac.path(""));
    EtapeSignature etape(r, bac.path(""));
    EntierementSigne(entiere, bac.path("photo.jpg"), bac.path("entiere.jpg"));
    ASSERT_EQ(etape.Traite(bac.path("photo.jpg"), bac.path("c.jpg")), EtapeSignature::Resultat::Signe);
    EXPECT_EQ(ReadFile(bac.path("c.jpg")), ReadFile(bac.path("entiere.jpg")));

    DeleteObject(texte.Police);
    DeleteObject(logo.Image);
}

TEST_F(Flux, DamagedSourcesEndAsTheWholeWayEndsThemAndATargetIsLeftAsItWas)
{
    // Cut in half: the decoder greys the rest, as it does for the whole picture.
    std::vector<std::uint8_t> octets = ReadFile(bac.path("photo.jpg"));
    octets.resize(octets.size() / 2);
    WriteFile(bac.path("coupe.jpg"), octets);
    // A progressive file whose third scan names a component the frame lacks.
    ASSERT_EQ(RunCommand(std::string(kConvert) + " " + bac.path("photo.jpg") + " -interlace JPEG "
                         + bac.path("p.jpg")),
              0);
    octets = ReadFile(bac.path("p.jpg"));
    int scans = 0;
    for (std::size_t i = 0; i + 5 < octets.size(); ++i)
        if (octets[i] == 0xFF && octets[i + 1] == 0xDA && ++scans == 3)
            octets[i + 5] = 0x77;
    ASSERT_GE(scans, 3);
    WriteFile(bac.path("scan.jpg"), octets);

    const struct {
        const char* source;
        EtapeSignature::Resultat attendu;
    } cas[] = {{"coupe.jpg", EtapeSignature::Resultat::Signe}, {"scan.jpg", EtapeSignature::Resultat::EchecChargement}};
    for (const bool blocs : {false, true})
        for (const auto& c : cas) {
            SCOPED_TRACE(std::string(c.source) + (blocs ? ", by blocks" : ""));
            WriteFile(bac.path("cible.jpg"), {'o', 'l', 'd'});
            ModeleSignature reglages = Reglages();
            reglages.QualiteOrigine = blocs;
            EtapeSignature etape(reglages);
            etape.EncodeAPart(true);
            EtapeSignature entiere(reglages);
            ASSERT_EQ(etape.Traite(bac.path(c.source), bac.path("cible.jpg")), c.attendu);
            if (c.attendu == EtapeSignature::Resultat::Signe) {
                // By blocks, the one-thread way is the reference.
                if (blocs)
                    ASSERT_EQ(entiere.Traite(bac.path(c.source), bac.path("entiere.jpg")), c.attendu);
                else
                    EntierementSigne(entiere, bac.path(c.source), bac.path("entiere.jpg"));
                EXPECT_EQ(ReadFile(bac.path("cible.jpg")), ReadFile(bac.path("entiere.jpg")));
            } else {
                EXPECT_EQ(entiere.Charge(bac.path(c.source)), nullptr);
                EXPECT_EQ(ReadFile(bac.path("cible.jpg")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
                for (const auto& f : std::filesystem::directory_iterator(bac.path("")))
                    EXPECT_NE(f.path().filename().string().rfind(".~", 0), 0u) << "temporary left: " << f.path();
            }
        }
    Scripted().shown.clear();
}

TEST_F(Flux, AWriteThatFailsMidwayIsReportedOnTheCallersThreadAndLeavesTheTarget)
{
    // The file may grow past its markers but not hold the rows.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit avant{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &avant), 0);
    for (const bool blocs : {false, true})
        for (const bool aPart : {false, true}) {
            SCOPED_TRACE(std::string(aPart ? "encoded apart" : "encoded here") + (blocs ? ", by blocks" : ""));
            WriteFile(bac.path("cible.jpg"), {'o', 'l', 'd'});
            Scripted().shown.clear();
            ModeleSignature reglages = Reglages();
            reglages.QualiteOrigine = blocs;
            EtapeSignature etape(reglages);
            etape.EncodeAPart(aPart);
            rlimit limite = avant;
            limite.rlim_cur = 6000;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
            const EtapeSignature::Resultat resultat = etape.Traite(bac.path("photo.jpg"), bac.path("cible.jpg"));
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &avant), 0);
            EXPECT_EQ(resultat, EtapeSignature::Resultat::EchecEcriture);
            etape.PrendRapport().Affiche();
            ASSERT_EQ(Scripted().shown.size(), 1u);
            EXPECT_EQ(Scripted().shown[0].caption, "JPEG Error");
            EXPECT_EQ(ReadFile(bac.path("cible.jpg")), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
            for (const auto& f : std::filesystem::directory_iterator(bac.path("")))
                EXPECT_NE(f.path().filename().string().rfind(".~", 0), 0u) << "temporary left: " << f.path();
        }
    std::signal(SIGXFSZ, SIG_DFL);
    Scripted().shown.clear();
}

} // namespace
