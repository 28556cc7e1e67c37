// Camera photographs: loaded upright with their metadata, saved with it as
// the policy says, and checked tag for tag with exiftool, which writes the
// test files too. Hostile metadata loads the picture all the same.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/Metadonnees.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>

using namespace TestImages;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kExiftool = "/usr/bin/exiftool";

std::string Sortie(const std::string& command)
{
    std::string texte;
    std::unique_ptr<FILE, int (*)(FILE*)> flux(::popen(command.c_str(), "r"), ::pclose);
    char bloc[4096];
    for (std::size_t n; flux && (n = std::fread(bloc, 1, sizeof bloc, flux.get())) > 0;)
        texte.append(bloc, n);
    return texte;
}

// A small but well-formed ICC profile: header and one text tag, ~3 KB.
Bytes ProfilICC()
{
    std::string texte = "Copyright test profile ";
    while (texte.size() < 3000)
        texte += "0123456789";
    Bytes p(128 + 4 + 12, 0);
    const auto u32 = [&p](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    const auto sig = [&p](std::size_t at, const char* s) { std::memcpy(p.data() + at, s, 4); };
    sig(4, "none");
    u32(8, 0x02100000);
    sig(12, "mntr");
    sig(16, "RGB ");
    sig(20, "XYZ ");
    sig(36, "acsp");
    u32(68, 0xF6D6);    // D50 illuminant
    u32(72, 0x10000);
    u32(76, 0xD32D);
    u32(128, 1);        // one tag
    sig(132, "cprt");
    u32(136, 144);
    u32(140, static_cast<std::uint32_t>(8 + texte.size() + 1));
    const Bytes tag = [&] {
        Bytes t{'t', 'e', 'x', 't', 0, 0, 0, 0};
        t.insert(t.end(), texte.begin(), texte.end());
        t.push_back(0);
        return t;
    }();
    p.insert(p.end(), tag.begin(), tag.end());
    while (p.size() % 4)
        p.push_back(0);
    u32(0, static_cast<std::uint32_t>(p.size()));
    return p;
}

// exiftool's "-a -G1 -s -n" listing as [group]tag -> value.
std::map<std::string, std::string> Etiquettes(const std::string& jpeg)
{
    std::map<std::string, std::string> tags;
    std::istringstream in(Sortie(std::string(kExiftool) + " -a -G1 -s -n '" + jpeg + "'"));
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(" : ");
        if (colon == std::string::npos)
            continue;
        const std::size_t groupe = line.find(']') + 1;
        std::string tag = line.substr(groupe, colon - groupe);
        tag.erase(0, tag.find_first_not_of(' '));
        tag.erase(tag.find_last_not_of(' ') + 1);
        tags[line.substr(0, groupe) + tag] = line.substr(colon + 3);
    }
    return tags;
}

// The picture as stored turned by the plain per-pixel definition of each
// orientation, independent of the library's row walk.
HBITMAP Tourne(HBITMAP source, int o)
{
    const int w = SizeOf(source).cx, h = SizeOf(source).cy;
    const bool t = o >= 5;
    return Make(t ? h : w, t ? w : h, 32, [&](int x, int y) {
        int sx = x, sy = y;
        switch (o) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = h - 1 - x; break;
        case 7: sx = w - 1 - y; sy = h - 1 - x; break;
        case 8: sx = w - 1 - y; sy = x; break;
        }
        return Pixel(source, sx, sy);
    });
}

// Markers spliced in right after SOI.
void Insere(const std::string& jpeg, const std::vector<std::pair<int, Bytes>>& marqueurs)
{
    Bytes b = ReadFile(jpeg);
    Bytes ajout;
    for (const auto& [code, octets] : marqueurs) {
        const std::size_t longueur = octets.size() + 2;
        ajout.insert(ajout.end(), {0xFF, static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(longueur >> 8),
                                   static_cast<std::uint8_t>(longueur)});
        ajout.insert(ajout.end(), octets.begin(), octets.end());
    }
    b.insert(b.begin() + 2, ajout.begin(), ajout.end());
    WriteFile(jpeg, b);
}

class Photo : public testing::Test {
protected:
    void SetUp() override
    {
        // Installed by scripts/setup: a missing exiftool is a failure, not a skip.
        ASSERT_TRUE(HaveTool(kExiftool)) << kExiftool << " is missing: run scripts/setup";
        Scripted().clear();
    }

    // A w x h JPEG with everything a camera and a photo manager write:
    // Exif (with orientation, date, pixel size, GPS, a thumbnail), XMP
    // (orientation, GPS in element form, a title), IPTC, ICC, a comment.
    std::string Camera(const std::string& nom, int w, int h, int orientation)
    {
        const std::string jpeg = box.path(nom + ".jpg"), icc = box.path("p.icc"), vignette = box.path("v.jpg");
        HBITMAP image = Gradient(w, h, 32);
        HBITMAP petite = Gradient(16, 8, 32);
        EXPECT_EQ(graphique.SauveImage(jpeg, image, 90), 1);
        EXPECT_EQ(graphique.SauveImage(vignette, petite, 90), 1);
        DeleteObject(image);
        DeleteObject(petite);
        WriteFile(icc, ProfilICC());
        const std::string o = std::to_string(orientation);
        EXPECT_EQ(Sortie(std::string(kExiftool) + " -q -overwrite_original -n -Orientation=" + o +
                             " -XMP-tiff:Orientation=" + o + " -Make=Camera -Model='Model 7' -Artist=Someone"
                             " '-DateTimeOriginal=2021:06:01 12:34:56' -ExifIFD:ExifImageWidth=" + std::to_string(w) +
                             " -ExifIFD:ExifImageHeight=" + std::to_string(h) +
                             " -GPS:GPSLatitude=48.8566 -GPS:GPSLatitudeRef=N -GPS:GPSLongitude=2.3522"
                             " -GPS:GPSLongitudeRef=E -GPS:GPSAltitude=35 -XMP-exif:GPSLatitude=48.8566"
                             " -XMP-exif:GPSLongitude=2.3522 -XMP-dc:Title=Holiday -IPTC:Keywords=beach"
                             " -IPTC:City=Paris -Comment='a comment' '-ThumbnailImage<=" + vignette + "'"
                             " '-ICC_Profile<=" + icc + "' '" + jpeg + "' 2>&1"),
                  "");
        return jpeg;
    }

    std::string Sauve(const std::string& source, PolitiqueMetadonnees politique, const std::string& nom)
    {
        Metadonnees m;
        HBITMAP image = graphique.ChargePhoto(source, m);
        EXPECT_NE(image, nullptr);
        const std::string sortie = box.path(nom);
        EXPECT_EQ(graphique.SauvePhoto(sortie, image, 75, m, politique), 1);
        DeleteObject(image);
        return sortie;
    }

    CGraphique graphique;
    Sandbox box;
};

TEST_F(Photo, EveryOrientationLoadsUpright)
{
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const std::string jpeg = box.path("o" + std::to_string(o) + ".jpg");
        HBITMAP source = Gradient(37, 21, 32);
        ASSERT_EQ(graphique.SauveImage(jpeg, source, 90), 1);
        DeleteObject(source);
        ASSERT_EQ(RunCommand(std::string(kExiftool) + " -q -overwrite_original -n -Orientation=" + std::to_string(o) +
                             " '" + jpeg + "'"),
                  0);
        HBITMAP stocke = graphique.ChargeImage(jpeg);
        Metadonnees m;
        HBITMAP droite = graphique.ChargePhoto(jpeg, m);
        ASSERT_TRUE(stocke && droite);
        EXPECT_EQ(m.Orientation(), o);
        HBITMAP attendu = Tourne(stocke, o);
        EXPECT_EQ(SizeOf(droite), SizeOf(attendu));
        EXPECT_EQ(FirstDifference(droite, attendu), "");
        // A 16-bit picture turns the same way, into 32 bits.
        HBITMAP seize = Make(37, 21, 16, [&](int x, int y) { return Pixel(stocke, x, y); });
        HBITMAP tourne16 = CGraphique::RedresseImage(seize, o);
        HBITMAP attendu16 = Tourne(seize, o);
        EXPECT_EQ(Depth(tourne16), 32);
        EXPECT_EQ(FirstDifference(tourne16, attendu16), "");
        for (HBITMAP b : {stocke, droite, attendu, seize, tourne16, attendu16})
            DeleteObject(b);
    }
    EXPECT_EQ(CGraphique::RedresseImage(nullptr, 6), nullptr);
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(Photo, SavedCopyKeepsEveryTagButThoseTheUprightPictureChanges)
{
    const std::string source = Camera("camera", 640, 320, 6);
    const std::string copie = Sauve(source, PolitiqueMetadonnees::Toutes, "copie.jpg");
    auto avant = Etiquettes(source), apres = Etiquettes(copie);
    ASSERT_EQ(avant["[IFD0]Orientation"], "6");
    EXPECT_EQ(apres["[IFD0]Orientation"], "1");
    EXPECT_EQ(apres["[XMP-tiff]Orientation"], "1");
    EXPECT_EQ(apres["[ExifIFD]ExifImageWidth"], "320");
    EXPECT_EQ(apres["[ExifIFD]ExifImageHeight"], "640");
    EXPECT_EQ(apres["[File]ImageWidth"], "320");
    EXPECT_EQ(apres["[File]ImageHeight"], "640");
    EXPECT_EQ(apres.count("[ExifTool]Warning"), 0u) << apres["[ExifTool]Warning"];
    // Rewritten by any encoder: the file itself, its JFIF header and coding
    // parameters, and what exiftool derives from them. The thumbnail (IFD1)
    // is gone on purpose; orientation and size were checked above.
    const std::set<std::string> groupes = {"[ExifTool]", "[System]", "[File]", "[JFIF]", "[Composite]", "[IFD1]"};
    const std::set<std::string> changes = {"[IFD0]Orientation", "[XMP-tiff]Orientation", "[ExifIFD]ExifImageWidth",
                                           "[ExifIFD]ExifImageHeight"};
    for (auto* tags : {&avant, &apres})
        std::erase_if(*tags, [&](const auto& kv) {
            return changes.count(kv.first) || groupes.count(kv.first.substr(0, kv.first.find(']') + 1));
        });
    EXPECT_GT(avant.size(), 40u);
    EXPECT_EQ(apres, avant);
    EXPECT_EQ(Sortie(std::string(kExiftool) + " -icc_profile -b '" + copie + "'"),
              Sortie(std::string(kExiftool) + " -icc_profile -b '" + source + "'"));
    EXPECT_EQ(Sortie(std::string(kExiftool) + " -b -ThumbnailImage '" + copie + "'"), "");
}

TEST_F(Photo, PoliciesLeaveOutTheLocationOrEverything)
{
    const std::string source = Camera("camera", 64, 32, 8);
    const std::string sansLieu = Sauve(source, PolitiqueMetadonnees::SaufLieu, "sanslieu.jpg");
    const std::string aucune = Sauve(source, PolitiqueMetadonnees::Aucune, "aucune.jpg");
    const auto gps = [](const std::map<std::string, std::string>& tags) {
        std::string trouve;
        for (const auto& [k, v] : tags)
            if (k.find("GPS") != std::string::npos)
                trouve += k + "=" + v + " ";
        return trouve;
    };
    ASSERT_NE(gps(Etiquettes(source)), "");
    const auto lieu = Etiquettes(sansLieu);
    EXPECT_EQ(gps(lieu), "");
    EXPECT_EQ(lieu.count("[ExifTool]Warning"), 0u) << lieu.at("[ExifTool]Warning");
    for (const char* garde : {"[IFD0]Make", "[ExifIFD]DateTimeOriginal", "[XMP-dc]Title", "[IPTC]City", "[File]Comment",
                              "[ICC-header]ProfileClass", "[IFD0]Artist"})
        EXPECT_EQ(lieu.count(garde), 1u) << garde;

    const auto rien = Etiquettes(aucune);
    for (const auto& [k, v] : rien) {
        const std::string groupe = k.substr(0, k.find(']') + 1);
        EXPECT_TRUE(groupe == "[ExifTool]" || groupe == "[System]" || groupe == "[File]" || groupe == "[JFIF]" ||
                    groupe == "[Composite]")
            << k << " = " << v;
    }
    EXPECT_EQ(rien.count("[File]Comment"), 0u);
    EXPECT_EQ(rien.at("[File]ImageWidth"), "32");
}

// Without metadata the photo path gives exactly what the plain one gives.
TEST_F(Photo, PlainPicturesTakeThePlainPath)
{
    HBITMAP image = Gradient(33, 17, 32);
    for (const char* ext : {"jpg", "bmp", "gif"}) {
        SCOPED_TRACE(ext);
        const std::string plain = box.path(std::string("plain.") + ext), photo = box.path(std::string("photo.") + ext);
        ASSERT_EQ(graphique.SauveImage(plain, image, 75), 1);
        Metadonnees m;
        HBITMAP a = graphique.ChargeImage(plain);
        HBITMAP b = graphique.ChargePhoto(plain, m);
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(m.Vide());
        EXPECT_EQ(FirstDifference(a, b), "");
        ASSERT_EQ(graphique.SauvePhoto(photo, b, 75, m, PolitiqueMetadonnees::Toutes), 1);
        ASSERT_EQ(graphique.SauveImage(plain, b, 75), 1);
        EXPECT_EQ(ReadFile(photo), ReadFile(plain));
        DeleteObject(a);
        DeleteObject(b);
    }
    // A camera's metadata is not written into BMP or GIF.
    const std::string camera = Camera("camera", 16, 16, 1);
    Metadonnees m;
    HBITMAP c = graphique.ChargePhoto(camera, m);
    ASSERT_FALSE(m.Vide());
    ASSERT_EQ(graphique.SauvePhoto(box.path("c.bmp"), c, 75, m, PolitiqueMetadonnees::Toutes), 1);
    ASSERT_EQ(graphique.SauveImage(box.path("d.bmp"), c, 75), 1);
    EXPECT_EQ(ReadFile(box.path("c.bmp")), ReadFile(box.path("d.bmp")));
    DeleteObject(c);
    DeleteObject(image);
    Metadonnees vide;
    EXPECT_EQ(graphique.ChargePhoto(box.path("missing.jpg"), vide), nullptr);
    EXPECT_FALSE(Scripted().shown.empty());
}

TEST_F(Photo, HostileMetadataStillLoadsThePicture)
{
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    // IFD0: one Orientation 6, no next IFD.
    const Bytes ifd0 = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    exif.insert(exif.end(), ifd0.begin(), ifd0.end());
    Bytes enorme = exif;
    enorme.resize(Metadonnees::kTailleMarqueur, 0xFF);
    Bytes boucle = exif;
    boucle[6 + 8 + 2 + 12 - 4 + 4] = 8; // next IFD = IFD0
    Bytes dehors = exif;
    dehors[6 + 4] = 0xF0; // IFD0 far past the payload
    dehors[6 + 7] = 0x7F;
    Bytes compte = exif;
    compte[6 + 8 + 2 + 4] = 0xFF; // Orientation count 0xFFFFFFFF -> out of line, past the end
    compte[6 + 8 + 2 + 5] = 0xFF;
    compte[6 + 8 + 2 + 6] = 0xFF;
    compte[6 + 8 + 2 + 7] = 0xFF;
    struct Cas {
        const char* nom;
        std::vector<std::pair<int, Bytes>> marqueurs;
        bool droite;
    };
    std::vector<Cas> cas = {
        {"65533-byte APP1", {{0xE1, enorme}}, true},
        {"looping IFD chain", {{0xE1, boucle}}, true},
        {"IFD0 past the payload", {{0xE1, dehors}}, false},
        {"count that overflows", {{0xE1, compte}}, false},
        {"truncated Exif", {{0xE1, Bytes(exif.begin(), exif.begin() + 20)}}, false},
    };
    Cas trois{"300 APP markers", {}, true};
    for (int i = 0; i < 300; ++i)
        trois.marqueurs.push_back({0xE1 + i % 13, i == 0 ? exif : Bytes(Metadonnees::kTailleMarqueur, std::uint8_t(i))});
    cas.push_back(trois);
    HBITMAP image = Gradient(24, 10, 32);
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string jpeg = box.path("hostile.jpg");
        ASSERT_EQ(graphique.SauveImage(jpeg, image, 90), 1);
        Insere(jpeg, c.marqueurs);
        Metadonnees m;
        HBITMAP lu = graphique.ChargePhoto(jpeg, m);
        ASSERT_NE(lu, nullptr);
        EXPECT_EQ(SizeOf(lu), c.droite ? CSize(10, 24) : CSize(24, 10));
        EXPECT_EQ(graphique.SauvePhoto(box.path("out.jpg"), lu, 75, m, PolitiqueMetadonnees::SaufLieu), 1);
        HBITMAP relu = graphique.ChargeImage(box.path("out.jpg"));
        EXPECT_EQ(SizeOf(relu), SizeOf(lu));
        DeleteObject(relu);
        DeleteObject(lu);
    }
    DeleteObject(image);
    EXPECT_TRUE(Scripted().shown.empty()) << Scripted().shown.front().text;
}

} // namespace
