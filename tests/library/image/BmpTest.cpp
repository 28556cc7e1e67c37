// BMP files: the format choice, what we write, what others write, and
// files that must be refused without harm.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>

using namespace TestImages;

namespace {

DWORD Dword(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24;
}

void PutDword(std::vector<std::uint8_t>& b, std::size_t at, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class Bmp : public testing::Test {
protected:
    CGraphique graphique;
    Sandbox box;

    // Saves image as BMP and returns the file's bytes.
    std::vector<std::uint8_t> Saved(HBITMAP image, const std::string& name = "out.bmp")
    {
        EXPECT_EQ(graphique.SauveImage(box.path(name), image, 75), 1);
        return ReadFile(box.path(name));
    }
};

} // namespace

TEST_F(Bmp, ThreeByTwoAtTwentyFourBitsIs78Bytes)
{
    HBITMAP image = Gradient(3, 2, 24);
    const auto bytes = Saved(image);
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Dword(bytes, 2), 78u);
    EXPECT_EQ(Dword(bytes, 10), 54u);
    EXPECT_EQ(Dword(bytes, 14), 40u);
    EXPECT_EQ(Dword(bytes, 14 + 20), 24u);
    HBITMAP back = graphique.ChargeImage(box.path("out.bmp"));
    EXPECT_EQ(FirstDifference(image, back), "");
    DeleteObject(image);
    DeleteObject(back);
}

TEST_F(Bmp, EachDepthIsWrittenInItsOwnFormatAndReadBack)
{
    struct Case {
        int bpp;
        std::size_t headerBlock;
        DWORD compression;
    };
    for (const Case c : {Case{32, 52, BI_BITFIELDS}, Case{16, 52, BI_BITFIELDS}, Case{24, 40, BI_RGB},
                         Case{8, 40 + 1024, BI_RGB}}) {
        HBITMAP image = Gradient(5, 3, c.bpp);
        const auto bytes = Saved(image);
        const std::size_t imageSize = DibRowBytes(5, c.bpp) * 3;
        ASSERT_EQ(bytes.size(), 14 + c.headerBlock + imageSize) << c.bpp;
        EXPECT_EQ(Dword(bytes, 10), 14 + c.headerBlock);
        EXPECT_EQ(Dword(bytes, 14 + 16), c.compression);
        HBITMAP back = graphique.ChargeImage(box.path("out.bmp"));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(Depth(back), 32) << "loaded images take the display's depth";
        EXPECT_EQ(FirstDifference(image, back), "") << c.bpp;
        DeleteObject(image);
        DeleteObject(back);
    }
}

TEST_F(Bmp, FormatComesFromTheLastThreeCharacters)
{
    HBITMAP image = Gradient(4, 4);
    ASSERT_EQ(graphique.SauveImage(box.path("PHOTO.BMP"), image, 75), 1);
    ASSERT_EQ(graphique.SauveImage(box.path("photo.Bmp"), image, 75), 1);
    HBITMAP a = graphique.ChargeImage(box.path("PHOTO.BMP"));
    EXPECT_NE(a, nullptr);
    EXPECT_TRUE(Scripted().shown.empty());

    EXPECT_EQ(graphique.SauveImage(box.path("photo.tif"), image, 75), 0);
    EXPECT_FALSE(std::filesystem::exists(box.path("photo.tif")));
    EXPECT_TRUE(Scripted().shown.empty()) << "an unknown ending saves nothing, silently";

    // Read, the content decides: a BMP named .tif loads; what no format
    // knows fails under an ending none has either.
    std::filesystem::copy_file(box.path("PHOTO.BMP"), box.path("photo.tif"));
    HBITMAP b = graphique.ChargeImage(box.path("photo.tif"));
    EXPECT_EQ(FirstDifference(a, b), "");
    DeleteObject(b);
    WriteFile(box.path("notes.tif"), {'n', 'o', 't', 'e', 's'});
    EXPECT_EQ(graphique.ChargeImage(box.path("notes.tif")), nullptr);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to load file");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    EXPECT_EQ(Scripted().shown[0].type & MB_ICONMASK, MB_ICONERROR);
    DeleteObject(a);
    DeleteObject(image);
}

TEST_F(Bmp, FileWithoutSignatureGivesTheLoadMessage)
{
    HBITMAP image = Gradient(4, 4);
    auto bytes = Saved(image);
    bytes[0] = 'X';
    WriteFile(box.path("bad.bmp"), bytes);
    EXPECT_EQ(graphique.ChargeImage(box.path("bad.bmp")), nullptr);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to load file");
    DeleteObject(image);
}

TEST_F(Bmp, SaveIntoMissingFolderShowsTheMessage)
{
    HBITMAP image = Gradient(4, 4);
    EXPECT_EQ(graphique.SauveImage(box.path("missing/a.bmp"), image, 75), 0);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to save Bitmap file.");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
    DeleteObject(image);
}

TEST_F(Bmp, FailedWriteLeavesThePreviousFile)
{
    HBITMAP small = Gradient(4, 4);
    const auto before = Saved(small, "keep.bmp");
    HBITMAP big = Gradient(300, 300);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const int result = graphique.SauveImage(box.path("keep.bmp"), big, 75);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(box.path("keep.bmp")), before);
    std::size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(box.path(""))) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
    DeleteObject(small);
    DeleteObject(big);
}

TEST_F(Bmp, PixelsStartAfterTheColourTable)
{
    // A 256-colour file with colours-used 0 keeps its pixels at 54 + 1024.
    HBITMAP image = Gradient(6, 2, 8);
    auto bytes = Saved(image);
    EXPECT_EQ(Dword(bytes, 10), 1078u);
    // A file whose pixel offset is missing still reads from after the table.
    PutDword(bytes, 10, 0);
    WriteFile(box.path("nooffset.bmp"), bytes);
    HBITMAP back = graphique.ChargeImage(box.path("nooffset.bmp"));
    EXPECT_EQ(FirstDifference(image, back), "");
    DeleteObject(back);
    DeleteObject(image);
}

TEST_F(Bmp, TopDownRowsLoadUpright)
{
    HBITMAP image = Gradient(5, 4, 24);
    auto bytes = Saved(image);
    // Reverse the row order and negate the height.
    const std::size_t row = DibRowBytes(5, 24);
    std::vector<std::uint8_t> flipped(bytes.begin(), bytes.begin() + 54);
    for (int y = 3; y >= 0; --y)
        flipped.insert(flipped.end(), bytes.begin() + 54 + y * row, bytes.begin() + 54 + (y + 1) * row);
    PutDword(flipped, 22, static_cast<DWORD>(-4));
    WriteFile(box.path("topdown.bmp"), flipped);
    HBITMAP back = graphique.ChargeImage(box.path("topdown.bmp"));
    EXPECT_EQ(FirstDifference(image, back), "");
    DeleteObject(back);
    DeleteObject(image);
}

TEST_F(Bmp, MalformedFilesLoadAsNull)
{
    HBITMAP image = Gradient(9, 7, 8);
    const auto good = Saved(image);
    DeleteObject(image);
    auto attempt = [&](const std::vector<std::uint8_t>& bytes) {
        WriteFile(box.path("bad.bmp"), bytes);
        HBITMAP loaded = graphique.ChargeImageBMP(box.path("bad.bmp"));
        const bool refused = loaded == nullptr;
        DeleteObject(loaded);
        return refused;
    };
    // Cut anywhere: header, colour table or the pixel rows.
    for (std::size_t length = 0; length < good.size(); length += (length < 80 ? 1 : 37))
        EXPECT_TRUE(attempt({good.begin(), good.begin() + length})) << "cut at " << length;

    auto changed = [&](std::size_t at, DWORD value) {
        auto bytes = good;
        PutDword(bytes, at, value);
        return bytes;
    };
    EXPECT_TRUE(attempt(changed(14 + 4, 0))) << "zero width";
    EXPECT_TRUE(attempt(changed(14 + 8, 0))) << "zero height";
    EXPECT_TRUE(attempt(changed(14 + 4, 0x7FFFFFFF))) << "huge width";
    EXPECT_TRUE(attempt(changed(14 + 8, 0x80000000))) << "most negative height";
    EXPECT_TRUE(attempt(changed(14 + 4, 60000))) << "rows past the end";
    EXPECT_TRUE(attempt(changed(14 + 14, 0))) << "depth 0";
    EXPECT_TRUE(attempt(changed(14 + 14, 7))) << "depth 7";
    EXPECT_TRUE(attempt(changed(14 + 16, 1))) << "run-length compression";
    EXPECT_TRUE(attempt(changed(14 + 32, 100000))) << "colour table past the end";
    EXPECT_TRUE(attempt(changed(14 + 32, 257))) << "more colours than 8 bits index";
    EXPECT_TRUE(attempt(changed(14, 12))) << "unknown header size";
    EXPECT_TRUE(attempt(changed(14, 0xFFFFFFFF))) << "header size past the end";
    EXPECT_TRUE(attempt(changed(10, 0xFFFFFF00))) << "pixel offset past the end";
}

TEST_F(Bmp, FilesFromAnIndependentWriterLoadAsItDecodesThem)
{
    if (!HaveTool(kConvert))
        GTEST_SKIP() << "ImageMagick is not installed at " << kConvert;
    HBITMAP picture = Gradient(17, 9);
    WritePpm(box.path("in.ppm"), picture);
    DeleteObject(picture);
    const struct {
        const char* name;
        const char* options;
    } cases[] = {
        {"1bit", "-type bilevel BMP3:"},
        {"4bit", "-colors 16 -type Palette -compress None BMP3:"},
        {"8bit", "-colors 200 -type Palette -compress None BMP3:"},
        {"24bit", "-type TrueColor BMP3:"},
        {"32bit", "-alpha on -type TrueColorAlpha BMP:"},
        {"16bit", "-define bmp:subtype=RGB565 BMP:"},
        {"v5header", "-type TrueColor BMP:"},
    };
    for (const auto& c : cases) {
        const std::string bmp = box.path(std::string(c.name) + ".bmp");
        const std::string ppm = box.path(std::string(c.name) + ".ppm");
        ASSERT_EQ(RunCommand(std::string(kConvert) + " " + box.path("in.ppm") + " " + c.options + bmp), 0) << c.name;
        ASSERT_EQ(RunCommand(std::string(kConvert) + " " + bmp + " -alpha off -type TrueColor -depth 8 PPM:" + ppm), 0) << c.name;
        HBITMAP loaded = graphique.ChargeImage(bmp);
        ASSERT_NE(loaded, nullptr) << c.name;
        EXPECT_EQ(DifferenceFromPnm(loaded, ppm), "") << c.name;
        DeleteObject(loaded);
    }
    const auto v5 = ReadFile(box.path("v5header.bmp"));
    EXPECT_EQ(Dword(v5, 14), 124u) << "the long-header case really has a long header";
}

TEST_F(Bmp, OurFilesAreReadByAnIndependentDecoder)
{
    if (!HaveTool(kConvert))
        GTEST_SKIP() << "ImageMagick is not installed at " << kConvert;
    for (int bpp : {16, 24, 32}) {
        HBITMAP image = Gradient(11, 6, bpp);
        const std::string bmp = box.path("ours" + std::to_string(bpp) + ".bmp");
        const std::string ppm = box.path("ours" + std::to_string(bpp) + ".ppm");
        ASSERT_EQ(graphique.SauveImage(bmp, image, 75), 1);
        ASSERT_EQ(RunCommand(std::string(kConvert) + " " + bmp + " -alpha off " + ppm), 0) << bpp;
        EXPECT_EQ(DifferenceFromPnm(image, ppm), "") << bpp;
        DeleteObject(image);
    }
}
