// A run split into shards through the built program: each picture falls to
// one task; their manifests add up.

#include "CGraphique.h"
#include "CliTestSupport.h"
#include "ModeleSignature.h"
#include "TestImages.h"

#include <QDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

using namespace CliTest;
using namespace TestImages;
namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Sets or clears an environment variable for the programs started while it lives.
class Variable {
public:
    Variable(const char* nom, const std::optional<QByteArray>& valeur) : m_Nom(nom), m_Avant(qgetenv(nom)),
                                                                          m_Existait(qEnvironmentVariableIsSet(nom))
    {
        if (valeur)
            qputenv(nom, *valeur);
        else
            qunsetenv(nom);
    }
    ~Variable()
    {
        if (m_Existait)
            qputenv(m_Nom, m_Avant);
        else
            qunsetenv(m_Nom);
    }

private:
    const char* m_Nom;
    QByteArray m_Avant;
    bool m_Existait;
};

class Shards : public testing::Test {
protected:
    void SetUp() override
    {
        ModeleSignature r;
        r.Texte = "Shard";
        r.Fonte.lfHeight = -12;
        ASSERT_TRUE(r.SauveFichier(bac.path("modele.tp2")));
        for (int i = 0; i < 12; ++i) {
            const std::string nom = bac.path("src/" + std::string(i % 3 ? "" : "sub/") + "p" + std::to_string(i) + ".jpg");
            fs::create_directories(fs::path(nom).parent_path());
            HBITMAP image = Gradient(48 + i, 32);
            ASSERT_EQ(graphique.SauveImage(nom, image, 90), 1);
            DeleteObject(image);
        }
    }
    QStringList Base(const std::string& sortie) const
    {
        return {"-q", "-r", "-t", Q(bac.path("modele.tp2")), "-o", Q(bac.path(sortie)), Q(bac.path("src"))};
    }

    Sandbox bac;
    CGraphique graphique;
};

TEST_F(Shards, AutoWithoutAnIndexAndAnIndexPastTheCountAreUsageErrors)
{
    struct Cas {
        QString part;
        std::optional<QByteArray> slurm, kubernetes;
        std::string raison;
    };
    const Cas cas[] = {
        {"auto/4", std::nullopt, std::nullopt, "neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX"},
        {"auto/4", QByteArray("4"), std::nullopt, "outside 0..3"},
        {"auto/4", std::nullopt, QByteArray("9"), "outside 0..3"},
        {"4/4", std::nullopt, std::nullopt, "from 0 to N-1"},
        {"1/0", std::nullopt, std::nullopt, "N from 1"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.part.toStdString());
        const Variable slurm("SLURM_ARRAY_TASK_ID", c.slurm);
        const Variable kubernetes("JOB_COMPLETION_INDEX", c.kubernetes);
        const Sortie sortie = Lance(Base("out") + QStringList{"--shard", c.part});
        EXPECT_EQ(sortie.code, 2);
        EXPECT_NE(sortie.erreurs.find(c.raison), std::string::npos) << sortie.erreurs;
        EXPECT_FALSE(fs::exists(bac.path("out"))) << "nothing written";
    }
}

TEST_F(Shards, EachPictureFallsToOneTaskAndTheirManifestsAddUp)
{
    // The dry run shows each task its share: together, each picture once.
    std::map<std::string, int> vues;
    for (int i = 0; i < 3; ++i) {
        const Sortie simulation = Lance(Base("parts") + QStringList{"-n", "--shard", QString("%1/3").arg(i)});
        ASSERT_EQ(simulation.code, 0) << simulation.erreurs;
        std::size_t debut = 0;
        for (std::size_t fin; (fin = simulation.standard.find('\n', debut)) != std::string::npos; debut = fin + 1)
            ++vues[simulation.standard.substr(debut, simulation.standard.find(" -> ", debut) - debut)];
    }
    EXPECT_EQ(vues.size(), 12u);
    for (const auto& [source, fois] : vues)
        EXPECT_EQ(fois, 1) << source;

    ASSERT_TRUE(QDir().mkpath(Q(bac.path("m"))));
    const QStringList manifeste{"--manifest", Q(bac.path("m/shard-%I.jsonl"))};
    for (int i = 0; i < 2; ++i) {
        const Sortie part = Lance(Base("parts") + manifeste + QStringList{"--shard", QString("%1/3").arg(i)});
        EXPECT_EQ(part.code, 0) << part.erreurs;
    }
    {
        // The last task as Kubernetes starts it.
        const Variable slurm("SLURM_ARRAY_TASK_ID", std::nullopt);
        const Variable kubernetes("JOB_COMPLETION_INDEX", QByteArray("2"));
        const Sortie part = Lance(Base("parts") + manifeste + QStringList{"--shard", "auto/3"});
        EXPECT_EQ(part.code, 0) << part.erreurs;
    }

    const QStringList manifestes{Q(bac.path("m/shard-0.jsonl")), Q(bac.path("m/shard-1.jsonl")),
                                 Q(bac.path("m/shard-2.jsonl"))};
    Sortie bilan = Lance(QStringList{"--summary"} + manifestes);
    EXPECT_EQ(bilan.code, 0) << bilan.erreurs;
    EXPECT_EQ(bilan.standard, "3 manifests, 12 records, 12 pictures: 12 ok, 0 skipped, 0 failed\n");

    // A broken picture joins; every task runs again: the rest is skipped,
    // the broken one fails in exactly one shard.
    WriteFile(bac.path("src/sub/zz.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J'});
    int echecs = 0;
    for (int i = 0; i < 3; ++i) {
        const Sortie part = Lance(Base("parts") + manifeste + QStringList{"--shard", QString("%1/3").arg(i)});
        echecs += part.code == 1;
        EXPECT_TRUE(part.code == 0 || part.code == 1) << part.erreurs;
    }
    EXPECT_EQ(echecs, 1);
    bilan = Lance(QStringList{"--summary"} + manifestes);
    EXPECT_EQ(bilan.code, 1);
    EXPECT_EQ(bilan.standard.substr(0, bilan.standard.find('\n')),
              "3 manifests, 13 records, 13 pictures: 0 ok, 12 skipped, 1 failed");
    EXPECT_NE(bilan.standard.find("failed: " + bac.path("src/sub/zz.jpg") + ": "), std::string::npos)
        << bilan.standard;

    bilan = Lance({"--summary", Q(bac.path("m/shard-0.jsonl")), Q(bac.path("m/absent.jsonl"))});
    EXPECT_EQ(bilan.code, 2);
    EXPECT_NE(bilan.erreurs.find("absent.jsonl"), std::string::npos) << bilan.erreurs;
    EXPECT_EQ(Lance({"--summary"}).code, 2) << "no manifest";
}

} // namespace
