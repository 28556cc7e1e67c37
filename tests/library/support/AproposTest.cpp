// The about box: its size, its place and the ways it closes.

#include "CAproposdeDlg.h"
#include "DialogDriver.h"
#include "TestImages.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

class Apropos : public testing::Test {
protected:
    void SetUp() override { Screen::simulate({1024, 768}, 32); }
    void TearDown() override
    {
        Screen::simulate({0, 0}, 0);
        DeleteObject(m_image);
    }
    // Ends a box that failed to close, so that the test cannot hang.
    static void Guard(CAproposdeDlg& box) { QTimer::singleShot(5000, &box, [&box] { box.EndDialog(0); }); }

    HBITMAP m_image = TestImages::Gradient(200, 120);
};

TEST_F(Apropos, ClosesByItsTimerInTheMiddleOfTheScreen)
{
    CAproposdeDlg box;
    box.Image = m_image;
    box.Duree = 1;
    OnNextModal([](QWidget* dialog) { EXPECT_EQ(dialog->geometry(), QRect(412, 324, 200, 120)); });
    Guard(box);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_GE(clock.elapsed(), 990);
}

TEST_F(Apropos, TakesThePictureSizeCentredOverItsOwnerAndClosesOnAClick)
{
    QWidget owner;
    owner.setGeometry(100, 50, 600, 400);
    owner.show();
    CAproposdeDlg box(&owner);
    box.Image = m_image;
    box.Titre = "A propos de Tamparo2";
    OnNextModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->geometry(), QRect(300, 190, 200, 120));
        EXPECT_EQ(dialog->windowTitle(), "A propos de Tamparo2");
        EXPECT_TRUE(dialog->windowFlags() & Qt::FramelessWindowHint);
        Click(Control(dialog, 1200));
    });
    Guard(box);
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_EQ(TestImages::SizeOf(m_image), CSize(200, 120));
}

TEST_F(Apropos, WithoutTimerStaysUntilAKey)
{
    CAproposdeDlg box;
    box.Image = m_image;
    OnNextModal([](QWidget* dialog) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300)
            Pump();
        EXPECT_TRUE(dialog->isVisible());
        PressKey(dialog, Qt::Key_Escape);
    });
    Guard(box);
    EXPECT_EQ(box.DoModal(), IDCANCEL);
}

} // namespace
