// Start-up, window placement, New and the end of the program.

#include "ShellTestSupport.h"

#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include "Screen.h"

#include <QApplication>
#include <QFile>
#include <QSettings>

namespace {

bool FenetreVisible()
{
    for (QWidget* fenetre : QApplication::topLevelWidgets())
        if (fenetre->isVisible())
            return true;
    return false;
}

} // namespace

TEST(Emplacement, AtMost800PixelsWideTheWindowFillsTheDisplayFromTheCorner)
{
    EXPECT_EQ(CMainFrame::Emplacement({800, 600}, {37, 41}), CRect(0, 0, 800, 600));
    EXPECT_EQ(CMainFrame::Emplacement({640, 480}, {37, 41}), CRect(0, 0, 640, 480));
    EXPECT_EQ(CMainFrame::Emplacement({801, 600}, {37, 41}), CRect(37, 41, 37 + 748, 41 + 731));
    EXPECT_EQ(CMainFrame::Emplacement({1920, 1080}, {0, 0}), CRect(0, 0, 748, 731));
}

TEST_F(ShellTest, TheShownWindowStartsWhereThePlacementRuleSaysAndCanBeResized)
{
    Screen::simulate({800, 600}, 32);
    ASSERT_TRUE(Demarre());
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->pos(), QPoint(0, 0));
    EXPECT_EQ(Frame()->size(), QSize(800, 600));

    NouvelleApplication();
    Screen::simulate({801, 600}, 32);
    ASSERT_TRUE(Demarre());
    EXPECT_EQ(Frame()->size(), QSize(748, 731));
    const Qt::WindowFlags drapeaux = Frame()->windowFlags();
    EXPECT_TRUE(drapeaux & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(drapeaux & Qt::WindowMaximizeButtonHint);
    EXPECT_LT(Frame()->minimumWidth(), Frame()->maximumWidth());
    EXPECT_LT(Frame()->minimumHeight(), Frame()->maximumHeight());
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");
}

TEST_F(ShellTest, AnUnreadableTemplateEndsStartUpBeforeAnyWindowAndStoresNothing)
{
    const std::string absent = bac.path("absent.tp2");
    EXPECT_FALSE(application->InitInstance({QString::fromStdString(absent)}));
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_FALSE(FenetreVisible());
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_NE(Scripted().shown[0].text.find(absent), std::string::npos);
    EXPECT_NE(Scripted().shown[0].text.find("Cannot find this file."), std::string::npos);

    // The view never read the stored settings, so it must not have replaced them.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(bac.path("config/Quillon/Tamparo2.conf"))));
}

TEST_F(ShellTest, ATemplateNamedAtStartUpReplacesTheStoredSettingsAndNamesTheWindow)
{
    ASSERT_TRUE(Demarre());
    const std::string modele = Modele("signature photos.tp2", "MODELE");
    NouvelleApplication();

    ASSERT_TRUE(Demarre({QString::fromStdString(modele)}));
    EXPECT_EQ(Vue()->Initialisation, 0);
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "MODELE");
    EXPECT_EQ(Document()->GetPathName(), modele);
    EXPECT_FALSE(Document()->IsModified());
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - signature photos");
    ASSERT_FALSE(application->FichiersRecents().Fichiers().empty());
    EXPECT_EQ(application->FichiersRecents().Fichiers().front(), modele);

    // The user's first New after such a start is a real one.
    Scripted().clear();
    Article(57600)->trigger();
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_SIMPLEBEEP});
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "TP");
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");
    EXPECT_TRUE(Document()->GetPathName().empty());
}

TEST_F(ShellTest, AFileThatIsNoTemplateAtStartUpLeavesAnUnnamedDocument)
{
    const std::string faux = bac.path("faux.tp2");
    TestImages::WriteFile(faux, {190, 0, 0, 0, 1, 2, 3});
    ASSERT_TRUE(Demarre({QString::fromStdString(faux)})) << "the file could be read";
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "This file isn't correct.");
    EXPECT_TRUE(Document()->GetPathName().empty()) << "Save would write over a file that was never loaded";
    EXPECT_EQ(Frame()->windowTitle(), "Tamparo2 - sample");
}

TEST_F(ShellTest, OnlyTheNewAfterStartUpResetsTheView)
{
    ASSERT_TRUE(Demarre());
    EXPECT_TRUE(Scripted().beeps.empty()) << "start-up's own new document reset the view";
    EXPECT_EQ(CDoc::PremierDocument, 0);

    Vue()->SetDlgItemText(1505, "AB");
    Article(57600)->trigger();
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_SIMPLEBEEP});
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "TP");
    EXPECT_FALSE(Document()->IsModified());

    // With changes, Cancel in the save question abandons New.
    Scripted().clear();
    Vue()->SetDlgItemText(1505, "AB");
    Document()->SetModifiedFlag(true);
    Scripted().answer(IDCANCEL);
    Article(57600)->trigger();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Save changes to sample?");
    EXPECT_EQ(Scripted().shown[0].type & MB_TYPEMASK, MB_YESNOCANCEL);
    EXPECT_TRUE(Scripted().beeps.empty());
    EXPECT_EQ(Vue()->GetDlgItemText(1505), "AB");
    EXPECT_TRUE(Document()->IsModified());
}

TEST_F(ShellTest, ExitAsksBeforeDroppingChangesAndAlwaysStoresTheSettings)
{
    ASSERT_TRUE(Demarre());
    Vue()->SetDlgItemText(1506, "90");
    Document()->SetModifiedFlag(true);

    Scripted().answer(IDCANCEL);
    Article(57665)->trigger();
    DialogDriver::Pump();
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_NE(application->BarreOutils, nullptr);

    Scripted().answer(IDNO);
    DialogDriver::CloseBox(Frame());
    DialogDriver::Pump();
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(application->BarreOutils, nullptr);
    EXPECT_EQ(application->BarreInformation, nullptr);
    EXPECT_EQ(application->Graphique, nullptr);
    EXPECT_TRUE(Scripted().fileDialogs.empty()) << "No must not save";
    QSettings reglages(QString::fromStdString(bac.path("config/Quillon/Tamparo2.conf")), QSettings::IniFormat);
    EXPECT_EQ(reglages.value("Qualite JPEG").toString(), "90");
}
