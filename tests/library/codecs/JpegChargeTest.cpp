// Loading JPEG files into device images.

#include "JpegFile.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>

using namespace TestImages;
using namespace JpegTest;

namespace {

struct Variant {
    const char* options;
    int width;
    int height;
};

// Every subsampling, greyscale, progressive, and widths that end partway
// through a block.
const Variant kVariants[] = {
    {"-sample 2x2", 1, 1},     {"-sample 2x2", 3, 5},     {"-sample 2x2", 17, 9},  {"-sample 2x2", 67, 45},
    {"-sample 2x1", 1, 7},     {"-sample 2x1", 3, 3},     {"-sample 2x1", 17, 33}, {"-sample 1x1", 3, 2},
    {"-sample 1x1", 17, 17},   {"-grayscale", 1, 4},      {"-grayscale", 17, 6},   {"-progressive", 3, 8},
    {"-progressive", 67, 45},  {"-sample 1x1 -quality 100", 1, 3},
};

class JpegCharge : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool(kCjpeg) || !HaveTool(kDjpeg))
            GTEST_SKIP() << "cjpeg and djpeg are needed as the reference codec";
    }
    void TearDown() override { Screen::simulate(CSize(), 0); }

    CGraphique graphique;
    Sandbox box;
};

} // namespace

TEST_F(JpegCharge, PixelsEqualTheReferenceDecoder)
{
    int index = 0;
    for (const Variant& v : kVariants) {
        SCOPED_TRACE(std::string(v.options) + " " + std::to_string(v.width) + "x" + std::to_string(v.height));
        const std::string jpeg = Cjpeg(graphique, box, "v" + std::to_string(index++), v.width, v.height, v.options);
        ASSERT_FALSE(jpeg.empty());
        int w = 0, h = 0;
        std::vector<COLORREF> expected;
        ASSERT_TRUE(Djpeg(jpeg, box, w, h, expected));
        HBITMAP image = graphique.ChargeImage(jpeg);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(Depth(image), 32);
        ASSERT_EQ(SizeOf(image), CSize(w, h));
        EXPECT_EQ(Pixels(image), expected);
        if (std::string(v.options) == "-grayscale") {
            for (COLORREF c : Pixels(image))
                ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
        }
        DeleteObject(image);
    }
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(JpegCharge, DirectDecodingEqualsTheRgbBufferPipeline)
{
    std::vector<std::string> files;
    int index = 0;
    for (const Variant& v : kVariants)
        files.push_back(Cjpeg(graphique, box, "p" + std::to_string(index++), v.width, v.height, v.options));
    // A CMYK file has no RGB rendering: both ways leave it black.
    if (HaveTool(kConvert) && RunCommand(std::string(kConvert) + " '" + files[3] + "' -colorspace CMYK '"
                                  + box.path("cmyk.jpg") + "'") == 0)
        files.push_back(box.path("cmyk.jpg"));
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        HBITMAP direct = graphique.ChargeImage(file);
        HBITMAP reference = LoadThroughRgbBuffer(file);
        ASSERT_NE(direct, nullptr);
        ASSERT_NE(reference, nullptr);
        // Rows compared whole: the fourth byte of each pixel is 0 in both.
        EXPECT_EQ(RowBytes(direct), RowBytes(reference));
        if (file.ends_with("cmyk.jpg")) {
            EXPECT_EQ(RowBytes(direct), Bytes(RowBytes(direct).size(), 0));
        }
        DeleteObject(direct);
        DeleteObject(reference);
    }
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(JpegCharge, OtherDisplayDepthsTakeTheDisplayFormat)
{
    const std::string jpeg = Cjpeg(graphique, box, "d", 17, 9, "-sample 2x2");
    HBITMAP full = graphique.ChargeImage(jpeg);
    Screen::simulate(CSize(1024, 768), 16);
    HBITMAP reduced = graphique.ChargeImage(jpeg);
    ASSERT_NE(reduced, nullptr);
    EXPECT_EQ(Depth(reduced), 16);
    // 5-6-5 keeps the top bits of each channel.
    EXPECT_EQ(FirstDifference(full, reduced, 8), "");
    DeleteObject(full);
    DeleteObject(reduced);
}

TEST_F(JpegCharge, AnyCaseOfTheEndingsLoads)
{
    const std::string jpeg = Cjpeg(graphique, box, "n", 3, 3, "");
    for (const char* name : {"a.jpeg", "B.JPG", "c.Jpg", "d.JpEg"}) {
        std::filesystem::copy_file(jpeg, box.path(name));
        HBITMAP image = graphique.ChargeImage(box.path(name));
        EXPECT_NE(image, nullptr) << name;
        DeleteObject(image);
    }
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(JpegCharge, NotAJpegShowsTheLibraryMessageThenTheLoadMessage)
{
    HBITMAP picture = Gradient(4, 4, 24);
    ASSERT_EQ(graphique.SauveImage(box.path("real.bmp"), picture, 0), 1);
    DeleteObject(picture);
    // A header size no BMP has: read as its name says (a whole BMP is read as one).
    std::vector<std::uint8_t> octets = ReadFile(box.path("real.bmp"));
    octets[14] = 41;
    WriteFile(box.path("fake.jpg"), octets);
    EXPECT_EQ(graphique.ChargeImage(box.path("fake.jpg")), nullptr);
    const auto& shown = Scripted().shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Not a JPEG file: starts with 0x42 0x4d");
    EXPECT_EQ(shown[0].caption, "JPEG Fatal Error");
    EXPECT_EQ(shown[0].type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(shown[1].text, "Unable to load file");
    EXPECT_EQ(shown[1].caption, "Error");
}

TEST_F(JpegCharge, TruncatedFileLoadsAfterOneWarning)
{
    HBITMAP picture = Photo(96, 64);
    ASSERT_EQ(graphique.SauveImage(box.path("whole.jpg"), picture, 90), 1);
    DeleteObject(picture);
    Bytes bytes = ReadFile(box.path("whole.jpg"));
    bytes.resize(bytes.size() / 2);
    WriteFile(box.path("half.jpg"), bytes);

    for (int depth : {32, 16}) {
        SCOPED_TRACE(depth);
        Screen::simulate(depth == 32 ? CSize() : CSize(1024, 768), depth);
        Scripted().clear();
        HBITMAP image = graphique.ChargeImage(box.path("half.jpg"));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(SizeOf(image), CSize(96, 64));
        ASSERT_EQ(Scripted().shown.size(), 1u);
        EXPECT_EQ(Scripted().shown[0].caption, "JPEG Error");
        EXPECT_EQ(Scripted().shown[0].type, MB_OK);
        EXPECT_FALSE(Scripted().shown[0].text.empty());
        DeleteObject(image);
    }
}

TEST_F(JpegCharge, ErrorsAfterTheHeaderReleaseEverything)
{
    // A picture too large to hold, and a second frame header after the
    // pixels, which the library meets only when finishing. The sanitizer
    // build shows that neither leaves anything behind.
    const Bytes good = ReadFile(Cjpeg(graphique, box, "g", 17, 9, "-sample 2x2"));
    std::size_t sof = 0;
    while (sof + 1 < good.size() && !(good[sof] == 0xFF && good[sof + 1] == 0xC0))
        ++sof;
    ASSERT_LT(sof + 9, good.size());
    const std::size_t sofLength = (good[sof + 2] << 8 | good[sof + 3]) + 2;

    Bytes huge = good;
    huge[sof + 5] = huge[sof + 7] = 0xFF;
    huge[sof + 6] = huge[sof + 8] = 0xDC;
    WriteFile(box.path("huge.jpg"), huge);
    Bytes twice(good.begin(), good.end() - 2);
    twice.insert(twice.end(), good.begin() + static_cast<long>(sof), good.begin() + static_cast<long>(sof + sofLength));
    twice.insert(twice.end(), {0xFF, 0xD9});
    WriteFile(box.path("twice.jpg"), twice);

    for (int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        Screen::simulate(depth == 32 ? CSize() : CSize(1024, 768), depth);
        Scripted().clear();
        EXPECT_EQ(graphique.ChargeImage(box.path("huge.jpg")), nullptr);
        ASSERT_EQ(Scripted().shown.size(), 2u);
        EXPECT_EQ(Scripted().shown[0].text, "JpegFile :\nOut of memory");
        EXPECT_EQ(Scripted().shown[0].caption, QCoreApplication::applicationName().toStdString());
        EXPECT_EQ(Scripted().shown[0].type, MB_OK | MB_ICONERROR);
        EXPECT_EQ(Scripted().shown[1].text, "Unable to load file");

        Scripted().clear();
        EXPECT_EQ(graphique.ChargeImage(box.path("twice.jpg")), nullptr);
        ASSERT_EQ(Scripted().shown.size(), 2u);
        EXPECT_EQ(Scripted().shown[0].caption, "JPEG Fatal Error");
        EXPECT_EQ(Scripted().shown[1].text, "Unable to load file");
    }
}

TEST_F(JpegCharge, EndlessProgressiveFilesAreRefused)
{
    // The last scan of a progressive file (with its Huffman tables) repeated
    // until there are more than 500: each repeat costs a few bytes and a
    // pass over the whole picture.
    const Bytes good = ReadFile(Cjpeg(graphique, box, "s", 16, 16, "-grayscale -progressive"));
    std::size_t sos = good.size() - 2;
    while (sos > 0 && !(good[sos] == 0xFF && good[sos + 1] == 0xDA))
        --sos;
    ASSERT_GT(sos, 0u);
    std::size_t start = sos;
    for (std::size_t p = 0; p + 4 <= sos; ++p)
        if (good[p] == 0xFF && good[p + 1] == 0xC4 && p + 2 + (good[p + 2] << 8 | good[p + 3]) == sos)
            start = p;
    Bytes endless(good.begin(), good.end() - 2);
    for (int i = 0; i < 600; ++i)
        endless.insert(endless.end(), good.begin() + static_cast<long>(start), good.end() - 2);
    endless.insert(endless.end(), {0xFF, 0xD9});
    WriteFile(box.path("endless.jpg"), endless);

    EXPECT_EQ(graphique.ChargeImage(box.path("endless.jpg")), nullptr);
    const auto& shown = Scripted().shown;
    ASSERT_GE(shown.size(), 2u);
    // A repeated scan breaks the progression: at most the one warning first.
    ASSERT_LE(shown.size(), 3u);
    EXPECT_EQ(shown[shown.size() - 2].text, "Progressive JPEG image has more than 500 scans");
    EXPECT_EQ(shown[shown.size() - 2].caption, "JPEG Fatal Error");
    EXPECT_EQ(shown.back().text, "Unable to load file");
}
