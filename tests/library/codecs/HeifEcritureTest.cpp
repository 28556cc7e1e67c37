// HEIC and AVIF written by us, read back by libheif itself: the size, the
// pixels, the Exif (said upright) and the ICC profile; a failed write keeps
// the file that was there.

#include "BlocExif.h"
#include "CGraphique.h"
#include "TestImages.h"
#include "codecs/HeifEcriture.h"
#include "codecs/HeifFile.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"
#include "codecs/RegistreFormats.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

using namespace TestImages;

namespace {

using Codec = HeifEcriture::Codec;
using Octets = std::vector<std::uint8_t>;

struct LibereContexte {
    void operator()(heif_context* c) const { heif_context_free(c); }
};

// What libheif finds in a file: the primary picture's size and its Exif.
struct Relu {
    int largeur = 0, hauteur = 0;
    Metadonnees exif;
};

bool Relit(const std::string& chemin, Relu& relu)
{
    std::unique_ptr<heif_context, LibereContexte> contexte(heif_context_alloc());
    heif_image_handle* poignee = nullptr;
    if (heif_context_read_from_file(contexte.get(), chemin.c_str(), nullptr).code != heif_error_Ok
        || heif_context_get_primary_image_handle(contexte.get(), &poignee).code != heif_error_Ok)
        return false;
    std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> garde(poignee, heif_image_handle_release);
    relu.largeur = heif_image_handle_get_width(poignee);
    relu.hauteur = heif_image_handle_get_height(poignee);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(poignee, "Exif", &id, 1) == 1) {
        Octets bloc(heif_image_handle_get_metadata_size(poignee, id));
        if (bloc.size() < 4 || heif_image_handle_get_metadata(poignee, id, bloc.data()).code != heif_error_Ok)
            return false;
        const std::size_t decalage = std::size_t(bloc[0]) << 24 | bloc[1] << 16 | bloc[2] << 8 | bloc[3];
        relu.exif.AjouteExif(std::span<const std::uint8_t>(bloc).subspan(4 + decalage));
    }
    return true;
}

int Ecart(COLORREF a, COLORREF b)
{
    return std::abs(int(GetRValue(a)) - GetRValue(b)) + std::abs(int(GetGValue(a)) - GetGValue(b))
           + std::abs(int(GetBValue(a)) - GetBValue(b));
}

class HeifEcrit : public testing::Test {
protected:
    Sandbox box;
    CGraphique graphique;
};

TEST_F(HeifEcrit, HeicAndAvifDecodeAtTheirSizeWithExifUprightAndProfile)
{
    const Octets profil = [] {
        Octets p(300);
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = static_cast<std::uint8_t>(i * 7);
        return p;
    }();
    struct Cas {
        const char* nom;
        Codec codec;
        int largeur, hauteur;
    };
    for (const Cas& c : {Cas{"a.heic", Codec::Hevc, 96, 40}, Cas{"b.heic", Codec::Hevc, 37, 23},
                         Cas{"c.avif", Codec::Av1, 96, 40}, Cas{"d.avif", Codec::Av1, 37, 23}}) {
        SCOPED_TRACE(c.nom);
        if (!HeifEcriture::Disponible(c.codec)) {
            ADD_FAILURE() << "libheif has no encoder for " << c.nom;
            continue;
        }
        // Four quarters of distinct colours show any turn or mirror.
        const int ml = c.largeur / 2, mh = c.hauteur / 2;
        HBITMAP source = Make(c.largeur, c.hauteur, 32, [&](int x, int y) {
            return x < ml ? (y < mh ? RGB(220, 30, 30) : RGB(30, 220, 30))
                          : (y < mh ? RGB(30, 30, 220) : RGB(230, 230, 40));
        });
        Metadonnees metadonnees;
        ASSERT_TRUE(metadonnees.AjouteExif(BlocExif(6, "Quillcam")));
        ASSERT_TRUE(metadonnees.AjouteProfilICC(profil));
        RapportCodec rapport;
        const std::string chemin = box.path(c.nom);
        ASSERT_EQ(HeifEcriture::Sauve(chemin, *source, 80, c.codec, &metadonnees, rapport), 1);
        EXPECT_TRUE(rapport.Messages().empty());
        Relu relu;
        ASSERT_TRUE(Relit(chemin, relu));
        EXPECT_EQ(relu.largeur, c.largeur);
        EXPECT_EQ(relu.hauteur, c.hauteur);
        EXPECT_EQ(relu.exif.Etiquette("Model"), "Quillcam");
        EXPECT_EQ(relu.exif.Orientation(), 1);
        // The content names the codec, and our reader gives back the pixels
        // and the profile.
        EXPECT_EQ(RegistreFormats::ParContenu(chemin),
                  &RegistreFormats::De(c.codec == Codec::Hevc ? RegistreFormats::Genre::Heif
                                                              : RegistreFormats::Genre::Avif));
        Metadonnees lues;
        HBITMAP image = HeifFile::Charge(chemin, &lues);
        ASSERT_NE(image, nullptr);
        for (const CPoint p : {CPoint(ml / 2, mh / 2), CPoint(ml + ml / 2, mh / 2), CPoint(ml / 2, mh + mh / 2),
                               CPoint(ml + ml / 2, mh + mh / 2)})
            EXPECT_LE(Ecart(Pixel(source, p.x, p.y), Pixel(image, p.x, p.y)), 40) << p.x << "," << p.y;
        EXPECT_EQ(lues.ProfilICC(), profil);
        DeleteObject(image);
        DeleteObject(source);
    }
}

TEST_F(HeifEcrit, TheRegistryWritesByNameAndCopiesOfSourcesStayHeifWhereEncoded)
{
    HBITMAP image = Gradient(40, 30);
    for (const char* nom : {"r.heic", "r.heif", "r.avif"}) {
        SCOPED_TRACE(nom);
        ASSERT_EQ(graphique.SauveImage(box.path(nom), image, 70), 1);
        Relu relu;
        ASSERT_TRUE(Relit(box.path(nom), relu));
        EXPECT_EQ(relu.largeur, 40);
        EXPECT_TRUE(relu.exif.Vide());
    }
    using Genre = RegistreFormats::Genre;
    for (const auto& [genre, garde] :
         {std::pair{Genre::Jpeg, true}, std::pair{Genre::Png, true},
          std::pair{Genre::Heif, HeifEcriture::Disponible(Codec::Hevc)},
          std::pair{Genre::Avif, HeifEcriture::Disponible(Codec::Av1)}, std::pair{Genre::Svg, false}})
        EXPECT_EQ(RegistreFormats::CopieDansSonFormat(RegistreFormats::De(genre)), garde)
            << RegistreFormats::De(genre).Nom;
    DeleteObject(image);
}

TEST_F(HeifEcrit, AFailedWriteKeepsTheFileThatWasThere)
{
    if (!HeifEcriture::Disponible(Codec::Hevc))
        GTEST_SKIP() << "libheif has no HEVC encoder";
    HBITMAP image = Gradient(32, 32);
    const Octets ancien = {'o', 'l', 'd'};
    struct Cas {
        const char* nom;
        int qualite;
        bool lectureSeule;
    };
    for (const Cas& c : {Cas{"quality.heic", 101, false}, Cas{"negative.heic", -1, false},
                         Cas{"readonly.heic", 80, true}}) {
        SCOPED_TRACE(c.nom);
        const std::string chemin = box.path(c.nom);
        WriteFile(chemin, ancien);
        if (c.lectureSeule) {
            ASSERT_EQ(::chmod(chemin.c_str(), 0444), 0);
        }
        RapportCodec rapport;
        EXPECT_EQ(HeifEcriture::Sauve(chemin, *image, c.qualite, Codec::Hevc, nullptr, rapport), 0);
        EXPECT_EQ(ReadFile(chemin), ancien);
        ASSERT_EQ(rapport.Messages().size(), 1u);
        EXPECT_NE(rapport.Messages()[0].Texte.find(chemin), std::string::npos) << rapport.Messages()[0].Texte;
    }
    // Into a folder that does not exist: nothing is left behind either.
    RapportCodec rapport;
    EXPECT_EQ(HeifEcriture::Sauve(box.path("missing/x.avif"), *image, 80, Codec::Av1, nullptr, rapport), 0);
    EXPECT_EQ(rapport.Messages().size(), 1u);
    DeleteObject(image);
}

} // namespace
