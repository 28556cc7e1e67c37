// The template document: the save question, Open, Save, the caption and
// the files that are not templates.

#include "ShellTestSupport.h"

#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include <QFileInfo>

TEST_F(ShellTest, OpenAfterAChangeAsksFirstAndCancelKeepsEverything)
{
    ASSERT_TRUE(Demarre());
    const std::string modele = Modele("vacances.tp2", "VAC");
    Scripted().clear();
    Vue()->SetDlgItemText(1505, "AVANT");
    Document()->SetModifiedFlag(true);

    Scripted().answer(IDCANCEL);
    Scripted().files.push_back({modele});
    Article(57601)->trigger();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Save changes to sample?");
    EXPECT_TRUE(Scripted().fileDialogs.empty()) << "the file dialog came although the user cancelled";
    EXPECT_TRUE(Document()->IsModified());
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "AVANT");
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");

    // No: the changes are dropped and the template's settings take their place.
    Scripted().clear();
    Scripted().answer(IDNO);
    Scripted().files.push_back({modele});
    Article(57601)->trigger();
    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    EXPECT_EQ(Scripted().fileDialogs[0].kind, "open");
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "VAC");
    EXPECT_FALSE(Document()->IsModified());
    EXPECT_EQ(Document()->GetPathName(), modele);
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - vacances");
}

TEST_F(ShellTest, YesSavesBeforeTheCommandGoesOn)
{
    ASSERT_TRUE(Demarre());
    Vue()->SetDlgItemText(1505, "GARDE");
    Document()->SetModifiedFlag(true);
    const std::string cible = bac.path("garde.tp2");
    Scripted().answer(IDYES);
    Scripted().files.push_back({cible});
    Article(57600)->trigger();

    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    EXPECT_EQ(Scripted().fileDialogs[0].kind, "save");
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(cible)));
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "TP") << "New went on after the save";
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");

    // A save the user cancels abandons the command.
    Scripted().clear();
    Vue()->SetDlgItemText(1505, "ENCORE");
    Document()->SetModifiedFlag(true);
    Scripted().answer(IDYES);
    Article(57600)->trigger();
    EXPECT_EQ(Scripted().fileDialogs.size(), 1u);
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "ENCORE");
    EXPECT_TRUE(Document()->IsModified());
}

TEST_F(ShellTest, TheCaptionFollowsTheDocumentTitle)
{
    ASSERT_TRUE(Demarre());
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");

    const std::string cible = bac.path("mon modele.tp2");
    Scripted().files.push_back({cible});
    Article(57604)->trigger();
    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    EXPECT_EQ(Scripted().fileDialogs[0].request.initialPath, "sample.tp2");
    EXPECT_EQ(Scripted().fileDialogs[0].request.defaultExtension, "tp2");
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - mon modele");
    EXPECT_EQ(Document()->GetPathName(), cible);

    // Save now writes to that file without asking; Save As proposes it again.
    Scripted().clear();
    Vue()->SetDlgItemText(1505, "NOUVEAU");
    Article(57603)->trigger();
    EXPECT_TRUE(Scripted().fileDialogs.empty());
    Article(57604)->trigger();
    ASSERT_EQ(Scripted().fileDialogs.size(), 1u);
    EXPECT_EQ(Scripted().fileDialogs[0].request.initialPath, cible);

    Article(57600)->trigger();
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");

    Scripted().files.push_back({cible});
    Article(57601)->trigger();
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "NOUVEAU");
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - mon modele");
}

TEST_F(ShellTest, AShortTemplateLeavesAnUnnamedModifiedDocument)
{
    ASSERT_TRUE(Demarre());
    const std::string modele = Modele("complet.tp2", "COURT");
    std::vector<std::uint8_t> octets = TestImages::ReadFile(modele);
    ASSERT_GT(octets.size(), 100u);
    // Short of the last fields, past the name text.
    octets.resize(octets.size() - 10);
    const std::string tronque = bac.path("tronque.tp2");
    TestImages::WriteFile(tronque, octets);
    Scripted().clear();

    Scripted().files.push_back({tronque});
    Article(57601)->trigger();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Failed to open document.");
    // What was read is kept, but it is no file's content: Save must ask where.
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "COURT");
    EXPECT_TRUE(Document()->IsModified());
    EXPECT_TRUE(Document()->GetPathName().empty());
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");
}

TEST_F(ShellTest, AFileThatIsNoTemplateChangesNeitherTheSettingsNorTheName)
{
    ASSERT_TRUE(Demarre());
    const std::string modele = Modele("bon.tp2", "BON");
    Scripted().files.push_back({modele});
    Article(57601)->trigger();
    ASSERT_EQ(Frame()->windowTitle(), "Tamparo2 - bon");

    std::vector<std::uint8_t> octets = TestImages::ReadFile(modele);
    octets[0] = 190;
    const std::string autre = bac.path("autre.tp2");
    TestImages::WriteFile(autre, octets);
    Scripted().clear();
    Scripted().files.push_back({autre});
    Article(57601)->trigger();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "This file isn't correct.");
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "BON");
    EXPECT_FALSE(Document()->IsModified());
    EXPECT_EQ(Document()->GetPathName(), modele);
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - bon");
    EXPECT_EQ(application->FichiersRecents().Fichiers().front(), modele);
}

TEST_F(ShellTest, ASaveThatFailsIsReportedAndLeavesTheDocumentAsItWas)
{
    ASSERT_TRUE(Demarre());
    Vue()->SetDlgItemText(1505, "PERDU");
    Document()->SetModifiedFlag(true);
    const std::string cible = bac.path("absent/modele.tp2");
    Scripted().files.push_back({cible});
    Article(57603)->trigger();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Failed to save document.");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(cible)));
    EXPECT_TRUE(Document()->IsModified());
    EXPECT_TRUE(Document()->GetPathName().empty());
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");
}
