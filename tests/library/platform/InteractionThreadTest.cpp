// An Interaction installed for one thread: only that thread reports to it.

#include "Interaction.h"
#include "InteractionEgaree.h"
#include "QtInteraction.h"
#include "ScriptedInteraction.h"
#include "StderrInteraction.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(InteractionThread, AThreadsOwnInteractionHearsThatThreadOnlyAndIsPutBack)
{
    ScriptedInteraction propre;
    HWND fenetreVue = reinterpret_cast<HWND>(1);
    QWidget fenetre;
    fenetre.show();
    fenetre.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
    ASSERT_EQ(GetActiveWindow(), &fenetre);

    std::thread fil([&] {
        EXPECT_EQ(Interaction::installForThread(&propre), nullptr);
        MessageBox(nullptr, "worker", "W", MB_OK);
        fenetreVue = GetActiveWindow();
        ScriptedInteraction interne;
        EXPECT_EQ(Interaction::installForThread(&interne), &propre) << "nested: the one replaced comes back";
        MessageBeep(MB_ICONEXCLAMATION);
        EXPECT_EQ(Interaction::installForThread(&propre), &interne);
        EXPECT_EQ(interne.beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
        EXPECT_EQ(Interaction::installForThread(nullptr), &propre);
    });
    fil.join();
    Scripted().clear();
    MessageBox(nullptr, "main", "M", MB_OK);

    ASSERT_EQ(propre.shown.size(), 1u);
    EXPECT_EQ(propre.shown[0].text, "worker");
    EXPECT_TRUE(propre.beeps.empty());
    ASSERT_EQ(Scripted().shown.size(), 1u) << "the thread's choice stays with it";
    EXPECT_EQ(Scripted().shown[0].text, "main");
    EXPECT_EQ(fenetreVue, nullptr) << "no window is handed to a worker";
    Scripted().clear();
}

TEST(InteractionThread, AWorkerWithoutItsOwnNeverOpensADesktopBox)
{
    QtInteraction bureau;
    StderrInteraction terminal;
    const struct {
        const char* nom;
        Interaction* installee;
        bool egaree;
    } cas[] = {
        {"the desktop's by default", nullptr, true},
        {"the desktop's installed", &bureau, true},
        {"a terminal's installed", &terminal, false},
    };
    const auto parle = [] { std::thread([] { MessageBox(nullptr, "stray", "Worker", MB_OK); }).join(); };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Interaction::install(c.installee);
        EXPECT_EQ(dynamic_cast<InteractionEgaree*>(&Interaction::current()), nullptr) << "the GUI thread's is kept";
#ifdef NDEBUG
        const int avant = InteractionEgaree::Nombre();
        parle();
        EXPECT_EQ(InteractionEgaree::Nombre() - avant, c.egaree ? 1 : 0);
#else
        if (c.egaree)
            EXPECT_DEATH(parle(), "without an Interaction of its own");
        else
            parle();
#endif
        Interaction::install(&Scripted());
    }
    EXPECT_TRUE(Scripted().shown.empty());
}

} // namespace
