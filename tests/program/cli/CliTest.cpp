// tamparo2-cli through the built program: what it writes, prints and
// returns.

#include "CGraphique.h"
#include "CliTestSupport.h"
#include "Lot.h"
#include "ModeleSignature.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::string> Lignes(const std::string& texte)
{
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    for (std::size_t fin; (fin = texte.find('\n', debut)) != std::string::npos; debut = fin + 1)
        lignes.push_back(texte.substr(debut, fin - debut));
    return lignes;
}

int Compte(const std::string& texte, const std::string& morceau)
{
    int n = 0;
    for (std::size_t p = 0; (p = texte.find(morceau, p)) != std::string::npos; p += morceau.size())
        ++n;
    return n;
}

class Cli : public EssaiPhotos {
protected:
    std::string Modele(const ModeleSignature& r, const std::string& nom = "modele.tp2")
    {
        EXPECT_TRUE(r.SauveFichier(bac.path(nom)));
        return bac.path(nom);
    }

    static ModeleSignature Reglages()
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -14;
        return r;
    }
};

// ---- options and exit codes ----

TEST_F(Cli, UsageMistakesAndUnreadableTemplatesExitWith2)
{
    const std::string photo = Photo("a.jpg");
    std::vector<std::uint8_t> valide = ReadFile(Modele(Reglages()));
    WriteFile(bac.path("court.tp2"), std::vector<std::uint8_t>(valide.begin(), valide.begin() + 40));
    WriteFile(bac.path("version.tp2"), {0x20, 0, 0, 0, 1, 0, 0, 0});
    // Version 191, then a text claiming 4 GiB.
    WriteFile(bac.path("geant.tp2"), {191, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'});
    WriteFile(bac.path("vide.tp2"), {});
    std::vector<std::uint8_t> bruit(100);
    for (std::size_t i = 0; i < bruit.size(); ++i)
        bruit[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    bruit[0] = 191, bruit[1] = bruit[2] = bruit[3] = 0;
    WriteFile(bac.path("bruit.tp2"), bruit);

    struct Cas {
        QStringList arguments;
        std::string message;
    };
    const Cas cas[] = {
        {{}, "no picture or folder given"},
        {{"-x", Q(photo)}, "unknown option -x"},
        {{"--colour", Q(photo)}, "unknown option --colour"},
        {{"-j", "0", Q(photo)}, "invalid value for -j"},
        {{"-j", "4x", Q(photo)}, "invalid value for -j"},
        {{Q(photo), "-j"}, "-j needs a value"},
        {{"--overwrite", "sometimes", Q(photo)}, "invalid value for --overwrite"},
        {{"--quiet=yes", Q(photo)}, "takes no value"},
        {{"-t", Q(bac.path("absent.tp2")), Q(photo)}, "cannot read the template"},
        {{"-t", Q(bac.path("")), Q(photo)}, "template"},
        {{"-t", Q(bac.path("version.tp2")), Q(photo)}, "This file isn't correct."},
        {{"-t", Q(bac.path("court.tp2")), Q(photo)}, "ends before its last setting"},
        {{"-t", Q(bac.path("geant.tp2")), Q(photo)}, "ends before its last setting"},
        {{"-t", Q(bac.path("vide.tp2")), Q(photo)}, "ends before its last setting"},
        {{"-t", Q(bac.path("bruit.tp2")), Q(photo)}, "ends before its last setting"},
        {{"--files-from", Q(bac.path("absent.txt"))}, "cannot read the list"},
        {{"-t", Q(bac.path("modele.tp2")), "--manifest", Q(bac.path("absent/m.jsonl")), Q(photo)}, "manifest"},
    };
    for (const Cas& c : cas) {
        const Sortie sortie = Lance(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(sortie.code, 2) << sortie.erreurs;
        EXPECT_TRUE(Contient(sortie.erreurs, c.message)) << sortie.erreurs;
    }
    EXPECT_FALSE(fs::exists(bac.path("TPa.jpg"))) << "nothing signed after a refusal";
}

TEST_F(Cli, HelpDocumentsEveryOption)
{
    const Sortie sortie = Lance({"--help"});
    EXPECT_EQ(sortie.code, 0);
    for (const char* option : {"-t, --template", "-o, --output", "-r, --recursive", "-j, --jobs", "-n, --dry-run",
                               "--overwrite", "--files-from", "--manifest", "--shard I/N", "--shard auto/N", "--summary",
                               "-q, --quiet", "SIGINT", "Exit status"})
        EXPECT_TRUE(Contient(sortie.standard, option)) << option;
}

TEST_F(Cli, AFailedPictureGives1AndTheOthersAreStillSigned)
{
    const std::string modele = Modele(Reglages());
    const std::string a = Photo("a.jpg");
    WriteFile(bac.path("b.jpg"), {'n', 'o', 't'});
    const std::string c = Photo("c.bmp");
    const QByteArray liste = QByteArray::fromStdString(bac.path("b.jpg") + "\n" + c + "\n");
    const Sortie sortie =
        Lance({"-t", Q(modele), "--files-from", "-", "--manifest", Q(bac.path("m.jsonl")), Q(a), Q(bac.path("z.jpg"))},
              {}, liste);
    EXPECT_EQ(sortie.code, 1) << sortie.erreurs;
    EXPECT_TRUE(fs::exists(bac.path("TPa.jpg")));
    EXPECT_TRUE(fs::exists(bac.path("TPc.bmp")));
    EXPECT_FALSE(fs::exists(bac.path("TPb.jpg")));
    const std::string manifeste = Lit(bac.path("m.jsonl"));
    EXPECT_EQ(Lignes(manifeste).size(), 4u) << manifeste;
    EXPECT_EQ(Compte(manifeste, "\"status\":\"ok\""), 2);
    EXPECT_EQ(Compte(manifeste, "\"status\":\"failed\""), 2);
    EXPECT_TRUE(Contient(manifeste, "Unable to load file")) << manifeste;
    EXPECT_TRUE(Contient(manifeste, "No such file or folder")) << manifeste;
    EXPECT_TRUE(Contient(sortie.erreurs, "failed " + bac.path("b.jpg") + ": JPEG")) << sortie.erreurs;
    EXPECT_TRUE(Contient(sortie.erreurs, "2 signed, 0 skipped, 2 failed")) << sortie.erreurs;
}

// ---- folders, collisions, re-runs ----

TEST_F(Cli, FoldersGiveTheirPicturesInAnyCaseAndTheTreeIsRecreatedUnderTheOutput)
{
    const std::string modele = Modele(Reglages());
    for (const char* nom : {"src/A.JPG", "src/sub/B.JpEg", "src/sub/deep/C.GIF", "src/sub/d.BMP", "src/TPA.JPG"})
        Photo(nom);
    WriteFile(bac.path("src/note.txt"), {'x'});
    const std::string out = bac.path("out");

    struct Cas {
        QStringList options;
        std::set<std::string> attendu;
    };
    const Cas cas[] = {
        // TPA.JPG is what A.JPG gives in its own folder: no picture to sign,
        // and an original that A.JPG's copy will not replace.
        {{}, {"src/A.JPG -> src/TPA.JPG (a picture of the list, skipped)"}},
        {{"-o", "out"}, {"src/A.JPG -> out/TPA.JPG", "src/TPA.JPG -> out/TPTPA.JPG"}},
        {{"-o", "out", "-r"},
         {"src/A.JPG -> out/TPA.JPG", "src/TPA.JPG -> out/TPTPA.JPG", "src/sub/B.JpEg -> out/sub/TPB.JpEg",
          "src/sub/deep/C.GIF -> out/sub/deep/TPC.GIF", "src/sub/d.BMP -> out/sub/TPd.BMP"}},
    };
    const std::string racine = bac.path("");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const Sortie sortie = Lance(QStringList{"-n", "-t", Q(modele)} + c.options + QStringList{"src"}, racine);
        ASSERT_EQ(sortie.code, 0) << sortie.erreurs;
        std::set<std::string> lignes;
        for (std::string ligne : Lignes(sortie.standard)) {
            for (std::size_t p; (p = ligne.find(racine + "/")) != std::string::npos;)
                ligne.erase(p, racine.size() + 1);
            lignes.insert(ligne);
        }
        EXPECT_EQ(lignes, c.attendu);
        EXPECT_FALSE(fs::exists(out)) << "-n writes nothing";
    }

    const Sortie sortie = Lance({"-q", "-r", "-t", Q(modele), "-o", Q(out), Q(bac.path("src"))});
    ASSERT_EQ(sortie.code, 0) << sortie.erreurs;
    for (const char* nom : {"out/TPA.JPG", "out/sub/TPB.JpEg", "out/sub/deep/TPC.GIF", "out/sub/TPd.BMP"}) {
        HBITMAP image = graphique.ChargeImage(bac.path(nom));
        EXPECT_TRUE(image) << nom;
        DeleteObject(image);
    }
}

TEST_F(Cli, TwoSourcesForOneDestinationAreReportedAndOnlyTheFirstIsSigned)
{
    const std::string modele = Modele(Reglages());
    const std::string premier = Photo("un/x.jpg");
    const std::string second = Photo("deux/x.jpg", 50, 40);
    const std::string cible = bac.path("out/TPx.jpg");
    const QStringList base{"-t", Q(modele), "-o", Q(bac.path("out")), Q(bac.path("un")), Q(bac.path("deux"))};

    const Sortie essai = Lance(QStringList{"-n"} + base);
    EXPECT_EQ(essai.code, 1);
    EXPECT_TRUE(Contient(essai.erreurs, "collision: " + cible + " <- " + premier + ", " + second)) << essai.erreurs;
    EXPECT_FALSE(fs::exists(cible));

    const Sortie sortie = Lance(QStringList{"-q", "--manifest", Q(bac.path("m.jsonl"))} + base);
    EXPECT_EQ(sortie.code, 1);
    HBITMAP ecrit = graphique.ChargeImage(cible);
    ASSERT_TRUE(ecrit);
    EXPECT_EQ(SizeOf(ecrit), CSize(96, 64)) << "the first source's";
    DeleteObject(ecrit);
    EXPECT_TRUE(Contient(Lit(bac.path("m.jsonl")), "Same destination as " + premier));
}

TEST_F(Cli, OverwriteNeverSkipsExistingOutputsAndAlwaysReplacesThem)
{
    const std::string modele = Modele(Reglages());
    Photo("a.jpg");
    Photo("b.jpg");
    WriteFile(bac.path("TPa.jpg"), {'o', 'l', 'd'});
    const QStringList base{"-t", Q(modele), Q(bac.path("a.jpg")), Q(bac.path("b.jpg"))};

    Sortie sortie = Lance(base);
    EXPECT_EQ(sortie.code, 0) << sortie.erreurs;
    EXPECT_EQ(Lit(bac.path("TPa.jpg")), "old");
    EXPECT_TRUE(Contient(sortie.erreurs, "1 signed, 1 skipped, 0 failed")) << sortie.erreurs;
    EXPECT_TRUE(Contient(sortie.erreurs, "skipped " + bac.path("a.jpg"))) << "plain lines off a terminal";

    sortie = Lance(QStringList{"-q", "--overwrite", "always"} + base);
    EXPECT_EQ(sortie.code, 0) << sortie.erreurs;
    EXPECT_EQ(sortie.erreurs, "") << "-q";
    EXPECT_EQ(ReadFile(bac.path("TPa.jpg")), ReadFile(bac.path("TPb.jpg"))) << "the same picture, signed";
}

// Outputs that are pictures of the list, their own source (name and folder
// kept) or another's: never replaced without --in-place.
TEST_F(Cli, OutputsOntoPicturesOfTheListNeedInPlace)
{
    ModeleSignature enPlace = Reglages();
    enPlace.NomFichierAucun = 1;
    enPlace.NomFichierPrefixe = 0;
    const std::string surSoi = Modele(enPlace, "en-place.tp2");
    const std::string prefixe = Modele(Reglages());
    Photo("a.jpg");
    Photo("b.jpg");
    Photo("TPb.jpg"); // b's output, and a picture of the list
    const std::string avantA = Lit(bac.path("a.jpg")), avantTpb = Lit(bac.path("TPb.jpg"));

    struct Cas {
        std::string modele;
        QStringList options;
        std::vector<std::string> sources;
    };
    for (const Cas& c : {Cas{surSoi, {"--overwrite", "always"}, {"a.jpg"}},
                         Cas{surSoi, {"-n", "--overwrite", "always"}, {"a.jpg"}},
                         Cas{prefixe, {"--overwrite", "always"}, {"b.jpg", "TPb.jpg"}},
                         Cas{prefixe, {"--overwrite", "always", "--shard", "1/2"}, {"b.jpg", "TPb.jpg"}}}) {
        QStringList arguments = QStringList{"-t", Q(c.modele)} + c.options;
        for (const std::string& s : c.sources)
            arguments << Q(bac.path(s));
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Sortie refus = Lance(arguments);
        EXPECT_EQ(refus.code, 2);
        EXPECT_TRUE(Contient(refus.erreurs, "give --in-place")) << refus.erreurs;
        EXPECT_EQ(Lit(bac.path("a.jpg")), avantA);
        EXPECT_EQ(Lit(bac.path("TPb.jpg")), avantTpb);
    }

    // Without "always" the original is skipped, and the line says why.
    const Sortie passe = Lance({"-t", Q(surSoi), Q(bac.path("a.jpg"))});
    EXPECT_EQ(passe.code, 0) << passe.erreurs;
    EXPECT_TRUE(Contient(passe.erreurs, "skipped " + bac.path("a.jpg") + " -> " + bac.path("a.jpg") +
                                            " (" + Lot::kSurSource + ")"))
        << passe.erreurs;
    EXPECT_EQ(Lit(bac.path("a.jpg")), avantA);

    // --in-place signs over them.
    const Sortie signe = Lance({"-q", "--overwrite", "always", "--in-place", "-t", Q(surSoi), Q(bac.path("a.jpg"))});
    EXPECT_EQ(signe.code, 0) << signe.erreurs;
    EXPECT_NE(Lit(bac.path("a.jpg")), avantA);
}

// A signal stops the run between pictures: every output is whole, and the
// next run signs exactly the rest.
TEST_F(Cli, ASignalLeavesNoPartialFileAndARerunFinishesTheRest)
{
    const std::string modele = Modele(Reglages());
    constexpr int kNombre = 60;
    for (int i = 0; i < kNombre; ++i)
        Photo("src/p" + std::to_string(100 + i) + ".jpg", 800, 600);

    struct Cas {
        int signal;
        int code;
    };
    for (const Cas c : {Cas{SIGINT, 130}, Cas{SIGTERM, 143}}) {
        SCOPED_TRACE(c.signal);
        const std::string out = bac.path("out" + std::to_string(c.signal));
        const std::string manifeste = out + ".jsonl";
        QProcess processus;
        processus.start(Programme(), {"-j", "1", "-t", Q(modele), "-o", Q(out), "--manifest", Q(manifeste),
                                      Q(bac.path("src"))});
        ASSERT_TRUE(processus.waitForStarted());
        for (int attente = 0; attente < 3000 && Lignes(Lit(manifeste)).size() < 3; ++attente)
            QThread::msleep(10);
        ::kill(static_cast<pid_t>(processus.processId()), c.signal);
        ASSERT_TRUE(processus.waitForFinished(60000));
        EXPECT_EQ(processus.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(processus.exitCode(), c.code);
        EXPECT_TRUE(Contient(processus.readAllStandardError().toStdString(), "Interrupted: "));

        const int signes = Compte(Lit(manifeste), "\"status\":\"ok\"");
        EXPECT_GE(signes, 3);
        EXPECT_LT(signes, kNombre) << "the run was not stopped";
        const QStringList fichiers = QDir(Q(out)).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(fichiers.size(), signes) << fichiers.join(' ').toStdString();
        for (const QString& f : fichiers) {
            EXPECT_TRUE(f.startsWith("TPp")) << f.toStdString();
            HBITMAP image = graphique.ChargeImage(out + "/" + f.toStdString());
            EXPECT_TRUE(image) << f.toStdString();
            DeleteObject(image);
        }
        EXPECT_TRUE(Scripted().shown.empty()) << "every output decodes";

        const Sortie suite = Lance({"-q", "-t", Q(modele), "-o", Q(out), "--manifest", Q(manifeste), Q(bac.path("src"))});
        EXPECT_EQ(suite.code, 0) << suite.erreurs;
        EXPECT_EQ(Compte(Lit(manifeste), "\"status\":\"skipped\""), signes);
        EXPECT_EQ(Compte(Lit(manifeste), "\"status\":\"ok\""), kNombre - signes);
    }
}

} // namespace
