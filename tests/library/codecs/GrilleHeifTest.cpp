// HEIC grids, built here around a tile heif-enc codes: read at the canvas
// their grid declares, and refused before decoding when that canvas is more
// than the budget, whatever their 'ispe' box claims.

#include "codecs/Budget.h"
#include "codecs/GrilleHeif.h"
#include "codecs/HeifFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string_view>

using namespace TestImages;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Be(Bytes& b, std::uint64_t v, int octets)
{
    for (int i = octets - 1; i >= 0; --i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Texte(std::string_view t) { return Bytes(t.begin(), t.end()); }

Bytes Boite(const char* type, const Bytes& contenu)
{
    Bytes b;
    Be(b, contenu.size() + 8, 4);
    return b + Texte(type) + contenu;
}

Bytes Pleine(const char* type, std::uint8_t version, const Bytes& contenu)
{
    return Boite(type, Bytes{version, 0, 0, 0} + contenu);
}

// The box of that type in a file, whole; empty when there is none.
Bytes Trouve(const Bytes& fichier, const char* type)
{
    const auto it = std::search(fichier.begin(), fichier.end(), type, type + 4);
    if (it - fichier.begin() < 4)
        return {};
    const std::size_t debut = std::size_t(it - fichier.begin()) - 4;
    const std::size_t taille = (std::size_t(fichier[debut]) << 24) | (fichier[debut + 1] << 16)
                               | (fichier[debut + 2] << 8) | fichier[debut + 3];
    return Bytes(fichier.begin() + debut, fichier.begin() + std::min(fichier.size(), debut + taille));
}

struct Grille {
    int colonnes;
    std::uint32_t largeur, hauteur;         // the canvas the grid declares
    std::uint32_t ispeLargeur, ispeHauteur; // what its 'ispe' claims
    bool enIdat;                            // grid data in the 'meta' box, or in 'mdat'
};

// A grid of one row of tiles, each the coded picture of tuile (hvcC and mdat).
Bytes Construit(const Bytes& hvcC, const Bytes& donneesTuile, const Grille& g)
{
    Bytes grille{0, 0, 0, std::uint8_t(g.colonnes - 1)};
    Be(grille, g.largeur, 2);
    Be(grille, g.hauteur, 2);
    const Bytes ftyp = Boite("ftyp", Texte("heic") + Bytes(4, 0) + Texte("mif1heic"));
    const auto meta = [&](std::uint64_t mdat) {
        Bytes infe = Pleine("infe", 2, Bytes{0, 1, 0, 0} + Texte("grid") + Bytes{0});
        Bytes dimg{0, 1};
        Be(dimg, g.colonnes, 2);
        Bytes iloc{0x44, 0x00};
        Be(iloc, g.colonnes + 1, 2);
        Be(iloc, 1, 2);
        Be(iloc, g.enIdat ? 1 : 0, 2);
        iloc = iloc + Bytes{0, 0, 0, 1};
        Be(iloc, g.enIdat ? 0 : mdat + donneesTuile.size(), 4);
        Be(iloc, grille.size(), 4);
        Bytes ipma;
        Be(ipma, g.colonnes + 1, 4);
        ipma = ipma + Bytes{0, 1, 1, 3};
        for (int i = 0; i < g.colonnes; ++i) {
            Bytes id;
            Be(id, i + 2, 2);
            infe = infe + Pleine("infe", 2, id + Bytes{0, 0} + Texte("hvc1") + Bytes{0});
            dimg = dimg + id;
            iloc = iloc + id + Bytes{0, 0, 0, 0, 0, 1};
            Be(iloc, mdat, 4);
            Be(iloc, donneesTuile.size(), 4);
            ipma = ipma + id + Bytes{2, 0x81, 2};
        }
        Bytes compte;
        Be(compte, g.colonnes + 1, 2);
        Bytes ispeTuile, ispeGrille;
        Be(ispeTuile, 64, 4);
        Be(ispeTuile, 64, 4);
        Be(ispeGrille, g.ispeLargeur, 4);
        Be(ispeGrille, g.ispeHauteur, 4);
        return Pleine("meta", 0,
                      Pleine("hdlr", 0, Bytes(4, 0) + Texte("pict") + Bytes(13, 0)) + Pleine("pitm", 0, {0, 1})
                          + Pleine("iloc", 1, iloc) + Pleine("iinf", 0, compte + infe)
                          + Pleine("iref", 0, Boite("dimg", dimg))
                          + Boite("iprp", Boite("ipco", hvcC + Pleine("ispe", 0, ispeTuile)
                                                            + Pleine("ispe", 0, ispeGrille))
                                              + Pleine("ipma", 0, ipma))
                          + (g.enIdat ? Boite("idat", grille) : Bytes()));
    };
    const std::uint64_t mdat = ftyp.size() + meta(0).size() + 8;
    return ftyp + meta(mdat) + Boite("mdat", donneesTuile + (g.enIdat ? Bytes() : grille));
}

class HeifGrille : public testing::Test {
protected:
    void SetUp() override
    {
        constexpr const char* kHeifEnc = "/usr/bin/heif-enc";
        if (!HaveTool(kHeifEnc))
            GTEST_SKIP() << "heif-enc is not installed";
        HBITMAP source = Solid(64, 64, 32, RGB(200, 40, 40));
        WritePpm(box.path("tuile.ppm"), source);
        DeleteObject(source);
        ASSERT_EQ(RunCommand("/usr/bin/convert '" + box.path("tuile.ppm") + "' '" + box.path("tuile.png") + "'"), 0);
        ASSERT_EQ(RunCommand(std::string(kHeifEnc) + " -q 90 '" + box.path("tuile.png") + "' -o '"
                             + box.path("tuile.heic") + "' >/dev/null 2>&1"),
                  0);
        const Bytes fichier = ReadFile(box.path("tuile.heic"));
        hvcC = Trouve(fichier, "hvcC");
        const Bytes mdat = Trouve(fichier, "mdat");
        ASSERT_FALSE(hvcC.empty());
        ASSERT_GT(mdat.size(), 8u);
        tuile.assign(mdat.begin() + 8, mdat.end());
    }
    std::string Ecrit(const Grille& g)
    {
        const std::string path = box.path("grille.heic");
        WriteFile(path, Construit(hvcC, tuile, g));
        return path;
    }
    Sandbox box;
    Bytes hvcC, tuile;
};

TEST_F(HeifGrille, AGridLoadsAtTheCanvasItDeclares)
{
    for (const Grille& g : {Grille{2, 128, 64, 128, 64, true}, Grille{2, 128, 64, 64, 64, false}}) {
        SCOPED_TRACE(g.enIdat ? "grid in idat" : "grid in mdat, ispe too small");
        const std::string path = Ecrit(g);
        Budget budget;
        HBITMAP image = HeifFile::Charge(path, budget, nullptr, nullptr);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width(), 128);
        EXPECT_EQ(image->height(), 64);
        HBITMAP seule = HeifFile::Charge(box.path("tuile.heic"));
        ASSERT_NE(seule, nullptr);
        EXPECT_EQ(Pixel(image, 100, 40), Pixel(seule, 36, 40)) << "the second tile is there";
        DeleteObject(seule);
        EXPECT_GE(budget.Pic(), std::uint64_t(128) * 64 * 8) << "reserved at the canvas, not the ispe";
        DeleteObject(image);
    }
}

TEST_F(HeifGrille, ACanvasBeyondTheBudgetIsRefusedBeforeDecoding)
{
    struct Cas {
        std::uint32_t cote;
        Budget::Limites limites;
        Budget::Refus motif;
    };
    // 16384 x 16384 from a few kilobytes claiming 64 x 64: 2 GiB decoded.
    for (const Cas& c : {Cas{16384, Budget::kDefaut, Budget::Refus::Memoire},
                         Cas{4096, {std::uint64_t(1) << 22, std::uint64_t(1) << 28}, Budget::Refus::Pixels}}) {
        SCOPED_TRACE(c.cote);
        const std::string path = Ecrit({1, c.cote, c.cote, 64, 64, false});
        int largeur = 0, hauteur = 0;
        ASSERT_TRUE(HeifFile::Dimensions(path, largeur, hauteur)) << "libheif takes the file";
        EXPECT_EQ(largeur, 64);
        Budget budget(c.limites);
        HBITMAP image = HeifFile::Charge(path, budget, nullptr, nullptr);
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(budget.Motif(), c.motif);
        EXPECT_LT(budget.Pic(), std::uint64_t(1) << 20);
        DeleteObject(image);
    }
}

TEST(GrilleHeif, TheCanvasIsReadOrTheFileRefused)
{
    using R = GrilleHeif::Resultat;
    const Bytes tuile(100, 0);
    const Bytes hvcC = Boite("hvcC", Bytes(23, 0));
    const auto sans = [](Bytes b, const char* type) {
        const auto it = std::search(b.begin(), b.end(), type, type + 4);
        if (it != b.end())
            (*it) = 'x';
        return b;
    };
    // One grid item whose 'iloc' entries hold 65535 extents of no bytes,
    // 100000 times over.
    Bytes iloc{0, 0};
    Be(iloc, 0xFFFF, 2);
    for (int i = 0; i < 0xFFFF; ++i)
        iloc.insert(iloc.end(), {0, 1, 0, 0, 0xFF, 0xFF});
    const Bytes infe = Pleine("infe", 2, Bytes{0, 1, 0, 0} + Texte("grid") + Bytes{0});
    const Bytes etendues =
        Boite("ftyp", Texte("heicmif1")) + Pleine("meta", 0, Pleine("iinf", 0, Bytes{0, 1} + infe) + Pleine("iloc", 0, iloc));
    struct Cas {
        const char* quoi;
        Bytes octets;
        R resultat;
        std::uint64_t pixels;
    };
    const std::vector<Cas> cas = {
        {"grid in idat", Construit(hvcC, tuile, {3, 300, 200, 300, 200, true}), R::Lue, 60000},
        {"grid in mdat", Construit(hvcC, tuile, {1, 16384, 16384, 64, 64, false}), R::Lue, 16384u * 16384u},
        {"no item is derived", sans(Construit(hvcC, tuile, {1, 64, 64, 64, 64, true}), "grid"), R::Aucune, 0},
        {"grid without a location", sans(Construit(hvcC, tuile, {1, 64, 64, 64, 64, true}), "iloc"), R::Illisible, 0},
        {"grid data cut off", [&] {
             Bytes b = Construit(hvcC, tuile, {1, 64, 64, 64, 64, false});
             b.resize(b.size() - 3);
             return b;
         }(), R::Illisible, 0},
        {"no meta box", Boite("ftyp", Texte("heicmif1")), R::Illisible, 0},
        // libheif 1.15 stops the process when a tile is missing (fuzz finding).
        {"a tile that is no item", [&] {
             Bytes b = Construit(hvcC, tuile, {1, 64, 64, 64, 64, true});
             const auto dimg = std::search(b.begin(), b.end(), "dimg", "dimg" + 4);
             dimg[8] = 0;
             dimg[9] = 99;
             return b;
         }(), R::Illisible, 0},
        {"a tile that is no picture", sans(Construit(hvcC, tuile, {1, 64, 64, 64, 64, true}), "hvc1"),
         R::Illisible, 0},
        {"extents of no bytes", etendues, R::Lue, 0},
    };
    Sandbox box;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        const std::string path = box.path("f.heic");
        WriteFile(path, c.octets);
        std::uint64_t pixels = 1;
        const auto debut = std::chrono::steady_clock::now();
        EXPECT_EQ(GrilleHeif::PlusGrandCanevas(path, pixels), c.resultat);
        EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(2));
        if (c.resultat == R::Lue && c.pixels) {
            EXPECT_EQ(pixels, c.pixels);
        }
    }
}

} // namespace
