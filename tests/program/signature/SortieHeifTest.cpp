// Signed copies written as HEIC and AVIF by the signing step: named by the
// run, decoded by libheif at the picture's size, carrying what "Metadata"
// keeps, at the quality "Setup" gives.

#include "BlocExif.h"
#include "CGraphique.h"
#include "EtapeSignature.h"
#include "NomSortie.h"
#include "TestImages.h"
#include "codecs/HeifEcriture.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "codecs/RegistreFormats.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace TestImages;

namespace {

using Codec = HeifEcriture::Codec;
using Genre = RegistreFormats::Genre;

constexpr const char* kModele = "Quillcam Z";

class SortieHeif : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HeifEcriture::Disponible(Codec::Hevc) || !HeifEcriture::Disponible(Codec::Av1))
            GTEST_SKIP() << "libheif has no HEVC or no AV1 encoder";
        HBITMAP image = Gradient(96, 64);
        Metadonnees camera;
        ASSERT_TRUE(camera.AjouteExif(BlocExif(1, kModele)));
        RapportCodec rapport;
        ASSERT_EQ(HeifEcriture::Sauve(bac.path("photo.heic"), *image, 90, Codec::Hevc, &camera, rapport), 1);
        ASSERT_EQ(graphique.SauveImage(bac.path("scan.bmp"), image, 75), 1);
        DeleteObject(image);
    }

    ModeleSignature Reglages(FormatSortie format, PolitiqueMetadonnees politique, int qualite = 75)
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -14;
        r.FormatEnregistrement = format;
        r.MetadonneesSortie = politique;
        r.QualiteJPEG = qualite;
        return r;
    }

    // The source signed as reglages say, into the file the run names.
    std::string Signe(const std::string& source, const ModeleSignature& reglages)
    {
        const std::string sortie = NomSortie(reglages).Chemin(bac.path(source));
        EtapeSignature etape(reglages);
        EXPECT_EQ(etape.Traite(bac.path(source), sortie), EtapeSignature::Resultat::Signe) << sortie;
        return sortie;
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(SortieHeif, CopiesAreWrittenInTheFormatChosenWithTheMetadataKept)
{
    struct Cas {
        const char* source;
        FormatSortie format;
        PolitiqueMetadonnees politique;
        const char* sortie;
        Genre genre;
        const char* modele;
    };
    for (const Cas& c : {
             Cas{"photo.heic", FormatSortie::Source, PolitiqueMetadonnees::Toutes, "TPphoto.heic", Genre::Heif, kModele},
             Cas{"photo.heic", FormatSortie::Source, PolitiqueMetadonnees::Aucune, "TPphoto.heic", Genre::Heif, ""},
             Cas{"photo.heic", FormatSortie::AVIF, PolitiqueMetadonnees::SaufLieu, "TPphoto.avif", Genre::Avif, kModele},
             Cas{"scan.bmp", FormatSortie::HEIC, PolitiqueMetadonnees::Toutes, "TPscan.heic", Genre::Heif, ""},
         }) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.sortie);
        const std::string sortie = Signe(c.source, Reglages(c.format, c.politique));
        EXPECT_EQ(sortie, bac.path(c.sortie));
        const RegistreFormats::Format* format = RegistreFormats::ParContenu(sortie);
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->Id, c.genre);
        Metadonnees relues;
        HBITMAP relue = graphique.ChargePhoto(sortie, relues);
        ASSERT_NE(relue, nullptr);
        EXPECT_EQ(relue->width(), 96);
        EXPECT_EQ(relue->height(), 64);
        EXPECT_EQ(relues.Etiquette("Model"), c.modele);
        DeleteObject(relue);
    }
}

TEST_F(SortieHeif, TheQualityIsSetupsNumber)
{
    const auto taille = [&](int qualite) {
        const std::string sortie = Signe("scan.bmp", Reglages(FormatSortie::AVIF, PolitiqueMetadonnees::Toutes, qualite));
        const auto octets = std::filesystem::file_size(sortie);
        std::filesystem::remove(sortie);
        return octets;
    };
    EXPECT_LT(taille(10), taille(95));
}

} // namespace
