// The totals of manifests: their lines read back, hostile ones refused
// without reading past them, and pictures counted once across shards.

#include "Bilan.h"
#include "Manifeste.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using namespace TestImages;

namespace {

TEST(BilanTest, LinesAsTheManifestWritesThemAndAsAPersonMightReadBack)
{
    struct Cas {
        std::string ligne;
        bool lu;
        std::string source, statut, erreur;
    };
    const Cas cas[] = {
        {R"({"source":"/a.jpg","destination":"/TPa.jpg","status":"ok","error":"","ms":12})", true, "/a.jpg", "ok", ""},
        {R"( { "ms" : -1.5e3 , "status" : "failed", "source" : "b", "error" : "Unable \"x\"", "n": null } )", true, "b",
         "failed", "Unable \"x\""},
        {R"({"source":"\u00e9t\u00E9\ud83d\udcf7\/\\","status":"skipped"})", true,
         "\xc3\xa9t\xc3\xa9\xf0\x9f\x93\xb7/\\", "skipped", ""},
        {R"({"source":"lone\ud800x","status":"ok"})", true, "lone\xef\xbf\xbdx", "ok", ""},
        {R"({"source":"t\tn\nr\r","status":"ok","error":"\b\f"})", true, "t\tn\nr\r", "ok", "\b\f"},
        // Qt's JSON reader: raw bytes that are not UTF-8 make no JSON, an
        // unknown escape is the letter and a raw control character passes.
        {"{\"source\":\"\xff raw bytes\",\"status\":\"ok\"}", false, "", "", ""},
        {R"({"source":"a","status":"done"})", false, "", "", ""},
        {R"({"source":"","status":"ok"})", false, "", "", ""},
        {R"({"status":"ok"})", false, "", "", ""},
        {R"({"source":"a","status":"ok"} x)", false, "", "", ""},
        {R"({"source":"a","status":"ok")", false, "", "", ""},
        {R"({"source":"a","status":"ok",})", false, "", "", ""},
        {R"({"source":"a)", false, "", "", ""},
        {R"({"source":"a\)", false, "", "", ""},
        {R"({"source":"a\u12)", false, "", "", ""},
        {R"({"source":"a\u12zz","status":"ok"})", false, "", "", ""},
        {R"({"source":"a\q","status":"ok"})", true, "aq", "ok", ""},
        {"{\"source\":\"a\x01\",\"status\":\"ok\"}", true, "a\x01", "ok", ""},
        {R"({"source":{"x":1},"status":"ok"})", false, "", "", ""},
        {"", false, "", "", ""},
        {"{", false, "", "", ""},
        {"{}", false, "", "", ""},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.ligne);
        // An exact-size copy, so a read past the end shows under the sanitizers.
        const std::vector<char> octets(c.ligne.begin(), c.ligne.end());
        Bilan::Enregistrement e;
        ASSERT_EQ(Bilan::LitLigne(std::string_view(octets.data(), octets.size()), e), c.lu);
        if (c.lu) {
            EXPECT_EQ(e.Source, c.source);
            EXPECT_EQ(e.Statut, c.statut);
            EXPECT_EQ(e.Erreur, c.erreur);
        }
    }
}

TEST(BilanTest, WhatManifesteWritesReadsBackWhateverTheName)
{
    for (const std::string& nom : std::vector<std::string>{"plain.jpg", "say \"hi\"\\ \n\t.jpg", "\xc3\xa9t\xc3\xa9 \xf0\x9f\x93\xb7.gif",
                                                           std::string("\x01\x7f.bmp", 6)}) {
        const Travail t{nom, "TP" + nom, {}};
        CompteRendu compte;
        compte.Objet = &t;
        compte.Etat = CompteRendu::Statut::Echec;
        compte.Erreur = "why: " + nom;
        std::string ligne = Manifeste::Ligne(compte);
        Bilan::Enregistrement e;
        ASSERT_TRUE(Bilan::LitLigne(ligne, e)) << ligne;
        EXPECT_EQ(e.Source, nom);
        EXPECT_EQ(e.Statut, "failed");
        EXPECT_EQ(e.Erreur, "why: " + nom);
    }
}

TEST(BilanTest, ShardsAddUpAndARerunCountsEachPictureByItsBestStatus)
{
    Sandbox bac;
    const auto ecrit = [&](const std::string& nom, const std::string& texte) {
        WriteFile(bac.path(nom), std::vector<std::uint8_t>(texte.begin(), texte.end()));
        return bac.path(nom);
    };
    const std::string zero = ecrit("shard-0.jsonl", "{\"source\":\"a\",\"status\":\"ok\"}\n"
                                                    "{\"source\":\"b\",\"status\":\"failed\",\"error\":\"bad\"}\n"
                                                    "\n"
                                                    "{\"source\":\"c\",\"status\":\"skipped\"}\r\n");
    const std::string un = ecrit("shard-1.jsonl", "{\"source\":\"d\",\"status\":\"failed\",\"error\":\"gone\"}\n"
                                                  "{\"source\":\"e\",\"status\":\"ok\"}\n"
                                                  "{\"source\":\"f\",\"sta"); // killed mid-line
    // shard 0 run again into another file: b now signed, a passed.
    const std::string encore = ecrit("shard-0-retry.jsonl", "{\"source\":\"b\",\"status\":\"ok\"}\n"
                                                            "{\"source\":\"a\",\"status\":\"skipped\"}\n");

    Bilan bilan;
    ASSERT_TRUE(bilan.Ajoute(zero));
    ASSERT_TRUE(bilan.Ajoute(un));
    EXPECT_EQ(bilan.Texte(), "2 manifests, 5 records, 5 pictures: 2 ok, 1 skipped, 2 failed\n"
                             "failed: b: bad\n"
                             "failed: d: gone\n");
    EXPECT_EQ(bilan.Illisibles(), std::vector<std::string>{un + ":3"});

    ASSERT_TRUE(bilan.Ajoute(encore));
    EXPECT_EQ(bilan.Signes(), 3u);
    EXPECT_EQ(bilan.Passes(), 1u);
    EXPECT_EQ(bilan.Echecs(), 1u);
    EXPECT_EQ(bilan.Texte(), "3 manifests, 7 records, 5 pictures: 3 ok, 1 skipped, 1 failed\nfailed: d: gone\n");

    EXPECT_FALSE(bilan.Ajoute(bac.path("absent.jsonl")));
    EXPECT_NE(bilan.Erreur.find("absent.jsonl"), std::string::npos) << bilan.Erreur;
}

} // namespace
