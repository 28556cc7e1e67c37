// The metadata kept from a photograph: the Exif walk over well-formed and
// hostile TIFF structures, the in-place edits made before writing, XMP
// edits, ICC reassembly and which markers are kept.

#include "codecs/Exif.h"
#include "codecs/Metadonnees.h"
#include "codecs/Xmp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kApp1 = 0xE1, kApp2 = 0xE2;

// An Exif APP1 payload laid out by hand (TIFF offsets; payload position =
// offset + 6): IFD0 at 8 (Make, Orientation, Exif and GPS pointers, link to
// IFD1), the Exif IFD at 62 (DateTimeOriginal, PixelXDimension as SHORT,
// PixelYDimension as LONG), the GPS IFD at 104 (a reference letter inline,
// a latitude of three rationals out of line), IFD1 at 134, values from 152.
struct Photo {
    static constexpr std::size_t kIfd0 = 6 + 8, kExif = 6 + 62, kGps = 6 + 104, kIfd1 = 6 + 134;
    static constexpr std::size_t kDate = 6 + 158, kLatitude = 6 + 178;
    bool mm;
    Bytes o;

    explicit Photo(bool motorola, int orientation = 6) : mm(motorola), o(6 + 202, 0)
    {
        std::memcpy(o.data(), "Exif\0\0", 6);
        std::memcpy(o.data() + 6, mm ? "MM" : "II", 2);
        U16(6 + 2, 42);
        U32(6 + 4, 8);
        Ifd(kIfd0, {{0x010F, 2, 6, 152}, {0x0112, 3, 1, Short(orientation)}, {0x8769, 4, 1, 62}, {0x8825, 4, 1, 104}},
            134);
        Ifd(kExif, {{0x9003, 2, 20, 158}, {0xA002, 3, 1, Short(640)}, {0xA003, 4, 1, 320}}, 0);
        Ifd(kGps, {{0x0001, 2, 2, Ascii2('N')}, {0x0002, 5, 3, 178}}, 0);
        Ifd(kIfd1, {{0x0103, 3, 1, Short(6)}}, 0);
        std::memcpy(o.data() + 6 + 152, "Canon", 6);
        std::memcpy(o.data() + kDate, "2021:06:01 12:34:56", 20);
        for (std::size_t i = 0; i < 24; ++i)
            o[kLatitude + i] = static_cast<std::uint8_t>(i + 1);
    }
    struct E {
        std::uint16_t tag, type;
        std::uint32_t count, value; // raw value field, as U32 writes it
    };
    // A SHORT value sits in the first two bytes of the value field.
    std::uint32_t Short(int v) const { return mm ? std::uint32_t(v) << 16 : std::uint32_t(v); }
    std::uint32_t Ascii2(char c) const { return mm ? std::uint32_t(std::uint8_t(c)) << 24 : std::uint8_t(c); }
    void Ifd(std::size_t at, std::initializer_list<E> entries, std::uint32_t next)
    {
        U16(at, static_cast<std::uint16_t>(entries.size()));
        std::size_t p = at + 2;
        for (const E& e : entries) {
            U16(p, e.tag);
            U16(p + 2, e.type);
            U32(p + 4, e.count);
            U32(p + 8, e.value);
            p += 12;
        }
        U32(p, next);
    }
    void U16(std::size_t at, std::uint32_t v)
    {
        o[at + (mm ? 0 : 1)] = static_cast<std::uint8_t>(v >> 8);
        o[at + (mm ? 1 : 0)] = static_cast<std::uint8_t>(v);
    }
    void U32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            o[at + (mm ? 3 - i : i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::uint32_t Read(std::size_t at, int bytes) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint32_t(o[at + (mm ? bytes - 1 - i : i)]) << (8 * i);
        return v;
    }
};

Bytes Texte(const std::string& s) { return {s.begin(), s.end()}; }

TEST(Exif, OrientationInBothByteOrders)
{
    for (bool mm : {false, true})
        for (int v = 0; v <= 9; ++v) {
            SCOPED_TRACE(std::string(mm ? "MM " : "II ") + std::to_string(v));
            const Photo p(mm, v);
            const Exif exif(p.o);
            ASSERT_TRUE(exif.Valide());
            EXPECT_EQ(exif.Orientation(), v >= 1 && v <= 8 ? v : 1);
            EXPECT_EQ(exif.Etiquette("Make"), "Canon");
            EXPECT_EQ(exif.Etiquette("DateTimeOriginal"), "2021:06:01 12:34:56");
            EXPECT_EQ(exif.Etiquette("NoSuchTag"), "");
        }
}

// Each damage, the orientation and date still read, and the edits made
// before writing stay inside the payload (the sanitizer build checks).
TEST(Exif, HostileStructuresReadAsAbsentNeverPastThePayload)
{
    struct Cas {
        const char* nom;
        std::function<void(Photo&)> abime;
        int orientation;
        const char* date;
    };
    const Cas cas[] = {
        {"IFD0 past the end", [](Photo& p) { p.U32(6 + 4, 0xFFFFFFF0); }, 1, ""},
        {"IFD0 on the header", [](Photo& p) { p.U32(6 + 4, 0); }, 1, ""},
        {"IFD0 count runs past", [](Photo& p) { p.U16(Photo::kIfd0, 0xFFFF); }, 1, ""},
        {"not TIFF", [](Photo& p) { p.o[6] = 'X'; }, 1, ""},
        {"wrong magic", [](Photo& p) { p.U16(6 + 2, 43); }, 1, ""},
        {"Exif IFD past the end", [](Photo& p) { p.U32(Photo::kIfd0 + 2 + 24 + 8, 0x7FFFFFFF); }, 6, ""},
        {"Exif IFD is IFD0 (loop)", [](Photo& p) { p.U32(Photo::kIfd0 + 2 + 24 + 8, 8); }, 6, ""},
        {"GPS IFD is the Exif IFD", [](Photo& p) { p.U32(Photo::kIfd0 + 2 + 36 + 8, 62); }, 6, "2021:06:01 12:34:56"},
        {"date count overflows", [](Photo& p) { p.U32(Photo::kExif + 2 + 4, 0xFFFFFFFF); }, 6, ""},
        {"date offset past the end", [](Photo& p) { p.U32(Photo::kExif + 2 + 8, 0xFFFFFFFE); }, 6, ""},
        {"orientation of unknown type", [](Photo& p) { p.U16(Photo::kIfd0 + 2 + 12 + 2, 99); }, 1, "2021:06:01 12:34:56"},
        {"orientation as LONG", [](Photo& p) { p.U16(Photo::kIfd0 + 2 + 12 + 2, 4); }, 1, "2021:06:01 12:34:56"},
        {"cut inside the Exif IFD", [](Photo& p) { p.o.resize(Photo::kExif + 20); }, 6, ""},
        {"cut in the header", [](Photo& p) { p.o.resize(10); }, 1, ""},
        {"GPS latitude past the end", [](Photo& p) { p.U32(Photo::kGps + 2 + 12 + 8, 0xFFFFFFF0); }, 6,
         "2021:06:01 12:34:56"},
    };
    for (bool mm : {false, true})
        for (const Cas& c : cas) {
            SCOPED_TRACE(std::string(c.nom) + (mm ? " MM" : " II"));
            Photo p(mm);
            c.abime(p);
            const Exif exif(p.o);
            EXPECT_EQ(exif.Orientation(), c.orientation);
            EXPECT_EQ(exif.Etiquette("DateTimeOriginal"), c.date);
            for (bool sansLieu : {false, true}) {
                Bytes copie = p.o;
                Exif::PrepareEcriture(copie, 100, 70000, sansLieu);
                EXPECT_EQ(copie.size(), p.o.size());
                EXPECT_EQ(Exif(copie).Orientation(), 1);
            }
        }
}

TEST(Exif, PreparedForWritingInPlace)
{
    for (bool mm : {false, true})
        for (bool sansLieu : {false, true}) {
            SCOPED_TRACE(std::string(mm ? "MM" : "II") + (sansLieu ? " without location" : ""));
            Photo p(mm);
            Bytes o = p.o;
            Exif::PrepareEcriture(o, 320, 640, sansLieu);
            ASSERT_EQ(o.size(), p.o.size());
            Photo ecrit = p;
            ecrit.o = o;
            const Exif exif(o);
            EXPECT_EQ(exif.Orientation(), 1);
            EXPECT_EQ(exif.Etiquette("Make"), "Canon");
            EXPECT_EQ(exif.Etiquette("DateTimeOriginal"), "2021:06:01 12:34:56");
            EXPECT_EQ(ecrit.Read(Photo::kExif + 2 + 12 + 8, 2), 320u);  // SHORT
            EXPECT_EQ(ecrit.Read(Photo::kExif + 2 + 24 + 8, 4), 640u); // LONG
            const std::size_t entrees = sansLieu ? 3 : 4;
            EXPECT_EQ(ecrit.Read(Photo::kIfd0, 2), entrees);
            EXPECT_EQ(ecrit.Read(Photo::kIfd0 + 2 + 12 * entrees, 4), 0u) << "thumbnail still linked";
            if (sansLieu) {
                EXPECT_EQ(ecrit.Read(Photo::kIfd0 + 2 + 36, 2), 0u) << "GPS pointer entry left in IFD0";
                for (std::size_t i = Photo::kGps; i < Photo::kIfd1; ++i)
                    ASSERT_EQ(o[i], 0) << "GPS directory byte " << i;
                for (std::size_t i = 0; i < 24; ++i)
                    ASSERT_EQ(o[Photo::kLatitude + i], 0) << "latitude byte " << i;
            } else {
                EXPECT_EQ(ecrit.Read(Photo::kIfd0 + 2 + 36, 2), 0x8825u);
                EXPECT_EQ(o[Photo::kLatitude], 1);
            }
            // Nothing but those bytes changed outside the GPS parts.
            for (std::size_t i = Photo::kDate; i < Photo::kLatitude; ++i)
                ASSERT_EQ(o[i], p.o[i]);
        }
}

TEST(Xmp, OrientationAndLocationEditedInPlace)
{
    const std::string en = std::string("http://ns.adobe.com/xap/1.0/") + '\0';
    struct Cas {
        const char* xml;
        bool sansLieu;
        const char* attendu; // spaces collapsed
    };
    const Cas cas[] = {
        {R"(<rdf:Description tiff:Orientation="6" exif:GPSLatitude="1,2N" x:a='b'/>)", false,
         R"(<rdf:Description tiff:Orientation="1" exif:GPSLatitude="1,2N" x:a='b'/>)"},
        {R"(<rdf:Description tiff:Orientation="6" exif:GPSLatitude="1,2N" exif:GPSVersionID='2.2' x:a='b'/>)", true,
         R"(<rdf:Description tiff:Orientation="1" x:a='b'/>)"},
        {"<d><tiff:Orientation>8</tiff:Orientation><exif:GPSAltitude>3/1</exif:GPSAltitude>"
         "<exif:GPSLongitude/><exif:DateTimeOriginal>2021</exif:DateTimeOriginal></d>",
         true, "<d><tiff:Orientation>1</tiff:Orientation> <exif:DateTimeOriginal>2021</exif:DateTimeOriginal></d>"},
        {R"(<x xmlns:T="http://ns.adobe.com/tiff/1.0/" xmlns:E="http://ns.adobe.com/exif/1.0/" T:Orientation="3" E:GPSLatitude="1"/>)",
         true, R"(<x xmlns:T="http://ns.adobe.com/tiff/1.0/" xmlns:E="http://ns.adobe.com/exif/1.0/" T:Orientation="1" />)"},
        {"<d><tiff:OrientationX>6</tiff:OrientationX><exif:GPSLatitude>unterminated", true,
         "<d><tiff:OrientationX>6</tiff:OrientationX><exif:GPSLatitude>unterminated"},
        {"tiff:Orientation=\"6", false, "tiff:Orientation=\"6"},
        {"<tiff:Orientation></tiff:Orientation>", false, "<tiff:Orientation></tiff:Orientation>"},
    };
    const auto compacte = [](const std::string& s) {
        std::string r;
        for (char c : s)
            if (c != ' ' || r.empty() || r.back() != ' ')
                r += c;
        return r;
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.xml);
        Bytes o = Texte(en + c.xml);
        Metadonnees m;
        ASSERT_TRUE(m.Ajoute(kApp1, o));
        const Metadonnees ecrits = m.PourEcriture(c.sansLieu ? PolitiqueMetadonnees::SaufLieu : PolitiqueMetadonnees::Toutes, 1, 1);
        ASSERT_EQ(ecrits.Marqueurs().size(), 1u);
        const Bytes& sortie = ecrits.Marqueurs()[0].octets;
        ASSERT_EQ(sortie.size(), o.size());
        EXPECT_EQ(compacte(std::string(sortie.begin() + static_cast<long>(en.size()), sortie.end())), compacte(c.attendu));
    }
}

TEST(Metadonnees, KeepsTheMarkersACopyShouldCarry)
{
    struct Cas {
        int code;
        Bytes octets;
        bool garde;
    };
    const Cas cas[] = {
        {0xE0, Texte("JFIF"), false},           {0xEE, Texte("Adobe"), false},
        {kApp2, Texte(std::string("MPF\0", 4)), false}, {kApp2, Texte("FPXR"), true},
        {0xED, Texte("Photoshop 3.0"), true},   {0xFE, Texte("a comment"), true},
        {0xC0, Texte("SOF"), false},            {kApp1, Bytes(Metadonnees::kTailleMarqueur, 1), true},
        {kApp1, Bytes(Metadonnees::kTailleMarqueur + 1, 1), false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.code);
        Metadonnees m;
        EXPECT_EQ(m.Ajoute(c.code, c.octets), c.garde);
        EXPECT_EQ(m.Vide(), !c.garde);
    }
    Metadonnees m;
    const Bytes grand(Metadonnees::kTailleMarqueur, 7);
    std::size_t gardes = 0;
    for (int i = 0; i < 300; ++i)
        gardes += m.Ajoute(0xE5, grand);
    EXPECT_EQ(gardes, Metadonnees::kTailleTotale / Metadonnees::kTailleMarqueur);
    EXPECT_TRUE(m.PourEcriture(PolitiqueMetadonnees::Aucune, 1, 1).Vide());
}

TEST(Metadonnees, IccProfileFromItsChunks)
{
    const auto morceau = [](int numero, int nombre, const std::string& donnees) {
        Bytes o = Texte(std::string("ICC_PROFILE") + '\0');
        o.push_back(static_cast<std::uint8_t>(numero));
        o.push_back(static_cast<std::uint8_t>(nombre));
        o.insert(o.end(), donnees.begin(), donnees.end());
        return o;
    };
    struct Cas {
        std::vector<Bytes> morceaux;
        std::string profil;
    };
    const Cas cas[] = {
        {{morceau(1, 1, "abc")}, "abc"},
        {{morceau(2, 3, "BB"), morceau(1, 3, "A"), morceau(3, 3, "C")}, "ABBC"},
        {{morceau(1, 2, "A")}, ""},                       // one missing
        {{morceau(1, 2, "A"), morceau(1, 2, "A")}, ""},   // twice the same
        {{morceau(1, 2, "A"), morceau(2, 3, "B")}, ""},   // counts disagree
        {{morceau(0, 1, "A")}, ""},                       // numbers start at 1
        {{morceau(3, 2, "A")}, ""},                       // beyond the count
        {{}, ""},
    };
    for (const Cas& c : cas) {
        Metadonnees m;
        for (const Bytes& b : c.morceaux)
            m.Ajoute(kApp2, b);
        const Bytes profil = m.ProfilICC();
        EXPECT_EQ(std::string(profil.begin(), profil.end()), c.profil);
    }
}

} // namespace
