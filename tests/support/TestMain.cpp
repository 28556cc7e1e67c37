// Runs the tests inside an offscreen QApplication with the scripted user.

#include "ScriptedInteraction.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Every test starts with an empty record of what the user was shown.
class ResetInteraction : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { Scripted().clear(); }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    Interaction::install(&Scripted());
    testing::UnitTest::GetInstance()->listeners().Append(new ResetInteraction);
    return RUN_ALL_TESTS();
}
