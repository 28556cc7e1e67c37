// What tamparo2-cli refuses rather than claim a success it did not have:
// a manifest over a picture or on a full disk, damaged pictures, output
// names that are paths, a run with no settings or nothing to sign.

#include "CGraphique.h"
#include "CliTestSupport.h"
#include "ModeleSignature.h"
#include "ReglagesRegistre.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

class AucunFauxSucces : public EssaiPhotos {
protected:
    std::string Modele(const std::function<void(ModeleSignature&)>& change = {}, const std::string& nom = "modele.tp2")
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -14;
        if (change)
            change(r);
        EXPECT_TRUE(r.SauveFichier(bac.path(nom)));
        return bac.path(nom);
    }
};

TEST_F(AucunFauxSucces, TheManifestIsNeverAPictureAndAFullDiskFailsTheRun)
{
    const std::string modele = Modele();
    const std::string a = Photo("a.jpg");
    WriteFile(bac.path("notes.txt"), {'h', 'i', '\n'});
    WriteFile(bac.path("vide.jsonl"), {});
    const std::string avant = Lit(a);
    struct Cas {
        std::string manifeste;
        int code;
        std::string message;
    };
    const Cas cas[] = {
        {a, 2, "the manifest " + a + " is a picture of the run"},
        {bac.path("TPa.jpg"), 2, "is an output of the run"},
        {bac.path("notes.txt"), 2, "is not a manifest"},
        {modele, 2, "is not a manifest"},
        {"/dev/full", 1, "cannot write the manifest /dev/full: No space left on device"},
        {bac.path("vide.jsonl"), 0, ""},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.manifeste);
        if (!fs::exists(fs::path(c.manifeste).parent_path()) || (c.code == 1 && !fs::exists(c.manifeste)))
            continue;
        fs::remove(bac.path("TPa.jpg"));
        const std::string contenu = c.code == 2 && fs::exists(c.manifeste) ? Lit(c.manifeste) : std::string();
        const Sortie sortie = Lance({"-t", Q(modele), "--manifest", Q(c.manifeste), Q(a)});
        EXPECT_EQ(sortie.code, c.code) << sortie.erreurs;
        EXPECT_TRUE(Contient(sortie.erreurs, c.message)) << sortie.erreurs;
        EXPECT_EQ(fs::exists(bac.path("TPa.jpg")), c.code != 2) << "a refusal comes before any work";
        if (c.code == 2 && !contenu.empty()) {
            EXPECT_EQ(Lit(c.manifeste), contenu);
        }
    }
    EXPECT_EQ(Lit(a), avant);
    EXPECT_TRUE(Contient(Lit(bac.path("vide.jsonl")), "\"status\":\"ok\""));

    // Totals of nothing are no summary.
    fs::copy_file(bac.path("vide.jsonl"), bac.path("ok.jsonl"));
    WriteFile(bac.path("vide.jsonl"), {});
    const Sortie bilan = Lance({"--summary", Q(bac.path("vide.jsonl"))});
    EXPECT_EQ(bilan.code, 2);
    EXPECT_TRUE(Contient(bilan.erreurs, "the manifest " + bac.path("vide.jsonl") + " holds no record")) << bilan.erreurs;
    // A shard that got no picture leaves an empty manifest beside the others.
    const Sortie parts = Lance({"--summary", Q(bac.path("vide.jsonl")), Q(bac.path("ok.jsonl"))});
    EXPECT_EQ(parts.code, 0) << parts.erreurs;
    WriteFile(bac.path("vide2.jsonl"), {});
    EXPECT_EQ(Lance({"--summary", Q(bac.path("vide.jsonl")), Q(bac.path("vide2.jsonl"))}).code, 2);
}

TEST_F(AucunFauxSucces, ADamagedPictureFailsWithoutReplacingAnythingUnlessAllowed)
{
    // Cut at 60 %, as a copy that stopped half-way leaves it.
    const std::vector<std::uint8_t> entier = ReadFile(Photo("entier.jpg", 640, 480));
    fs::create_directories(bac.path("src"));
    fs::create_directories(bac.path("out"));
    WriteFile(bac.path("src/coupe.jpg"),
              std::vector<std::uint8_t>(entier.begin(), entier.begin() + static_cast<long>(entier.size() * 6 / 10)));
    const std::string source = bac.path("src/coupe.jpg");
    const std::string raison = "damaged: Premature end of JPEG file";
    const std::string ancien = "an older output";
    // The JPEG streamed in bands, and the whole picture written as PNG.
    const struct {
        const char* voie;
        FormatSortie format;
        const char* sortie;
    } voies[] = {{"streamed", FormatSortie::Source, "out/TPcoupe.jpg"}, {"whole", FormatSortie::PNG, "out/TPcoupe.png"}};
    for (const auto& v : voies) {
        SCOPED_TRACE(v.voie);
        const std::string modele = Modele([&](ModeleSignature& r) { r.FormatEnregistrement = v.format; });
        const std::string sortie = bac.path(v.sortie);
        WriteFile(sortie, std::vector<std::uint8_t>(ancien.begin(), ancien.end()));
        const auto fichiers = [&] {
            return std::distance(fs::directory_iterator(bac.path("out")), fs::directory_iterator());
        };
        const auto avant = fichiers();
        const QStringList communs = {"-t", Q(modele), "-o", Q(bac.path("out")), "--overwrite", "always", "--manifest",
                                     Q(bac.path("m.jsonl")), Q(source)};

        const Sortie refus = Lance(communs);
        EXPECT_EQ(refus.code, 1) << refus.erreurs;
        EXPECT_TRUE(Contient(refus.erreurs, "failed " + source + ": " + raison)) << refus.erreurs;
        EXPECT_EQ(Lit(sortie), ancien) << "nothing replaced";
        EXPECT_EQ(fichiers(), avant) << "no temporary left";
        std::string manifeste = Lit(bac.path("m.jsonl"));
        EXPECT_TRUE(Contient(manifeste, "\"status\":\"failed\",\"error\":\"" + raison + "\"")) << manifeste;
        EXPECT_FALSE(Contient(manifeste, "\"warning\"")) << manifeste;

        const Sortie permis = Lance(QStringList(communs) << "--allow-damaged");
        EXPECT_EQ(permis.code, 0) << permis.erreurs;
        EXPECT_TRUE(Contient(permis.erreurs, "warning: " + source + ": " + raison)) << permis.erreurs;
        HBITMAP signee = graphique.ChargeImage(sortie);
        ASSERT_NE(signee, nullptr) << "signed as far as it could be read";
        EXPECT_EQ(SizeOf(signee), CSize(640, 480));
        DeleteObject(signee);
        manifeste = Lit(bac.path("m.jsonl"));
        EXPECT_TRUE(Contient(manifeste, "\"status\":\"ok\",\"error\":\"\",\"warning\":\"" + raison + "\",\"ms\":"))
            << manifeste;
    }
}

TEST_F(AucunFauxSucces, OutputNamesThatArePathsAreRefusedBeforeAnyWork)
{
    const std::string a = Photo("dans/a.jpg");
    const struct {
        bool prefixe;
        const char* texte;
        const char* message;
    } cas[] = {
        {true, "../", "the output name's prefix \"../\" holds a \"/\": it must be a name, not a path"},
        {true, "/tmp/", "holds a \"/\""},
        {false, "/../../x", "the output name's suffix \"/../../x\" holds a \"/\""},
        {true, "..", "names the parent folder"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        const std::string modele = Modele([&](ModeleSignature& r) {
            r.NomFichier = c.texte;
            r.NomFichierPrefixe = c.prefixe;
            r.NomFichierSuffixe = !c.prefixe;
        });
        for (const QStringList& plus : {QStringList{}, QStringList{"-n"}, QStringList{"-o", Q(bac.path("out"))}}) {
            const Sortie sortie = Lance(QStringList{"-t", Q(modele)} << plus << Q(a));
            EXPECT_EQ(sortie.code, 2) << sortie.erreurs;
            EXPECT_TRUE(Contient(sortie.erreurs, c.message)) << sortie.erreurs;
            EXPECT_TRUE(sortie.standard.empty()) << sortie.standard;
        }
    }
    EXPECT_FALSE(fs::exists(bac.path("out")));
    std::size_t fichiers = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(bac.path("")))
        fichiers += e.is_regular_file();
    EXPECT_EQ(fichiers, 2u) << "the picture and the template, nothing else";
}

TEST_F(AucunFauxSucces, NoTemplateNeedsStoredSettings)
{
    const std::string a = Photo("a.jpg");
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    environnement.insert("XDG_CONFIG_HOME", Q(bac.path("config")));
    const Sortie sans = Lance({Q(a)}, {}, {}, environnement);
    EXPECT_EQ(sans.code, 2);
    EXPECT_TRUE(Contient(sans.erreurs, "no template given and no settings stored")) << sans.erreurs;
    EXPECT_FALSE(fs::exists(bac.path("TPa.jpg")));

    // Once the desktop has stored its settings, they sign.
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));
    ModeleSignature stockes;
    stockes.Texte = "Stored";
    EXPECT_TRUE(ReglagesRegistre::Ecriture(stockes));
    qputenv("XDG_CONFIG_HOME", avant);
    const Sortie avec = Lance({Q(a)}, {}, {}, environnement);
    EXPECT_EQ(avec.code, 0) << avec.erreurs;
    EXPECT_TRUE(fs::exists(bac.path("TPa.jpg")));
}

TEST_F(AucunFauxSucces, ARunThatFindsNoPictureSaysWhyAndFails)
{
    const std::string modele = Modele();
    Photo("seul/sous/a.jpg");
    fs::create_directories(bac.path("textes"));
    WriteFile(bac.path("textes/notes.txt"), {'x'});
    WriteFile(bac.path("textes/b.jpg.txt"), {'x'});
    fs::create_directories(bac.path("vide"));
    const struct {
        QStringList arguments;
        int code;
        std::string message;
    } cas[] = {
        {{Q(bac.path("seul"))}, 1, bac.path("seul") + ": 1 sub-folder, searched only with -r"},
        {{"-n", Q(bac.path("seul"))}, 1, "searched only with -r"},
        {{Q(bac.path("textes"))}, 1, bac.path("textes") + ": 2 files whose name does not end in .jpg, "},
        {{"-r", Q(bac.path("vide"))}, 1, bac.path("vide") + ": empty"},
        {{"-r", Q(bac.path("seul"))}, 0, ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Sortie sortie = Lance(QStringList{"-t", Q(modele)} << c.arguments);
        EXPECT_EQ(sortie.code, c.code) << sortie.erreurs;
        EXPECT_TRUE(Contient(sortie.erreurs, c.message)) << sortie.erreurs;
        EXPECT_EQ(Contient(sortie.erreurs, "no picture found"), c.code != 0) << sortie.erreurs;
    }
    EXPECT_TRUE(fs::exists(bac.path("seul/sous/TPa.jpg")));
}

TEST_F(AucunFauxSucces, TheOutputFolderInsideARecursiveTreeIsLeftOut)
{
    Photo("photos/a.jpg");
    Photo("photos/sous/b.jpg");
    const std::string sortie = bac.path("photos/signees");
    const Sortie premiere = Lance({"-t", Q(Modele()), "-r", "-o", Q(sortie), Q(bac.path("photos"))});
    ASSERT_EQ(premiere.code, 0) << premiere.erreurs;
    ASSERT_TRUE(fs::exists(sortie + "/TPa.jpg") && fs::exists(sortie + "/sous/TPb.jpg"));
    // Another name: the first run's copies are no outputs of this one.
    const std::string autre = Modele([](ModeleSignature& r) { r.NomFichier = "XX"; }, "autre.tp2");
    const Sortie seconde = Lance({"-t", Q(autre), "-r", "-o", Q(sortie), Q(bac.path("photos"))});
    EXPECT_EQ(seconde.code, 0) << seconde.erreurs;
    EXPECT_TRUE(Contient(seconde.erreurs, "2 signed, 0 skipped, 0 failed")) << seconde.erreurs;
    EXPECT_FALSE(fs::exists(sortie + "/signees")) << "signed copies signed again";
}

} // namespace

TEST_F(AucunFauxSucces, AFailedWriteNamesItsCauseInEveryWay)
{
    const std::string a = Photo("a.jpg");
    const std::string longue = Photo(std::string(250, 'n') + ".jpg");
    struct Cas {
        int qualite;
        std::string source;
        QStringList options;
        std::string cause;
    };
    const Cas cas[] = {
        {150, a, {}, "quality 150 is outside 0-100"},
        {-3, a, {"--format", "jpeg"}, "quality -3 is outside 0-100"},
        {75, longue, {}, "the name is too long"},
        {75, longue, {"--quality", "same"}, "the name is too long"},
        {75, longue, {"--format", "png"}, "the name is too long"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.cause + " " + c.options.join(' ').toStdString());
        const std::string modele = Modele([&](ModeleSignature& r) { r.QualiteJPEG = c.qualite; });
        const Sortie s = Lance(QStringList{"-q", "-t", Q(modele), "-o", Q(bac.path("out"))} + c.options << Q(c.source));
        EXPECT_EQ(s.code, 1);
        EXPECT_TRUE(Contient(s.erreurs, c.cause)) << s.erreurs;
        EXPECT_EQ(s.erreurs.find("Unable to write"), s.erreurs.rfind("Unable to write")) << "said once";
    }
}
