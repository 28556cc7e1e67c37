// The default workers inside a container's limits, and file names that are
// not UTF-8 kept byte for byte from the manifest to the summary.

#include "Bilan.h"
#include "CGraphique.h"
#include "CliTestSupport.h"
#include "EtapeSignature.h"
#include "LimitesConteneur.h"
#include "Manifeste.h"
#include "ModeleSignature.h"
#include "TestImages.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace TestImages;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kGio = std::uint64_t(1) << 30;

TEST(LimitesConteneurTest, TheGroupsCoresAndMemoryLowerTheDefaultWorkers)
{
    struct Cas {
        const char* cpu;      // null: no such file
        const char* memoire;  // memory.max
        const char* courante; // memory.current
        int coeursHote;
        std::uint64_t disponibleHote;
        int coeurs;
        std::uint64_t disponible;
        int travailleurs;
    };
    const Cas cas[] = {
        {"100000 100000\n", "1073741824\n", nullptr, 8, 16 * kGio, 1, kGio, 1},
        // No limit: the host's figures, as without a container.
        {nullptr, nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"max 100000\n", "max\n", "123456\n", 8, 16 * kGio, 8, 16 * kGio, 8},
        {"max 100000\n", "max\n", nullptr, 8, 0, 8, 0, 8},
        {nullptr, nullptr, nullptr, 0, kGio / 1024, 1, kGio / 1024, 1},
        // Quotas round up and never raise the host's cores.
        {"250000 100000\n", nullptr, nullptr, 8, 16 * kGio, 3, 16 * kGio, 3},
        {"50000 100000\n", nullptr, nullptr, 8, 16 * kGio, 1, 16 * kGio, 1},
        {"400000 100000\n", nullptr, nullptr, 2, 16 * kGio, 2, 16 * kGio, 2},
        {"18446744073709551615 1\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        // Malformed quotas set no limit.
        {"garbage\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"0 100000\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"-5 100\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"100000 0\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"100000\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"100000 100000 1\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"99999999999999999999999 100000\n", nullptr, nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {"", "", "", 8, 16 * kGio, 8, 16 * kGio, 8},
        // Memory: what the group leaves, unless the host has less.
        {nullptr, "536870912\n", nullptr, 8, 16 * kGio, 8, kGio / 2, 4},
        {nullptr, "1073741824\n", "536870912\n", 8, 16 * kGio, 8, kGio / 2, 4},
        {nullptr, "1073741824\n", "2147483648\n", 8, 16 * kGio, 8, 1, 1},
        {nullptr, "1073741824\n", "x\n", 8, 16 * kGio, 8, kGio, 8},
        {nullptr, "1073741824\n", nullptr, 8, kGio / 4, 8, kGio / 4, 2},
        {nullptr, "536870912\n", nullptr, 8, 0, 8, kGio / 2, 4},
        {nullptr, "-1\n", nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {nullptr, "12abc\n", nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
        {nullptr, "0\n", nullptr, 8, 16 * kGio, 8, 16 * kGio, 8},
    };
    // A 12 MP photograph's working memory.
    const std::uint64_t parImage = EtapeSignature::MemoireDeTravail(4000, 3000, 4000000);
    ASSERT_EQ(parImage, 100000000u);
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << (c.cpu ? c.cpu : "-") << " | " << (c.memoire ? c.memoire : "-") << " | "
                                        << (c.courante ? c.courante : "-") << " | " << c.coeursHote);
        Sandbox bac;
        const std::string groupe = bac.path("cgroup");
        fs::create_directory(groupe);
        const auto ecrit = [&](const char* nom, const char* texte) {
            if (texte)
                WriteFile(groupe + "/" + nom, std::vector<std::uint8_t>(texte, texte + std::strlen(texte)));
        };
        ecrit("cpu.max", c.cpu);
        ecrit("memory.max", c.memoire);
        ecrit("memory.current", c.courante);
        const LimitesConteneur limites = LimitesConteneur::Lit(groupe);
        EXPECT_EQ(limites.Coeurs(c.coeursHote), c.coeurs);
        EXPECT_EQ(limites.Disponible(c.disponibleHote), c.disponible);
        EXPECT_EQ(limites.Travailleurs(c.coeursHote, c.disponibleHote, parImage), c.travailleurs);
    }
    // A file too long to be the kernel's is no limit either.
    Sandbox bac;
    WriteFile(bac.path("cpu.max"), std::vector<std::uint8_t>(4096, '1'));
    EXPECT_EQ(LimitesConteneur::Lit(fs::path(bac.path("cpu.max")).parent_path().string()).Coeurs(8), 8);
}

CompteRendu Compte(const Travail& travail, CompteRendu::Statut etat)
{
    CompteRendu compte;
    compte.Objet = &travail;
    compte.Etat = etat;
    return compte;
}

TEST(ManifesteOctetsTest, NamesThatAreNotUtf8KeepTheirBytesAndStayReadable)
{
    const Travail latin{"photos/caf\xe9.jpg", "sign\xe9/TPcaf\xe9.jpg", {}};
    const std::string ligne = Manifeste::Ligne(Compte(latin, CompteRendu::Statut::Echec));
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(ligne));
    ASSERT_TRUE(document.isObject()) << ligne;
    EXPECT_EQ(document["source"].toString(), QString::fromUtf8("photos/caf\xef\xbf\xbd.jpg"));
    EXPECT_EQ(document["source_b64"].toString(), QByteArray("photos/caf\xe9.jpg").toBase64());
    EXPECT_EQ(document["destination_b64"].toString(), QByteArray("sign\xe9/TPcaf\xe9.jpg").toBase64());
    EXPECT_EQ(ligne.find("\"source\""), 1u) << "the fields keep their order";
    EXPECT_LT(ligne.find("\"source_b64\""), ligne.find("\"destination\"")) << ligne;
    Bilan::Enregistrement e;
    ASSERT_TRUE(Bilan::LitLigne(ligne, e));
    EXPECT_EQ(e.Source, latin.Source);
    EXPECT_EQ(e.Destination, latin.Destination);

    // UTF-8 names write the lines they always did.
    const Travail utf8{"caf\xc3\xa9.jpg", "TPcaf\xc3\xa9.jpg", {}};
    EXPECT_EQ(Manifeste::Ligne(Compte(utf8, CompteRendu::Statut::Signe)),
              "{\"source\":\"caf\xc3\xa9.jpg\",\"destination\":\"TPcaf\xc3\xa9.jpg\",\"status\":\"ok\","
              "\"error\":\"\",\"ms\":0}\n");

    // Bytes that cannot be decoded make no record rather than a wrong one.
    for (const char* mauvaise : {R"({"source":"a","source_b64":"@@@","status":"ok"})",
                                 R"({"source":"a","source_b64":12,"status":"ok"})",
                                 R"({"source":12,"source_b64":"YQ==","status":"ok"})",
                                 R"({"source":"a","source_b64":"","status":"ok"})"})
        EXPECT_FALSE(Bilan::LitLigne(mauvaise, e)) << mauvaise;
}

TEST(ManifesteOctetsTest, TwoNamesOneByteApartAreTwoPicturesAndTheFailureShows)
{
    Sandbox bac;
    // Sandbox::path and QTemporaryDir would pass the names through a QString.
    const std::string photos = bac.path("photos");
    const std::string source = photos + "/caf\xe9.jpg";
    const std::string abimee = photos + "/caf\xe8.jpg";
    fs::create_directory(photos);
    {
        CGraphique graphique;
        HBITMAP image = Gradient(96, 64);
        ASSERT_EQ(graphique.SauveImage(bac.path("a.jpg"), image, 90), 1);
        DeleteObject(image);
    }
    fs::rename(bac.path("a.jpg"), source);
    WriteFile(abimee, {0xFF, 0xD8, 'x', 'y', 'z'});
    ModeleSignature modele;
    modele.Texte = "Tamparo";
    ASSERT_TRUE(modele.SauveFichier(bac.path("modele.tp2")));

    // The folder, whose listing keeps the names' bytes.
    const CliTest::Sortie run = CliTest::Lance({"-q", "-t", QString::fromStdString(bac.path("modele.tp2")), "--manifest",
                                                QString::fromStdString(bac.path("m.jsonl")), QString::fromStdString(photos)});
    EXPECT_EQ(run.code, 1) << run.erreurs;
    EXPECT_TRUE(fs::exists(photos + "/TPcaf\xe9.jpg")) << run.erreurs;

    const CliTest::Sortie bilan = CliTest::Lance({"--summary", QString::fromStdString(bac.path("m.jsonl"))});
    EXPECT_EQ(bilan.code, 1) << bilan.standard << bilan.erreurs;
    EXPECT_EQ(bilan.standard.substr(0, bilan.standard.find('\n')),
              "1 manifest, 2 records, 2 pictures: 1 ok, 0 skipped, 1 failed");
    EXPECT_NE(bilan.standard.find("failed: " + abimee + ": "), std::string::npos) << bilan.standard;

    // The same two named one by one in a list: each path keeps its bytes too.
    fs::remove(photos + "/TPcaf\xe9.jpg");
    const std::string liste = source + "\n" + abimee + "\n";
    WriteFile(bac.path("liste.txt"), std::vector<std::uint8_t>(liste.begin(), liste.end()));
    const CliTest::Sortie parListe =
        CliTest::Lance({"-q", "-t", QString::fromStdString(bac.path("modele.tp2")), "--manifest",
                        QString::fromStdString(bac.path("m2.jsonl")), "--files-from", QString::fromStdString(bac.path("liste.txt"))});
    EXPECT_EQ(parListe.code, 1) << parListe.erreurs;
    EXPECT_TRUE(fs::exists(photos + "/TPcaf\xe9.jpg")) << parListe.erreurs;
    const CliTest::Sortie bilanListe = CliTest::Lance({"--summary", QString::fromStdString(bac.path("m2.jsonl"))});
    EXPECT_EQ(bilanListe.code, 1);
    EXPECT_EQ(bilanListe.standard.substr(0, bilanListe.standard.find('\n')),
              "1 manifest, 2 records, 2 pictures: 1 ok, 0 skipped, 1 failed");
    fs::remove_all(photos);
}

} // namespace
