// tamparo2-cli --watch through the built program: pictures dropped into the
// folder while it runs, written fast, slowly or moved in, each signed once.

#include "Bilan.h"
#include "CGraphique.h"
#include "CliTestSupport.h"
#include "ModeleSignature.h"
#include "TestImages.h"

#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The manifest's records, by source; a source recorded twice is a fault.
struct Releve {
    std::map<std::string, std::string> Statuts;
    std::vector<std::string> Doubles;
    std::size_t Compte(const std::string& statut) const
    {
        std::size_t n = 0;
        for (const auto& [source, s] : Statuts)
            n += s == statut;
        return n;
    }
};

Releve LitManifeste(const std::string& chemin)
{
    Releve releve;
    std::istringstream lignes(Lit(chemin));
    for (std::string ligne; std::getline(lignes, ligne);) {
        Bilan::Enregistrement e;
        EXPECT_TRUE(Bilan::LitLigne(ligne, e)) << ligne;
        if (!releve.Statuts.emplace(e.Source, e.Statut).second)
            releve.Doubles.push_back(e.Source);
    }
    return releve;
}

// The signed copies under dossier, with when each was written; temporaries
// are counted apart.
std::map<std::string, fs::file_time_type> Sorties(const std::string& dossier, int* temporaires = nullptr)
{
    std::map<std::string, fs::file_time_type> sorties;
    std::error_code erreur;
    for (fs::recursive_directory_iterator it(dossier, erreur), fin; !erreur && it != fin; it.increment(erreur)) {
        const std::string nom = it->path().filename().string();
        if (temporaires && nom.rfind(".~tamparo-", 0) == 0)
            ++*temporaires;
        else if (it->is_regular_file() && nom.rfind("TP", 0) == 0)
            sorties[it->path().string()] = it->last_write_time();
    }
    return sorties;
}

bool Attend(const std::function<bool()>& condition, int millisecondes = 15000)
{
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(millisecondes);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > fin)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class Surveillance : public testing::Test {
protected:
    void SetUp() override
    {
        ModeleSignature r;
        r.Texte = "Tamparo";
        r.Fonte.lfHeight = -12;
        ASSERT_TRUE(r.SauveFichier(bac.path("modele.tp2")));
        HBITMAP image = Gradient(64, 48);
        ASSERT_EQ(CGraphique().SauveImage(bac.path("modele.jpg"), image, 90), 1);
        DeleteObject(image);
        jpeg = ReadFile(bac.path("modele.jpg"));
        fs::create_directories(dossier);
    }

    // Started, and watching, with the output folder inside the folder watched.
    void Demarre(QProcess& processus, const QStringList& autres = {})
    {
        processus.setStandardOutputFile(Q(bac.path("sortie.txt")));
        processus.setStandardErrorFile(Q(bac.path("erreurs.txt")));
        processus.start(Programme(), QStringList{"--watch", Q(dossier), "-r", "-o", Q(sortie), "-t",
                                                 Q(bac.path("modele.tp2")), "--manifest", Q(manifeste)} + autres);
        ASSERT_TRUE(processus.waitForStarted());
        // Quiet, it does not say so; pictures written at once are found all the same.
        if (autres.contains("-q"))
            return;
        ASSERT_TRUE(Attend([&] { return Lit(bac.path("erreurs.txt")).find("Watching") != std::string::npos; }))
            << Lit(bac.path("erreurs.txt"));
    }

    int Arrete(QProcess& processus)
    {
        ::kill(static_cast<pid_t>(processus.processId()), SIGTERM);
        EXPECT_TRUE(processus.waitForFinished(20000));
        EXPECT_EQ(processus.exitStatus(), QProcess::NormalExit);
        return processus.exitCode();
    }

    void Depose(const std::string& nom) { WriteFile(dossier + "/" + nom, jpeg); }

    Sandbox bac;
    std::string dossier = bac.path("photos");
    std::string sortie = bac.path("photos/signees");
    std::string manifeste = bac.path("watch.jsonl");
    std::vector<std::uint8_t> jpeg;
};

TEST_F(Surveillance, EachPictureDroppedIsSignedOnceWhateverHowItArrives)
{
    for (int i = 0; i < 20; ++i)
        Depose("depart" + std::to_string(i) + ".jpg");
    QProcess processus;
    Demarre(processus);

    // Halves written a pause apart, longer than a settle time: only the
    // writer's close tells they are whole.
    std::vector<std::FILE*> lents;
    for (int i = 0; i < 40; ++i) {
        lents.push_back(std::fopen((dossier + "/lent" + std::to_string(i) + ".jpg").c_str(), "wb"));
        ASSERT_NE(lents.back(), nullptr);
        std::fwrite(jpeg.data(), 1, jpeg.size() / 2, lents.back());
        std::fflush(lents.back());
    }
    const auto debutLents = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        Depose("vite" + std::to_string(i) + ".jpg");
    fs::create_directories(bac.path("ailleurs"));
    for (int i = 0; i < 20; ++i) {
        const std::string nom = "deplace" + std::to_string(i) + ".jpg";
        WriteFile(bac.path("ailleurs/" + nom), jpeg);
        fs::rename(bac.path("ailleurs/" + nom), dossier + "/" + nom);
    }
    // A folder made during the watch, filled at once.
    fs::create_directories(dossier + "/sous");
    for (int i = 0; i < 20; ++i)
        Depose("sous/s" + std::to_string(i) + ".jpg");
    QThread::msleep(static_cast<unsigned long>(std::max<std::int64_t>(
        0, 1500 - std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debutLents)
                     .count())));
    for (std::FILE* f : lents) {
        std::fwrite(jpeg.data() + jpeg.size() / 2, 1, jpeg.size() - jpeg.size() / 2, f);
        std::fclose(f);
    }

    ASSERT_TRUE(Attend([&] { return Sorties(sortie).size() >= 200; }))
        << Sorties(sortie).size() << " outputs\n" << Lit(bac.path("erreurs.txt"));
    const auto signees = Sorties(sortie);
    // Time for a second signing, were there one.
    QThread::msleep(1000);
    EXPECT_EQ(Arrete(processus), 0) << Lit(bac.path("erreurs.txt"));

    const Releve releve = LitManifeste(manifeste);
    EXPECT_EQ(releve.Compte("ok"), 200u) << Lit(manifeste);
    EXPECT_EQ(releve.Statuts.size(), 200u);
    EXPECT_TRUE(releve.Doubles.empty()) << releve.Doubles.front();
    int temporaires = 0;
    EXPECT_EQ(Sorties(sortie, &temporaires), signees) << "an output was written again";
    EXPECT_EQ(temporaires, 0);
    EXPECT_TRUE(fs::exists(sortie + "/sous/TPs0.jpg"));
    EXPECT_FALSE(fs::exists(sortie + "/signees")) << "its own outputs were signed";
    // The slow ones were signed whole, not from their first half.
    HBITMAP lent = CGraphique().ChargeImage(sortie + "/TPlent0.jpg");
    ASSERT_NE(lent, nullptr);
    EXPECT_EQ(SizeOf(lent), CSize(64, 48));
    DeleteObject(lent);
    // The pictures there at start came first.
    const std::string lignes = Lit(bac.path("sortie.txt"));
    EXPECT_LT(lignes.find("depart19.jpg"), lignes.find("vite0.jpg")) << lignes;

    // Started again: only what is new is signed; the rest keeps its copy.
    for (int i = 0; i < 5; ++i)
        Depose("nouveau" + std::to_string(i) + ".jpg");
    QProcess suite;
    Demarre(suite);
    for (int i = 5; i < 10; ++i)
        Depose("nouveau" + std::to_string(i) + ".jpg");
    ASSERT_TRUE(Attend([&] { return Sorties(sortie).size() >= 210; })) << Lit(bac.path("erreurs.txt"));
    QThread::msleep(500);
    EXPECT_EQ(Arrete(suite), 0) << Lit(bac.path("erreurs.txt"));
    const auto apres = Sorties(sortie);
    for (const auto& [chemin, quand] : signees)
        EXPECT_EQ(apres.at(chemin), quand) << chemin;
    std::size_t ok = 0;
    std::istringstream lignesManifeste(Lit(manifeste));
    for (std::string ligne; std::getline(lignesManifeste, ligne);)
        ok += ligne.find("\"status\":\"ok\"") != std::string::npos;
    EXPECT_EQ(ok, 210u) << "the first watch's records are kept, the new pictures added";
}

TEST_F(Surveillance, AFailedPictureMakesTheExitStatusOne)
{
    QProcess processus;
    Demarre(processus, {"-q"});
    WriteFile(dossier + "/casse.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
    Depose("bon.jpg");
    ASSERT_TRUE(Attend([&] { return LitManifeste(manifeste).Statuts.size() >= 2; })) << Lit(bac.path("erreurs.txt"));
    EXPECT_EQ(Arrete(processus), 1);
    const Releve releve = LitManifeste(manifeste);
    EXPECT_EQ(releve.Statuts.at(dossier + "/casse.jpg"), "failed");
    EXPECT_EQ(releve.Statuts.at(dossier + "/bon.jpg"), "ok");
    EXPECT_NE(Lit(bac.path("erreurs.txt")).find("failed: " + dossier + "/casse.jpg"), std::string::npos);
    EXPECT_TRUE(Lit(bac.path("sortie.txt")).empty()) << "-q prints no progress";
}

TEST(SurveillanceRefus, WatchGoesWithOneFolderAndNoRunSplitOrList)
{
    Sandbox bac;
    fs::create_directories(bac.path("d"));
    WriteFile(bac.path("f.jpg"), {1});
    const QString d = Q(bac.path("d"));
    struct Cas {
        QStringList arguments;
        const char* message;
    };
    const Cas cas[] = {
        {{"--watch", d, "--shard", "0/2"}, "--watch cannot be used with --shard"},
        {{"--watch", d, "--summary"}, "--watch cannot be used with --summary"},
        {{"--watch", d, "-n"}, "--watch cannot be used with -n"},
        {{"--watch", d, "--files-from", Q(bac.path("f.jpg"))}, "--watch cannot be used with --files-from"},
        {{"--watch", d, Q(bac.path("f.jpg"))}, "one folder and no other PATH"},
        {{"--watch", d, "--watch", d}, "one folder and no other PATH"},
        {{"--watch", Q(bac.path("f.jpg"))}, "is not a folder"},
        {{"--watch", Q(bac.path("absent"))}, "is not a folder"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Sortie s = Lance(c.arguments);
        EXPECT_EQ(s.code, 2);
        EXPECT_NE(s.erreurs.find(c.message), std::string::npos) << s.erreurs;
    }
}

} // namespace
