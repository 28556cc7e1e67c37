// Conversions between device images and DIBs, and their validation.

#include "Gdi.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <vector>

using namespace TestImages;

TEST(Dib, RoundTripThroughEveryDepthBottomUpAndTopDown)
{
    HBITMAP source = Gradient(13, 5, 32);
    for (int bpp : {24, 32}) {
        for (int direction : {1, -1}) {
            BITMAPINFO info{};
            info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
            info.bmiHeader.biHeight = direction;
            ASSERT_TRUE(GetDIBits(nullptr, source, 0, 5, nullptr, &info, DIB_RGB_COLORS));
            EXPECT_EQ(info.bmiHeader.biSizeImage, DibRowBytes(13, bpp) * 5);
            std::vector<BYTE> bits(info.bmiHeader.biSizeImage);
            ASSERT_EQ(GetDIBits(nullptr, source, 0, 5, bits.data(), &info, DIB_RGB_COLORS), 5);
            DibSource dib;
            dib.header = &info.bmiHeader;
            dib.bits = bits.data();
            dib.bitsLength = bits.size();
            HBITMAP back = CreateDIBitmap(nullptr, dib);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(Depth(back), 32);
            EXPECT_EQ(FirstDifference(source, back), "") << bpp << " " << direction;
            DeleteObject(back);
        }
    }
    DeleteObject(source);
}

TEST(Dib, OwnFormatQueryDescribesMasksForSixteenAndThirtyTwoBits)
{
    HBITMAP image16 = Solid(3, 2, 16, RGB(255, 0, 0));
    BITMAPINFO info{};
    ASSERT_TRUE(GetDIBits(nullptr, image16, 0, 2, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(info.bmiHeader.biBitCount, 16);
    EXPECT_EQ(info.bmiHeader.biCompression, BI_BITFIELDS);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 16u) << "rows of 6 bytes padded to 8";
    std::vector<BYTE> bits(16);
    ASSERT_EQ(GetDIBits(nullptr, image16, 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    const auto* masks = reinterpret_cast<const DWORD*>(&info.bmiColors[0]);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
    EXPECT_EQ(bits[0], 0x00);
    EXPECT_EQ(bits[1], 0xF8);
    DeleteObject(image16);
}

TEST(Dib, EightBitsWritesThePaletteAndNearestIndices)
{
    HBITMAP image = Make(2, 1, 32, [](int x, int) { return x ? RGB(255, 255, 255) : RGB(255, 0, 0); });
    BITMAPINFO info{};
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biHeight = 1;
    std::vector<BYTE> bits(4);
    ASSERT_EQ(GetDIBits(nullptr, image, 0, 1, bits.data(), &info, DIB_RGB_COLORS), 1);
    const RGBQUAD red = info.bmiColors[bits[0]];
    const RGBQUAD white = info.bmiColors[bits[1]];
    EXPECT_EQ(red.rgbRed, 255);
    EXPECT_EQ(red.rgbGreen, 0);
    EXPECT_EQ(white.rgbBlue, 255);
    EXPECT_EQ(white.rgbGreen, 255);
    DeleteObject(image);
}

TEST(Dib, ValidationRefusesWhatCannotBeReadSafely)
{
    BITMAPINFOHEADER header;
    header.biWidth = 4;
    header.biHeight = 3;
    header.biBitCount = 24;
    std::vector<BYTE> bits(36);
    DibSource dib;
    dib.header = &header;
    dib.bits = bits.data();
    dib.bitsLength = bits.size();
    EXPECT_EQ(ValidateDib(dib), 12u);

    dib.bitsLength = 35; // last row short by one byte
    EXPECT_EQ(ValidateDib(dib), 0u);
    dib.bitsLength = 36;

    for (WORD depth : {0, 2, 7, 64}) {
        header.biBitCount = depth;
        EXPECT_EQ(ValidateDib(dib), 0u) << depth;
    }
    header.biBitCount = 24;
    header.biCompression = BI_BITFIELDS; // masks need 16 or 32 bits
    EXPECT_EQ(ValidateDib(dib), 0u);
    header.biCompression = 1; // run-length coding is not read
    EXPECT_EQ(ValidateDib(dib), 0u);
    header.biCompression = BI_RGB;
    header.biWidth = 0x7FFFFFFF;
    EXPECT_EQ(ValidateDib(dib), 0u);
    header.biWidth = 65536;
    header.biHeight = -65536;
    EXPECT_EQ(ValidateDib(dib), 0u);
    header.biWidth = 4;
    header.biHeight = INT32_MIN;
    EXPECT_EQ(ValidateDib(dib), 0u);

    header.biHeight = 3;
    header.biBitCount = 32;
    header.biCompression = BI_BITFIELDS;
    dib.bitsLength = 48;
    bits.resize(48);
    dib.bits = bits.data();
    dib.masks[0] = 0xFF0000;
    dib.masks[1] = 0x00FF00;
    dib.masks[2] = 0;
    EXPECT_EQ(ValidateDib(dib), 0u) << "a zero mask";
    dib.masks[2] = 0x0000F1; // not contiguous
    EXPECT_EQ(ValidateDib(dib), 0u);
    dib.masks[2] = 0x0000FF;
    EXPECT_EQ(ValidateDib(dib), 16u);
}

TEST(Dib, PaletteImagesMapMissingEntriesToBlack)
{
    BITMAPINFOHEADER header;
    header.biWidth = 8;
    header.biHeight = 1;
    header.biBitCount = 1;
    const RGBQUAD colours[1] = {{0, 0, 255, 0}};
    const BYTE bits[4] = {0x5F, 0, 0, 0};
    DibSource dib;
    dib.header = &header;
    dib.colours = colours;
    dib.colourCount = 1;
    dib.bits = bits;
    dib.bitsLength = sizeof bits;
    HBITMAP image = CreateDIBitmap(nullptr, dib);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pixel(image, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(image, 1, 0), RGB(0, 0, 0)); // index 1 has no entry
    DeleteObject(image);
}
