// The dialog framework: layouts into widgets, modal and modeless runs, keys,
// notifications, posted messages and timers.

#include "BitmapStatic.h"
#include "CDataExchange.h"
#include "DialogDriver.h"
#include "SpinButton.h"
#include "TestForm.h"
#include "TestImages.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace DialogDriver;

namespace {

QLineEdit* Edit(CDialog& dialog, int id) { return dialog.GetDlgItemAs<QLineEdit>(id); }

} // namespace

TEST(DialogUnits, ConvertLikeTheTemplateFonts)
{
    EXPECT_EQ(DialogUnits::X(4), 6);
    EXPECT_EQ(DialogUnits::Y(8), 13);
    EXPECT_EQ(DialogUnits::X(1), 2); // 1.5 rounds up
    EXPECT_EQ(DialogUnits::Y(1), 2); // 1.625
    EXPECT_EQ(DialogUnits::Y(2), 3); // 3.25
    EXPECT_EQ(DialogUnits::X(-1), -2);
    // Edges are mapped, so neighbours touch.
    EXPECT_EQ(DialogUnits::ToPixels(10, 10, 70, 22), CRect(15, 16, 120, 52));
}

TEST(DialogLayout, ControlsAreNamedAndPlacedFromTheTemplate)
{
    Form form;
    ASSERT_TRUE(form.Create());
    EXPECT_FALSE(form.Create()) << "a second creation";
    EXPECT_EQ(form.size(), QSize(300, 195));
    EXPECT_EQ(form.windowTitle(), "Form");
    QWidget* name = form.GetDlgItem(100);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->objectName(), "100");
    EXPECT_EQ(name->geometry(), QRect(15, 16, 90, 20));
    EXPECT_EQ(form.GetDlgItem(999), nullptr);
    EXPECT_NE(form.GetDlgItemAs<QCheckBox>(104), nullptr);
    EXPECT_EQ(form.GetDlgItemAs<QCheckBox>(100), nullptr);
    EXPECT_EQ(CDialog::GetDlgCtrlID(name), 100);
    EXPECT_EQ(form.RadioGroup(105).size(), 3u);
    EXPECT_EQ(form.RadioGroup(108).size(), 2u);
    EXPECT_FALSE(form.isVisible()) << "the template is not Visible";

    CDialog unknown(4242);
    EXPECT_FALSE(unknown.Create());
    EXPECT_EQ(unknown.DoModal(), -1);
}

TEST(DialogNotifications, OnlyTheUserRaisesThem)
{
    Form form;
    CString name = "start";
    int check = 2;
    int radio = 1;
    form.exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 100, name);
        DDX_Check(pDX, 104, check);
        DDX_Radio(pDX, 105, radio);
    };
    ASSERT_TRUE(form.Create());
    auto* spin = form.GetDlgItemAs<SpinButton>(102);
    form.SetDlgItemText(103, "1.5");
    form.CheckDlgButton(106, BST_CHECKED);
    spin->SetPos(7);
    auto* tabs = form.GetDlgItemAs<QTabWidget>(112);
    tabs->addTab(new QWidget, "one");
    tabs->addTab(new QWidget, "two");
    EXPECT_TRUE(form.UpdateData(FALSE));
    EXPECT_TRUE(form.log.empty()) << form.log.front();
    EXPECT_EQ(Edit(form, 100)->text(), "start");
    EXPECT_EQ(form.IsDlgButtonChecked(104), BST_INDETERMINATE);
    EXPECT_TRUE(form.GetDlgItemAs<QRadioButton>(106)->isChecked());

    Type(form.GetDlgItem(100), "ab");
    Click(form.GetDlgItem(107));
    Click(form.GetDlgItem(107)); // a checked radio stays checked
    Click(form.GetDlgItem(109));
    Click(form.GetDlgItem(111));
    ClickAt(tabs->tabBar(), tabs->tabBar()->tabRect(1).center());
    tabs->setCurrentIndex(0);
    EXPECT_EQ(form.log, (std::vector<std::string>{"edit 100", "edit 100", "click 107", "click 107", "click 109",
                                                  "click 111", "select 112"}));
    EXPECT_FALSE(form.GetDlgItemAs<QRadioButton>(106)->isChecked());
    EXPECT_TRUE(form.GetDlgItemAs<QRadioButton>(107)->isChecked());
    EXPECT_TRUE(form.GetDlgItemAs<QRadioButton>(109)->isChecked()) << "the other group is its own";
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(name, "startab");
    EXPECT_EQ(radio, 2);
}

TEST(DialogSpin, StepsItsBuddyInHexadecimalWithoutSeparators)
{
    Form form;
    ASSERT_TRUE(form.Create());
    auto* spin = form.GetDlgItemAs<SpinButton>(102);
    QLineEdit* buddy = Edit(form, 101);
    ASSERT_EQ(spin->GetBuddy(), buddy) << "the control before an auto-buddy spin";
    EXPECT_EQ(buddy->geometry().right() + 1, spin->geometry().left()) << "aligned inside the buddy's right edge";

    spin->SetRange(0, 255);
    spin->SetBase(16);
    spin->SetPos(0x7E);
    EXPECT_EQ(buddy->text(), "7E");
    PressKey(buddy, Qt::Key_Up);
    EXPECT_EQ(buddy->text(), "7F");
    EXPECT_EQ(form.log, (std::vector<std::string>{"spin 102 126 1", "edit 101"}));

    buddy->setText("ff"); // whatever the buddy holds is where the next step starts
    EXPECT_EQ(spin->GetPos(), 255);
    EXPECT_FALSE(spin->Step(+1)) << "at the upper limit";
    form.refuseSpin = true;
    EXPECT_FALSE(spin->Step(-1));
    EXPECT_EQ(buddy->text(), "ff");

    spin->SetBase(10);
    spin->SetRange(0, 20000);
    spin->SetPos(12345);
    EXPECT_EQ(buddy->text(), "12345");
    spin->SetPos(99999);
    EXPECT_EQ(buddy->text(), "20000") << "clamped to the range";
}

TEST(DialogModal, OkCollectsTheFieldsAndCancelDoesNot)
{
    Form form;
    CString name = "start";
    form.exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, 100, name); };
    OnNextModal([](QWidget* dialog) {
        Type(Control(dialog, 100), "!");
        Click(Control(dialog, IDOK));
    });
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(name, "start!");

    OnNextModal([](QWidget* dialog) {
        Type(Control(dialog, 100), "?");
        Click(Control(dialog, IDCANCEL));
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(name, "start!");
}

TEST(DialogModal, KeysAndTheCloseBoxEndInOkOrCancel)
{
    Form form;
    OnNextModal([](QWidget* dialog) { PressKey(Control(dialog, 100), Qt::Key_Escape); });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    OnNextModal([](QWidget* dialog) { CloseBox(dialog); });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    OnNextModal([](QWidget* dialog) { PressKey(Control(dialog, 100), Qt::Key_Return); });
    EXPECT_EQ(form.DoModal(), IDOK) << "Enter presses the default button";
    OnNextModal([](QWidget* dialog) { PressKey(Control(dialog, IDCANCEL), Qt::Key_Return); });
    EXPECT_EQ(form.DoModal(), IDCANCEL) << "a focused button takes Enter";
    EXPECT_EQ(form.log, (std::vector<std::string>{"click 2", "cancel", "click 2", "cancel", "click 1", "ok",
                                                  "click 2", "cancel"}));

    form.swallowEscape = true;
    form.closeOnOk = false;
    OnNextModal([&form](QWidget* dialog) {
        PressKey(Control(dialog, 100), Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible()) << "PreTranslateKey kept Escape";
        form.closeOnOk = true;
        Click(Control(dialog, IDOK));
    });
    EXPECT_EQ(form.DoModal(), IDOK);
}

TEST(DialogModal, EndingDuringInitialisationShowsNothing)
{
    Form form;
    form.init = [&form] { form.EndDialog(7); };
    EXPECT_EQ(form.DoModal(), 7);
    EXPECT_FALSE(form.isVisible());
}

TEST(DialogModeless, ChildSitsInsideTheOwnersFrameAndKeepsItsKeys)
{
    Form owner;
    ASSERT_TRUE(owner.Create());
    owner.show();
    Form panel(kPanel);
    ASSERT_TRUE(panel.Create(owner.GetDlgItem(110)));
    EXPECT_EQ(panel.parentWidget(), owner.GetDlgItem(110));
    EXPECT_FALSE(panel.isWindow());
    EXPECT_EQ(panel.pos(), QPoint(0, 0));
    EXPECT_TRUE(panel.isVisible()) << "a Visible template shows itself";
    EXPECT_EQ(owner.GetDlgItem(110)->findChild<QLineEdit*>("100"), Edit(panel, 100));
    EXPECT_NE(owner.GetDlgItem(100), panel.GetDlgItem(100)) << "the owner finds only its own controls";

    PressKey(panel.GetDlgItem(100), Qt::Key_Escape);
    EXPECT_EQ(panel.log, (std::vector<std::string>{"click 2", "cancel"}));
    EXPECT_TRUE(owner.log.empty()) << "Escape in a panel stays in the panel";

    EXPECT_TRUE(panel.DestroyWindow());
    EXPECT_EQ(panel.parentWidget(), nullptr);
    EXPECT_FALSE(panel.isVisible());
}

TEST(DialogPicture, ImagesComeFromTheModulesResources)
{
    const bool registered = DialogTemplate::Register({
        9003, "Pictures", 100, 60, "MS Sans Serif", 8, 0, ResourceModule::Library,
        {
            {ControlKind::Picture, 10, "", 2, 2, 40, 40, Opt::Notify, 1034},
            {ControlKind::Icon, 11, "", 50, 2, 21, 20, 0, 1010},
            {ControlKind::PushButton, 12, "", 50, 30, 30, 30, 0, 1010},
        },
    });
    ASSERT_TRUE(registered);
    Form form(9003);
    ASSERT_TRUE(form.Create());
    auto* picture = form.GetDlgItemAs<BitmapStatic>(10);
    ASSERT_NE(picture, nullptr);
    HBITMAP tile = Resources::loadBitmap(ResourceModule::Library, 1034);
    ASSERT_NE(tile, nullptr);
    ASSERT_NE(picture->GetBitmap(), nullptr);
    EXPECT_EQ(TestImages::FirstDifference(picture->GetBitmap(), tile), "");
    EXPECT_EQ(picture->size(), QSize(tile->width(), tile->height()));
    DeleteObject(tile);
    EXPECT_EQ(form.GetDlgItemAs<QLabel>(11)->pixmap().size(), QSize(32, 32));
    EXPECT_FALSE(form.GetDlgItemAs<QPushButton>(12)->icon().isNull());
    Click(picture);
    EXPECT_EQ(form.log, std::vector<std::string>{"click 10"});
}

TEST(DialogPicture, ShowsTheImageAsItIsWhenSet)
{
    BitmapStatic picture;
    HBITMAP first = TestImages::Solid(5, 4, 32, RGB(255, 0, 0));
    HBITMAP second = TestImages::Solid(3, 3, 16, RGB(0, 0, 255));
    EXPECT_EQ(picture.SetBitmap(first), nullptr);
    EXPECT_EQ(picture.size(), QSize(5, 4)) << "it takes the image's size";
    EXPECT_EQ(picture.pixmap().toImage().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.SetBitmap(second), first);
    EXPECT_EQ(picture.GetBitmap(), second);
    EXPECT_EQ(picture.pixmap().toImage().pixel(2, 2), qRgb(0, 0, 255));
    // Drawn into, then handed over again: the new pixels show.
    DeleteObject(first);
    first = TestImages::Solid(3, 3, 16, RGB(0, 255, 0));
    picture.SetBitmap(first);
    EXPECT_EQ(picture.pixmap().toImage().pixel(1, 1), qRgb(0, 255, 0));
    picture.SetBitmap(nullptr);
    DeleteObject(first);
    DeleteObject(second);
}

TEST(DialogMessages, PostedMessagesArriveThroughTheQueue)
{
    Form form;
    ASSERT_TRUE(form.Create());
    EXPECT_TRUE(PostMessage(&form, WM_CHANGEMENT_SIGNATURE, 0, 0));
    EXPECT_TRUE(PostMessage(&form, WM_CHANGEMENT_COULEUR, 3, -4));
    EXPECT_TRUE(form.log.empty()) << "posted, not sent";
    EXPECT_EQ(PeekAndPump(), 1);
    EXPECT_EQ(form.log, (std::vector<std::string>{"message 1278 0 0", "message 1279 3 -4"}));

    EXPECT_EQ(SendMessage(&form, WM_USER + 1, 0, 0), 42);
    EXPECT_FALSE(PostMessage(&form, 15, 0, 0)) << "Qt's own event types";
    EXPECT_FALSE(PostMessage(nullptr, WM_USER, 0, 0));

    // Any widget can take messages; one that cannot just drops them.
    struct Target : QWidget, MessageTarget {
        UINT got = 0;
        LRESULT OnMessage(UINT message, WPARAM, LPARAM) override { return got = message; }
    };
    Target target;
    QWidget plain;
    PostMessage(&target, WM_USER + 9, 0, 0);
    PostMessage(&plain, WM_USER + 9, 0, 0);
    auto doomed = std::make_unique<Form>();
    PostMessage(doomed.get(), WM_USER, 0, 0);
    doomed.reset();
    Pump();
    EXPECT_EQ(target.got, WM_USER + 9);
}

TEST(DialogMessages, TabControlShrinksARectangleToItsPages)
{
    QTabWidget tabs;
    tabs.addTab(new QWidget, "one");
    tabs.resize(200, 100);
    CRect area(0, 0, 200, 100);
    SendMessage(&tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    EXPECT_GT(area.top, 10) << "below the tabs";
    EXPECT_LT(area.bottom, 100);
    EXPECT_GE(area.left, 0);
    CRect same(0, 0, 200, 100);
    QWidget plain;
    SendMessage(&plain, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&same));
    EXPECT_EQ(same, CRect(0, 0, 200, 100));
}

TEST(DialogMessages, PumpReportsTheQuitRequest)
{
    // Quitting cannot be undone inside this process: the child process tries it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
            std::exit(PeekAndPump() == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(DialogTimers, FireUntilKilled)
{
    Form form;
    ASSERT_TRUE(form.Create());
    EXPECT_EQ(form.SetTimer(0, 5), 0u);
    EXPECT_EQ(form.SetTimer(7, 100), 7u);
    QElapsedTimer clock;
    clock.start();
    while (form.log.empty() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    ASSERT_EQ(form.log, std::vector<std::string>{"timer 7"});
    EXPECT_GE(clock.elapsed(), 100) << "a delay is a minimum";
    EXPECT_TRUE(form.KillTimer(7));
    EXPECT_FALSE(form.KillTimer(7));
    form.log.clear();
    clock.restart();
    while (clock.elapsed() < 50)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_TRUE(form.log.empty());
}
