// The GIF writer: exact bytes of small files, the code stream against an
// LZW encoder of the tests' own, round trips through the reader, the code
// width and clear codes of large pictures, and files that fail half-way.

#include "CGif.h"
#include "CGraphique.h"
#include "GifTestSupport.h"
#include "MemoryContext.h"
#include "PixelRows.h"
#include "SystemPalette.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace GifTest;
using TestImages::Sandbox;

namespace {

class Probe : public CGif {
public:
    using CGif::BitsNeeded;
};

std::vector<std::uint8_t> Random(std::size_t count, int modulo, std::uint32_t seed = 7)
{
    std::vector<std::uint8_t> out(count);
    for (auto& v : out) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<std::uint8_t>((seed >> 13) % static_cast<std::uint32_t>(modulo));
    }
    return out;
}

std::vector<std::string> FolderContent(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<int> AsInts(const std::vector<std::uint8_t>& v) { return {v.begin(), v.end()}; }

// Makes file writes beyond a size fail with an error instead of a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int);
};

} // namespace

TEST(GifEncoder, BitsNeededCountsTheBitsOfTheLargestIndex)
{
    const std::pair<unsigned, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {16, 4}, {17, 5},
                                              {255, 8}, {256, 8}, {257, 9}};
    for (auto [n, bits] : cases)
        EXPECT_EQ(Probe::BitsNeeded(n), bits) << n;
}

TEST(GifEncoder, OnePixelOfIndexFiveHasTheExpectedBytes)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("one.gif");
    const auto palette = DistinctPalette(256);
    ASSERT_EQ(Encode(path, 1, 1, {5}, palette), 0);

    Bytes expected{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0xF7, 0, 0};
    for (COLORREF c : palette)
        Append(expected, {GetRValue(c), GetGValue(c), GetBValue(c)});
    Append(expected, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 8});
    Append(expected, {4, 0x00, 0x0B, 0x04, 0x04});
    Append(expected, {0, 0x3B});
    EXPECT_EQ(TestImages::ReadFile(path), expected);
}

TEST(GifEncoder, TwoColoursUseMinimumCodeSizeTwo)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("two.gif");
    const std::vector<COLORREF> palette{RGB(0, 0, 0), RGB(255, 255, 255)};
    const std::vector<std::uint8_t> indices{0, 1, 1, 0, 1, 0};
    ASSERT_EQ(Encode(path, 3, 2, indices, palette), 0);
    const Bytes file = TestImages::ReadFile(path);
    ASSERT_GT(file.size(), 30u);
    EXPECT_EQ(file[10], 0xF0); // table of 2 entries, resolution 8
    EXPECT_EQ(file[13 + 6 + 10], 2);
    HBITMAP image = Decode(path);
    EXPECT_EQ(Indices(image, palette), AsInts(indices));
    DeleteObject(image);
}

TEST(GifEncoder, SmallTablesRoundUpToAPowerOfTwo)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("five.gif");
    const auto palette = DistinctPalette(5);
    const auto indices = Random(40, 5);
    ASSERT_EQ(Encode(path, 8, 5, indices, palette), 0);
    const Bytes file = TestImages::ReadFile(path);
    EXPECT_EQ(file[10], 0xF2);          // 8 entries
    EXPECT_EQ(file[13 + 24 + 10], 3);   // minimum code size
    HBITMAP image = Decode(path);
    EXPECT_EQ(Indices(image, palette), AsInts(indices));
    DeleteObject(image);
}

TEST(GifEncoder, WholeScreenImageAtOriginAndFileEndsWithTerminatorAndTrailer)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("screen.gif");
    ASSERT_EQ(Encode(path, 300, 7, Random(2100, 256), DistinctPalette(256)), 0);
    const Bytes file = TestImages::ReadFile(path);
    const Bytes descriptor(file.begin() + 13 + 768, file.begin() + 13 + 768 + 10);
    EXPECT_EQ(descriptor, (Bytes{0x2C, 0, 0, 0, 0, 0x2C, 0x01, 7, 0, 0}));
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(file[file.size() - 2], 0);
    EXPECT_EQ(file[file.size() - 1], 0x3B);
    // Every sub-block but the last is full.
    std::size_t at = 13 + 768 + 10 + 1;
    std::vector<int> lengths;
    while (file[at] != 0) {
        lengths.push_back(file[at]);
        at += 1 + file[at];
    }
    EXPECT_EQ(at, file.size() - 2);
    ASSERT_GT(lengths.size(), 2u);
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i)
        EXPECT_EQ(lengths[i], 255);
}

TEST(GifEncoder, CodeStreamMatchesAPlainLzwEncoder)
{
    Sandbox sandbox;
    const struct {
        int width, height, colours;
        std::vector<std::uint8_t> indices;
    } cases[] = {
        {64, 64, 256, Random(64 * 64, 256)},
        {200, 150, 4, Random(200 * 150, 4)},
        {333, 100, 256, std::vector<std::uint8_t>(33300, 9)},
        {90, 90, 16, Random(8100, 3)},
    };
    for (const auto& c : cases) {
        const std::string path = sandbox.path("stream.gif");
        ASSERT_EQ(Encode(path, c.width, c.height, c.indices, DistinctPalette(c.colours)), 0);
        const CodeStream stream = Inspect(TestImages::ReadFile(path));
        ASSERT_TRUE(stream.found);
        EXPECT_EQ(stream.data, Compress(c.indices, stream.minimumCodeSize)) << c.width << "x" << c.height;
    }
}

TEST(GifEncoder, VariedPictureFillsTheTableAndRoundTrips)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("varied.gif");
    const int width = 517, height = 389;
    const auto palette = DistinctPalette(256);
    const auto indices = Random(static_cast<std::size_t>(width) * height, 256);
    ASSERT_EQ(Encode(path, width, height, indices, palette), 0);
    const CodeStream stream = Inspect(TestImages::ReadFile(path));
    EXPECT_EQ(stream.maxWidth, 12);
    EXPECT_GT(stream.clearsAtWidth12, 10);
    EXPECT_TRUE(stream.ended);
    HBITMAP image = Decode(path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(image, palette), AsInts(indices));
    DeleteObject(image);
}

TEST(GifEncoder, OneColourPictureGrowsTheCodeWidthToTwelve)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("plain.gif");
    const int width = 1400, height = 1200;
    const auto palette = DistinctPalette(256);
    const std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height, 200);
    ASSERT_EQ(Encode(path, width, height, indices, palette), 0);
    const CodeStream stream = Inspect(TestImages::ReadFile(path));
    EXPECT_EQ(stream.minimumCodeSize, 8);
    EXPECT_EQ(stream.maxWidth, 12);
    EXPECT_EQ(stream.clears, 0);
    HBITMAP image = Decode(path);
    ASSERT_NE(image, nullptr);
    const auto decoded = Indices(image, palette);
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), 200), static_cast<long>(indices.size()));
    DeleteObject(image);
}

TEST(GifEncoder, MissingFolderCannotBeCreated)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("no/such/folder/a.gif");
    CGif gif;
    EXPECT_EQ(gif.GIF_Create(path.c_str(), 4, 4, 256, 8), 1);
    EXPECT_EQ(gif.GIF_CompressImage(0, 0, -1, -1), 2);
    EXPECT_EQ(gif.GIF_Close(), 2);
    CGraphique graphique;
    HBITMAP picture = TestImages::Gradient(8, 8);
    EXPECT_EQ(graphique.SauveImageGIF(path, picture), 0);
    EXPECT_EQ(graphique.SauveImage(path, picture, 75), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    DeleteObject(picture);
}

TEST(GifEncoder, SizesAGifCannotHoldAreRefusedBeforeWriting)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("big.gif");
    CGif gif;
    EXPECT_EQ(gif.GIF_Create(path.c_str(), 70000, 1, 256, 8), 1);
    EXPECT_EQ(gif.GIF_Create(path.c_str(), 1, 1, 257, 8), 1);
    EXPECT_EQ(gif.GIF_Create(path.c_str(), -1, 1, 256, 8), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(GifEncoder, FailureHalfWayKeepsTheOldFileAndTheSharedTableUsable)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("kept.gif");
    const Bytes old{'o', 'l', 'd'};
    TestImages::WriteFile(path, old);
    const auto palette = DistinctPalette(256);
    const auto varied = Random(400 * 300, 256);
    {
        FileSizeLimit limit(20000);
        EXPECT_EQ(Encode(path, 400, 300, varied, palette), 2);
    }
    EXPECT_EQ(TestImages::ReadFile(path), old);
    EXPECT_EQ(FolderContent(sandbox.path("")), std::vector<std::string>{"kept.gif"});

    // The table shared by every encoder is still sound for the next one.
    ASSERT_EQ(Encode(path, 400, 300, varied, palette), 0);
    HBITMAP image = Decode(path);
    EXPECT_EQ(Indices(image, palette), AsInts(varied));
    DeleteObject(image);
    EXPECT_EQ(FolderContent(sandbox.path("")), std::vector<std::string>{"kept.gif"});
}

TEST(GifEncoder, EncoderDroppedBeforeCloseLeavesTheTargetAlone)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("target.gif");
    const Bytes old{'o', 'l', 'd'};
    TestImages::WriteFile(path, old);
    {
        CGif gif;
        ASSERT_EQ(gif.GIF_Create(path.c_str(), 2, 2, 2, 8), 0);
    }
    EXPECT_EQ(TestImages::ReadFile(path), old);
    EXPECT_EQ(FolderContent(sandbox.path("")), std::vector<std::string>{"target.gif"});
}

TEST(GifEncoder, ColourResolutionScalesComponents)
{
    Sandbox sandbox;
    const std::string path = sandbox.path("res.gif");
    HBITMAP pixel = CreateBitmap(1, 1, 1, 8, nullptr);
    {
        MemoryContext source(nullptr, pixel);
        CGif gif;
        ASSERT_EQ(gif.GIF_Create(path.c_str(), 1, 1, 2, 4), 0);
        gif.GIF_SetColor(0, 15, 0, 5);
        gif.GIF_SetColor(1, 1, 2, 3);
        gif.GIF_SetColor(2, 9, 9, 9); // beyond the table: ignored
        gif.GIF_SetSource(source);
        ASSERT_EQ(gif.GIF_CompressImage(0, 0, -1, -1), 0);
        ASSERT_EQ(gif.GIF_Close(), 0);
    }
    DeleteObject(pixel);
    const Bytes file = TestImages::ReadFile(path);
    EXPECT_EQ(file[10], 0x80 | (3 << 4));
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 19), (Bytes{255, 0, 85, 17, 34, 51}));
}

TEST(GifEncoder, CompressingWithoutPixelsFailsAndKeepsTheOldFile)
{
    struct Case {
        const char* name;
        bool setSource; // a context with no picture selected, or none at all
    };
    for (const Case& c : {Case{"no source", false}, Case{"empty context", true}}) {
        Sandbox sandbox;
        const std::string path = sandbox.path("old.gif");
        const Bytes old{'o', 'l', 'd'};
        TestImages::WriteFile(path, old);
        HDC empty = CreateCompatibleDC(nullptr);
        {
            CGif gif;
            ASSERT_EQ(gif.GIF_Create(path.c_str(), 8, 8, 256, 8), 0) << c.name;
            if (c.setSource)
                gif.GIF_SetSource(empty);
            EXPECT_EQ(gif.GIF_CompressImage(0, 0, -1, -1), 2) << c.name;
            EXPECT_EQ(gif.GIF_Close(), 2) << c.name;
        }
        DeleteDC(empty);
        EXPECT_EQ(TestImages::ReadFile(path), old) << c.name;
        EXPECT_EQ(FolderContent(sandbox.path("")), std::vector<std::string>{"old.gif"}) << c.name;
    }
}

// --- Through CGraphique ---

TEST(GifEncoder, SavedPictureOfPaletteColoursLoadsBackIdentical)
{
    Sandbox sandbox;
    CGraphique graphique;
    const auto& entries = SystemPalette::instance().entries();
    HBITMAP picture = TestImages::Make(61, 37, 32, [&](int x, int y) {
        const RGBQUAD& q = entries[static_cast<std::size_t>((x * 7 + y * 13) % 256)];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    });
    const std::string path = sandbox.path("Signed.Gif");
    ASSERT_EQ(graphique.SauveImage(path, picture, 0), 1);
    HBITMAP loaded = graphique.ChargeImage(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(TestImages::FirstDifference(picture, loaded), "");
    DeleteObject(loaded);
    DeleteObject(picture);
}

TEST(GifEncoder, SavedPictureTakesTheNearestPaletteColours)
{
    Sandbox sandbox;
    CGraphique graphique;
    HBITMAP picture = TestImages::Gradient(50, 30, 24);
    const std::string path = sandbox.path("gradient.gif");
    ASSERT_EQ(graphique.SauveImageGIF(path, picture), 1);
    const Bytes file = TestImages::ReadFile(path);
    ASSERT_GT(file.size(), 13u + 768u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{'G', 'I', 'F', '8', '7', 'a'}));
    const auto& palette = SystemPalette::instance();
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = palette.colour(static_cast<BYTE>(i));
        ASSERT_EQ(file[13 + i * 3], (c >> 16) & 0xFF) << i;
        ASSERT_EQ(file[13 + i * 3 + 1], (c >> 8) & 0xFF) << i;
        ASSERT_EQ(file[13 + i * 3 + 2], c & 0xFF) << i;
    }
    HBITMAP loaded = graphique.ChargeImageGIF(path);
    ASSERT_NE(loaded, nullptr);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            const COLORREF source = TestImages::Pixel(picture, x, y);
            const BYTE index = palette.nearestIndex(GetRValue(source), GetGValue(source), GetBValue(source));
            ASSERT_EQ(TestImages::Pixel(loaded, x, y), PixelRows::ToColorRef(palette.colour(index))) << x << "," << y;
        }
    DeleteObject(loaded);
    DeleteObject(picture);
}

TEST(GifEncoder, SaveOfNothingFails)
{
    Sandbox sandbox;
    CGraphique graphique;
    const std::string path = sandbox.path("none.gif");
    EXPECT_EQ(graphique.SauveImageGIF(path, nullptr), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}
