// The full-screen viewer, driven by keys, wheel and clicks inside its modal
// run, on a simulated 1024 x 768 screen.

#include "BitmapStatic.h"
#include "CPleinEcranDlg.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>

using namespace DialogDriver;

namespace {

constexpr int kImage = 1202;
constexpr int kLegende = 1209;
constexpr auto kPave = Qt::KeypadModifier;

class PleinEcran : public testing::Test {
protected:
    void SetUp() override { Screen::simulate({1024, 768}, 32); }
    void TearDown() override
    {
        Screen::simulate({0, 0}, 0);
        DeleteObject(m_image);
    }

    // Runs a viewer of a width x height picture; actions play the user inside
    // the run. A viewer still open afterwards is ended with 0, so that a
    // failing check cannot hang the test.
    int Run(CPleinEcranDlg& viewer, int width, int height, std::function<void(QWidget*)> actions)
    {
        return Run(viewer, width ? TestImages::Gradient(width, height) : nullptr, std::move(actions));
    }
    // The same with a picture of the test's own, released at its end.
    int Run(CPleinEcranDlg& viewer, HBITMAP image, std::function<void(QWidget*)> actions)
    {
        DeleteObject(m_image);
        m_image = image;
        viewer.Image = m_image;
        OnNextModal([&viewer, actions = std::move(actions)](QWidget* dialog) {
            actions(dialog);
            if (dialog->isVisible())
                viewer.EndDialog(0);
        });
        return static_cast<int>(viewer.DoModal());
    }

    static QPoint Where(QWidget* dialog) { return Control(dialog, kImage)->pos(); }
    static void Keys(QWidget* dialog, int key, int times = 1, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        for (int i = 0; i < times; ++i)
            PressKey(dialog, key, modifiers);
    }
    // Straight to the viewer: Qt passes a wheel turned over the picture up to
    // its window only when the event comes from the system.
    static void Wheel(QWidget* dialog, int delta)
    {
        QWheelEvent wheel(QPointF(), QPointF(), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(dialog, &wheel);
    }

    HBITMAP m_image = nullptr;
};

TEST_F(PleinEcran, OpensCentredUnderItsCaptionOnePixelShortOfTheScreen)
{
    CPleinEcranDlg viewer;
    viewer.Legende = "(100x80)";
    HBITMAP original = TestImages::Gradient(100, 80);
    EXPECT_EQ(Run(viewer, 100, 80, [](QWidget* dialog) {
        EXPECT_EQ(dialog->geometry(), QRect(0, 0, 1023, 767));
        EXPECT_EQ(Control(dialog, kImage)->geometry(), QRect(461, 343, 100, 80));
        auto* caption = ControlAs<QLabel>(dialog, kLegende);
        EXPECT_TRUE(caption->isVisible());
        EXPECT_EQ(caption->text(), "(100x80)");
        Click(Control(dialog, kImage));
    }), IDOK);
    // Shown through a copy; the caller's picture is neither changed nor taken.
    ASSERT_NE(viewer.ImageAffichee, nullptr);
    EXPECT_NE(viewer.ImageAffichee, m_image);
    EXPECT_EQ(TestImages::FirstDifference(viewer.ImageAffichee, original), "");
    EXPECT_EQ(TestImages::FirstDifference(m_image, original), "");
    DeleteObject(original);

    CPleinEcranDlg bare;
    Run(bare, 10, 10, [](QWidget* dialog) { EXPECT_FALSE(Control(dialog, kLegende)->isVisible()); });
}

TEST_F(PleinEcran, PlusBeepsAt1920PixelsAndMinusTakesATwentiethOff)
{
    CPleinEcranDlg viewer;
    Run(viewer, 1920, 40, [&](QWidget* dialog) {
        Keys(dialog, Qt::Key_Plus, 1, kPave);
        EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
        EXPECT_EQ(viewer.TailleAffichee, CSize(1920, 40));
        Keys(dialog, Qt::Key_Minus, 1, kPave);
        EXPECT_EQ(viewer.TailleAffichee, CSize(1824, 38));
        EXPECT_EQ(TestImages::SizeOf(viewer.ImageAffichee), CSize(1824, 38));
        // Wider than the screen: centred, cut at both sides, and held still.
        EXPECT_EQ(Control(dialog, kImage)->geometry(), QRect(-401, 364, 1824, 38));
        Keys(dialog, Qt::Key_Left);
        Wheel(dialog, -120);
        EXPECT_EQ(Where(dialog), QPoint(-401, 364));
    });
    EXPECT_EQ(Scripted().beeps.size(), 1u);
}

TEST_F(PleinEcran, ZoomRunsFromATenthToJustPast1920InTwentieths)
{
    CPleinEcranDlg viewer;
    Run(viewer, 1000, 500, [&](QWidget* dialog) {
        Keys(dialog, Qt::Key_Minus, 18, kPave);
        EXPECT_EQ(viewer.TailleAffichee, CSize(100, 50));
        EXPECT_TRUE(Scripted().beeps.empty());
        Keys(dialog, Qt::Key_Minus, 1, kPave);
        EXPECT_EQ(viewer.TailleAffichee, CSize(100, 50));
        EXPECT_EQ(Scripted().beeps.size(), 1u);
        Keys(dialog, Qt::Key_Space);
        Keys(dialog, Qt::Key_Plus, 19, kPave);
        EXPECT_EQ(viewer.TailleAffichee, CSize(1950, 975));
        EXPECT_EQ(Scripted().beeps.size(), 1u);
        Keys(dialog, Qt::Key_Plus, 1, kPave);
        EXPECT_EQ(Scripted().beeps.size(), 2u);
        // The main keyboard's minus and a keypad minus with Shift are other keys.
        Keys(dialog, Qt::Key_Minus);
        Keys(dialog, Qt::Key_Minus, 1, kPave | Qt::ShiftModifier);
        EXPECT_EQ(viewer.TailleAffichee, CSize(1950, 975));
    });
}

TEST_F(PleinEcran, APictureNarrowerThanTwentyPixelsKeepsItsWidthWithoutBeeping)
{
    CPleinEcranDlg viewer;
    Run(viewer, 15, 40, [&](QWidget* dialog) {
        Keys(dialog, Qt::Key_Plus, 1, kPave);
        Keys(dialog, Qt::Key_Minus, 2, kPave);
        // The height's step is 2: it follows the same count of steps.
        EXPECT_EQ(viewer.TailleAffichee, CSize(15, 38));
    });
    EXPECT_TRUE(Scripted().beeps.empty());
}

TEST_F(PleinEcran, MovesGoTenPixelsAndAreHeldOnTheScreen)
{
    CPleinEcranDlg viewer;
    Run(viewer, 100, 80, [&](QWidget* dialog) {
        const QPoint start = Where(dialog);
        Keys(dialog, Qt::Key_Right);
        Keys(dialog, Qt::Key_Down, 1, kPave);
        EXPECT_EQ(Where(dialog), start + QPoint(10, 10));
        Wheel(dialog, 120);
        EXPECT_EQ(Where(dialog), start + QPoint(10, 0));
        Keys(dialog, Qt::Key_Right, 100);
        Keys(dialog, Qt::Key_Down, 100);
        EXPECT_EQ(Where(dialog), QPoint(1024 - 100, 768 - 80));
        Keys(dialog, Qt::Key_Left, 150);
        for (int i = 0; i < 100; ++i)
            Wheel(dialog, 120);
        EXPECT_EQ(Where(dialog), QPoint(0, 0));
        // Any zoom puts it back in the middle.
        Keys(dialog, Qt::Key_Space);
        EXPECT_EQ(Where(dialog), start);
    });
}

TEST_F(PleinEcran, EscapeGivesTwoAndTheTimerClosesWithOne)
{
    CPleinEcranDlg escaped;
    EXPECT_EQ(Run(escaped, 50, 50, [](QWidget* dialog) { Keys(dialog, Qt::Key_Escape); }), IDCANCEL);

    CPleinEcranDlg timed;
    timed.Image = m_image;
    timed.Delai = 200;
    QTimer::singleShot(5000, &timed, [&timed] { timed.EndDialog(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(timed.DoModal(), IDOK);
    EXPECT_GE(clock.elapsed(), 190);
}

TEST_F(PleinEcran, InFollowModeCommandsOnlyRecordAnInterruption)
{
    CPleinEcranDlg viewer;
    viewer.ModeSuivi = 1;
    Run(viewer, 40, 40, [&](QWidget* dialog) {
        const QPoint start = Where(dialog);
        // The picture itself is shown, and the scaled copy let go.
        EXPECT_EQ(viewer.AfficheEtTeste(), 0);
        EXPECT_EQ(ControlAs<BitmapStatic>(dialog, kImage)->GetBitmap(), m_image);
        EXPECT_EQ(viewer.ImageAffichee, nullptr);
        for (int key : {Qt::Key_Right, Qt::Key_Space, Qt::Key_F, Qt::Key_Escape}) {
            viewer.Interrompu = 0;
            Keys(dialog, key);
            EXPECT_EQ(viewer.AfficheEtTeste(), 1) << key;
        }
        Click(Control(dialog, kImage));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Where(dialog), start);
    });
    EXPECT_TRUE(Scripted().beeps.empty());
}

TEST_F(PleinEcran, WithoutAPictureZoomBeepsAndAClickStillCloses)
{
    CPleinEcranDlg viewer;
    EXPECT_EQ(Run(viewer, 0, 0, [](QWidget* dialog) {
        Keys(dialog, Qt::Key_Plus, 1, kPave);
        Keys(dialog, Qt::Key_Right);
        Keys(dialog, Qt::Key_F);
        EXPECT_EQ(Where(dialog), QPoint(0, 0));
        EXPECT_EQ(Scripted().beeps.size(), 2u);
        Click(Control(dialog, kImage));
    }), IDOK);
}

// Red, green, blue and white quarters: each corner of any fitted copy keeps its own colour.
HBITMAP Quarters(int width, int height)
{
    return TestImages::Make(width, height, 32, [width, height](int x, int y) {
        const bool right = x >= width / 2, bottom = y >= height / 2;
        return bottom ? (right ? RGB(255, 255, 255) : RGB(0, 0, 255)) : (right ? RGB(0, 255, 0) : RGB(255, 0, 0));
    });
}

TEST_F(PleinEcran, FitKeyShowsTheWholePictureOnTheScreen)
{
    struct Case {
        CSize screen;
        CSize picture;
        QRect shown;
    };
    const Case cases[] = {
        {{800, 600}, {4000, 3000}, QRect(0, 0, 797, 598)},
        {{1920, 1080}, {4000, 3000}, QRect(240, 0, 1437, 1078)},
        {{1024, 768}, {768, 4000}, QRect(437, 0, 147, 766)},
        // Already whole on the screen: its own size.
        {{1024, 768}, {100, 80}, QRect(461, 343, 100, 80)},
        {{1024, 768}, {1022, 766}, QRect(0, 0, 1022, 766)},
    };
    for (const Case& c : cases) {
        Screen::simulate(c.screen, 32);
        CPleinEcranDlg viewer;
        Run(viewer, Quarters(c.picture.cx, c.picture.cy), [&](QWidget* dialog) {
            Keys(dialog, Qt::Key_F);
            const QRect shown = Control(dialog, kImage)->geometry();
            EXPECT_EQ(shown, c.shown) << c.picture.cx << "x" << c.picture.cy;
            EXPECT_TRUE(dialog->rect().contains(shown));
            EXPECT_EQ(viewer.TailleAffichee, CSize(c.shown.width(), c.shown.height()));
            ASSERT_EQ(TestImages::SizeOf(viewer.ImageAffichee), viewer.TailleAffichee);
            const int right = c.shown.width() - 1, bottom = c.shown.height() - 1;
            EXPECT_EQ(TestImages::Pixel(viewer.ImageAffichee, 0, 0), RGB(255, 0, 0));
            EXPECT_EQ(TestImages::Pixel(viewer.ImageAffichee, right, 0), RGB(0, 255, 0));
            EXPECT_EQ(TestImages::Pixel(viewer.ImageAffichee, 0, bottom), RGB(0, 0, 255));
            EXPECT_EQ(TestImages::Pixel(viewer.ImageAffichee, right, bottom), RGB(255, 255, 255));
        });
    }
    EXPECT_TRUE(Scripted().beeps.empty());
}

TEST_F(PleinEcran, FittingAveragesFineDetailInsteadOfDroppingIt)
{
    Screen::simulate({800, 600}, 32);
    CPleinEcranDlg viewer;
    // One-pixel stripes: the fast stretch would keep only black or only white columns.
    Run(viewer, TestImages::Make(4000, 3000, 32, [](int x, int) { return x % 2 ? RGB(255, 255, 255) : 0; }),
        [&](QWidget* dialog) {
            Keys(dialog, Qt::Key_F);
            ASSERT_EQ(viewer.TailleAffichee, CSize(797, 598));
            for (int x : {1, 200, 398, 600, 795}) {
                const int grey = GetRValue(TestImages::Pixel(viewer.ImageAffichee, x, 300));
                EXPECT_GT(grey, 90) << x;
                EXPECT_LT(grey, 165) << x;
            }
        });
}

TEST_F(PleinEcran, AfterFittingTheOtherKeysWorkAsBefore)
{
    struct Key {
        int key;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };
    const Key fit{Qt::Key_F}, plus{Qt::Key_Plus, kPave}, minus{Qt::Key_Minus, kPave}, space{Qt::Key_Space},
        right{Qt::Key_Right};
    struct Case {
        const char* name;
        std::vector<Key> keys;
        CSize size;
        QPoint where;
    };
    // A 1600 x 1200 picture on an 800 x 600 screen: steps of 80 x 60.
    const Case cases[] = {
        {"nothing", {}, {1600, 1200}, {-401, -301}},
        {"fit", {fit}, {797, 598}, {0, 0}},
        {"keypad star", {{Qt::Key_Asterisk, kPave}}, {797, 598}, {0, 0}},
        {"fit again: back", {fit, fit}, {1600, 1200}, {-401, -301}},
        {"own size", {fit, space}, {1600, 1200}, {-401, -301}},
        {"one step up from the fitted size", {fit, plus}, {877, 658}, {-39, -30}},
        {"one step down", {fit, minus}, {717, 538}, {40, 30}},
        {"a step leaves the fitted view", {fit, minus, fit}, {797, 598}, {0, 0}},
        {"back to the size before fitting", {minus, minus, fit, fit}, {1440, 1080}, {-321, -241}},
        {"moves as any smaller picture", {fit, right}, {797, 598}, {3, 0}},
        {"main keyboard star", {{Qt::Key_Asterisk}}, {1600, 1200}, {-401, -301}},
        {"Ctrl+F", {{Qt::Key_F, Qt::ControlModifier}}, {1600, 1200}, {-401, -301}},
    };
    Screen::simulate({800, 600}, 32);
    for (const Case& c : cases) {
        CPleinEcranDlg viewer;
        Run(viewer, 1600, 1200, [&](QWidget* dialog) {
            for (const Key& k : c.keys)
                Keys(dialog, k.key, 1, k.modifiers);
            EXPECT_EQ(viewer.TailleAffichee, c.size) << c.name;
            EXPECT_EQ(TestImages::SizeOf(viewer.ImageAffichee), c.size) << c.name;
            EXPECT_EQ(Where(dialog), c.where) << c.name;
        });
    }
    EXPECT_TRUE(Scripted().beeps.empty());
}

TEST(PleinEcranAjustement, SizeKeepsTheAspectAndNeverReachesNothing)
{
    struct Case {
        CSize picture;
        CSize screen;
        CSize fitted;
    };
    const Case cases[] = {
        {{798, 598}, {800, 600}, {798, 598}},   // exactly the room there is
        {{799, 598}, {800, 600}, {798, 597}},
        {{4000, 10}, {800, 600}, {798, 2}},
        {{10, 4000}, {800, 600}, {1, 598}},
        {{100000, 1}, {800, 600}, {798, 1}},
        {{0, 0}, {800, 600}, {0, 0}},
        {{3000, 3000}, {2, 2}, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPleinEcranDlg::TailleAjustee(c.picture, c.screen), c.fitted)
            << c.picture.cx << "x" << c.picture.cy << " on " << c.screen.cx << "x" << c.screen.cy;
}

} // namespace
