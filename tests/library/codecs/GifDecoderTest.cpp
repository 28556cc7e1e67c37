// The GIF reader on files built byte by byte: layout, LZW corner cases,
// interlacing, extensions, walking several images, and damaged files.

#include "CGif.h"
#include "CGraphique.h"
#include "GifTestSupport.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace GifTest;
using TestImages::Sandbox;

namespace {

class GifDecoder : public testing::Test {
protected:
    // Loads bytes through a file; null when Load or FirstImage fails.
    HBITMAP Load(const Bytes& file)
    {
        const std::string path = sandbox.path("picture.gif");
        TestImages::WriteFile(path, file);
        if (!gif.Load(path.c_str()))
            return nullptr;
        return gif.FirstImage();
    }
    int LoadOnly(const Bytes& file)
    {
        const std::string path = sandbox.path("picture.gif");
        TestImages::WriteFile(path, file);
        return gif.Load(path.c_str());
    }

    Sandbox sandbox;
    CGif gif;
    const std::vector<COLORREF> palette4 = DistinctPalette(4);
};

// A file of one image from a hand-packed code stream.
Bytes CodedFile(int width, int height, const std::vector<COLORREF>& palette, int minimum,
                const std::vector<Code>& codes, bool interlaced = false)
{
    Bytes file = Header("GIF89a", width, height, palette);
    Append(file, Image(width, height, interlaced, {}, minimum, PackCodes(codes)));
    file.push_back(0x3B);
    return file;
}

std::vector<std::uint8_t> Pattern(int count, int modulo, int from = 0)
{
    std::vector<std::uint8_t> out;
    std::uint32_t seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        out.push_back(static_cast<std::uint8_t>(from + (seed >> 16) % static_cast<std::uint32_t>(modulo - from)));
    }
    return out;
}

std::vector<int> AsInts(const std::vector<std::uint8_t>& v) { return {v.begin(), v.end()}; }

} // namespace

// --- Layout ---

TEST_F(GifDecoder, DecodesEveryIndexIntoItsColour)
{
    const std::vector<std::uint8_t> indices{0, 1, 2, 3, 3, 2, 1, 0};
    HBITMAP image = Load(File(4, 2, palette4, indices));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(TestImages::SizeOf(image), CSize(4, 2));
    EXPECT_EQ(TestImages::Depth(image), 32);
    EXPECT_EQ(Indices(image, palette4), AsInts(indices));
    DeleteObject(image);
}

TEST_F(GifDecoder, RowsOfOddWidthsKeepTheirPixels)
{
    for (int width : {1, 2, 3, 5, 7}) {
        const auto indices = Pattern(width * 3, 4);
        HBITMAP image = Load(File(width, 3, palette4, indices));
        ASSERT_NE(image, nullptr) << width;
        EXPECT_EQ(Indices(image, palette4), AsInts(indices)) << width;
        DeleteObject(image);
    }
}

TEST_F(GifDecoder, UsesTheImageOwnSizeNotTheScreen)
{
    Bytes file = Header("GIF87a", 100, 80, palette4);
    Append(file, Image(2, 1, false, {}, 2, Compress({1, 2}, 2)));
    file.push_back(0x3B);
    HBITMAP image = Load(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(TestImages::SizeOf(image), CSize(2, 1));
    DeleteObject(image);
}

TEST_F(GifDecoder, LocalTableReplacesTheGlobalOne)
{
    const auto global = DistinctPalette(4);
    const std::vector<COLORREF> local{RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(9, 9, 9)};
    Bytes file = Header("GIF89a", 4, 1, global);
    Append(file, Image(4, 1, false, local, 2, Compress({3, 2, 1, 0}, 2)));
    file.push_back(0x3B);
    HBITMAP image = Load(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, local), (std::vector<int>{3, 2, 1, 0}));
    DeleteObject(image);
}

TEST_F(GifDecoder, IndicesBeyondTheTableAndFilesWithoutTableAreBlack)
{
    Bytes file = Header("GIF87a", 3, 1, {});
    Append(file, Image(3, 1, false, {}, 2, Compress({0, 3, 1}, 2)));
    file.push_back(0x3B);
    HBITMAP image = Load(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Colours(image), (std::vector<COLORREF>{0, 0, 0}));
    DeleteObject(image);
}

TEST_F(GifDecoder, RefusesOtherSignaturesAndShortFiles)
{
    for (const char* version : {"GIF88a", "GIF87b", "GIF89b", "gif89a", "JFIF89"}) {
        Bytes file = File(2, 1, palette4, {1, 2});
        std::copy(version, version + 6, file.begin());
        EXPECT_EQ(LoadOnly(file), 0) << version;
    }
    EXPECT_EQ(LoadOnly(Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1}), 0);
    EXPECT_EQ(LoadOnly(Bytes{}), 0);
    EXPECT_EQ(gif.Load(sandbox.path("missing.gif").c_str()), 0);
    EXPECT_EQ(gif.Load(nullptr), 0);
}

TEST_F(GifDecoder, ShortGlobalTableFailsTheLoad)
{
    Bytes file = Header("GIF89a", 1, 1, DistinctPalette(256));
    file.resize(13 + 3 * 200);
    EXPECT_EQ(LoadOnly(file), 0);
    EXPECT_EQ(gif.FirstImage(), nullptr);
}

TEST_F(GifDecoder, ChargeImageReadsGifNamesAndReportsFailures)
{
    CGraphique graphique;
    const std::string good = sandbox.path("PHOTO.GIF");
    TestImages::WriteFile(good, File(2, 2, palette4, {0, 1, 2, 3}));
    HBITMAP image = graphique.ChargeImage(good);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(Scripted().shown.empty());
    DeleteObject(image);

    const std::string bad = sandbox.path("photo.gif");
    Bytes file = File(2, 2, palette4, {0, 1, 2, 3});
    file[4] = '8';
    TestImages::WriteFile(bad, file);
    EXPECT_EQ(graphique.ChargeImage(bad), nullptr);
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "Unable to load file");
    EXPECT_EQ(Scripted().shown[0].caption, "Error");
}

// --- LZW ---

TEST_F(GifDecoder, CodeOfTheStringBeingDefinedRepeatsItsFirstByte)
{
    // clear, 1, then 6 = the entry being made: "1" + "1".
    HBITMAP image = Load(CodedFile(3, 1, palette4, 2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette4), (std::vector<int>{1, 1, 1}));
    DeleteObject(image);

    // clear, 2, 3, 7 ("3 3"), then 8 = "3 3 3" defined by itself, at 4 bits.
    image = Load(CodedFile(7, 1, palette4, 2, {{4, 3}, {2, 3}, {3, 3}, {7, 3}, {8, 4}, {5, 4}}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette4), (std::vector<int>{2, 3, 3, 3, 3, 3, 3}));
    DeleteObject(image);
}

TEST_F(GifDecoder, StreamWithoutLeadingClearStillDecodes)
{
    HBITMAP image = Load(CodedFile(2, 1, palette4, 2, {{3, 3}, {2, 3}, {5, 3}}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette4), (std::vector<int>{3, 2}));
    DeleteObject(image);
}

TEST_F(GifDecoder, CodeAboveFirstFreeCodeAfterClearFails)
{
    EXPECT_EQ(Load(CodedFile(4, 1, palette4, 2, {{4, 3}, {7, 3}, {5, 3}})), nullptr);
    // The same after a clear in the middle of the data.
    EXPECT_EQ(Load(CodedFile(8, 1, palette4, 2, {{4, 3}, {1, 3}, {2, 3}, {4, 3}, {7, 3}, {5, 3}})), nullptr);
    // The first free code itself has no string to repeat after a clear.
    EXPECT_EQ(Load(CodedFile(4, 1, palette4, 2, {{4, 3}, {6, 3}, {5, 3}})), nullptr);
}

TEST_F(GifDecoder, ChainThatDoesNotDescendFails)
{
    // 7 is beyond the table: taken as the string being defined, it becomes
    // the previous code, so entry 7 gets itself as prefix; asking for 7 then
    // would loop for ever.
    EXPECT_EQ(Load(CodedFile(20, 1, palette4, 2, {{4, 3}, {1, 3}, {7, 3}, {0, 3}, {7, 4}, {5, 4}})), nullptr);
}

TEST_F(GifDecoder, MinimumCodeSizesOutsideOneToEightFail)
{
    for (int minimum : {0, 9, 12, 255}) {
        Bytes file = Header("GIF89a", 1, 1, palette4);
        Append(file, Image(1, 1, false, {}, minimum, Bytes{0, 0}));
        file.push_back(0x3B);
        EXPECT_EQ(Load(file), nullptr) << minimum;
    }
}

// --- Interlacing ---

TEST_F(GifDecoder, InterlacedRowsArriveInPassOrder)
{
    const struct {
        int height;
        std::vector<int> order;
    } cases[] = {
        {10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
        {3, {0, 2, 1}},
        {1, {0}},
        {5, {0, 4, 2, 1, 3}},
        {2, {0, 1}},
    };
    const auto palette = DistinctPalette(16);
    for (const auto& c : cases) {
        // Two columns: the stream's k-th row carries index k in both.
        std::vector<std::uint8_t> stream;
        for (int k = 0; k < c.height; ++k)
            stream.insert(stream.end(), 2, static_cast<std::uint8_t>(k));
        HBITMAP image = Load(File(2, c.height, palette, stream, true));
        ASSERT_NE(image, nullptr) << c.height;
        const auto indices = Indices(image, palette);
        for (int k = 0; k < c.height; ++k) {
            const int row = c.order[static_cast<std::size_t>(k)];
            EXPECT_EQ(indices[static_cast<std::size_t>(row) * 2], k) << "height " << c.height << " row " << row;
            EXPECT_EQ(indices[static_cast<std::size_t>(row) * 2 + 1], k) << "height " << c.height << " row " << row;
        }
        DeleteObject(image);
    }
}

// --- Blocks and extensions ---

namespace {

Bytes GraphicControl() { return {0x21, 0xF9, 4, 0x05, 10, 0, 3, 0}; }
Bytes Comment() { return {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 3, 'a', 'b', 'c', 0}; }
Bytes Application() { return {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0}; }
Bytes PlainText() { return {0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0, 2, 'h', 'i', 0}; }

Bytes WithBlocksBeforeImage(const std::vector<Bytes>& blocks, const std::vector<std::uint8_t>& indices,
                            const std::vector<COLORREF>& palette)
{
    Bytes file = Header("GIF89a", 2, 2, palette);
    for (const Bytes& b : blocks)
        Append(file, b);
    Append(file, Image(2, 2, false, {}, 2, Compress(indices, 2)));
    file.push_back(0x3B);
    return file;
}

} // namespace

TEST_F(GifDecoder, SkipsTheFourKnownExtensions)
{
    const std::vector<std::uint8_t> indices{3, 1, 2, 0};
    HBITMAP image = Load(WithBlocksBeforeImage({GraphicControl(), Application(), Comment(), PlainText()}, indices,
                                                palette4));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette4), AsInts(indices));
    DeleteObject(image);
}

TEST_F(GifDecoder, UnknownExtensionOrBlockStopsTheWalk)
{
    EXPECT_EQ(Load(WithBlocksBeforeImage({{0x21, 0x02, 1, 0, 0}}, {0, 1, 2, 3}, palette4)), nullptr);
    EXPECT_EQ(Load(WithBlocksBeforeImage({{0x42}}, {0, 1, 2, 3}, palette4)), nullptr);
}

TEST_F(GifDecoder, ExtensionReachingPastTheEndFails)
{
    Bytes file = Header("GIF89a", 2, 2, palette4);
    Append(file, Bytes{0x21, 0xFE, 200, 'x', 'y'});
    EXPECT_EQ(Load(file), nullptr);
    EXPECT_EQ(gif.NextImage(), nullptr);
    // Cut right after the label.
    file.resize(file.size() - 3);
    EXPECT_EQ(Load(file), nullptr);
}

TEST_F(GifDecoder, FileWithOnlyTheTrailerHasNoImage)
{
    Bytes file = Header("GIF89a", 2, 2, palette4);
    file.push_back(0x3B);
    ASSERT_EQ(LoadOnly(file), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(gif.FirstImage(), nullptr);
    EXPECT_EQ(gif.NextImage(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // Only extensions, then the trailer; and nothing at all after the header.
    Bytes extensions = Header("GIF89a", 2, 2, palette4);
    Append(extensions, Comment());
    extensions.push_back(0x3B);
    EXPECT_EQ(Load(extensions), nullptr);
    EXPECT_EQ(Load(Header("GIF87a", 2, 2, palette4)), nullptr);
}

TEST_F(GifDecoder, NextImageCyclesThroughTheImages)
{
    const std::vector<COLORREF> palette = DistinctPalette(4);
    Bytes file = Header("GIF89a", 1, 1, palette);
    for (std::uint8_t index : {1, 2, 3}) {
        Append(file, GraphicControl());
        Append(file, Image(1, 1, false, {}, 2, Compress({index}, 2)));
    }
    file.push_back(0x3B);
    ASSERT_EQ(LoadOnly(file), 1);
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        HBITMAP image = i == 0 ? gif.FirstImage() : gif.NextImage();
        ASSERT_NE(image, nullptr) << i;
        seen.push_back(Indices(image, palette)[0]);
        DeleteObject(image);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
    HBITMAP again = gif.FirstImage();
    EXPECT_EQ(Indices(again, palette)[0], 1);
    DeleteObject(again);
}

TEST_F(GifDecoder, DataLeftAfterTheEndCodeIsSteppedOver)
{
    // The first image's data go on past its end code, in two sub-blocks.
    Bytes lzw = Compress({1, 2}, 2);
    lzw.resize(lzw.size() + 300, 0xAB);
    Bytes file = Header("GIF89a", 2, 1, palette4);
    Append(file, Image(2, 1, false, {}, 2, lzw));
    Append(file, Image(2, 1, false, {}, 2, Compress({3, 0}, 2)));
    file.push_back(0x3B);
    ASSERT_EQ(LoadOnly(file), 1);
    HBITMAP first = gif.FirstImage();
    HBITMAP second = gif.NextImage();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Indices(first, palette4), (std::vector<int>{1, 2}));
    EXPECT_EQ(Indices(second, palette4), (std::vector<int>{3, 0}));
    DeleteObject(first);
    DeleteObject(second);
}

// --- Damaged files ---

TEST_F(GifDecoder, FileCutInsideTheDataKeepsTheDecodedRows)
{
    const int width = 64, height = 64;
    const auto palette = DistinctPalette(256);
    // Indices 1..255 so that the undecoded index 0 stands out.
    const auto indices = Pattern(width * height, 256, 1);
    Bytes file = File(width, height, palette, indices);
    file.resize(file.size() / 2);
    HBITMAP image = Load(file);
    ASSERT_NE(image, nullptr);
    const auto decoded = Indices(image, palette);
    int complete = 0, empty = 0;
    for (int y = 0; y < height; ++y) {
        bool same = true, zero = true;
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            same = same && decoded[i] == indices[i];
            zero = zero && decoded[i] == 0;
        }
        if (same && empty == 0)
            ++complete;
        if (zero)
            ++empty;
    }
    EXPECT_GT(complete, 10);
    EXPECT_GT(empty, 10);
    // At most the row being filled at the cut is neither.
    EXPECT_GE(complete + empty, height - 1);
    DeleteObject(image);
}

TEST_F(GifDecoder, SubBlockLengthPastTheEndEndsTheData)
{
    Bytes file = Header("GIF89a", 4, 1, palette4);
    Bytes image = Image(4, 1, false, {}, 2, Compress({1, 2, 3, 1}, 2));
    image.resize(image.size() - 1); // no terminator
    image[11] = 250;                // first sub-block claims far more than there is
    Append(file, image);
    HBITMAP decoded = Load(file);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(Indices(decoded, palette4), (std::vector<int>{0, 0, 0, 0}));
    DeleteObject(decoded);
}

TEST_F(GifDecoder, TruncatedDescriptorOrLocalTableFails)
{
    Bytes file = Header("GIF89a", 4, 1, palette4);
    Append(file, Image(4, 1, false, DistinctPalette(256), 8, Compress({1, 2, 3, 1}, 8)));
    file.resize(13 + 12 + 10 + 300);
    EXPECT_EQ(Load(file), nullptr);
    file.resize(13 + 12 + 5);
    EXPECT_EQ(Load(file), nullptr);
    file.resize(13 + 12 + 10);
    EXPECT_EQ(Load(file), nullptr);
}

TEST_F(GifDecoder, ImpossibleSizesReturnNullAtOnce)
{
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{65535, 65535}, {0, 10}, {10, 0}, {65535, 8193}}) {
        Bytes file = Header("GIF89a", width, height, palette4);
        Append(file, Image(width, height, false, {}, 2, Compress({1, 2, 3}, 2)));
        file.push_back(0x3B);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Load(file), nullptr) << width << "x" << height;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(GifDecoder, ShortStreamLeavesTheRestOfAWideImageAtIndexZero)
{
    Bytes file = Header("GIF89a", 16384, 2, palette4);
    Append(file, Image(16384, 2, false, {}, 2, Compress({1, 2, 3}, 2)));
    file.push_back(0x3B);
    HBITMAP image = Load(file);
    ASSERT_NE(image, nullptr);
    const auto indices = Indices(image, palette4);
    EXPECT_EQ(indices[0], 1);
    EXPECT_EQ(indices[2], 3);
    EXPECT_EQ(indices[3], 0);
    EXPECT_EQ(indices.back(), 0);
    DeleteObject(image);
}
