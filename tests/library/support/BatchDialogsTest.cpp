// The progress window, the overwrite question and the name input, driven as
// a batch drives them.

#include "CProgressionDlg.h"
#include "CQuestionTraitementDlg.h"
#include "CRoutine.h"
#include "CSaisieChaineDlg.h"
#include "DialogDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace DialogDriver;

namespace {

class Progress : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create());
        dialog.Progression->setRange(1, 10);
    }
    QPushButton* Stop() { return dialog.GetDlgItemAs<QPushButton>(1210); }

    CProgressionDlg dialog;
};

// The question, answered by `act` from inside its modal run.
int Ask(CString& name, int& stop, CProgressionDlg& progress, std::function<void(QWidget*)> act)
{
    OnNextModal(std::move(act));
    return CRoutine::QuestionEtProgression(name, stop, progress);
}

} // namespace

TEST_F(Progress, ShowsTheStepItIsAt)
{
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Running operation...");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(CRoutine::ProgressionAfficheEtTeste(dialog, 3, 10, "/in/a.jpg", "/out/a.jpg"), 0);
    EXPECT_EQ(dialog.GetDlgItemText(1214), "(3 / 10)");
    EXPECT_EQ(dialog.GetDlgItemText(1211), "/in/a.jpg");
    EXPECT_EQ(dialog.GetDlgItemText(1212), "/out/a.jpg");
    EXPECT_EQ(dialog.Progression->value(), 3);
    EXPECT_TRUE(dialog.GetDlgItemAs<QLabel>(1214)->alignment() & Qt::AlignHCenter);
}

TEST_F(Progress, StopClickedWhileBusyIsReportedByTheNextRefreshOnly)
{
    EXPECT_EQ(CRoutine::ProgressionAfficheEtTeste(dialog, 1, 10, "a", "b"), 0);
    PostClick(Stop()); // the batch is busy: the click waits in the queue
    EXPECT_EQ(CRoutine::ProgressionAfficheEtTeste(dialog, 2, 10, "a", "b"), 1);
    EXPECT_TRUE(Stop()->isChecked());
    EXPECT_EQ(dialog.Arret, 1);
    EXPECT_EQ(CRoutine::ProgressionAfficheEtTeste(dialog, 3, 10, "a", "b"), 0);
    EXPECT_FALSE(Stop()->isChecked());

    // Pressed and released again before the next refresh: nothing to report.
    PostClick(Stop());
    PostClick(Stop());
    EXPECT_EQ(CRoutine::ProgressionAfficheEtTeste(dialog, 4, 10, "a", "b"), 0);
}

TEST_F(Progress, EnterAndEscapeDoNotHideIt)
{
    PressKey(dialog.GetDlgItem(1211), Qt::Key_Escape);
    PressKey(dialog.GetDlgItem(1211), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    CloseBox(&dialog);
    EXPECT_TRUE(dialog.isVisible()) << "no close box, and closing asks for Cancel";
}

TEST_F(Progress, QuestionShowsTheNameAndNoButtonIsDefault)
{
    CString name = "/out/photo.jpg";
    int stop = 0;
    EXPECT_EQ(Ask(name, stop, dialog, [](QWidget* question) {
                  EXPECT_EQ(question->windowTitle(), "Question");
                  EXPECT_EQ(ControlAs<QLabel>(question, 1300)->text(), "(/out/photo.jpg)");
                  for (QPushButton* button : question->findChildren<QPushButton*>())
                      EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
                  // Enter, even on a focused button, chooses nothing.
                  PressKey(Control(question, 1301), Qt::Key_Return);
                  PressKey(Control(question, 1300), Qt::Key_Enter);
                  EXPECT_TRUE(question->isVisible());
                  Click(Control(question, 1303));
              }),
              CHOIX_TOUT_ECRASER);
    EXPECT_EQ(stop, 0);
    EXPECT_EQ(dialog.GetDlgItemText(1212), "/out/photo.jpg") << "the name goes to the Operation line";

    EXPECT_EQ(Ask(name, stop, dialog, [](QWidget* question) { Click(Control(question, 1301)); }), CHOIX_ECRASER);
    EXPECT_EQ(stop, 0);
}

TEST_F(Progress, EachChoiceButtonGivesItsChoiceAndPassAllSitsBesidePass)
{
    const struct {
        int bouton;
        const char* libelle;
        int choix;
    } cas[] = {
        {1301, "Replace", CHOIX_ECRASER},
        {1303, "All replace", CHOIX_TOUT_ECRASER},
        {1304, "Pass", CHOIX_PASSER},
        {1305, "Pass all", CHOIX_TOUT_PASSER},
    };
    for (const auto& c : cas) {
        CString name = "/out/photo.jpg";
        int stop = 0;
        QRect passer;
        QRect bouton;
        EXPECT_EQ(Ask(name, stop, dialog,
                      [&](QWidget* question) {
                          EXPECT_EQ(ControlAs<QPushButton>(question, c.bouton)->text(), c.libelle);
                          passer = Control(question, 1304)->geometry();
                          bouton = Control(question, 1305)->geometry();
                          EXPECT_FALSE(Control(question, IDCANCEL)->geometry().intersects(bouton));
                          Click(Control(question, c.bouton));
                      }),
                  c.choix)
            << c.libelle;
        EXPECT_EQ(stop, 0) << c.libelle;
        EXPECT_EQ(bouton.top(), passer.top());
        EXPECT_GT(bouton.left(), passer.right()) << "Pass all follows Pass";
    }
}

TEST_F(Progress, RenameCancelledKeepsTheQuestionOpen)
{
    CString name = "/out/photo.jpg";
    int stop = 0;
    EXPECT_EQ(Ask(name, stop, dialog, [](QWidget* question) {
                  OnNextModal([](QWidget* input) {
                      EXPECT_EQ(input->windowTitle(), "Request");
                      EXPECT_EQ(ControlAs<QLabel>(input, 1101)->text(), "Input of new filename");
                      EXPECT_EQ(ControlAs<QLineEdit>(input, 1100)->text(), "/out/photo.jpg");
                      Type(Control(input, 1100), "x");
                      Click(Control(input, IDCANCEL));
                  });
                  Click(Control(question, 1302));
                  EXPECT_TRUE(question->isVisible());
                  EXPECT_EQ(ControlAs<QLabel>(question, 1300)->text(), "(/out/photo.jpg)");
                  Click(Control(question, 1304));
              }),
              CHOIX_PASSER);
    EXPECT_EQ(name, "/out/photo.jpg");
    EXPECT_EQ(stop, 0);
}

TEST_F(Progress, RenameTakesTheTextAsTyped)
{
    CString name = "/out/photo.jpg";
    int stop = 0;
    const auto rename = [](QString typed) {
        return [typed](QWidget* question) {
            OnNextModal([typed](QWidget* input) {
                ControlAs<QLineEdit>(input, 1100)->clear();
                Type(Control(input, 1100), typed);
                PressKey(Control(input, 1100), Qt::Key_Return); // OK is the input's default button
            });
            Click(Control(question, 1302));
        };
    };
    EXPECT_EQ(Ask(name, stop, dialog, rename("/out/photo.jpg")), CHOIX_RENOMMER) << "unchanged still counts";
    EXPECT_EQ(name, "/out/photo.jpg");
    EXPECT_EQ(Ask(name, stop, dialog, rename("/out/other.jpg")), CHOIX_RENOMMER);
    EXPECT_EQ(name, "/out/other.jpg");
    EXPECT_EQ(dialog.GetDlgItemText(1212), "/out/other.jpg");
    EXPECT_EQ(stop, 0);
}

TEST_F(Progress, StopEscapeAndTheCloseBoxAllStop)
{
    const std::function<void(QWidget*)> ways[] = {
        [](QWidget* question) { Click(Control(question, IDCANCEL)); },
        [](QWidget* question) { PressKey(Control(question, 1302), Qt::Key_Escape); },
        [](QWidget* question) { CloseBox(question); },
    };
    for (const auto& way : ways) {
        CString name = "/out/photo.jpg";
        int stop = 0;
        EXPECT_EQ(Ask(name, stop, dialog, way), 0) << "no choice was made";
        EXPECT_EQ(stop, 1);
        EXPECT_EQ(name, "/out/photo.jpg");
    }
}

TEST(SaisieChaine, OkTakesTheFieldAndCancelLeavesTheText)
{
    CSaisieChaineDlg input;
    input.Titre = "Prompt";
    input.Chaine = "before";
    OnNextModal([](QWidget* dialog) {
        EXPECT_EQ(ControlAs<QLabel>(dialog, 1101)->text(), "Prompt");
        Type(Control(dialog, 1100), "!");
        Click(Control(dialog, IDOK));
    });
    EXPECT_EQ(input.DoModal(), IDOK);
    EXPECT_EQ(input.Chaine, "before!");

    OnNextModal([](QWidget* dialog) {
        Type(Control(dialog, 1100), "?");
        PressKey(Control(dialog, 1100), Qt::Key_Escape);
    });
    EXPECT_EQ(input.DoModal(), IDCANCEL);
    EXPECT_EQ(input.Chaine, "before!");
}
