// An Interaction installed for one thread: only that thread reports to it.

#include "Interaction.h"
#include "ScriptedInteraction.h"

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

} // namespace
