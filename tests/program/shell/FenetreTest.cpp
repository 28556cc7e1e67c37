// The main window as a desktop user expects it: it comes back maximised,
// run and help have their keys, the about box stays over the window, and a
// changed "Setup" is offered for saving on the way out.

#include "ShellTestSupport.h"

#include "CBaseRegistre.h"
#include "Commandes.h"
#include "DialogDriver.h"
#include "ReglagesRegistre.h"
#include "ScriptedInteraction.h"

#include <QApplication>
#include <QComboBox>
#include <QTextBrowser>

#include <set>
#include <tuple>

// Qt's own shortcut dispatch for a key, as a key press on the display runs it.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace {

void Stocke(const char* valeur, const CString& texte)
{
    CBaseRegistre base;
    ASSERT_TRUE(base.OuvreEcriture(ReglagesRegistre::kApplication));
    base.Ecriture(valeur, texte);
    ASSERT_TRUE(base.Ferme());
}

} // namespace

TEST_F(ShellTest, TheWindowComesBackMaximisedAndWhereItWas)
{
    ASSERT_TRUE(Demarre());
    Frame()->move(120, 90);
    Frame()->resize(900, 760);
    DialogDriver::Pump();
    const QRect normale = Frame()->geometry();
    Frame()->showMaximized();
    DialogDriver::Pump();
    Frame()->close();

    NouvelleApplication();
    ASSERT_TRUE(Demarre());
    EXPECT_TRUE(Frame()->isMaximized());
    Frame()->showNormal();
    DialogDriver::Pump();
    EXPECT_EQ(Frame()->geometry(), normale) << "un-maximised, it is where the user left it";
    Frame()->close();

    NouvelleApplication();
    ASSERT_TRUE(Demarre());
    EXPECT_FALSE(Frame()->isMaximized());
    EXPECT_EQ(Frame()->geometry(), normale);
}

TEST_F(ShellTest, AStoredWindowRecordThatIsNoneStartsAsAFirstRunDoes)
{
    for (const char* record : {"not base64 !", "AdnQywADAAAA", "QUJDREVGR0g="}) {
        SCOPED_TRACE(record);
        Stocke("WindowGeometry", record);
        NouvelleApplication();
        ASSERT_TRUE(Demarre());
        EXPECT_FALSE(Frame()->isMaximized());
        EXPECT_EQ(Frame()->size(), QSize(748, 731));
    }
}

TEST_F(ShellTest, SignAllFilesAndHelpHaveTheirKeysShownInTheMenus)
{
    ASSERT_TRUE(Demarre());
    QApplication::setActiveWindow(Frame());
    DialogDriver::Pump();
    const struct {
        int touche;
        UINT commande;
        const char* vu;
    } raccourcis[] = {
        {Qt::Key_F9, Commande::SigneTout, "F9"},
        {Qt::Key_F1, Commande::ManuelAide, "F1"},
    };
    for (const auto& r : raccourcis) {
        SCOPED_TRACE(r.vu);
        ASSERT_NE(Article(r.commande), nullptr);
        EXPECT_EQ(Article(r.commande)->shortcut().toString(), r.vu);
        Scripted().clear();
        EXPECT_TRUE(qt_sendShortcutOverrideEvent(Frame(), 0, r.touche, Qt::NoModifier));
        DialogDriver::Pump();
        const auto parTouche = std::make_tuple(Scripted().shown.size(), Scripted().beeps, Scripted().opened);
        Scripted().clear();
        Article(r.commande)->trigger();
        DialogDriver::Pump();
        EXPECT_EQ(parTouche, std::make_tuple(Scripted().shown.size(), Scripted().beeps, Scripted().opened));
    }
    // Neither key was already another command's.
    std::set<std::string> touches;
    for (const Commande::Raccourci& r : Commande::Raccourcis())
        EXPECT_TRUE(touches.insert(r.touches).second) << r.touches << " is bound twice";
}

TEST_F(ShellTest, TheAboutBoxStaysCentredOnTheWindowWhenTheWindowMoves)
{
    ASSERT_TRUE(Demarre());
    QPoint centreBoite;
    QPoint centreFenetre;
    DialogDriver::OnNextModal([&](QWidget* boite) {
        // As the window manager does when it places the window after the box was shown.
        Frame()->move(Frame()->pos() + QPoint(173, 61));
        DialogDriver::Pump();
        centreBoite = boite->frameGeometry().center();
        centreFenetre = Frame()->frameGeometry().center();
        DialogDriver::Click(DialogDriver::Control(boite, 1200));
    });
    Article(Commande::APropos)->trigger();
    EXPECT_LE((centreBoite - centreFenetre).manhattanLength(), 2);
}

TEST_F(ShellTest, ExitAfterASetupChangeAsksToSaveTheTemplate)
{
    ASSERT_TRUE(Demarre());
    EXPECT_FALSE(Document()->IsModified());
    auto* format = Vue()->GetDlgItemAs<QComboBox>(1512);
    format->setCurrentIndex(2);
    emit format->activated(2);
    Scripted().clear();
    Scripted().answer(IDCANCEL);
    Article(Commande::Quitter)->trigger();
    DialogDriver::Pump();
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Save changes to sample?");
    EXPECT_TRUE(Frame()->isVisible()) << "Cancel keeps the program open";
}
