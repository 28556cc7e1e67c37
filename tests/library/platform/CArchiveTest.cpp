// The archive's byte layout and how it fails on data that is not all there.

#include "CArchive.h"

#include <gtest/gtest.h>

namespace {

std::vector<BYTE> Stored(const CString& text)
{
    CArchive archive;
    archive << text;
    return archive.Bytes();
}

} // namespace

TEST(CArchive, StringPrefixGrowsAtTheFrameworksBoundaries)
{
    struct Case {
        std::size_t length;
        std::vector<BYTE> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const CString text(c.length, 'x');
        const std::vector<BYTE> bytes = Stored(text);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        CArchive in(bytes);
        CString back;
        in >> back;
        EXPECT_FALSE(in.Failed()) << c.length;
        EXPECT_EQ(back, text) << c.length;
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(CArchive, NumbersAreLittleEndian)
{
    CArchive out;
    out << std::int32_t(-2) << std::uint32_t(0x01020304) << BYTE(0xAB);
    const std::vector<BYTE> expected{0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0xAB};
    EXPECT_EQ(out.Bytes(), expected);
    CArchive in(out.Bytes());
    std::int32_t a = 0;
    std::uint32_t b = 0;
    BYTE c = 0;
    in >> a >> b >> c;
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(a, -2);
    EXPECT_EQ(b, 0x01020304u);
    EXPECT_EQ(c, 0xAB);
}

TEST(CArchive, ShortDataFailsForGoodAndLeavesOutputsAlone)
{
    const std::vector<BYTE> bytes{1, 0, 0, 0, 2, 0, 0};
    CArchive in(bytes);
    std::int32_t first = 0, second = 99;
    in >> first >> second;
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 99);
    ASSERT_TRUE(in.Failed());
    // Three bytes are left, but a failed archive reads nothing more.
    BYTE b = 7;
    in >> b;
    EXPECT_EQ(b, 7);
    EXPECT_TRUE(in.Failed());
}

TEST(CArchive, StringLengthsAreTrustedOnlyAsFarAsTheData)
{
    const std::vector<std::vector<BYTE>> hostile{
        {0x05, 'a', 'b'},                                          // one-byte length past the end
        {0xFF, 0x00, 0x01, 'a'},                                   // 16-bit length past the end
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}, // claims 4 GiB
        {0xFF, 0xFF, 0xFF, 0xFF},                                  // 32-bit length cut short
        {0xFF, 0xFE, 0xFF, 0x01, 'a'},                             // wide-string marker
    };
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        CArchive in(hostile[i]);
        CString text = "unchanged";
        in >> text;
        EXPECT_TRUE(in.Failed()) << i;
        EXPECT_EQ(text, "unchanged") << i;
    }
}
