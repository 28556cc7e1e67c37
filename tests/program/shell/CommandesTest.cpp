// The menu, the accelerators and the tool bar: every way into a command
// reaches the same handler.

#include "ShellTestSupport.h"

#include "COutilDialog.h"
#include "Commandes.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include "CMiniTexteDlg.h"
#include "CSignatureLogoDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

#include <functional>
#include <sstream>

// Qt's own shortcut dispatch for a key, as a key press on the display runs it.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace {

// Everything the user could see or hear of a command, in one text.
std::string Trace(const std::function<void()>& geste)
{
    Scripted().clear();
    Scripted().answer(IDCANCEL);
    geste();
    DialogDriver::Pump();
    std::ostringstream trace;
    for (const auto& boite : Scripted().shown)
        trace << "box:" << boite.text << ';';
    for (const auto& dialogue : Scripted().fileDialogs)
        trace << dialogue.kind << ':' << dialogue.request.title << ':' << dialogue.request.filter << ':'
              << dialogue.request.initialPath << ';';
    for (const UINT bip : Scripted().beeps)
        trace << "beep:" << bip << ';';
    for (const auto& ouvert : Scripted().opened)
        trace << "open:" << ouvert << ';';
    return trace.str();
}

bool TouchePressee(QWidget* fenetre, int touche, Qt::KeyboardModifiers modificateurs)
{
    return qt_sendShortcutOverrideEvent(fenetre, 0, touche, modificateurs);
}

} // namespace

TEST_F(ShellTest, TheMenuIsLaidOutAsTheCommandTable)
{
    ASSERT_TRUE(Demarre());
    std::ostringstream menu;
    for (QAction* titre : Frame()->menuBar()->actions()) {
        menu << titre->text().toStdString() << '=';
        for (QAction* article : titre->menu()->actions())
            menu << (article->isSeparator() ? "-" : article->text().toStdString() + "(" + article->objectName().toStdString() + ")") << ',';
        menu << '\n';
    }
    EXPECT_EQ(menu.str(),
              "&File=New(57600),-,Open Template(57601),Save Template(57603),Save Template As...(57604),-,Exit(57665),\n"
              "&List=Selection(32771),-,Delete Selected(32772),Delete All(32773),\n"
              "&Signing=Text(32774),Logo(32775),-,Delete Text(32781),Delete Logo(32782),\n"
              "Generate=Display Selected File(32776),Sign All Files(32777),\n"
              "&?=Help Manuel(32778),Web(32780),-,&About Tamparo2...(57664),\n");
}

TEST_F(ShellTest, EachToolBarButtonDoesWhatItsMenuItemDoes)
{
    ASSERT_TRUE(Demarre());
    const std::pair<UINT, int> paires[] = {
        {57600, 1008}, {57601, 1000}, {57603, 1001}, {32771, 1002}, {32776, 1005}, {32778, 1007},
    };
    for (const auto& [commande, bouton] : paires) {
        SCOPED_TRACE(commande);
        ASSERT_NE(Article(commande), nullptr);
        ASSERT_NE(Bouton(bouton), nullptr);
        const std::string parMenu = Trace([&, commande = commande] { Article(commande)->trigger(); });
        const std::string parBouton = Trace([&, bouton = bouton] { DialogDriver::Click(Bouton(bouton)); });
        EXPECT_FALSE(parMenu.empty());
        EXPECT_EQ(parMenu, parBouton);
    }
    // Sign All Files with an empty list; what the run does is the run's tests' business.
    EXPECT_EQ(Trace([&] { Article(32777)->trigger(); }), Trace([&] { DialogDriver::Click(Bouton(1006)); }));

    // The shell's own commands, as the table says.
    EXPECT_EQ(Trace([&] { Article(57600)->trigger(); }), "beep:" + std::to_string(MB_SIMPLEBEEP) + ";");
    EXPECT_EQ(Trace([&] { Article(57601)->trigger(); }), "open:Open:Files Tamparo2(*.tp2)|*.tp2||:;");
    EXPECT_EQ(Trace([&] { Article(57603)->trigger(); }), "save:Save As:Files Tamparo2(*.tp2)|*.tp2||:sample.tp2;");
    const std::string manuel =
        "open:" + CMainFrame::CheminManuel(QCoreApplication::applicationDirPath().toStdString()) + ";";
    EXPECT_EQ(Trace([&] { Article(32778)->trigger(); }), manuel);
    EXPECT_EQ(Trace([&] { Frame()->OnCmdMsg(Commande::Aide); }), manuel);

    // Text and logo show one panel or the other.
    DialogDriver::Click(Bouton(1004));
    EXPECT_TRUE(Vue()->PanneauLogo->isVisible());
    EXPECT_FALSE(Vue()->PanneauTexte->isVisible());
    Article(32774)->trigger();
    EXPECT_TRUE(Vue()->PanneauTexte->isVisible());
    Article(32775)->trigger();
    EXPECT_TRUE(Vue()->PanneauLogo->isVisible());
    DialogDriver::Click(Bouton(1003));
    EXPECT_TRUE(Vue()->PanneauTexte->isVisible());
    EXPECT_FALSE(Vue()->PanneauLogo->isVisible());
}

TEST_F(ShellTest, AcceleratorsRunTheirCommandsAndEditsKeepTheirEditingKeys)
{
    ASSERT_TRUE(Demarre());
    QApplication::setActiveWindow(Frame());
    DialogDriver::Pump();
    ASSERT_EQ(QApplication::activeWindow(), Frame());

    EXPECT_EQ(Trace([&] { EXPECT_TRUE(TouchePressee(Frame(), Qt::Key_N, Qt::ControlModifier)); }),
              Trace([&] { Article(57600)->trigger(); }));
    EXPECT_EQ(Trace([&] { EXPECT_TRUE(TouchePressee(Frame(), Qt::Key_O, Qt::ControlModifier)); }),
              Trace([&] { Article(57601)->trigger(); }));
    EXPECT_EQ(Trace([&] { EXPECT_TRUE(TouchePressee(Frame(), Qt::Key_S, Qt::ControlModifier)); }),
              Trace([&] { Article(57603)->trigger(); }));

    // The standard edit and pane keys are bound, and nobody handles them.
    const std::pair<int, Qt::KeyboardModifiers> standards[] = {
        {Qt::Key_Z, Qt::ControlModifier},   {Qt::Key_Backspace, Qt::AltModifier}, {Qt::Key_X, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ShiftModifier}, {Qt::Key_C, Qt::ControlModifier},    {Qt::Key_Insert, Qt::ControlModifier},
        {Qt::Key_V, Qt::ControlModifier},   {Qt::Key_Insert, Qt::ShiftModifier},  {Qt::Key_F6, Qt::NoModifier},
        {Qt::Key_F6, Qt::ShiftModifier},
    };
    Frame()->setFocus();
    for (const auto& [touche, modificateurs] : standards) {
        SCOPED_TRACE(touche);
        std::string trace = Trace([&, touche = touche, modificateurs = modificateurs] {
            EXPECT_TRUE(TouchePressee(Frame(), touche, modificateurs));
        });
        EXPECT_EQ(trace, "");
    }
    for (const UINT id : {Commande::Annuler, Commande::Couper, Commande::Copier, Commande::Coller,
                          Commande::PanneauSuivant, Commande::PanneauPrecedent})
        EXPECT_FALSE(Frame()->OnCmdMsg(id)) << id;

    // An edit with the focus takes its paste key before the window does.
    auto* prefixe = Vue()->GetDlgItemAs<QLineEdit>(1505);
    prefixe->setFocus();
    DialogDriver::Pump();
    ASSERT_EQ(QApplication::focusWidget(), prefixe);
    EXPECT_FALSE(TouchePressee(prefixe, Qt::Key_V, Qt::ControlModifier));
}

TEST_F(ShellTest, WebAndTheAboutBoxComeFromTheHelpMenu)
{
    ASSERT_TRUE(Demarre());
    EXPECT_EQ(Trace([&] { Article(32780)->trigger(); }), "") << "no address was built in";
    application->AdresseEditeur = "https://editeur.example/";
    EXPECT_EQ(Trace([&] { Article(32780)->trigger(); }), "open:https://editeur.example/;");

    QString titre;
    QSize taille;
    DialogDriver::OnNextModal([&](QWidget* boite) {
        titre = boite->windowTitle();
        taille = boite->size();
        DialogDriver::Click(DialogDriver::Control(boite, 1200));
    });
    Article(57664)->trigger();
    EXPECT_EQ(titre, "A propos de Tamparo2");
    EXPECT_EQ(taille, QSize(420, 260));
}

TEST(CheminManuel, BesideTheProgramFirstThenTheInstalledShareFolder)
{
    TestImages::Sandbox bac;
    const std::string bin = bac.path("bin");
    const std::string aCote = bin + "/aide.html";
    const std::string partage = bac.path("share/tamparo2/aide.html");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bin)));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bac.path("share/tamparo2"))));

    EXPECT_EQ(CMainFrame::CheminManuel(bin), aCote) << "neither: the desktop says it is missing";
    TestImages::WriteFile(partage, {'<'});
    EXPECT_EQ(CMainFrame::CheminManuel(bin), partage);
    TestImages::WriteFile(aCote, {'<'});
    EXPECT_EQ(CMainFrame::CheminManuel(bin), aCote);
}

TEST_F(ShellTest, MenusShowTheirShortcutsAndTheToolBarTakesNoFocus)
{
    ASSERT_TRUE(Demarre());
    for (const auto& [id, touches] : {std::pair{57600, "Ctrl+N"}, {57601, "Ctrl+O"}, {57603, "Ctrl+S"}}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Article(id)->shortcut(), QKeySequence(QString::fromLatin1(touches)));
        EXPECT_EQ(Article(id)->shortcutContext(), Qt::WidgetShortcut) << "the window's own shortcut runs it";
    }
    EXPECT_TRUE(Article(57665)->shortcut().isEmpty());
    for (const int id : COutilDialog::Boutons())
        EXPECT_EQ(Bouton(id)->focusPolicy(), Qt::NoFocus) << id;
}

TEST_F(ShellTest, WithoutADesktopViewerTheManualOpensInTheProgramsOwnWindow)
{
    ASSERT_TRUE(Demarre());
    Scripted().desktopOpens = false;
    Article(32778)->trigger();
    auto* manuel = Frame()->findChild<QTextBrowser*>(QStringLiteral("manual"));
    ASSERT_NE(manuel, nullptr);
    EXPECT_TRUE(manuel->isVisible());
    Article(32778)->trigger();
    EXPECT_EQ(Frame()->findChildren<QTextBrowser*>(QStringLiteral("manual")).size(), 1) << "one window, raised again";
    manuel->close();
}

TEST_F(ShellTest, FileDialogsReopenInTheFolderLastChosenEvenAfterARestart)
{
    ASSERT_TRUE(Demarre());
    const std::string dossier = bac.path("photos");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dossier)));
    const std::string photo = dossier + "/a.jpg";
    Scripted().files.push_back({photo});
    Article(32771)->trigger();
    ASSERT_FALSE(Scripted().fileDialogs.empty());
    EXPECT_EQ(Scripted().fileDialogs.back().request.initialPath, "");

    NouvelleApplication();
    ASSERT_TRUE(Demarre());
    Scripted().files.push_back({});
    Article(32771)->trigger();
    EXPECT_EQ(Scripted().fileDialogs.back().request.initialPath, dossier);
    Scripted().files.push_back({});
    Article(57601)->trigger();
    EXPECT_EQ(Scripted().fileDialogs.back().request.initialPath, "") << "templates have their own folder";
}
