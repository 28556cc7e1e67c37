// Fonts from logical-font records, and measuring and drawing text with them.

#include "Gdi.h"

#include <QFontInfo>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

namespace {

LOGFONT Record(const char* face, LONG height)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

std::unique_ptr<Font> Make(const LOGFONT& lf) { return std::unique_ptr<Font>(CreateFontIndirect(&lf)); }

CSize Extent(HFONT font, const std::string& text, int length = -1)
{
    HDC dc = GetDC(nullptr);
    SelectObject(dc, font);
    CSize size(-1, -1);
    EXPECT_TRUE(GetTextExtentPoint32(dc, text.c_str(), length < 0 ? int(text.size()) : length, &size));
    ReleaseDC(nullptr, dc);
    return size;
}

} // namespace

TEST(Font, TemplateFacesKeepTheirNamesAndFindTheirStandIns)
{
    const auto comic = Make(Record("Comic Sans MS", -11));
    EXPECT_EQ(comic->qfont().family(), "Comic Sans MS");
    EXPECT_EQ(QFontInfo(comic->qfont()).family(), "Comic Neue");
    const auto sans = Make(Record("MS Sans Serif", -11));
    EXPECT_EQ(QFontInfo(sans->qfont()).family(), "DejaVu Sans");
}

TEST(Font, NegativeHeightIsCharacterHeightPositiveIsCellHeight)
{
    for (const char* face : {"Comic Sans MS", "MS Sans Serif"}) {
        for (LONG h = 6; h <= 120; h += 3) {
            const auto character = Make(Record(face, -h));
            EXPECT_EQ(character->qfont().pixelSize(), h);
            const auto cell = Make(Record(face, h));
            const LONG measured = Extent(cell.get(), "Hg").cy;
            EXPECT_LE(std::abs(measured - h), 1) << face << " " << h;
            // The cell holds the character height plus the leading above it.
            EXPECT_GT(Extent(character.get(), "Hg").cy, measured) << face << " " << h;
        }
    }
    const auto byDefault = Make(Record("MS Sans Serif", 0));
    EXPECT_LE(std::abs(Extent(byDefault.get(), "Hg").cy - Font::kDefaultCellHeight), 1);
}

TEST(Font, KeepsItsRecordByteForByteEvenWhenHostile)
{
    LOGFONT lf{};
    lf.lfHeight = INT_MIN;
    lf.lfWidth = INT_MIN;
    lf.lfWeight = 123456;
    lf.lfItalic = 0xFF;
    lf.lfPitchAndFamily = 0xFF;
    std::memset(lf.lfFaceName, 'A', LF_FACESIZE); // no terminator
    const auto font = Make(lf);
    EXPECT_EQ(font->qfont().pixelSize(), Font::kMaxPixelSize);
    EXPECT_EQ(font->qfont().family(), QString(LF_FACESIZE, 'A'));
    LOGFONT back;
    EXPECT_EQ(GetObject(font.get(), sizeof back, &back), int(sizeof back));
    EXPECT_EQ(std::memcmp(&back, &lf, sizeof lf), 0);
    EXPECT_EQ(GetObject(font.get(), sizeof back - 1, &back), 0);
    lf.lfHeight = INT_MAX;
    EXPECT_LE(Make(lf)->qfont().pixelSize(), Font::kMaxPixelSize);
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(Font, DescribesQtFontsAsTheFontChooserAndWidgetsGiveThem)
{
    QFont templateFont("Comic Sans MS", 8);
    LOGFONT lf = Font::Describe(templateFont);
    EXPECT_EQ(lf.lfHeight, -11); // 8 points at 96 dpi, rounded
    EXPECT_STREQ(lf.lfFaceName, "Comic Sans MS");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);

    LOGFONT styled = Record("DejaVu Serif", -27);
    styled.lfWeight = FW_BOLD;
    styled.lfItalic = styled.lfUnderline = styled.lfStrikeOut = 1;
    lf = Font::Describe(Make(styled)->qfont());
    EXPECT_EQ(lf.lfHeight, -27);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic + lf.lfUnderline + lf.lfStrikeOut, 3);
    EXPECT_STREQ(lf.lfFaceName, "DejaVu Serif");

    // 40 bytes of two-byte letters: cut to 30, never inside a letter.
    lf = Font::Describe(QFont(QString(20, QChar(0xE9))));
    EXPECT_EQ(std::strlen(lf.lfFaceName), 30u);
    EXPECT_EQ(QString::fromUtf8(lf.lfFaceName), QString(15, QChar(0xE9)));
}

TEST(Text, MeasuresUtf8BytesAsOneLine)
{
    const auto font = Make(Record("DejaVu Sans", -20));
    const CSize empty = Extent(font.get(), "");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_GT(empty.cy, 20);
    // Lengths count bytes; an accented letter is one character, not two.
    EXPECT_EQ(Extent(font.get(), "Hello", 2), Extent(font.get(), "He"));
    EXPECT_EQ(Extent(font.get(), "\xC3\xA9").cx, Extent(font.get(), "e").cx);
    EXPECT_EQ(Extent(font.get(), "a\nb").cy, empty.cy);

    // Without a font the default one measures.
    EXPECT_GT(Extent(nullptr, "abc").cx, 0);
}
