// The pure routines of CRoutine: file names, hexadecimal bytes, check states
// and key-and-value readers.

#include "CRoutine.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

struct Parts {
    CString directory = "dir?";
    CString name = "name?";
    CString extension = "ext?";
};

Parts Split(const CString& path)
{
    Parts parts;
    CRoutine::SepareNomFichier(path, parts.directory, parts.name, parts.extension);
    return parts;
}

} // namespace

TEST(SepareNomFichier, SplitsAtTheLastDotThenTheLastSeparator)
{
    Parts p = Split("C:\\dir\\photo.jpg");
    EXPECT_EQ(p.directory, "C:\\dir");
    EXPECT_EQ(p.name, "photo");
    EXPECT_EQ(p.extension, ".jpg");

    p = Split("/home/anne/photo.tar.gz");
    EXPECT_EQ(p.directory, "/home/anne");
    EXPECT_EQ(p.name, "photo.tar");
    EXPECT_EQ(p.extension, ".gz");

    // The dot is searched in the whole path, directories included.
    p = Split("C:\\a.b\\photo");
    EXPECT_EQ(p.extension, ".b\\photo");
    EXPECT_EQ(p.directory, "C:");
    EXPECT_EQ(p.name, "a");

    // "\" wins over a later "/".
    p = Split("C:/x\\y/z.jpg");
    EXPECT_EQ(p.directory, "C:/x");
    EXPECT_EQ(p.name, "y/z");
}

TEST(SepareNomFichier, MissingPartsKeepTheirOutputs)
{
    Parts p = Split("C:/dir/photo");
    EXPECT_EQ(p.extension, "ext?");
    EXPECT_EQ(p.directory, "C:/dir");
    EXPECT_EQ(p.name, "photo");

    p = Split("photo.jpg");
    EXPECT_EQ(p.extension, ".jpg");
    EXPECT_EQ(p.directory, "dir?");
    EXPECT_EQ(p.name, "name?");

    p = Split("");
    EXPECT_EQ(p.directory, "dir?");
    EXPECT_EQ(p.name, "name?");
    EXPECT_EQ(p.extension, "ext?");
}

TEST(FormateNomFichier, InsertsPrefixAndSuffixWhereTheirMarksAre)
{
    EXPECT_EQ(CRoutine::FormateNomFichier("C:\\img\\photo.jpg", "s_", "_x"), "C:\\img\\s_photo_x.jpg");
    EXPECT_EQ(CRoutine::FormateNomFichier("/home/anne/photo.jpg", "s_", "_x"), "/home/anne/s_photo_x.jpg");
    EXPECT_EQ(CRoutine::FormateNomFichier("photo.jpg", "s_", "_x"), "photo_x.jpg");
    EXPECT_EQ(CRoutine::FormateNomFichier("C:\\dir\\photo", "s_", "_x"), "C:\\dir\\s_photo");
    EXPECT_EQ(CRoutine::FormateNomFichier("a/b\\c.jpg", "s_", ""), "a/b\\s_c.jpg");
    EXPECT_EQ(CRoutine::FormateNomFichier("photo", "s_", "_x"), "photo");
    // A dot in a folder name takes the suffix, as the last dot of the path.
    EXPECT_EQ(CRoutine::FormateNomFichier("C:\\a.b\\photo", "s_", "_x"), "C:\\a_x.b\\s_photo");
}

TEST(HexToBin, ReadsTheLastTwoCharacters)
{
    EXPECT_EQ(CRoutine::HexToBin("7"), 7u);
    EXPECT_EQ(CRoutine::HexToBin("ff"), 255u);
    EXPECT_EQ(CRoutine::HexToBin("FF"), 255u);
    EXPECT_EQ(CRoutine::HexToBin("1A3"), 163u);
    EXPECT_EQ(CRoutine::HexToBin(""), 0u);
    EXPECT_EQ(CRoutine::HexToBin("0"), 0u);
    EXPECT_EQ(CRoutine::HexToBin("100"), 0u);
    EXPECT_EQ(CRoutine::HexToBin("0x0080"), 128u);
    // Other characters are not refused; they count by the same arithmetic.
    EXPECT_EQ(CRoutine::HexToBin("g0"), 256u);
    EXPECT_EQ(CRoutine::HexToBin("zz"), 35u * 16 + 35);
}

TEST(EtatBouton, SetsAndReadsCheckStates)
{
    QCheckBox box;
    QRadioButton radio;
    QPushButton toggle;
    toggle.setCheckable(true);
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(&box), static_cast<QAbstractButton*>(&radio),
                                    static_cast<QAbstractButton*>(&toggle)}) {
        int state = -1;
        CRoutine::FixeEtatBouton(button, 5);
        EXPECT_TRUE(button->isChecked());
        CRoutine::LireEtatBouton(button, &state);
        EXPECT_EQ(state, 1);
        CRoutine::FixeEtatBouton(button, 0);
        CRoutine::LireEtatBouton(button, &state);
        EXPECT_EQ(state, 0);
    }
    // A radio Qt keeps exclusive is unchecked all the same, and checking one
    // leaves its siblings alone.
    QWidget parent;
    auto* first = new QRadioButton(&parent);
    auto* second = new QRadioButton(&parent);
    CRoutine::FixeEtatBouton(first, 1);
    CRoutine::FixeEtatBouton(second, 1);
    EXPECT_TRUE(first->isChecked());
    CRoutine::FixeEtatBouton(second, 0);
    EXPECT_FALSE(second->isChecked());

    int state = -1;
    box.setCheckState(Qt::PartiallyChecked);
    CRoutine::LireEtatBouton(&box, &state);
    EXPECT_EQ(state, 0) << "indeterminate reads as unchecked";
}

TEST(ChargeUneDonnee, NumbersFollowTheFirstOccurrenceOfTheKey)
{
    int i = -1;
    EXPECT_EQ(CRoutine::ChargeUneDonnee("a=1 Q=75 Q=80", "Q=", &i), 1);
    EXPECT_EQ(i, 75);
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Q=  -12abc", "Q=", &i), 1);
    EXPECT_EQ(i, -12);
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Q=abc", "Q=", &i), 1);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Q=99999999999", "Q=", &i), 1);
    EXPECT_EQ(i, INT_MAX);
    i = 9;
    EXPECT_EQ(CRoutine::ChargeUneDonnee("R=5", "Q=", &i), 0);
    EXPECT_EQ(i, 9) << "absent key leaves the value";

    long l = 0;
    EXPECT_EQ(CRoutine::ChargeUneDonnee("L=-9000000000", "L=", &l), 1);
    EXPECT_EQ(l, -9000000000L);

    CString s = "old";
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Name=Anne Marie", "Name=", &s), 1);
    EXPECT_EQ(s, "Anne Marie");
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Name=", "Name=", &s), 1);
    EXPECT_EQ(s, "");
    s = "old";
    EXPECT_EQ(CRoutine::ChargeUneDonnee("x", "Name=", &s), 0);
    EXPECT_EQ(s, "old");
}

TEST(ChargeUneDonnee, FontFieldsThenTheFaceName)
{
    LOGFONT font{};
    ASSERT_EQ(CRoutine::ChargeUneDonnee("Font=-13 2 3 4 700 1 0 1 300 3 2 1 34 Comic Sans MS", "Font=", &font), 1);
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfWidth, 2);
    EXPECT_EQ(font.lfEscapement, 3);
    EXPECT_EQ(font.lfOrientation, 4);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(font.lfCharSet, 44) << "300 kept in its byte";
    EXPECT_EQ(font.lfOutPrecision, 3);
    EXPECT_EQ(font.lfClipPrecision, 2);
    EXPECT_EQ(font.lfQuality, 1);
    EXPECT_EQ(font.lfPitchAndFamily, 34);
    EXPECT_STREQ(font.lfFaceName, "Comic Sans MS");

    // The field holds 31 characters and its terminator.
    const CString longFace(40, 'F');
    ASSERT_EQ(CRoutine::ChargeUneDonnee("-1 0 0 0 400 0 0 0 0 0 0 0 0 " + longFace, "", &font), 1);
    EXPECT_EQ(std::strlen(font.lfFaceName), 31u);

    // A short text fills what it has and leaves the rest 0 or empty.
    ASSERT_EQ(CRoutine::ChargeUneDonnee("Font=12 5", "Font=", &font), 1);
    EXPECT_EQ(font.lfHeight, 12);
    EXPECT_EQ(font.lfWidth, 5);
    EXPECT_EQ(font.lfWeight, 0);
    EXPECT_STREQ(font.lfFaceName, "");

    LOGFONT untouched{};
    untouched.lfHeight = 77;
    EXPECT_EQ(CRoutine::ChargeUneDonnee("Size=1", "Font=", &untouched), 0);
    EXPECT_EQ(untouched.lfHeight, 77);
}
