// The template's bytes: where each field lies, what survives a round trip,
// and what a wrong, short or hostile file does to the settings.

#include "ModeleSignature.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "TexteImporte.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

std::vector<BYTE> Octets(const ModeleSignature& m)
{
    CArchive archive;
    m.Ecrit(archive);
    return archive.Bytes();
}

ModeleSignature::Lecture Relit(ModeleSignature& m, const std::vector<BYTE>& bytes)
{
    CArchive archive(bytes);
    return m.Lit(archive);
}

std::uint32_t Mot(const std::vector<BYTE>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// Every 4-byte field with its offset in a file whose four strings are empty,
// empty, "TP" and empty; fields 4 and 5, 24 and 25 come from one member.
struct Champ {
    std::vector<std::size_t> offsets;
    bool drapeau;
    std::function<void(ModeleSignature&, std::uint32_t)> set;
};

std::vector<Champ> Champs()
{
    auto place = [](std::size_t at, Emplacement ModeleSignature::*which) {
        auto e = [which](ModeleSignature& m) -> Emplacement& { return m.*which; };
        return std::vector<Champ>{
            {{at, at + 4}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAbsolue = int(v); }},
            {{at + 8}, false, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAbsolueX = v; }},
            {{at + 12}, false, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAbsolueY = v; }},
            {{at + 16}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatique = int(v); }},
            {{at + 20}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueHaut = int(v); }},
            {{at + 24}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueBas = int(v); }},
            {{at + 28}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueDroite = int(v); }},
            {{at + 32}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueGauche = int(v); }},
            {{at + 36}, true, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueContinue = int(v); }},
            {{at + 40}, false, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueDeltaX = v; }},
            {{at + 44}, false, [e](ModeleSignature& m, std::uint32_t v) { e(m).PositionAutomatiqueDeltaY = v; }},
        };
    };
    std::vector<Champ> champs = place(65, &ModeleSignature::EmplacementTexte);
    const std::vector<Champ> logo = place(142, &ModeleSignature::EmplacementLogo);
    champs.insert(champs.end(), logo.begin(), logo.end());
#define CHAMP(at, drapeau, member)                                                                            \
    {{at}, drapeau, [](ModeleSignature& m, std::uint32_t v) { m.member = decltype(m.member)(v); }}
    const std::vector<Champ> autres{
        CHAMP(113, false, CouleurEncre),     CHAMP(117, true, EncreHexa),
        CHAMP(121, true, EncreDecimal),      CHAMP(125, false, CouleurFond),
        CHAMP(129, true, FondHexa),          CHAMP(133, true, FondDecimal),
        CHAMP(137, true, FondTransparent),   CHAMP(193, true, NomFichierAucun),
        CHAMP(197, true, NomFichierPrefixe), CHAMP(201, true, NomFichierSuffixe),
        CHAMP(205, false, QualiteJPEG),      CHAMP(210, true, NomRepertoireAucun),
        CHAMP(214, true, NomRepertoireSpecifique),
    };
#undef CHAMP
    champs.insert(champs.end(), autres.begin(), autres.end());
    return champs;
}

// Not one field at its default, so a field the reader skips shows.
ModeleSignature Distinct()
{
    ModeleSignature m;
    m.Texte = "Signé à Lyon";
    m.Fonte = {-27, 3, 4, 5, FW_BOLD, 1, 1, 1, 0xEE, 3, 2, 5, 0x22, "Comic Sans MS"};
    for (Emplacement* e : {&m.EmplacementTexte, &m.EmplacementLogo}) {
        *e = {0, 1, 1, 0, 0, 1, 1, 2001, 2002, 2003, 2004};
        e->PositionAutomatiqueDeltaY += e == &m.EmplacementLogo;
    }
    m.CouleurEncre = RGB(1, 2, 3);
    m.EncreHexa = 0;
    m.EncreDecimal = 1;
    m.CouleurFond = RGB(250, 251, 252);
    m.FondHexa = 0;
    m.FondDecimal = 1;
    m.FondTransparent = 0;
    m.Logo = "/home/anne/logo.gif";
    m.NomFichier = "_s";
    m.NomFichierAucun = 1;
    m.NomFichierPrefixe = 0;
    m.NomFichierSuffixe = 1;
    m.QualiteJPEG = 42;
    m.NomRepertoire = "/srv/out";
    m.NomRepertoireAucun = 0;
    m.NomRepertoireSpecifique = 1;
    return m;
}

} // namespace

TEST(ModeleSignature, ExampleTemplateIs218Bytes)
{
    ModeleSignature m; // empty text and logo, "TP", empty folder
    const std::vector<BYTE> b = Octets(m);
    ASSERT_EQ(b.size(), 218u);
    EXPECT_EQ(Mot(b, 0), 191u);
    EXPECT_EQ(b[4], 0) << "empty text";
    EXPECT_EQ(b[141], 0) << "empty logo";
    EXPECT_EQ(std::vector<BYTE>(b.begin() + 190, b.begin() + 193), (std::vector<BYTE>{2, 'T', 'P'}));
    EXPECT_EQ(b[209], 0) << "empty folder";
}

TEST(ModeleSignature, EachFieldHasItsOwnOffsetBothWays)
{
    const std::vector<Champ> champs = Champs();
    ModeleSignature zero;
    for (const Champ& c : champs)
        c.set(zero, 0);
    const std::vector<BYTE> base = Octets(zero);
    ASSERT_EQ(base.size(), 218u);
    for (const Champ& c : champs) {
        ModeleSignature m = zero;
        c.set(m, 0x01020304);
        // Flags are stored as 1 whatever non-zero value they hold.
        const std::uint32_t v = c.drapeau ? 1 : 0x01020304;
        std::vector<BYTE> expected = base;
        for (std::size_t at : c.offsets)
            for (int i = 0; i < 4; ++i)
                expected[at + i] = BYTE(v >> (8 * i));
        EXPECT_EQ(Octets(m), expected) << "written at offset " << c.offsets.front();
        ModeleSignature back = zero;
        ASSERT_EQ(Relit(back, expected), ModeleSignature::Lecture::Complete);
        EXPECT_EQ(Octets(back), expected) << "read from offset " << c.offsets.front();
    }

    ModeleSignature f = zero;
    f.Fonte = {-11, 0, 0, 0, FW_SEMIBOLD, 1, 0, 1, 0, 0, 0, 0, 0x31, "DejaVu Sans"};
    const std::vector<BYTE> b = Octets(f);
    EXPECT_EQ(Mot(b, 5), std::uint32_t(-11));
    EXPECT_EQ(Mot(b, 21), 600u);
    EXPECT_EQ(std::vector<BYTE>(b.begin() + 25, b.begin() + 33), (std::vector<BYTE>{1, 0, 1, 0, 0, 0, 0, 0x31}));
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[33]), "DejaVu Sans");
}

TEST(ModeleSignature, RoundTripRestoresEveryField)
{
    const ModeleSignature written = Distinct();
    const std::vector<BYTE> bytes = Octets(written);
    ModeleSignature read;
    ASSERT_EQ(Relit(read, bytes), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(Octets(read), bytes);
    EXPECT_TRUE(Scripted().shown.empty());

    TestImages::Sandbox sandbox;
    const std::string path = sandbox.path("modele.tp2");
    TestImages::WriteFile(path, {1, 2, 3});
    ASSERT_TRUE(written.SauveFichier(path));
    EXPECT_EQ(TestImages::ReadFile(path), bytes) << "an existing file is replaced";
    ModeleSignature loaded;
    EXPECT_EQ(loaded.ChargeFichier(path), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(Octets(loaded), bytes);
    EXPECT_FALSE(written.SauveFichier(sandbox.path("missing/modele.tp2")));
    EXPECT_EQ(loaded.ChargeFichier(sandbox.path("missing.tp2")), ModeleSignature::Lecture::Incomplete);
}

TEST(ModeleSignature, AbsoluteIsWrittenTwiceAndTheSecondCopyWins)
{
    ModeleSignature m;
    m.EmplacementTexte.PositionAbsolue = 1;
    m.EmplacementLogo.PositionAbsolue = 1;
    std::vector<BYTE> b = Octets(m);
    EXPECT_EQ(Mot(b, 65), 1u);
    EXPECT_EQ(Mot(b, 69), 1u);
    EXPECT_EQ(Mot(b, 142), 1u);
    EXPECT_EQ(Mot(b, 146), 1u);

    b[65] = 0;   // first copy unchecked, second checked
    b[146] = 0;  // first copy checked, second unchecked
    b[121] = 7;  // any non-zero flag checks its box
    ModeleSignature r;
    ASSERT_EQ(Relit(r, b), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(r.EmplacementTexte.PositionAbsolue, 1);
    EXPECT_EQ(r.EmplacementLogo.PositionAbsolue, 0);
    EXPECT_EQ(r.EncreDecimal, 1);
}

TEST(ModeleSignature, LongTextTakesTheThreeBytePrefix)
{
    ModeleSignature m;
    m.Texte = CString(300, 'a');
    const std::vector<BYTE> b = Octets(m);
    EXPECT_EQ(b.size(), 218u + 300 + 2);
    EXPECT_EQ(std::vector<BYTE>(b.begin() + 4, b.begin() + 7), (std::vector<BYTE>{0xFF, 0x2C, 0x01}));
    ModeleSignature r;
    ASSERT_EQ(Relit(r, b), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(r.Texte, m.Texte);
}

TEST(ModeleSignature, WrongVersionIsRefusedAndChangesNothing)
{
    std::vector<BYTE> b = Octets(Distinct());
    b[0] = 190;
    ModeleSignature m;
    const std::vector<BYTE> before = Octets(m);
    EXPECT_EQ(Relit(m, b), ModeleSignature::Lecture::Refusee);
    EXPECT_EQ(Octets(m), before);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "This file isn't correct.");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    EXPECT_EQ(Scripted().shown[0].type, MB_OK | MB_ICONERROR);
}

TEST(ModeleSignature, ShortFileKeepsWhatWasReadBeforeItsEnd)
{
    const std::vector<BYTE> full = Octets(Distinct());
    const std::vector<BYTE> untouched = Octets(ModeleSignature());
    for (std::size_t n = 0; n < full.size(); ++n) {
        ModeleSignature m;
        EXPECT_EQ(Relit(m, std::vector<BYTE>(full.begin(), full.begin() + n)),
                  ModeleSignature::Lecture::Incomplete)
            << n;
    }
    EXPECT_TRUE(Scripted().shown.empty()) << "the framework reports a short file, not the reader";

    // Cut inside the font: the text is new, everything from the font on is not.
    const std::size_t fonte = 4 + 1 + Distinct().Texte.size();
    ModeleSignature m;
    Relit(m, std::vector<BYTE>(full.begin(), full.begin() + fonte + 59));
    EXPECT_EQ(m.Texte, Distinct().Texte);
    const std::vector<BYTE> now = Octets(m);
    EXPECT_EQ(std::vector<BYTE>(now.begin() + fonte, now.end()),
              std::vector<BYTE>(untouched.begin() + 5, untouched.end()));

    // Cut after the logo's first "Absolute" copies: what precedes the cut is new.
    ModeleSignature l;
    const std::size_t logo = 141 + Distinct().Texte.size();
    Relit(l, std::vector<BYTE>(full.begin(), full.begin() + logo + 1 + Distinct().Logo.size() + 10));
    EXPECT_EQ(l.Logo, Distinct().Logo);
    EXPECT_EQ(l.FondTransparent, 0);
    EXPECT_EQ(l.EmplacementLogo.PositionAbsolue, 1) << "read before the cut";
    EXPECT_EQ(l.EmplacementLogo.PositionAbsolueX, 0u) << "cut";
    EXPECT_EQ(l.NomFichier, "TP");
    EXPECT_EQ(l.NomRepertoireAucun, 1);
}

TEST(ModeleSignature, HostileStringLengthsEndTheReadingCleanly)
{
    // A text claiming 4 GiB in a file of a few bytes.
    std::vector<BYTE> b{191, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    b.resize(b.size() + 60, 'z');
    ModeleSignature m;
    EXPECT_EQ(Relit(m, b), ModeleSignature::Lecture::Incomplete);
    EXPECT_TRUE(m.Texte.empty());

    // A logo path claiming more than is left.
    std::vector<BYTE> full = Octets(ModeleSignature());
    full[141] = 0xFE;
    ModeleSignature l;
    EXPECT_EQ(Relit(l, full), ModeleSignature::Lecture::Incomplete);
    EXPECT_TRUE(l.Logo.empty());

    // A face name with no terminator comes back as a C string.
    full = Octets(ModeleSignature());
    std::fill(full.begin() + 33, full.begin() + 65, 'F');
    ASSERT_EQ(Relit(l, full), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(std::strlen(l.Fonte.lfFaceName), std::size_t(LF_FACESIZE - 1));
}

TEST(ModeleSignature, StringsOfTheSingleByteProgramAreReadAsWindows1252)
{
    struct Cas {
        CString ModeleSignature::*champ;
        CString octets;
        CString attendu;
    };
    const Cas cas[] = {
        {&ModeleSignature::Texte, "\xA9 2003 Anne \x80\x99", "\xC2\xA9 2003 Anne \xE2\x82\xAC\xE2\x84\xA2"},
        {&ModeleSignature::Logo, "C:\\Logos\\caf\xE9.bmp", "C:\\Logos\\caf\xC3\xA9.bmp"},
        {&ModeleSignature::NomFichier, "_sign\xE9", "_sign\xC3\xA9"},
        {&ModeleSignature::NomRepertoire, "D:\\R\xE9sultats", "D:\\R\xC3\xA9sultats"},
        // UTF-8 is left alone, even where its bytes would mean something in cp1252.
        {&ModeleSignature::Texte, "Sign\xC3\xA9 \xE2\x82\xAC", "Sign\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Cas& c : cas) {
        ModeleSignature ecrit = Distinct();
        ecrit.*c.champ = c.octets;
        ModeleSignature lu;
        ASSERT_EQ(Relit(lu, Octets(ecrit)), ModeleSignature::Lecture::Complete) << c.octets;
        EXPECT_EQ(lu.*c.champ, c.attendu);
        // Nothing else moves: the other fields are read where they were.
        ecrit.*c.champ = c.attendu;
        EXPECT_EQ(Octets(lu), Octets(ecrit)) << c.octets;
    }
}

TEST(ModeleSignature, AHugeTextIsCutAndTheFieldsAfterItStillRead)
{
    ModeleSignature ecrit = Distinct();
    ecrit.Texte.clear();
    while (ecrit.Texte.size() < (15u << 20))
        ecrit.Texte += "\xC3\xA9t\xC3\xA9 ";
    TestImages::Sandbox sandbox;
    const std::string path = sandbox.path("enorme.tp2");
    ASSERT_TRUE(ecrit.SauveFichier(path));

    ModeleSignature lu;
    ASSERT_EQ(lu.ChargeFichier(path), ModeleSignature::Lecture::Complete);
    ASSERT_LE(lu.Texte.size(), TexteImporte::kTailleMaximale);
    EXPECT_GT(lu.Texte.size(), TexteImporte::kTailleMaximale - 4);
    EXPECT_TRUE(lu.Texte == ecrit.Texte.substr(0, lu.Texte.size())) << "the start, whole characters";
    EXPECT_TRUE(TexteImporte::EstUtf8(lu.Texte));
    ecrit.Texte = lu.Texte;
    EXPECT_EQ(Octets(lu), Octets(ecrit));
}

// The options added after the last field live in the extension block: absent
// while every option is at its default, skipped or refused piece by piece
// when damaged, never beyond what was read whole.
TEST(ModeleSignature, ExtensionBlockOnlyWhenAnOptionIsSet)
{
    const ModeleSignature defaut;
    const std::vector<BYTE> base = Octets(defaut);
    ASSERT_EQ(base.size(), 218u) << "the original format, byte for byte";
    for (auto politique : {PolitiqueMetadonnees::SaufLieu, PolitiqueMetadonnees::Aucune}) {
        ModeleSignature m;
        m.MetadonneesSortie = politique;
        std::vector<BYTE> attendu = base;
        const BYTE bloc[] = {'T', 'P', 'X', '1', 1, 0, 4, 0, 0, 0, static_cast<BYTE>(politique), 0, 0, 0};
        attendu.insert(attendu.end(), std::begin(bloc), std::end(bloc));
        EXPECT_EQ(Octets(m), attendu);
        ModeleSignature relu;
        EXPECT_EQ(Relit(relu, attendu), ModeleSignature::Lecture::Complete);
        EXPECT_EQ(relu.MetadonneesSortie, politique);
    }

    const auto record = [](std::uint16_t tag, std::vector<BYTE> valeur, std::uint32_t longueur) {
        // Built in one buffer: g++ 12 misreads an insert after a 6-byte list as overflowing it.
        std::vector<BYTE> r(6 + valeur.size());
        const BYTE entete[] = {BYTE(tag), BYTE(tag >> 8), BYTE(longueur), BYTE(longueur >> 8), BYTE(longueur >> 16),
                               BYTE(longueur >> 24)};
        std::copy(std::begin(entete), std::end(entete), r.begin());
        std::copy(valeur.begin(), valeur.end(), r.begin() + 6);
        return r;
    };
    const auto u32 = [](std::uint32_t v) { return std::vector<BYTE>{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; };
    const std::vector<BYTE> aucune = record(1, u32(2), 4);
    struct Cas {
        const char* nom;
        std::vector<std::vector<BYTE>> morceaux;
        PolitiqueMetadonnees attendu;
    };
    const Cas cas[] = {
        {"the record", {{'T', 'P', 'X', '1'}, aucune}, PolitiqueMetadonnees::Aucune},
        {"unknown tags are skipped", {{'T', 'P', 'X', '1'}, record(900, {1, 2, 3}, 3), aucune, record(0, {}, 0)},
         PolitiqueMetadonnees::Aucune},
        {"a record past the end stops the reading", {{'T', 'P', 'X', '1'}, record(1, u32(2), 5)},
         PolitiqueMetadonnees::Toutes},
        {"what was read before it stays", {{'T', 'P', 'X', '1'}, aucune, record(7, {1}, 900)},
         PolitiqueMetadonnees::Aucune},
        {"a value out of range", {{'T', 'P', 'X', '1'}, record(1, u32(3), 4)}, PolitiqueMetadonnees::Toutes},
        {"a value too short", {{'T', 'P', 'X', '1'}, record(1, {2, 0}, 2)}, PolitiqueMetadonnees::Toutes},
        {"another signature", {{'T', 'P', 'X', '2'}, aucune}, PolitiqueMetadonnees::Toutes},
        {"a short tail", {{'T', 'P', 'X', '1'}, aucune, {1, 0, 4}}, PolitiqueMetadonnees::Aucune},
        {"a block over 1 MiB", {{'T', 'P', 'X', '1'}, aucune, record(9, std::vector<BYTE>(1u << 20), 1u << 20)},
         PolitiqueMetadonnees::Toutes},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        std::vector<BYTE> octets = base;
        for (const auto& m : c.morceaux)
            octets.insert(octets.end(), m.begin(), m.end());
        ModeleSignature relu;
        EXPECT_EQ(Relit(relu, octets), ModeleSignature::Lecture::Complete);
        EXPECT_EQ(relu.MetadonneesSortie, c.attendu);
        EXPECT_EQ(relu.QualiteJPEG, 75);
    }
}

// The layers' styles go in the extension block, each in its own record,
// and only when they differ from the defaults.
TEST(ModeleSignature, StylesTravelInTheExtensionBlock)
{
    const std::vector<BYTE> base = Octets(ModeleSignature());
    ModeleSignature m;
    m.StyleLogo.Opacite = 40;
    std::vector<BYTE> octets = Octets(m);
    ASSERT_EQ(octets.size(), base.size() + 4 + 6 + Style::kOctets) << "the logo's record alone";
    EXPECT_TRUE(std::equal(base.begin(), base.end(), octets.begin()));
    EXPECT_EQ(octets[base.size() + 4], 3) << "its tag";

    m.StyleTexte.TailleRelative = 500;
    m.StyleTexte.Contour = 2;
    m.StyleTexte.OmbreX = -3;
    m.StyleTexte.OpaciteOmbre = 60;
    octets = Octets(m);
    EXPECT_EQ(octets[base.size() + 4], 2) << "records in increasing tag order";
    ModeleSignature relu;
    relu.StyleTexte.Opacite = 10;
    ASSERT_EQ(Relit(relu, octets), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(relu.StyleTexte, m.StyleTexte);
    EXPECT_EQ(relu.StyleLogo, m.StyleLogo);
    EXPECT_EQ(Octets(relu), octets);

    // A template of the original format leaves no style of the one read before.
    ASSERT_EQ(Relit(relu, base), ModeleSignature::Lecture::Complete);
    EXPECT_TRUE(relu.StyleTexte.ParDefaut());
    EXPECT_TRUE(relu.StyleLogo.ParDefaut());
}

// "Save as" travels as one u32 record after the others; out-of-range
// numbers read as the default.
TEST(ModeleSignature, SaveAsFormatTravelsInTheExtensionBlock)
{
    const std::vector<BYTE> base = Octets(ModeleSignature());
    for (const FormatSortie format :
         {FormatSortie::JPEG, FormatSortie::PNG, FormatSortie::WebP, FormatSortie::HEIC, FormatSortie::AVIF}) {
        ModeleSignature m;
        m.FormatEnregistrement = format;
        m.MetadonneesSortie = PolitiqueMetadonnees::Aucune;
        std::vector<BYTE> attendu = base;
        const BYTE bloc[] = {'T', 'P', 'X', '1', 1, 0, 4, 0, 0, 0, 2, 0, 0, 0,
                             4, 0, 4, 0, 0, 0, static_cast<BYTE>(format), 0, 0, 0};
        attendu.insert(attendu.end(), std::begin(bloc), std::end(bloc));
        EXPECT_EQ(Octets(m), attendu);
        ModeleSignature relu;
        EXPECT_EQ(Relit(relu, attendu), ModeleSignature::Lecture::Complete);
        EXPECT_EQ(relu.FormatEnregistrement, format);
    }
    for (const BYTE nombre : {6, 255}) {
        std::vector<BYTE> hors = base;
        const BYTE bloc[] = {'T', 'P', 'X', '1', 4, 0, 4, 0, 0, 0, nombre, 0, 0, 0};
        hors.insert(hors.end(), std::begin(bloc), std::end(bloc));
        ModeleSignature relu;
        EXPECT_EQ(Relit(relu, hors), ModeleSignature::Lecture::Complete);
        EXPECT_EQ(relu.FormatEnregistrement, FormatSortie::Source) << int(nombre);
    }
}

// "Same as the original" is one u32 record written only when chosen; a
// template without it, read over a view that had it, turns it off.
TEST(ModeleSignature, SameAsTheOriginalTravelsInTheExtensionBlock)
{
    const std::vector<BYTE> base = Octets(ModeleSignature());
    ModeleSignature m;
    m.QualiteOrigine = true;
    m.FormatEnregistrement = FormatSortie::JPEG;
    std::vector<BYTE> attendu = base;
    const BYTE bloc[] = {'T', 'P', 'X', '1', 4, 0, 4, 0, 0, 0, 1, 0, 0, 0, 5, 0, 4, 0, 0, 0, 1, 0, 0, 0};
    attendu.insert(attendu.end(), std::begin(bloc), std::end(bloc));
    EXPECT_EQ(Octets(m), attendu);
    ModeleSignature relu;
    ASSERT_EQ(Relit(relu, attendu), ModeleSignature::Lecture::Complete);
    EXPECT_TRUE(relu.QualiteOrigine);
    EXPECT_EQ(Octets(relu), attendu);

    ASSERT_EQ(Relit(relu, base), ModeleSignature::Lecture::Complete);
    EXPECT_FALSE(relu.QualiteOrigine);
    for (const std::uint8_t v : {2, 0}) {
        std::vector<BYTE> octets = base;
        const BYTE record[] = {'T', 'P', 'X', '1', 5, 0, 4, 0, 0, 0, v, 0, 0, 0};
        octets.insert(octets.end(), std::begin(record), std::end(record));
        relu.QualiteOrigine = true;
        ASSERT_EQ(Relit(relu, octets), ModeleSignature::Lecture::Complete);
        EXPECT_FALSE(relu.QualiteOrigine) << "value " << int(v);
    }
}
