// A folder dropped on the file list: its pictures join the list, in the
// list's order, with those of its sub-folders when the user says so.

#include "ScriptedInteraction.h"
#include "VueTestSupport.h"

#include <QTreeWidget>

#include <filesystem>

namespace {

using Dossier = VueTest;

TEST_F(Dossier, ADroppedFolderAddsItsPicturesAndItsSubFoldersOnlyWhenAnsweredYes)
{
    std::filesystem::create_directories(bac.path("photos/vacances"));
    std::filesystem::create_directories(bac.path("vide"));
    const std::string a2 = Image("photos/a2.bmp", 10, 10);
    const std::string a10 = Image("photos/A10.jpg", 10, 10);
    const std::string b = Image("photos/vacances/b.bmp", 10, 10);
    TestImages::WriteFile(bac.path("photos/notes.txt"), {'x'});
    std::filesystem::create_symlink(bac.path("photos"), bac.path("photos/vacances/retour"));

    const struct {
        const char* dossier;
        int reponse; // 0: no question
        std::vector<std::string> lignes;
    } cas[] = {
        {"photos", IDYES, {a2, a10, b}},
        {"photos", IDNO, {a2, a10}},
        {"vide", 0, {}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.dossier) + " " + std::to_string(c.reponse));
        vue->Liste()->clear();
        Scripted().clear();
        if (c.reponse)
            Scripted().answer(c.reponse);
        Depose({bac.path(c.dossier)});
        EXPECT_EQ(Lignes(), c.lignes);
        ASSERT_EQ(Scripted().shown.size(), c.reponse ? 1u : 0u);
        if (c.reponse) {
            EXPECT_EQ(Scripted().shown[0].text,
                      "The folder " + bac.path(c.dossier) + " holds sub-folders.\nInclude sub-folders?");
        }
    }
}

TEST_F(Dossier, AFolderWithoutSubFoldersAsksNothingAndMixesWithDroppedFiles)
{
    std::filesystem::create_directories(bac.path("plat"));
    const std::string c = Image("plat/c.bmp", 10, 10);
    const std::string z = Image("z.bmp", 20, 10);
    Depose({bac.path("plat"), z});
    EXPECT_TRUE(Scripted().shown.empty());
    EXPECT_EQ(Lignes(), (std::vector<std::string>{c, z}));
    EXPECT_EQ(Compteur(), "(2/2)");
}

} // namespace
