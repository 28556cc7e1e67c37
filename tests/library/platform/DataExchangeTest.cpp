// Transfers between members and controls, and the warnings of a failed read.

#include "CDataExchange.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "TestForm.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <gtest/gtest.h>

namespace {

QLineEdit* Edit(CDialog& dialog, int id) { return dialog.GetDlgItemAs<QLineEdit>(id); }

// One field of type T exchanged with edit 103; returns UpdateData's answer
// and leaves the member in value.
template <class T>
BOOL Read(const char* text, T& value)
{
    Form form;
    form.exchange = [&](CDataExchange* pDX) { DDX_Text(pDX, 103, value); };
    form.Create();
    form.SetDlgItemText(103, text);
    return form.UpdateData(TRUE);
}

std::string LastWarning() { return Scripted().shown.empty() ? "" : Scripted().shown.back().text; }

} // namespace

TEST(DataExchange, FieldsBeforeAFailureKeepTheirValuesAndTheFocusGoesBack)
{
    Form form;
    CString name = "start";
    int count = 5;
    double ratio = 0.5;
    form.exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 100, name);
        DDX_Text(pDX, 101, count);
        DDV_MinMaxInt(pDX, count, 0, 50);
        DDX_Text(pDX, 103, ratio);
        DDV_MinMaxDouble(pDX, ratio, 0.0, 1.0);
    };
    ASSERT_TRUE(form.Create());
    EXPECT_EQ(Edit(form, 101)->text(), "5");
    EXPECT_EQ(Edit(form, 103)->text(), "0.5");

    form.SetDlgItemText(100, "abc");
    form.SetDlgItemText(101, "99");
    form.SetDlgItemText(103, "0.25");
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(name, "abc");
    EXPECT_EQ(count, 99) << "read, then refused by the range check";
    EXPECT_EQ(ratio, 0.5) << "never reached";
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(LastWarning(), "Please enter an integer between 0 and 50.");
    EXPECT_EQ(Scripted().shown.back().type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Scripted().shown.back().caption, QCoreApplication::applicationName().toStdString());
    EXPECT_EQ(form.focusWidget(), form.GetDlgItem(101));
    EXPECT_EQ(Edit(form, 101)->selectedText(), "99");

    form.SetDlgItemText(101, "7");
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(ratio, 0.25);
}

TEST(DataExchange, ALateCheckPointsAtTheFieldItNames)
{
    Form form;
    int first = 0;
    int second = 0;
    form.exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 100, first);
        DDX_Text(pDX, 103, second);
        if (pDX->m_bSaveAndValidate) {
            pDX->PrepareEditCtrl(100);
            DDV_MinMaxInt(pDX, first, 0, 10);
        }
    };
    ASSERT_TRUE(form.Create());
    form.SetDlgItemText(100, "11");
    form.SetDlgItemText(103, "3");
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(second, 3);
    EXPECT_EQ(form.focusWidget(), form.GetDlgItem(100));
}

TEST(DataExchange, NumbersMustBeWholeAndInRangeOfTheirType)
{
    int i = 1;
    EXPECT_TRUE(Read(" -12 ", i));
    EXPECT_EQ(i, -12);
    EXPECT_TRUE(Read("+4", i));
    EXPECT_EQ(i, 4);
    for (const char* bad : {"12x", "", " ", "1 2", "2147483648", "--1", "+-1"}) {
        Scripted().clear();
        EXPECT_FALSE(Read(bad, i)) << bad;
        EXPECT_EQ(LastWarning(), "Please enter an integer.") << bad;
        EXPECT_EQ(i, 4) << bad;
    }

    UINT u = 1;
    EXPECT_TRUE(Read("4294967295", u));
    EXPECT_EQ(u, 4294967295u);
    for (const char* bad : {"-1", "4294967296", "x"}) {
        Scripted().clear();
        EXPECT_FALSE(Read(bad, u)) << bad;
        EXPECT_EQ(LastWarning(), "Please enter a positive integer.") << bad;
    }

    long l = 0;
    EXPECT_TRUE(Read("-9000000000", l));
    EXPECT_EQ(l, -9000000000L);

    double d = 0;
    EXPECT_TRUE(Read(" 1e3 ", d));
    EXPECT_EQ(d, 1000.0);
    for (const char* bad : {"abc", "1,5", "inf", ""}) {
        Scripted().clear();
        EXPECT_FALSE(Read(bad, d)) << bad;
        EXPECT_EQ(LastWarning(), "Please enter a number.") << bad;
        EXPECT_EQ(d, 1000.0);
    }
}

TEST(DataExchange, RangeAndLengthWarningsNameTheirLimits)
{
    Form form;
    CString text = "12345678";
    form.exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 100, text);
        DDV_MaxChars(pDX, text, 8);
    };
    ASSERT_TRUE(form.Create());
    EXPECT_EQ(Edit(form, 100)->maxLength(), 8) << "writing limits the edit";
    // Five letters fit the edit, but the limit counts bytes.
    form.SetDlgItemText(100, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(LastWarning(), "Please enter no more than 8 characters.");

    CDataExchange reading(&form, TRUE);
    EXPECT_THROW(DDV_MinMaxUInt(&reading, 5u, 0u, 2u), CDataExchange::Failure);
    EXPECT_EQ(LastWarning(), "Please enter an integer between 0 and 2.");
    EXPECT_THROW(DDV_MinMaxLong(&reading, -3L, -2L, 2L), CDataExchange::Failure);
    EXPECT_EQ(LastWarning(), "Please enter an integer between -2 and 2.");
    EXPECT_THROW(DDV_MinMaxDouble(&reading, 1.5, 0.0, 0.75), CDataExchange::Failure);
    EXPECT_EQ(LastWarning(), "Please enter a number between 0 and 0.75.");
    EXPECT_NO_THROW(DDV_MinMaxInt(&reading, 2, 2, 2));

    CDataExchange writing(&form, FALSE);
    EXPECT_NO_THROW(DDV_MinMaxInt(&writing, 99, 0, 2)) << "only reading is checked";
}

TEST(DataExchange, ChecksRadiosSlidersAndBoundControls)
{
    Form form;
    int check = 2;
    int radio = -1;
    int slider = 30;
    QRadioButton* bound = nullptr;
    QSlider* wrong = reinterpret_cast<QSlider*>(&form);
    form.exchange = [&](CDataExchange* pDX) {
        DDX_Check(pDX, 104, check);
        DDX_Radio(pDX, 108, radio);
        DDX_Slider(pDX, 113, slider);
        DDX_Control(pDX, 109, bound);
        DDX_Control(pDX, 100, wrong);
    };
    ASSERT_TRUE(form.Create());
    EXPECT_EQ(form.IsDlgButtonChecked(104), BST_INDETERMINATE);
    EXPECT_FALSE(form.GetDlgItemAs<QRadioButton>(108)->isChecked());
    EXPECT_FALSE(form.GetDlgItemAs<QRadioButton>(109)->isChecked());
    EXPECT_EQ(form.GetDlgItemAs<QSlider>(113)->value(), 30);
    EXPECT_EQ(bound, form.GetDlgItem(109));
    EXPECT_EQ(wrong, nullptr) << "an edit is no slider";

    DialogDriver::Click(form.GetDlgItem(104));
    bound->setChecked(true);
    form.GetDlgItemAs<QSlider>(113)->setValue(70);
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(check, 1) << "a click leaves the indeterminate state";
    EXPECT_EQ(radio, 1);
    EXPECT_EQ(slider, 70);
}

TEST(DataExchange, SliderMovesByTheUserAreReported)
{
    Form form;
    ASSERT_TRUE(form.Create());
    auto* slider = form.GetDlgItemAs<QSlider>(113);
    slider->setValue(40);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &right);
    DialogDriver::Pump();
    EXPECT_EQ(form.log, (std::vector<std::string>{"scroll 1 41", "scroll 8 41"}));
}
