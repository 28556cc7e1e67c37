// JpegFile: RGB buffers to and from files, and the buffer reshaping.

#include "JpegFile.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <jpeglib.h>
#include <memory>

using namespace TestImages;
using namespace JpegTest;

namespace {

std::string AppName() { return QCoreApplication::applicationName().toStdString(); }

std::unique_ptr<BYTE[]> Copy(const Bytes& bytes)
{
    std::unique_ptr<BYTE[]> copy(new BYTE[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return copy;
}

Bytes Range(const BYTE* p, std::size_t n) { return Bytes(p, p + n); }

} // namespace

TEST(JpegFileBuffers, DwordAlignmentPadsRowsAndComesBack)
{
    // Width 3: 9 pixel bytes and 3 of padding per row; width 4: 12, none.
    const Bytes three = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    auto buf = Copy(three);
    UINT rowBytes = 0;
    std::unique_ptr<BYTE[]> padded(JpegFile::MakeDwordAlignedBuf(buf.get(), 3, 2, &rowBytes));
    ASSERT_TRUE(padded);
    EXPECT_EQ(rowBytes, 12u);
    EXPECT_EQ(Range(padded.get(), 9), Range(three.data(), 9));
    EXPECT_EQ(Range(padded.get() + 12, 9), Range(three.data() + 9, 9));
    std::unique_ptr<BYTE[]> packed(JpegFile::RGBFromDWORDAligned(padded.get(), 3, rowBytes, 2));
    ASSERT_TRUE(packed);
    EXPECT_EQ(Range(packed.get(), three.size()), three);

    const Bytes four(24, 7);
    auto buf4 = Copy(four);
    std::unique_ptr<BYTE[]> padded4(JpegFile::MakeDwordAlignedBuf(buf4.get(), 4, 2, &rowBytes));
    EXPECT_EQ(rowBytes, 12u);
    EXPECT_EQ(Range(padded4.get(), 24), four);

    EXPECT_EQ(JpegFile::MakeDwordAlignedBuf(nullptr, 3, 2, &rowBytes), nullptr);
    EXPECT_EQ(JpegFile::RGBFromDWORDAligned(nullptr, 3, 12, 2), nullptr);
    // A row length shorter than the pixels would read past each row.
    EXPECT_EQ(JpegFile::RGBFromDWORDAligned(padded.get(), 3, 8, 2), nullptr);
}

TEST(JpegFileBuffers, VertFlipReversesRowsForOddAndEvenHeights)
{
    auto one = Copy({1, 2, 3, 0});
    EXPECT_EQ(JpegFile::VertFlipBuf(one.get(), 4, 1), 1);
    EXPECT_EQ(Range(one.get(), 4), (Bytes{1, 2, 3, 0}));

    auto three = Copy({1, 1, 2, 2, 3, 3});
    EXPECT_EQ(JpegFile::VertFlipBuf(three.get(), 2, 3), 1);
    EXPECT_EQ(Range(three.get(), 6), (Bytes{3, 3, 2, 2, 1, 1}));

    auto four = Copy({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(JpegFile::VertFlipBuf(four.get(), 2, 4), 1);
    EXPECT_EQ(Range(four.get(), 8), (Bytes{7, 8, 5, 6, 3, 4, 1, 2}));

    EXPECT_EQ(JpegFile::VertFlipBuf(nullptr, 2, 4), 0);
}

TEST(JpegFileBuffers, ByteSwapAndGreyTruncate)
{
    auto rgb = Copy({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(JpegFile::BGRFromRGB(rgb.get(), 2, 1), 1);
    EXPECT_EQ(Range(rgb.get(), 6), (Bytes{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(JpegFile::BGRFromRGB(nullptr, 2, 1), 0);

    // 128 and 1 lose a little to rounding in double precision, and the grey
    // is truncated, not rounded.
    auto grey = Copy({255, 255, 255, 128, 128, 128, 1, 1, 1, 10, 200, 30});
    EXPECT_EQ(JpegFile::MakeGrayScale(grey.get(), 4, 1), 1);
    EXPECT_EQ(Range(grey.get(), 12), (Bytes{255, 255, 255, 127, 127, 127, 0, 0, 0, 123, 123, 123}));
    EXPECT_EQ(JpegFile::MakeGrayScale(nullptr, 4, 1), 0);
}

TEST(JpegFileFiles, ColourAndGreyRoundTrip)
{
    Sandbox box;
    constexpr UINT w = 21, h = 13;
    Bytes rgb;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            rgb.insert(rgb.end(), {BYTE(x * 12), BYTE(y * 19), BYTE(200 - x * 5)});
    auto buf = Copy(rgb);

    const std::string colour = box.path("colour.jpg");
    ASSERT_EQ(JpegFile::RGBToJpegFile(colour, buf.get(), w, h, TRUE, 100), 1);
    UINT dw = 0, dh = 0;
    EXPECT_EQ(JpegFile::GetJPGDimensions(colour, &dw, &dh), 1);
    EXPECT_EQ(dw, w);
    EXPECT_EQ(dh, h);
    std::unique_ptr<BYTE[]> back(JpegFile::JpegFileToRGB(colour, &dw, &dh));
    ASSERT_TRUE(back);
    ASSERT_EQ(dw, w);
    ASSERT_EQ(dh, h);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        ASSERT_NEAR(back[i], rgb[i], 12) << "byte " << i;

    // Colour 0 writes a one-component file of the truncated greys.
    const std::string grey = box.path("grey.jpg");
    ASSERT_EQ(JpegFile::RGBToJpegFile(grey, buf.get(), w, h, FALSE, 100), 1);
    int pw = 0, ph = 0;
    std::vector<COLORREF> pixels;
    ASSERT_TRUE(Djpeg(grey, box, pw, ph, pixels));
    JpegFile::MakeGrayScale(buf.get(), w, h);
    std::unique_ptr<BYTE[]> greyBack(JpegFile::JpegFileToRGB(grey, &dw, &dh));
    ASSERT_TRUE(greyBack);
    for (std::size_t i = 0; i < w * h; ++i) {
        ASSERT_EQ(GetRValue(pixels[i]), greyBack[3 * i]);
        ASSERT_EQ(greyBack[3 * i], greyBack[3 * i + 1]);
        ASSERT_EQ(greyBack[3 * i], greyBack[3 * i + 2]);
        ASSERT_NEAR(greyBack[3 * i], buf[3 * i], 2) << "pixel " << i;
    }
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST(JpegFileFiles, FailuresShowTheirMessages)
{
    Sandbox box;
    const std::string missing = box.path("missing.jpg");
    UINT w = 5, h = 5;
    EXPECT_EQ(JpegFile::JpegFileToRGB(missing, &w, &h), nullptr);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(JpegFile::GetJPGDimensions(missing, &w, &h), 0);
    ASSERT_EQ(Scripted().shown.size(), 2u);
    for (const auto& shown : Scripted().shown) {
        EXPECT_EQ(shown.text, "JPEG :\nCan't open " + missing + "\n");
        EXPECT_EQ(shown.caption, AppName());
        EXPECT_EQ(shown.type, MB_OK);
    }

    Scripted().clear();
    BYTE pixel[3] = {1, 2, 3};
    const std::string nowhere = box.path("no/such/folder/a.jpg");
    EXPECT_EQ(JpegFile::RGBToJpegFile(nowhere, pixel, 1, 1, TRUE, 75), 0);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "JpegFile :\nCan't open " + nowhere + "\n");

    // Nothing to write is refused silently.
    Scripted().clear();
    EXPECT_EQ(JpegFile::RGBToJpegFile(box.path("a.jpg"), nullptr, 1, 1, TRUE, 75), 0);
    EXPECT_EQ(JpegFile::RGBToJpegFile(box.path("a.jpg"), pixel, 0, 1, TRUE, 75), 0);
    EXPECT_TRUE(Scripted().shown.empty());
    EXPECT_EQ(FilesIn(box.path("")), 0u);

    // Not a JPEG: the library's fatal message.
    WriteFile(box.path("bmp.jpg"), {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(JpegFile::JpegFileToRGB(box.path("bmp.jpg"), &w, &h), nullptr);
    EXPECT_EQ(JpegFile::GetJPGDimensions(box.path("bmp.jpg"), &w, &h), 0);
    ASSERT_EQ(Scripted().shown.size(), 2u);
    for (const auto& shown : Scripted().shown) {
        EXPECT_NE(shown.text.find("Not a JPEG file"), std::string::npos) << shown.text;
        EXPECT_EQ(shown.caption, "JPEG Fatal Error");
        EXPECT_EQ(shown.type, MB_OK | MB_ICONERROR);
    }
}

TEST(JpegFileFiles, DibRowsComeOutTopDownInRgbOrder)
{
    // 2 x 2, bottom-up, rows padded to 8 bytes.
    HGLOBAL dib = GlobalAlloc(GHND, 40 + 16);
    auto* header = static_cast<BITMAPINFOHEADER*>(dib);
    *header = BITMAPINFOHEADER{};
    header->biWidth = 2;
    header->biHeight = 2;
    header->biBitCount = 24;
    const BYTE bottom[6] = {1, 2, 3, 4, 5, 6}, top[6] = {7, 8, 9, 10, 11, 12};
    std::copy(bottom, bottom + 6, static_cast<BYTE*>(dib) + 40);
    std::copy(top, top + 6, static_cast<BYTE*>(dib) + 48);
    jpeg_compress_struct encoder{};
    encoder.image_height = 2;
    BYTE row0[6] = {}, row1[6] = {};
    BYTE* rows[2] = {row0, row1};
    CString message = "stale";
    EXPECT_TRUE(DIBVersLignesRVB(dib, 6, &encoder, rows, &message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(Range(row0, 6), (Bytes{9, 8, 7, 12, 11, 10}));
    EXPECT_EQ(Range(row1, 6), (Bytes{3, 2, 1, 6, 5, 4}));

    EXPECT_FALSE(DIBVersLignesRVB(dib, 0, &encoder, rows, &message));
    EXPECT_EQ(message, "Invalid input data");
    // Rows shorter than the picture, or a block too short for its rows.
    EXPECT_FALSE(DIBVersLignesRVB(dib, 5, &encoder, rows, &message));
    EXPECT_EQ(message, "Invalid input data");
    header->biHeight = 3;
    encoder.image_height = 3;
    EXPECT_FALSE(DIBVersLignesRVB(dib, 6, &encoder, rows, &message));
    EXPECT_EQ(message, "Invalid input data");
    header->biBitCount = 8;
    EXPECT_FALSE(DIBVersLignesRVB(dib, 6, &encoder, rows, &message));
    EXPECT_EQ(message, "Invalid bitmap bit count");
    EXPECT_FALSE(DIBVersLignesRVB(dib, 6, &encoder, rows, nullptr));
    GlobalFree(dib);
}
