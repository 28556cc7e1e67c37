// Where the batch run writes each signed copy.

#include "NomSortie.h"

#include "TestImages.h"
#include "codecs/HeifEcriture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

enum class Nom { Garde, Prefixe, Suffixe };

ModeleSignature Reglages(Nom nom, bool special = false, CString repertoire = "")
{
    ModeleSignature m;
    m.NomFichier = "TP";
    m.NomFichierAucun = nom == Nom::Garde;
    m.NomFichierPrefixe = nom == Nom::Prefixe;
    m.NomFichierSuffixe = nom == Nom::Suffixe;
    m.NomRepertoireAucun = !special;
    m.NomRepertoireSpecifique = special;
    m.NomRepertoire = repertoire;
    return m;
}

CString Chemin(const ModeleSignature& m, const CString& source) { return NomSortie(m).Chemin(source); }

} // namespace

TEST(NomSortie, NameTextGoesBeforeOrAfterTheBaseName)
{
    EXPECT_EQ(Chemin(Reglages(Nom::Prefixe), "/photos/a.jpg"), "/photos/TPa.jpg");
    EXPECT_EQ(Chemin(Reglages(Nom::Suffixe), "/photos/a.jpg"), "/photos/aTP.jpg");
    EXPECT_EQ(Chemin(Reglages(Nom::Suffixe), "/photos/a.b.jpeg"), "/photos/a.bTP.jpeg");
    EXPECT_EQ(Chemin(Reglages(Nom::Prefixe), "/photos/vue.bmp"), "/photos/TPvue.bmp") << "format follows the source";
}

TEST(NomSortie, KeepingNameAndFolderGivesTheSourceItself)
{
    for (const CString source : {"/photos/a.jpg", "/a.JPG", "/home/x/Été 2024/b.gif"})
        EXPECT_EQ(Chemin(Reglages(Nom::Garde), source), source);
}

TEST(NomSortie, SpecialFolderReplacesTheSourcesFolder)
{
    EXPECT_EQ(Chemin(Reglages(Nom::Prefixe, true, "/srv/out"), "/photos/a.jpg"), "/srv/out/TPa.jpg");
    EXPECT_EQ(Chemin(Reglages(Nom::Prefixe, true, ""), "/photos/a.jpg"), "/TPa.jpg") << "empty folder: the root";
    EXPECT_EQ(Chemin(Reglages(Nom::Garde, true, ""), "/photos/a.jpg"), "/a.jpg");
}

TEST(NomSortie, ConflictingOrMissingRadiosKeepTheOriginal)
{
    ModeleSignature m = Reglages(Nom::Prefixe, true, "/srv/out");
    m.NomFichierAucun = 1;
    m.NomRepertoireAucun = 1;
    EXPECT_EQ(Chemin(m, "/photos/a.jpg"), "/photos/a.jpg");
    m.NomFichierAucun = m.NomFichierPrefixe = m.NomFichierSuffixe = 0;
    m.NomRepertoireAucun = m.NomRepertoireSpecifique = 0;
    EXPECT_EQ(Chemin(m, "/photos/a.jpg"), "/photos/a.jpg");
}

TEST(NomSortie, PartsMissingFromASourceCarryOverWithinARun)
{
    NomSortie run(Reglages(Nom::Prefixe));
    EXPECT_EQ(run.Chemin("/photos/a.jpg"), "/photos/TPa.jpg");
    EXPECT_EQ(run.Chemin("/scans/b"), "/scans/TPb.jpg");
    EXPECT_EQ(NomSortie(Reglages(Nom::Prefixe)).Chemin("/scans/b"), "/scans/TPb") << "a new run starts empty";
}

TEST(NomSortie, RealPathsSplitOnlyAtSlash)
{
    struct Case {
        Nom nom;
        const char* source;
        const char* sortie;
    };
    const std::vector<Case> cases = {
        // A backslash is part of the name: the copy stays in the source's folder.
        {Nom::Prefixe, "/home/u/pics/a\\b.jpg", "/home/u/pics/TPa\\b.jpg"},
        {Nom::Suffixe, "/home/u/pics/a\\b.jpg", "/home/u/pics/a\\bTP.jpg"},
        {Nom::Garde, "/home/u/pics/a\\b.jpg", "/home/u/pics/a\\b.jpg"},
        {Nom::Prefixe, "/home/u/dir\\x/a.jpg", "/home/u/dir\\x/TPa.jpg"},
        // A dot in a folder's name is no extension.
        {Nom::Prefixe, "/photos.old/b", "/photos.old/TPb"},
        {Nom::Suffixe, "/photos.old/b.c.jpg", "/photos.old/b.cTP.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Chemin(Reglages(c.nom), c.source), c.sortie) << c.source;

    NomSortie run(Reglages(Nom::Prefixe));
    EXPECT_EQ(run.Chemin("/photos/a.jpg"), "/photos/TPa.jpg");
    EXPECT_EQ(run.Chemin("/photos.old/b"), "/photos.old/TPb.jpg") << "a name without a dot keeps the last extension";
}

TEST(NomSortie, SaveAsFormatGivesTheExtension)
{
    struct Case {
        FormatSortie format;
        CString source;
        CString sortie;
    };
    // HEIC and AVIF sources stay so where libheif can encode them.
    const bool hevc = HeifEcriture::Disponible(HeifEcriture::Codec::Hevc);
    const bool av1 = HeifEcriture::Disponible(HeifEcriture::Codec::Av1);
    for (const Case& c : {Case{FormatSortie::Source, "/p/a.png", "/p/TPa.png"},
                          Case{FormatSortie::Source, "/p/a.HEIC", hevc ? "/p/TPa.HEIC" : "/p/TPa.jpg"},
                          Case{FormatSortie::Source, "/p/a.heif", hevc ? "/p/TPa.heif" : "/p/TPa.jpg"},
                          Case{FormatSortie::Source, "/p/a.Avif", av1 ? "/p/TPa.Avif" : "/p/TPa.jpg"},
                          Case{FormatSortie::Source, "/p/a.webp", "/p/TPa.webp"},
                          Case{FormatSortie::JPEG, "/p/a.png", "/p/TPa.jpg"},
                          Case{FormatSortie::PNG, "/p/a.JPG", "/p/TPa.png"},
                          Case{FormatSortie::PNG, "/p/a.heic", "/p/TPa.png"},
                          Case{FormatSortie::WebP, "/p/a.bmp", "/p/TPa.webp"},
                          Case{FormatSortie::HEIC, "/p/a.JPG", "/p/TPa.heic"},
                          Case{FormatSortie::HEIC, "/p/a.avif", "/p/TPa.heic"},
                          Case{FormatSortie::AVIF, "/p/a.png", "/p/TPa.avif"},
                          Case{FormatSortie::AVIF, "/p/a.heif", "/p/TPa.avif"}}) {
        ModeleSignature m = Reglages(Nom::Prefixe);
        m.FormatEnregistrement = c.format;
        EXPECT_EQ(Chemin(m, c.source), c.sortie) << c.source << " as " << static_cast<int>(c.format);
    }
}

TEST(NomSortie, ACopyKeepsThePicturesRealFormatWhenItsNameLies)
{
    // The content as the first bytes of a file; the rest does not matter.
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0};
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const std::vector<std::uint8_t> heic = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0,
                                            'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'};
    const std::vector<std::uint8_t> texte = {'n', 'o', 't', 'e'};
    struct Case {
        const char* nom;
        const std::vector<std::uint8_t>& contenu;
        FormatSortie format;
        const char* sortie;
    };
    // A HEIC stays HEIC where libheif can encode it.
    const bool hevc = HeifEcriture::Disponible(HeifEcriture::Codec::Hevc);
    TestImages::Sandbox bac;
    for (const Case& c : {Case{"a.png", jpeg, FormatSortie::Source, "TPa.jpg"},
                          Case{"b.JPG", png, FormatSortie::Source, "TPb.png"},
                          Case{"c.JPEG", jpeg, FormatSortie::Source, "TPc.JPEG"},
                          Case{"d.jpg", texte, FormatSortie::Source, "TPd.jpg"},
                          Case{"e.png", heic, FormatSortie::Source, hevc ? "TPe.heic" : "TPe.png"},
                          Case{"f.avif", heic, FormatSortie::Source, hevc ? "TPf.heic" : "TPf.jpg"},
                          Case{"g.png", jpeg, FormatSortie::WebP, "TPg.webp"}}) {
        const std::string source = bac.path(c.nom);
        TestImages::WriteFile(source, c.contenu);
        ModeleSignature m = Reglages(Nom::Prefixe);
        m.FormatEnregistrement = c.format;
        EXPECT_EQ(Chemin(m, source), bac.path(c.sortie)) << c.nom;
    }
}

TEST(NomSortie, ANameTextInUseThatIsAPathIsRefused)
{
    const struct {
        Nom nom;
        CString texte;
        const char* refus; // empty: accepted
    } cas[] = {
        {Nom::Prefixe, "TP", ""},
        {Nom::Suffixe, "-signed.v2", ""},
        {Nom::Prefixe, "..x", ""},
        {Nom::Garde, "../../etc/", ""}, // not used: the name is kept
        {Nom::Prefixe, "../", "the output name's prefix \"../\" holds a \"/\": it must be a name, not a path"},
        {Nom::Suffixe, "/x", "the output name's suffix \"/x\" holds a \"/\""},
        {Nom::Prefixe, "..", "the output name's prefix \"..\" names the parent folder"},
        {Nom::Suffixe, CString("a\0/b", 4), "the output name's suffix \"a...\" holds a NUL character"},
    };
    for (const auto& c : cas) {
        ModeleSignature m = Reglages(c.nom);
        m.NomFichier = c.texte;
        const std::string refus = NomSortie::Refus(m);
        if (*c.refus == '\0')
            EXPECT_EQ(refus, "") << c.texte;
        else
            EXPECT_EQ(refus.rfind(c.refus, 0), 0u) << refus;
    }
}

TEST(NomSortie, AnOutputOutsideItsFolderIsToldOnceResolved)
{
    TestImages::Sandbox bac;
    std::filesystem::create_directories(bac.path("reel"));
    std::filesystem::create_directory_symlink(bac.path("reel"), bac.path("lien"));
    const struct {
        ModeleSignature reglages;
        CString source;
        bool dedans;
    } cas[] = {
        {Reglages(Nom::Prefixe), "/photos/a.jpg", true},
        {Reglages(Nom::Prefixe, true, bac.path("lien")), "/photos/a.jpg", true},
        {Reglages(Nom::Prefixe, true, bac.path("reel/")), "/photos/a.jpg", true},
        {Reglages(Nom::Prefixe, true, ""), "/photos/a.jpg", true},
        {Reglages(Nom::Garde), "/photos/..", false},
        {Reglages(Nom::Garde), "/photos/.", false},
        {Reglages(Nom::Garde, true, CString("/tmp\0/x", 7)), "/photos/a.jpg", false},
    };
    for (auto c : cas) {
        NomSortie nommage(c.reglages);
        const CString sortie = nommage.Chemin(c.source);
        EXPECT_EQ(nommage.Dedans(sortie), c.dedans) << sortie;
    }
    // The last safeguard holds whatever the settings let through.
    for (const CString texte : {"../", "sous/", "../../"}) {
        ModeleSignature m = Reglages(Nom::Prefixe, true, bac.path("reel"));
        m.NomFichier = texte;
        NomSortie nommage(m);
        EXPECT_FALSE(nommage.Dedans(nommage.Chemin("/photos/a.jpg"))) << texte;
    }
}
