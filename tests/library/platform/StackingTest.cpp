// Controls laid on group boxes and frames stay reachable by the mouse,
// whatever the order of the layout's table.

#include "CDialog.h"
#include "DialogDriver.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

constexpr UINT kNested = 9301;

// The outer group box comes after the frame nested in it and after the
// edit inside that frame: the order that once buried the edit.
const bool registered = DialogTemplate::Register({
    kNested, "Nested", 200, 120, "MS Sans Serif", 8, 0, ResourceModule::Library,
    {
        {ControlKind::Edit, 11, "", 20, 30, 80, 12},
        {ControlKind::Frame, 12, "", 10, 20, 180, 80},
        {ControlKind::GroupBox, 13, "Outer", 4, 4, 192, 110},
        {ControlKind::PushButton, 14, "Go", 120, 60, 50, 14},
    },
});

} // namespace

TEST(Stacking, EveryControlOfEveryTemplateAnswersAtItsMiddle)
{
    ASSERT_TRUE(registered);
    const std::vector<QString> covered = CoveredInEveryTemplate();
    EXPECT_TRUE(covered.empty()) << covered.size() << " covered, first: " << covered.front().toStdString();
}

TEST(Stacking, AClickInANestedFieldGivesItTheFocus)
{
    CDialog dialog(kNested);
    dialog.Create(nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* edit = dialog.GetDlgItemAs<QLineEdit>(11);
    dialog.GetDlgItem(14)->setFocus();
    ClickThroughWindow(edit);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    TypeIntoFocus(QStringLiteral("abc"));
    EXPECT_EQ(edit->text(), "abc");
}
