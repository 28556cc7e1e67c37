// The format registry: each format known by its first bytes, the content
// deciding over the name when a picture is read, the name when nothing
// knows the content; sizes read from headers without decoding, and refused
// when a header is cut short or lies; the endings and dialog filters.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/Metadonnees.h"
#include "codecs/PngFile.h"
#include "codecs/RegistreFormats.h"
#include "codecs/WebpFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace TestImages;
using Genre = RegistreFormats::Genre;
using Octets = std::vector<std::uint8_t>;

namespace {

constexpr const char* kHeifEnc = "/usr/bin/heif-enc";

Octets Texte(std::string_view s) { return Octets(s.begin(), s.end()); }

// An ISO-BMFF "ftyp" box: major brand, version 0, compatible brands.
Octets Ftyp(std::string_view majeure, std::initializer_list<std::string_view> compatibles)
{
    std::string boite = std::string(4, '\0') + "ftyp" + std::string(majeure) + std::string(4, '\0');
    for (std::string_view c : compatibles)
        boite += c;
    boite[3] = static_cast<char>(boite.size());
    return Texte(boite);
}

// An Exif block whose only tag is Orientation.
Octets ExifOrientation(int orientation)
{
    return {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
            static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0, 0};
}

class Registre : public testing::Test {
protected:
    // The picture written under its own format's name.
    std::string Ecrit(const std::string& nom, HBITMAP image, int qualite = 90)
    {
        const std::string chemin = box.path(nom);
        EXPECT_EQ(graphique.SauveImage(chemin, image, qualite), 1) << nom;
        return chemin;
    }
    // The same bytes under another name.
    std::string Copie(const std::string& source, const std::string& nom)
    {
        const std::string chemin = box.path(nom);
        std::filesystem::copy_file(source, chemin);
        return chemin;
    }

    Sandbox box;
    CGraphique graphique;
};

TEST_F(Registre, EachFormatIsKnownByItsFirstBytesAlone)
{
    HBITMAP image = Gradient(12, 7);
    struct Cas {
        const char* nom;
        Octets octets;
        const RegistreFormats::Format* attendu;
    };
    const auto de = [](Genre g) { return &RegistreFormats::De(g); };
    std::vector<Cas> cas;
    for (const char* nom : {"a.jpg", "a.bmp", "a.gif", "a.png", "a.webp"})
        cas.push_back({nom, ReadFile(Ecrit(nom, image)), RegistreFormats::ParNom(nom)});
    const Octets bmp = ReadFile(box.path("a.bmp"));
    Octets bmpFaux = bmp;
    bmpFaux[14] = 41; // no BMP writer uses a 41-byte header
    cas.insert(cas.end(), {
        {"heic", Ftyp("heic", {"mif1", "heic"}), de(Genre::Heif)},
        {"mif1 then heic", Ftyp("mif1", {"heic"}), de(Genre::Heif)},
        {"generic mif1 alone", Ftyp("mif1", {"miaf"}), de(Genre::Heif)},
        {"avif", Ftyp("avif", {"mif1", "miaf", "MA1B"}), de(Genre::Avif)},
        {"mif1 then avif", Ftyp("mif1", {"avif"}), de(Genre::Avif)},
        {"avis sequence", Ftyp("avis", {"msf1"}), de(Genre::Avif)},
        {"an MP4 film", Ftyp("isom", {"isom", "mp42"}), nullptr},
        {"a camera raw", Ftyp("crx ", {"crx "}), nullptr},
        {"ftyp shorter than its brands", [] { Octets f = Ftyp("mif1", {"heic"}); f[3] = 12; return f; }(), nullptr},
        {"brand past the box's end", [] { Octets f = Ftyp("isom", {"heic"}); f[3] = 16; return f; }(), nullptr},
        {"BM with no BMP header size", bmpFaux, nullptr},
        {"BM cut before its header size", Octets(bmp.begin(), bmp.begin() + 16), nullptr},
        {"JPEG start cut", {0xFF, 0xD8}, nullptr},
        {"GIF88a", Texte("GIF88a"), nullptr},
        {"RIFF of a sound", Texte("RIFF\x24\0\0\0WAVEfmt "), nullptr},
        {"PNG signature cut", Texte("\x89PNG\r\n\x1A"), nullptr},
        {"text", Texte("not a picture"), nullptr},
        {"nothing", {}, nullptr},
    });
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::size_t n = std::min(c.octets.size(), RegistreFormats::kOctetsReconnus);
        EXPECT_EQ(RegistreFormats::ParContenu(std::span<const std::uint8_t>(c.octets.data(), n)), c.attendu);
    }
    DeleteObject(image);
}

TEST_F(Registre, ContentDecidesOverTheNameWhenReading)
{
    HBITMAP image = Gradient(20, 14);
    struct Cas {
        const char* vrai;
        const char* faux;
    };
    for (const Cas c : {Cas{"p.png", "p.jpg"}, Cas{"j.jpg", "j.png"}, Cas{"b.bmp", "b.tif"}, Cas{"g.gif", "g.jpeg"},
                        Cas{"w.webp", "w.bmp"}}) {
        SCOPED_TRACE(c.faux);
        const std::string vrai = Ecrit(c.vrai, image, 100);
        const std::string faux = Copie(vrai, c.faux);
        HBITMAP attendue = graphique.ChargeImage(vrai);
        HBITMAP lue = graphique.ChargeImage(faux);
        ASSERT_NE(lue, nullptr);
        EXPECT_EQ(FirstDifference(attendue, lue), "");
        Metadonnees metadonnees;
        HBITMAP photo = graphique.ChargePhoto(faux, metadonnees);
        ASSERT_NE(photo, nullptr);
        EXPECT_EQ(FirstDifference(attendue, photo), "");
        DeleteObject(attendue);
        DeleteObject(lue);
        DeleteObject(photo);
    }
    EXPECT_TRUE(Scripted().shown.empty());
    DeleteObject(image);
}

TEST_F(Registre, ContentNoSnifferKnowsIsReadAsTheNameSays)
{
    // "BM" alone is no BMP: the JPEG reader tries it, and says so.
    WriteFile(box.path("x.jpg"), {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 1});
    EXPECT_EQ(graphique.ChargeImage(box.path("x.jpg")), nullptr);
    ASSERT_EQ(Scripted().shown.size(), 2u);
    EXPECT_EQ(Scripted().shown[0].text, "Not a JPEG file: starts with 0x42 0x4d");
    EXPECT_EQ(Scripted().shown[1].text, "Unable to load file");
    Scripted().shown.clear();

    for (const char* nom : {"x.gif", "x.png", "x.tif", "missing.png"}) {
        SCOPED_TRACE(nom);
        if (std::string(nom) != "missing.png")
            WriteFile(box.path(nom), Texte("not a picture at all"));
        std::vector<BYTE> alpha{1};
        EXPECT_EQ(graphique.ChargeImageAlpha(box.path(nom), alpha), nullptr);
        EXPECT_TRUE(alpha.empty());
        ASSERT_EQ(Scripted().shown.size(), 1u);
        EXPECT_EQ(Scripted().shown[0].text, "Unable to load file");
        EXPECT_EQ(Scripted().shown[0].caption, "Error");
        Scripted().shown.clear();
    }
}

TEST_F(Registre, PicturesTheirContainerDidNotTurnAreTurnedByTheirExif)
{
    HBITMAP image = Gradient(30, 12);
    Metadonnees exif;
    ASSERT_TRUE(exif.AjouteExif(ExifOrientation(6)));
    struct Cas {
        const char* nom;
        int ecrit;
    };
    for (const Cas c : {Cas{"o.png", PngFile::Sauve(box.path("o.png"), *image, nullptr, &exif)},
                        Cas{"o.webp", WebpFile::Sauve(box.path("o.webp"), *image, 100, nullptr, &exif)}}) {
        SCOPED_TRACE(c.nom);
        ASSERT_EQ(c.ecrit, 1);
        Metadonnees metadonnees;
        HBITMAP photo = graphique.ChargePhoto(box.path(c.nom), metadonnees);
        ASSERT_NE(photo, nullptr);
        EXPECT_EQ(metadonnees.Orientation(), 6);
        HBITMAP droite = CGraphique::RedresseImage(image, 6);
        EXPECT_EQ(FirstDifference(droite, photo), "");
        // The copy is upright: its Exif says so.
        const std::string copie = box.path(std::string("copie") + c.nom);
        ASSERT_EQ(graphique.SauvePhoto(copie, photo, 100, metadonnees, PolitiqueMetadonnees::Toutes), 1);
        Metadonnees relues;
        HBITMAP relue = graphique.ChargePhoto(copie, relues);
        EXPECT_EQ(relues.Orientation(), 1);
        EXPECT_EQ(FirstDifference(droite, relue), "");
        DeleteObject(photo);
        DeleteObject(droite);
        DeleteObject(relue);
    }
    DeleteObject(image);
}

TEST_F(Registre, HeaderProbesGiveTheSizeWithoutDecoding)
{
    struct Cas {
        const char* nom;
        int qualite;
        int bits;
    };
    for (const Cas c : {Cas{"s.jpg", 90, 32}, Cas{"s.bmp", 0, 24}, Cas{"s8.bmp", 0, 8}, Cas{"s.gif", 0, 32},
                        Cas{"s.png", 0, 32}, Cas{"lossy.webp", 80, 32}, Cas{"lossless.webp", 100, 32}}) {
        SCOPED_TRACE(c.nom);
        HBITMAP image = Gradient(37, 23, c.bits);
        EXPECT_EQ(RegistreFormats::Dimensions(Ecrit(c.nom, image, c.qualite)), (SondeEntete::Taille{37, 23}));
        DeleteObject(image);
    }
    // The extended WebP header, written for an alpha plane.
    HBITMAP image = Gradient(37, 23);
    const std::vector<std::uint8_t> alpha(37 * 23, 128);
    ASSERT_EQ(WebpFile::Sauve(box.path("alpha.webp"), *image, 90, &alpha), 1);
    EXPECT_EQ(ReadFile(box.path("alpha.webp"))[15], 'X');
    EXPECT_EQ(RegistreFormats::Dimensions(box.path("alpha.webp")), (SondeEntete::Taille{37, 23}));
    // Named as another format, a picture is still measured as what it is.
    EXPECT_EQ(RegistreFormats::Dimensions(Copie(box.path("s.png"), "png.jpg")), (SondeEntete::Taille{37, 23}));
    EXPECT_EQ(RegistreFormats::Dimensions(box.path("missing.jpg")), std::nullopt);

    if (!HaveTool(kHeifEnc))
        GTEST_SKIP() << "heif-enc is not installed: HEIC and AVIF not measured";
    for (const char* nom : {"s.heic", "s.avif"}) {
        SCOPED_TRACE(nom);
        ASSERT_EQ(RunCommand(std::string(kHeifEnc) + " -q 80 '" + box.path("s.png") + "' -o '" + box.path(nom)
                             + "' >/dev/null 2>&1"),
                  0);
        EXPECT_EQ(RegistreFormats::ParContenu(box.path(nom)), RegistreFormats::ParNom(nom));
        EXPECT_EQ(RegistreFormats::Dimensions(box.path(nom)), (SondeEntete::Taille{37, 23}));
    }
    DeleteObject(image);
}

TEST_F(Registre, HeaderProbesRefuseCutAndLyingHeaders)
{
    HBITMAP image = Gradient(37, 23);
    for (const char* nom : {"c.jpg", "c.bmp", "c.gif", "c.png", "c.webp"}) {
        const Octets entier = ReadFile(Ecrit(nom, image));
        // Every cut inside the header; the file keeps its name.
        const std::size_t garde = std::string(nom) == "c.jpg" ? 200 : 30;
        for (std::size_t n = 0; n < std::min(garde, entier.size()); ++n) {
            WriteFile(box.path(nom), Octets(entier.begin(), entier.begin() + static_cast<std::ptrdiff_t>(n)));
            const auto taille = RegistreFormats::Dimensions(box.path(nom));
            EXPECT_TRUE(!taille || *taille == (SondeEntete::Taille{37, 23})) << nom << " cut at " << n;
        }
    }
    DeleteObject(image);

    const Octets png = Texte(std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
    const Octets riff = Texte(std::string("RIFF\x40\0\0\0WEBP", 12));
    const auto avec = [](Octets debut, std::initializer_list<int> suite) {
        for (int o : suite)
            debut.push_back(static_cast<std::uint8_t>(o));
        return debut;
    };
    Octets jpegSansFin = {0xFF, 0xD8};
    for (int i = 0; i < SondeEntete::kSegmentsMax + 10; ++i)
        jpegSansFin.insert(jpegSansFin.end(), {0xFF, 0xE1, 0x00, 0x02});
    jpegSansFin.insert(jpegSansFin.end(), {0xFF, 0xC0, 0, 11, 8, 0, 23, 0, 37, 1, 1, 0x11, 0});
    struct Cas {
        const char* nom;
        Octets octets;
    };
    for (const Cas& c : std::vector<Cas>{
             {"PNG of zero width", avec(png, {0, 0, 0, 0, 0, 0, 0, 23, 8, 2, 0, 0, 0})},
             {"PNG wider than PNG allows", avec(png, {0x80, 0, 0, 0, 0, 0, 0, 23, 8, 2, 0, 0, 0})},
             {"PNG with a long IHDR",
              [&] {
                  Octets o = avec(png, {0, 0, 0, 37, 0, 0, 0, 23});
                  o[11] = 14;
                  return o;
              }()},
             {"JPEG segment shorter than its length word", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0, 0, 0, 0}},
             {"JPEG frame header of 6 bytes", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x06, 8, 0, 23, 0, 37, 3}},
             {"JPEG frame of height 0 (DNL)", {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 8, 0, 0, 0, 37, 1, 1, 0x11, 0}},
             {"JPEG whose frame is past the segment limit", jpegSansFin},
             {"JPEG scan before any frame", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 63, 0}},
             {"GIF of zero height", Texte(std::string("GIF89a\x25\0\0\0\0\0\0", 13))},
             {"BMP of negative width", avec(Texte("BM"), {0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                                          0xDB, 0xFF, 0xFF, 0xFF, 23, 0, 0, 0, 1, 0})},
             {"WebP lossy inter frame", avec(riff, {'V', 'P', '8', ' ', 10, 0, 0, 0, 1, 0, 0, 0x9D, 0x01, 0x2A, 37, 0,
                                                    23, 0})},
             {"WebP lossy without start code", avec(riff, {'V', 'P', '8', ' ', 10, 0, 0, 0, 0, 0, 0, 0x9D, 0x01, 0x2B,
                                                           37, 0, 23, 0})},
             {"WebP lossless without signature", avec(riff, {'V', 'P', '8', 'L', 5, 0, 0, 0, 0x2E, 36, 0x80, 5, 0, 0,
                                                             0, 0, 0, 0})},
             {"WebP extended chunk too short", avec(riff, {'V', 'P', '8', 'X', 9, 0, 0, 0, 0, 0, 0, 0, 36, 0, 0, 22,
                                                           0, 0})},
             {"WebP of an unknown chunk", avec(riff, {'A', 'L', 'P', 'H', 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
             {"HEIF boxes libheif refuses", Ftyp("heic", {"mif1", "heic"})},
         }) {
        SCOPED_TRACE(c.nom);
        WriteFile(box.path("h"), c.octets);
        EXPECT_NE(RegistreFormats::ParContenu(box.path("h")), nullptr) << "a probe, not a sniffer, refuses it";
        EXPECT_EQ(RegistreFormats::Dimensions(box.path("h")), std::nullopt);
    }
}

TEST_F(Registre, NamesAreMatchedByWholeEndingsOrByTheirLastThreeCharacters)
{
    struct Cas {
        const char* nom;
        std::optional<Genre> parNom;
        std::optional<Genre> parFin;
    };
    for (const Cas& c : {Cas{"/d/a.JPEG", Genre::Jpeg, Genre::Jpeg}, Cas{"a.Jpg", Genre::Jpeg, Genre::Jpeg},
                         Cas{"photo.mpeg", std::nullopt, Genre::Jpeg}, Cas{"scanjpg", std::nullopt, Genre::Jpeg},
                         Cas{"/d/.jpg", std::nullopt, Genre::Jpeg}, Cas{"/x.jpg/a", std::nullopt, std::nullopt},
                         Cas{"a.bmp", Genre::Bmp, Genre::Bmp}, Cas{"a.GIF", Genre::Gif, Genre::Gif},
                         Cas{"a.png", Genre::Png, Genre::Png}, Cas{"a.WebP", Genre::Webp, Genre::Webp},
                         Cas{"a.heic", Genre::Heif, Genre::Heif}, Cas{"a.HEIF", Genre::Heif, Genre::Heif},
                         Cas{"a.avif", Genre::Avif, Genre::Avif}, Cas{"a.tif", std::nullopt, std::nullopt},
                         Cas{"pg", std::nullopt, std::nullopt}, Cas{"", std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(c.nom);
        const auto genre = [](const RegistreFormats::Format* f) { return f ? std::optional(f->Id) : std::nullopt; };
        EXPECT_EQ(genre(RegistreFormats::ParNom(c.nom)), c.parNom);
        EXPECT_EQ(genre(RegistreFormats::ParFinDeNom(c.nom)), c.parFin);
    }
}

TEST_F(Registre, ListsAndFiltersNameEveryEndingOnce)
{
    EXPECT_EQ(RegistreFormats::ListeTerminaisons(", ", " or "),
              ".jpg, .jpeg, .bmp, .gif, .png, .webp, .heic, .heif or .avif");
    const std::string toutes = "*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.webp;*.heic;*.heif;*.avif";
    EXPECT_EQ(RegistreFormats::Filtre("Jpeg (*.jpg)|*.jpg|Gif (*.gif)|*.gif|"),
              "Jpeg (*.jpg)|*.jpg|Gif (*.gif)|*.gif|Bitmap (*.bmp)|*.bmp|Png (*.png)|*.png|WebP (*.webp)|*.webp|"
              "Heif (*.heic;*.heif)|*.heic;*.heif|Avif (*.avif)|*.avif|All pictures (" + toutes + ")|" + toutes + "||");
    // Only the pattern fields count: a label naming a pattern is no entry.
    EXPECT_EQ(RegistreFormats::Filtre("Not *.png|*.jpg|").find("Png (*.png)|*.png|") != std::string::npos, true);
}

} // namespace
