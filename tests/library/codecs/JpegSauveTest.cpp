// Saving device images as JPEG files.

#include "JpegFile.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace TestImages;
using namespace JpegTest;

namespace {

class JpegSauve : public testing::Test {
protected:
    CGraphique graphique;
    Sandbox box;

    Bytes Saved(HBITMAP image, int quality, const std::string& name = "out.jpg")
    {
        EXPECT_EQ(graphique.SauveImage(box.path(name), image, quality), 1);
        return ReadFile(box.path(name));
    }
};

} // namespace

TEST_F(JpegSauve, DirectEncodingEqualsTheDibPipelineByteForByte)
{
    // A 24-bit image takes the packed-DIB way (LocalDDBToDIB, SauveDIBEnJPEG);
    // a 32-bit one is encoded from its rows. Same pixels, same file.
    for (CSize size : {CSize(1, 1), CSize(3, 5), CSize(17, 9), CSize(67, 45), CSize(256, 130)})
        for (int quality : {0, 50, 75, 100}) {
            SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy) + " q" + std::to_string(quality));
            HBITMAP rows = Photo(size.cx, size.cy, 32);
            HBITMAP packed = Photo(size.cx, size.cy, 24);
            const Bytes direct = Saved(rows, quality, "direct.jpg");
            const Bytes pipeline = Saved(packed, quality, "pipeline.jpg");
            ASSERT_GT(direct.size(), 100u);
            EXPECT_EQ(direct, pipeline);
            DeleteObject(rows);
            DeleteObject(packed);
        }
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(JpegSauve, OtherDecodersReadWhatWeWrite)
{
    if (!HaveTool(kDjpeg) || !HaveTool(kConvert))
        GTEST_SKIP() << "djpeg and ImageMagick are needed as independent decoders";
    // Smooth, so that only a misplaced channel could make a large error.
    HBITMAP image = Make(61, 47, 32, [](int x, int y) { return RGB(x * 4, y * 5, 250 - x * 4); });
    Saved(image, 95, "out.jpeg");
    int w = 0, h = 0;
    std::vector<COLORREF> pixels;
    ASSERT_TRUE(Djpeg(box.path("out.jpeg"), box, w, h, pixels));
    EXPECT_EQ(CSize(w, h), CSize(61, 47));
    // Red and blue in their places: the mean error stays small.
    const std::vector<COLORREF> source = Pixels(image);
    long error = 0;
    for (std::size_t i = 0; i < source.size(); ++i)
        error += std::abs(GetRValue(source[i]) - GetRValue(pixels[i])) + std::abs(GetBValue(source[i]) - GetBValue(pixels[i]));
    EXPECT_LT(error / static_cast<long>(source.size()), 4);

    ASSERT_EQ(RunCommand(std::string(kConvert) + " '" + box.path("out.jpeg") + "' '" + box.path("im.ppm") + "'"), 0);
    ASSERT_TRUE(ReadPnm(box.path("im.ppm"), w, h, pixels));
    EXPECT_EQ(CSize(w, h), CSize(61, 47));
    DeleteObject(image);
}

TEST_F(JpegSauve, QualityOrdersTheFileSizes)
{
    HBITMAP image = Photo(160, 120);
    std::size_t previous = 0;
    for (int quality : {0, 10, 25, 50, 75, 90, 100}) {
        const std::size_t size = Saved(image, quality).size();
        EXPECT_GT(size, previous) << "quality " << quality;
        previous = size;
    }
    // 0 is the library's lowest quality, the same as 1.
    EXPECT_EQ(Saved(image, 0), Saved(image, 1, "one.jpg"));
    DeleteObject(image);
}

TEST_F(JpegSauve, RefusalsWriteNothingAndSayNothing)
{
    HBITMAP rows = Photo(8, 8, 32);
    HBITMAP packed = Photo(8, 8, 24);
    WriteFile(box.path("file"), {1});
    for (HBITMAP image : {rows, packed}) {
        SCOPED_TRACE(Depth(image));
        EXPECT_EQ(graphique.SauveImage(box.path("a.jpg"), image, 101), 0);
        EXPECT_EQ(graphique.SauveImage(box.path("a.jpg"), image, -1), 0);
        // Root writes anywhere, but not into a folder that is missing or a file.
        EXPECT_EQ(graphique.SauveImage(box.path("missing/a.jpg"), image, 75), 0);
        EXPECT_EQ(graphique.SauveImage(box.path("file/a.jpg"), image, 75), 0);
    }
    EXPECT_EQ(graphique.SauveImage(box.path("a.jpg"), nullptr, 75), 0);
    EXPECT_EQ(FilesIn(box.path("")), 1u);
    EXPECT_TRUE(Scripted().shown.empty());
    DeleteObject(rows);
    DeleteObject(packed);
}

TEST_F(JpegSauve, FailedSaveKeepsThePreviousFile)
{
    const Bytes previous = {'o', 'l', 'd', 0, 1, 2, 3};
    HBITMAP rows = Photo(400, 300, 32);
    HBITMAP packed = Photo(400, 300, 24);
    std::unique_ptr<BYTE[]> rgb(new BYTE[400 * 300 * 3]);
    for (unsigned i = 0; i < 400 * 300 * 3; ++i)
        rgb[i] = static_cast<BYTE>((i * 7919u) >> 3);

    // Writes stop past 4 KB: the library reports it, the old file stays.
    const std::string target = box.path("keep.jpg");
    WriteFile(target, previous);
    int results[3];
    {
        FileSizeLimit limit(4096);
        results[0] = graphique.SauveImage(target, rows, 95);
        results[1] = graphique.SauveImage(target, packed, 95);
        results[2] = JpegFile::RGBToJpegFile(target, rgb.get(), 400, 300, TRUE, 95);
    }
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(results[2], 0);
    EXPECT_EQ(ReadFile(target), previous);
    EXPECT_EQ(FilesIn(box.path("")), 1u);
    ASSERT_EQ(Scripted().shown.size(), 3u);
    EXPECT_EQ(Scripted().shown[0].caption, "JPEG Error");
    EXPECT_EQ(Scripted().shown[1].caption, "JPEG Error");
    EXPECT_EQ(Scripted().shown[2].caption, "JPEG Fatal Error");
    EXPECT_EQ(Scripted().shown[0].type, MB_OK | MB_ICONERROR);

    // The library refuses the size before any row is written.
    Scripted().clear();
    HBITMAP wide = CreateBitmap(65501, 1, 1, 32, nullptr);
    EXPECT_EQ(graphique.SauveImage(target, wide, 75), 0);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].caption, "JPEG Error");
    EXPECT_EQ(ReadFile(target), previous);
    EXPECT_EQ(FilesIn(box.path("")), 1u);
    DeleteObject(wide);
    DeleteObject(rows);
    DeleteObject(packed);
}

TEST_F(JpegSauve, DibWriterChecksItsInput)
{
    HGLOBAL dib = GlobalAlloc(GHND, 40 + 12);
    auto* header = static_cast<BITMAPINFOHEADER*>(dib);
    *header = BITMAPINFOHEADER{};
    header->biWidth = 3;
    header->biHeight = 1;
    header->biBitCount = 24;
    const std::string path = box.path("dib.jpg");
    CString message = "stale";
    EXPECT_FALSE(SauveDIBEnJPEG(dib, 75, path, nullptr));
    EXPECT_FALSE(SauveDIBEnJPEG(nullptr, 75, path, &message));
    EXPECT_EQ(message, "Invalid input data");
    message = "stale";
    EXPECT_FALSE(SauveDIBEnJPEG(dib, 101, path, &message));
    EXPECT_EQ(message, "Invalid input data");
    message = "stale";
    EXPECT_FALSE(SauveDIBEnJPEG(dib, 75, "", &message));
    EXPECT_EQ(message, "Invalid input data");
    EXPECT_FALSE(SauveDIBEnJPEG(dib, 75, box.path("missing/dib.jpg"), &message));
    EXPECT_EQ(message, "Cannot open " + box.path("missing/dib.jpg"));
    header->biBitCount = 8;
    EXPECT_FALSE(SauveDIBEnJPEG(dib, 75, path, &message));
    EXPECT_EQ(message, "Invalid bitmap bit count");
    EXPECT_EQ(FilesIn(box.path("")), 0u);

    header->biBitCount = 24;
    EXPECT_TRUE(SauveDIBEnJPEG(dib, 75, path, &message));
    EXPECT_EQ(message, "");
    UINT w = 0, h = 0;
    EXPECT_EQ(JpegFile::GetJPGDimensions(path, &w, &h), 1);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 1u);
    EXPECT_TRUE(Scripted().shown.empty());
    GlobalFree(dib);
}
