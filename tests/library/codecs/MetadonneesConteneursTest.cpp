// A camera photograph's Exif, XMP and ICC profile carried into PNG and
// WebP copies under each policy, checked by exiftool and by our own
// readers; metadata other tools put in those files read back; hostile
// Exif chunks cost the metadata at most, never a crash.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/Metadonnees.h"
#include "codecs/PngFile.h"
#include "codecs/WebpFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstring>

using namespace TestImages;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kExiftool = "/usr/bin/exiftool";

void U16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void U32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A little-endian TIFF block: IFD0 at 8 (Model, Orientation 6, Exif and GPS
// pointers), the Exif IFD at 62 (DateTimeOriginal), the GPS IFD at 80
// (latitude reference and latitude), values from 110.
Bytes TiffCamera()
{
    Bytes t(162, 0);
    std::memcpy(t.data(), "II", 2);
    U16(t, 2, 42);
    U32(t, 4, 8);
    const auto ifd = [&t](std::size_t at, std::initializer_list<std::array<std::uint32_t, 4>> entrees) {
        U16(t, at, static_cast<std::uint16_t>(entrees.size()));
        for (const auto& [tag, type, nombre, valeur] : entrees) {
            at += 2;
            U16(t, at, static_cast<std::uint16_t>(tag));
            U16(t, at + 2, static_cast<std::uint16_t>(type));
            U32(t, at + 4, nombre);
            U32(t, at + 8, valeur);
            at += 10;
        }
    };
    ifd(8, {{0x0110, 2, 8, 110}, {0x0112, 3, 1, 6}, {0x8769, 4, 1, 62}, {0x8825, 4, 1, 80}});
    ifd(62, {{0x9003, 2, 20, 118}});
    ifd(80, {{0x0001, 2, 2, 'N'}, {0x0002, 5, 3, 138}});
    std::memcpy(t.data() + 110, "Model 7", 8);
    std::memcpy(t.data() + 118, "2021:06:01 12:34:56", 20);
    for (std::size_t i = 0; i < 3; ++i) {
        U32(t, 138 + 8 * i, 48 + 3 * i);
        U32(t, 142 + 8 * i, 1);
    }
    return t;
}

Bytes XmpCamera()
{
    const std::string x = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
                          "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF"
                          " xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\""
                          " xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" xmlns:exif=\"http://ns.adobe.com/exif/1.0/\""
                          " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" tiff:Orientation=\"6\""
                          " exif:GPSLatitude=\"48,51.396N\"><dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Holiday"
                          "</rdf:li></rdf:Alt></dc:title></rdf:Description></rdf:RDF></x:xmpmeta>"
                          "<?xpacket end=\"w\"?>";
    return {x.begin(), x.end()};
}

// An ICC profile header and one copyright tag: enough for a reader to name it.
Bytes ProfilEntete()
{
    Bytes p(160, 0);
    const auto be = [&p](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    be(0, 160);
    be(8, 0x02100000);
    std::memcpy(p.data() + 12, "mntrRGB XYZ ", 12);
    std::memcpy(p.data() + 36, "acsp", 4);
    be(68, 0xF6D6);
    be(72, 0x10000);
    be(76, 0xD32D);
    be(128, 1);
    std::memcpy(p.data() + 132, "cprt", 4);
    be(136, 144);
    be(140, 13);
    std::memcpy(p.data() + 144, "text\0\0\0\0Test", 13);
    return p;
}

// exiftool's JSON listing of a file ("Group:Tag": value), through a file
// beside it.
std::string Json(const std::string& fichier)
{
    EXPECT_EQ(RunCommand(std::string(kExiftool) + " -j -a -G1 -n '" + fichier + "' > '" + fichier + ".json'"), 0);
    const Bytes json = ReadFile(fichier + ".json");
    return {json.begin(), json.end()};
}

// A chunk around bytes, its CRC included for PNG, padded for WebP (RIFF).
Bytes Morceau(bool png, const char* type, const Bytes& octets, std::uint32_t longueur)
{
    Bytes b(8);
    if (png) {
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<std::uint8_t>(longueur >> (24 - 8 * i));
        std::memcpy(b.data() + 4, type, 4);
    } else {
        std::memcpy(b.data(), type, 4);
        U32(b, 4, longueur);
    }
    b.insert(b.end(), octets.begin(), octets.end());
    if (png) {
        const uLong crc = crc32(crc32(0, b.data() + 4, 4), octets.data(), static_cast<uInt>(octets.size()));
        b.insert(b.end(), {static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
                           static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
    } else if (octets.size() % 2) {
        b.push_back(0);
    }
    return b;
}

class MetadonneesConteneurs : public testing::Test {
protected:
    void SetUp() override { Scripted().clear(); }

    // A 40 x 24 JPEG stored sideways (Orientation 6) with the camera's Exif,
    // XMP and ICC profile spliced in after SOI.
    std::string Camera()
    {
        const std::string jpeg = box.path("camera.jpg");
        HBITMAP image = Gradient(40, 24, 32);
        EXPECT_EQ(graphique.SauveImage(jpeg, image, 90), 1);
        DeleteObject(image);
        Metadonnees m;
        EXPECT_TRUE(m.AjouteExif(TiffCamera()));
        EXPECT_TRUE(m.AjouteXmp(XmpCamera()));
        EXPECT_TRUE(m.AjouteProfilICC(ProfilEntete()));
        Bytes marqueurs;
        for (const auto& [code, octets] : m.Marqueurs()) {
            const std::size_t longueur = octets.size() + 2;
            marqueurs.insert(marqueurs.end(), {0xFF, static_cast<std::uint8_t>(code),
                                               static_cast<std::uint8_t>(longueur >> 8),
                                               static_cast<std::uint8_t>(longueur)});
            marqueurs.insert(marqueurs.end(), octets.begin(), octets.end());
        }
        Bytes b = ReadFile(jpeg);
        b.insert(b.begin() + 2, marqueurs.begin(), marqueurs.end());
        WriteFile(jpeg, b);
        return jpeg;
    }

    CGraphique graphique;
    Sandbox box;
};

const char* const kFormats[] = {"png", "webp"};

TEST_F(MetadonneesConteneurs, EachPolicyWritesWhatItSaysAndOurReadersGetTheSameBytes)
{
    Metadonnees camera;
    HBITMAP image = graphique.ChargePhoto(Camera(), camera);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(SizeOf(image), CSize(24, 40));
    ASSERT_EQ(camera.Orientation(), 6);
    const bool exiftool = HaveTool(kExiftool);
    const struct {
        PolitiqueMetadonnees politique;
        const char* nom;
    } politiques[] = {{PolitiqueMetadonnees::Toutes, "toutes"},
                      {PolitiqueMetadonnees::SaufLieu, "sauflieu"},
                      {PolitiqueMetadonnees::Aucune, "aucune"}};
    for (const char* format : kFormats)
        for (const auto& [politique, nom] : politiques) {
            SCOPED_TRACE(std::string(nom) + "." + format);
            const std::string sortie = box.path(std::string(nom) + "." + format);
            ASSERT_EQ(graphique.SauvePhoto(sortie, image, 90, camera, politique), 1);

            const Metadonnees ecrites = camera.PourEcriture(politique, 24, 40);
            Metadonnees relues;
            HBITMAP relue = graphique.ChargePhoto(sortie, relues);
            ASSERT_NE(relue, nullptr);
            EXPECT_EQ(SizeOf(relue), CSize(24, 40));
            DeleteObject(relue);
            const auto octets = [](std::span<const std::uint8_t> s) { return Bytes(s.begin(), s.end()); };
            EXPECT_EQ(octets(relues.BlocExif()), octets(ecrites.BlocExif()));
            EXPECT_EQ(octets(relues.PaquetXmp()), octets(ecrites.PaquetXmp()));
            EXPECT_EQ(relues.ProfilICC(), ecrites.ProfilICC());
            EXPECT_EQ(relues.Vide(), politique == PolitiqueMetadonnees::Aucune);

            if (!exiftool)
                continue;
            const std::string json = Json(sortie);
            EXPECT_EQ(json.find("\"ExifTool:Warning\""), std::string::npos) << json;
            const bool garde = politique != PolitiqueMetadonnees::Aucune;
            for (const char* tag :
                 {"\"IFD0:Model\": \"Model 7\"", "\"ExifIFD:DateTimeOriginal\": \"2021:06:01 12:34:56\"",
                  "\"IFD0:Orientation\": 1,", "\"XMP-tiff:Orientation\": 1,", "\"XMP-dc:Title\": \"Holiday\"",
                  "\"ICC-header:ProfileClass\": \"mntr\""})
                EXPECT_EQ(json.find(tag) != std::string::npos, garde) << tag << "\n" << json;
            EXPECT_EQ(json.find("GPS") != std::string::npos, politique == PolitiqueMetadonnees::Toutes) << json;
            for (const char* groupe : {"\"IFD", "\"ExifIFD:", "\"XMP", "\"ICC"})
                EXPECT_EQ(json.find(groupe) != std::string::npos, garde) << groupe;
        }
    DeleteObject(image);
    if (!exiftool)
        GTEST_SKIP() << "exiftool is not installed at " << kExiftool << ": only our own readers checked";
    EXPECT_TRUE(Scripted().shown.empty());
}

// What exiftool adds to a PNG or a WebP is found, and so is an Exif chunk
// after a PNG's pixels, where the format allows it too.
TEST_F(MetadonneesConteneurs, MetadataOtherToolsWriteIsRead)
{
    {
        HBITMAP petite = Gradient(5, 3, 32);
        const std::string png = box.path("apres.png");
        ASSERT_EQ(PngFile::Sauve(png, *petite, nullptr, nullptr), 1);
        DeleteObject(petite);
        Bytes b = ReadFile(png);
        const Bytes tiff = TiffCamera();
        const Bytes exif = Morceau(true, "eXIf", tiff, static_cast<std::uint32_t>(tiff.size()));
        b.insert(b.end() - 12, exif.begin(), exif.end());
        WriteFile(png, b);
        Metadonnees m;
        HBITMAP relue = PngFile::Charge(png, nullptr, &m);
        EXPECT_NE(relue, nullptr);
        DeleteObject(relue);
        EXPECT_EQ(Bytes(m.BlocExif().begin(), m.BlocExif().end()), tiff);
    }

    if (!HaveTool(kExiftool))
        GTEST_SKIP() << "exiftool is not installed at " << kExiftool;
    HBITMAP image = Gradient(16, 8, 32);
    const std::string icc = box.path("p.icc");
    WriteFile(icc, ProfilEntete());
    for (const char* format : kFormats) {
        SCOPED_TRACE(format);
        const std::string fichier = box.path(std::string("autre.") + format);
        ASSERT_EQ(graphique.SauveImage(fichier, image, 90), 1);
        ASSERT_EQ(RunCommand(std::string(kExiftool) + " -q -overwrite_original -IFD0:Model=Other"
                             " -XMP-dc:Title=Elsewhere '-ICC_Profile<=" + icc + "' '" + fichier + "'"),
                  0);
        Metadonnees m;
        HBITMAP relue = graphique.ChargePhoto(fichier, m);
        ASSERT_NE(relue, nullptr);
        DeleteObject(relue);
        EXPECT_EQ(m.Etiquette("Model"), "Other");
        const auto xmp = m.PaquetXmp();
        EXPECT_NE(std::string(xmp.begin(), xmp.end()).find("Elsewhere"), std::string::npos);
        EXPECT_EQ(m.ProfilICC(), ProfilEntete());
    }
    DeleteObject(image);
}

// Each damaged Exif chunk goes into a file that carries XMP: the picture
// fails or loads, never with those bytes taken for Exif.
TEST_F(MetadonneesConteneurs, HostileExifChunksAreRefusedOrIgnored)
{
    HBITMAP image = Gradient(12, 6, 32);
    Metadonnees m;
    ASSERT_TRUE(m.AjouteXmp(XmpCamera()));
    const Bytes tiff = TiffCamera();
    const Bytes pasTiff(40, 'X');
    const struct Cas {
        const char* nom;
        const Bytes& octets;
        std::uint32_t longueur; // as the chunk header says
        bool coupe;             // the file ends inside the chunk
    } cas[] = {
        {"huge length", tiff, 0x7FFFFFF0, false},
        {"beyond 2^31", tiff, 0xFFFFFFF0, false},
        {"truncated", tiff, 4000, true},
        {"not TIFF", pasTiff, 40, false},
    };
    for (const bool png : {true, false})
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + (png ? " png" : " webp"));
            const std::string fichier = box.path(png ? "h.png" : "h.webp");
            const int ecrit =
                png ? PngFile::Sauve(fichier, *image, nullptr, &m) : WebpFile::Sauve(fichier, *image, 90, nullptr, &m);
            ASSERT_EQ(ecrit, 1);
            Bytes b = ReadFile(fichier);
            // PNG: right after IHDR (8 + 25 bytes); WebP: last, after the XMP
            // chunk, the RIFF size telling the file's true size.
            const Bytes ajout = Morceau(png, png ? "eXIf" : "EXIF", c.octets, c.longueur);
            b.insert(png ? b.begin() + 33 : b.end(), ajout.begin(), c.coupe ? ajout.begin() + 20 : ajout.end());
            if (!png)
                U32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
            WriteFile(fichier, b);
            Metadonnees lues;
            HBITMAP lue = png ? PngFile::Charge(fichier, nullptr, &lues) : WebpFile::Charge(fichier, nullptr, &lues);
            if (lue) {
                EXPECT_EQ(SizeOf(lue), CSize(12, 6));
            }
            EXPECT_TRUE(lues.BlocExif().empty());
            DeleteObject(lue);
        }
    DeleteObject(image);
}

} // namespace
