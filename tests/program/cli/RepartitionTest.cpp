// Shards: the hash every machine agrees on, the "I/N" and "auto/N" forms,
// and a listing's share, which must cover each picture exactly once.

#include "ListeTravaux.h"
#include "OptionsCli.h"
#include "Repartition.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

using namespace TestImages;
namespace fs = std::filesystem;

namespace {

TEST(RepartitionTest, TheHashIsFixedBytesInNumberOut)
{
    // Worked out apart from this code (FNV-1a 64, then the Murmur3 final
    // mix): a change here moves pictures between the tasks of a run.
    struct Cas {
        std::string octets;
        std::uint64_t attendu;
    };
    const Cas cas[] = {
        {"", 0xefd01f60ba992926ull},
        {"a.jpg", 0x57e45b66c4c401a7ull},
        {"2026/06/IMG_0001.JPG", 0x24f6a9ecf4a2e52eull},
        {"\xc3\xa9t\xc3\xa9/\xc3\xbc.gif", 0xfe2cefa88eeae614ull},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(Repartition::Hache(c.octets), c.attendu) << c.octets;
}

TEST(RepartitionTest, EveryNameFallsInExactlyOneShardAndTheSharesAreEven)
{
    const char* motifs[] = {"2026/%02d/IMG_%05d.JPG", "DSC%05d.jpg", "shoot-%d/frame %d.bmp"};
    constexpr int kNoms = 10000;
    for (const char* motif : motifs) {
        std::vector<std::string> noms;
        for (int i = 0; i < kNoms; ++i) {
            char nom[64];
            if (std::string(motif).find("%02d") != std::string::npos)
                std::snprintf(nom, sizeof nom, motif, i % 12 + 1, i);
            else if (std::string(motif).find("shoot") != std::string::npos)
                std::snprintf(nom, sizeof nom, motif, i / 100, i);
            else
                std::snprintf(nom, sizeof nom, motif, i);
            noms.push_back(nom);
        }
        for (std::uint32_t n = 1; n <= 7; ++n) {
            std::vector<int> parts(n);
            for (const std::string& nom : noms) {
                int dans = 0;
                for (std::uint32_t i = 0; i < n; ++i)
                    if (Repartition(i, n).Contient(nom)) {
                        ++dans;
                        ++parts[i];
                    }
                ASSERT_EQ(dans, 1) << nom << " in " << n << " shards";
            }
            const double moyenne = double(kNoms) / n;
            for (std::uint32_t i = 0; i < n; ++i)
                EXPECT_LE(std::abs(parts[i] - moyenne) / moyenne, 0.06) << motif << " shard " << i << "/" << n;
        }
    }
}

TEST(RepartitionTest, IndexAndCountFromTheArgumentOrTheEnvironment)
{
    struct Cas {
        std::string texte;
        std::map<std::string, std::string> environnement;
        bool lu;
        std::uint32_t indice, nombre;
        std::string raison; // a part of the error
    };
    const std::map<std::string, std::string> aucun;
    const Cas cas[] = {
        {"0/1", aucun, true, 0, 1, ""},
        {"3/4", aucun, true, 3, 4, ""},
        {"4/4", aucun, false, 0, 0, "from 0 to N-1"},
        {"-1/4", aucun, false, 0, 0, ""},
        {"x/4", aucun, false, 0, 0, ""},
        {"3/0", aucun, false, 0, 0, "N from 1"},
        {"3/", aucun, false, 0, 0, ""},
        {"/4", aucun, false, 0, 0, ""},
        {"3", aucun, false, 0, 0, ""},
        {"1/4x", aucun, false, 0, 0, ""},
        {"1/1000001", aucun, false, 0, 0, ""},
        {"auto/4", aucun, false, 0, 0, "neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX"},
        {"auto/4", {{"SLURM_ARRAY_TASK_ID", "2"}}, true, 2, 4, ""},
        {"auto/4", {{"JOB_COMPLETION_INDEX", "3"}}, true, 3, 4, ""},
        {"auto/4", {{"SLURM_ARRAY_TASK_ID", "1"}, {"JOB_COMPLETION_INDEX", "3"}}, true, 1, 4, ""},
        {"auto/4", {{"SLURM_ARRAY_TASK_ID", ""}, {"JOB_COMPLETION_INDEX", "0"}}, true, 0, 4, ""},
        {"auto/4", {{"SLURM_ARRAY_TASK_ID", "4"}}, false, 0, 0, "outside 0..3"},
        {"auto/1", {{"SLURM_ARRAY_TASK_ID", "3"}}, false, 0, 0, "outside 0..0"},
        {"auto/4", {{"JOB_COMPLETION_INDEX", "two"}}, false, 0, 0, "not an index"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.texte);
        std::string erreur;
        const auto part = Repartition::Lit(
            c.texte,
            [&c](const char* nom) -> const char* {
                const auto v = c.environnement.find(nom);
                return v == c.environnement.end() ? nullptr : v->second.c_str();
            },
            erreur);
        ASSERT_EQ(part.has_value(), c.lu) << erreur;
        if (part) {
            EXPECT_EQ(part->Indice(), c.indice);
            EXPECT_EQ(part->Nombre(), c.nombre);
        } else {
            EXPECT_NE(erreur.find(c.raison), std::string::npos) << erreur;
        }
    }
}

TEST(RepartitionTest, ManifestNamesTakeTheIndex)
{
    const Repartition trois(3, 8);
    EXPECT_EQ(trois.Nomme("m/shard-%I.jsonl"), "m/shard-3.jsonl");
    EXPECT_EQ(trois.Nomme("%I-%I"), "3-3");
    EXPECT_EQ(trois.Nomme("100%"), "100%");
    EXPECT_EQ(trois.Nomme("%i%%I"), "%i%3");
    EXPECT_EQ(Repartition().Nomme("run-%I.jsonl"), "run-0.jsonl");
}

TEST(RepartitionTest, TheOptionsCarryTheShardAndTheManifestsToAddUp)
{
    OptionsCli o;
    ASSERT_TRUE(o.Lit({"--shard=2/5", "--manifest", "m-%I.jsonl", "x"})) << o.Erreur;
    EXPECT_EQ(o.Part.Indice(), 2u);
    EXPECT_EQ(o.Part.Nombre(), 5u);
    EXPECT_FALSE(o.Bilan);
    EXPECT_EQ(OptionsCli().Part.Nombre(), 1u) << "without --shard, the whole run";

    OptionsCli bilan;
    ASSERT_TRUE(bilan.Lit({"--summary", "a.jsonl", "b.jsonl"})) << bilan.Erreur;
    EXPECT_TRUE(bilan.Bilan);
    EXPECT_EQ(bilan.Chemins, (std::vector<std::string>{"a.jsonl", "b.jsonl"}));

    OptionsCli vide;
    EXPECT_FALSE(vide.Lit({"--summary"}));
    EXPECT_EQ(vide.Erreur, "--summary: no manifest given");
    OptionsCli mauvaise;
    EXPECT_FALSE(mauvaise.Lit({"--shard", "5/5", "x"}));
    EXPECT_NE(mauvaise.Erreur.find("from 0 to N-1"), std::string::npos) << "the precise reason, not a generic one";
}

// A listing split N ways, as sets of keys per shard.
std::vector<std::set<std::string>> Parts(const std::vector<std::string>& arguments, std::uint32_t n)
{
    std::vector<std::set<std::string>> parts(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        ListeTravaux liste(ModeleSignature(), "", true);
        for (const std::string& a : arguments)
            liste.Ajoute(a);
        liste.Termine();
        liste.Partage(Repartition(i, n));
        EXPECT_EQ(liste.Travaux().size(), liste.Cles().size());
        parts[i].insert(liste.Cles().begin(), liste.Cles().end());
    }
    return parts;
}

TEST(RepartitionTest, AListingsShareDependsOnNeitherArgumentOrderNorWhereTheTreeIsMounted)
{
    Sandbox bac;
    std::set<std::string> toutes;
    for (const char* racine : {"un", "ailleurs/deux"})
        for (int i = 0; i < 40; ++i) {
            const std::string relatif = (i % 3 ? "sub" + std::to_string(i % 3) + "/" : std::string()) + "p" +
                                        std::to_string(i) + (i % 2 ? ".jpg" : ".BMP");
            fs::create_directories((fs::path(bac.path(racine)) / relatif).parent_path());
            WriteFile((fs::path(bac.path(racine)) / relatif).string(), {'x'});
            toutes.insert(relatif);
        }
    WriteFile(bac.path("seule.gif"), {'x'});

    for (std::uint32_t n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        const auto un = Parts({bac.path("un")}, n);
        const auto deux = Parts({bac.path("ailleurs/deux")}, n);
        EXPECT_EQ(un, deux) << "the same tree elsewhere splits alike";

        std::multiset<std::string> couvertes;
        for (const auto& part : un)
            couvertes.insert(part.begin(), part.end());
        EXPECT_EQ(couvertes, std::multiset<std::string>(toutes.begin(), toutes.end())) << "each picture once";

        // A picture named itself and through its folder keeps one shard,
        // whichever comes first.
        const std::string p3 = bac.path("un") + "/p3.jpg";
        const auto avant = Parts({p3, bac.path("un"), bac.path("seule.gif")}, n);
        const auto apres = Parts({bac.path("seule.gif"), bac.path("un"), p3}, n);
        EXPECT_EQ(avant, apres);
        std::size_t total = 0;
        for (const auto& part : avant)
            total += part.size();
        EXPECT_EQ(total, toutes.size() + 1) << "the first tree and seule.gif";
    }
}

TEST(RepartitionTest, ACollisionIsReportedByTheShardOfItsSignedPicture)
{
    Sandbox bac;
    // x/a.jpg and y/a.jpg both give out/TPa.jpg.
    for (const char* nom : {"x/a.jpg", "y/a.jpg", "x/b.jpg"}) {
        fs::create_directories(fs::path(bac.path(nom)).parent_path());
        WriteFile(bac.path(nom), {'x'});
    }
    for (std::uint32_t n = 1; n <= 5; ++n) {
        std::size_t collisions = 0;
        std::size_t refusees = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            ListeTravaux liste(ModeleSignature(), bac.path("out"), false);
            liste.Ajoute(bac.path("x"));
            liste.Ajoute(bac.path("y"));
            liste.Termine();
            liste.Partage(Repartition(i, n));
            collisions += liste.Collisions().size();
            for (const Travail& t : liste.Travaux())
                refusees += !t.Refus.empty();
        }
        EXPECT_EQ(collisions, 1u) << n;
        EXPECT_EQ(refusees, 1u) << n;
    }
}

} // namespace
