// The GIF codec against ImageMagick: files that it writes (versions,
// colour-table sizes, interlacing, local tables, extensions, several frames)
// decode to the colours it decodes itself, and the files we write read back
// in it with the same pixels. Skipped where /usr/bin/convert is missing.

#include "CGif.h"
#include "CGraphique.h"
#include "GifTestSupport.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace GifTest;
using TestImages::Sandbox;

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> palette;
    std::vector<COLORREF> pixels;
};

// Every colour of the palette appears, the rest at random.
Picture MakePicture(int width, int height, int colours, std::uint32_t seed = 99)
{
    Picture p{width, height, DistinctPalette(colours), {}};
    const std::size_t count = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t index = i < static_cast<std::size_t>(colours) ? i : (seed >> 16) % colours;
        p.pixels.push_back(p.palette[index]);
    }
    return p;
}

std::string Describe(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int width)
{
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            std::ostringstream s;
            s << "pixel " << i % width << "," << i / width << ": " << std::hex << a[i] << " vs " << b[i];
            return s.str();
        }
    return {};
}

class GifCrossCheck : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveConvert())
            GTEST_SKIP() << "ImageMagick is not installed at " << TestImages::kConvert;
    }

    // ImageMagick's GIF of a picture, made with the given options and output prefix.
    Bytes Written(const Picture& p, const std::string& options, const std::string& prefix = "")
    {
        const std::string ppm = sandbox.path("source.ppm");
        const std::string gif = sandbox.path("magick.gif");
        WritePpm(ppm, p.width, p.height, p.pixels);
        std::remove(gif.c_str());
        EXPECT_EQ(Convert("'" + ppm + "' " + options + " '" + prefix + gif + "'"), 0);
        return TestImages::ReadFile(gif);
    }

    // Frame n of a file as ImageMagick decodes it.
    std::vector<COLORREF> MagickPixels(const std::string& gif, int frame = 0)
    {
        const std::string ppm = sandbox.path("decoded.ppm");
        std::remove(ppm.c_str());
        int width = 0, height = 0;
        std::vector<COLORREF> pixels;
        // Without the comment, which would land in the PPM header.
        if (Convert("'" + gif + "[" + std::to_string(frame) + "]' +set comment '" + ppm + "'") != 0
            || !TestImages::ReadPnm(ppm, width, height, pixels))
            return {};
        return pixels;
    }

    // Our first image of a file, compared with ImageMagick's and with the source.
    std::string CheckFile(const Bytes& file, const Picture& p)
    {
        const std::string gif = sandbox.path("check.gif");
        TestImages::WriteFile(gif, file);
        HBITMAP image = Decode(gif);
        if (!image)
            return "our decoder returned null";
        const CSize size = TestImages::SizeOf(image);
        const auto ours = Colours(image);
        DeleteObject(image);
        if (size != CSize(p.width, p.height))
            return "size " + std::to_string(size.cx) + "x" + std::to_string(size.cy);
        const std::string vsMagick = Describe(ours, MagickPixels(gif), p.width);
        if (!vsMagick.empty())
            return "against ImageMagick: " + vsMagick;
        const std::string vsSource = Describe(ours, p.pixels, p.width);
        return vsSource.empty() ? "" : "against the source: " + vsSource;
    }

    Sandbox sandbox;
};

int Log2(int n)
{
    int bits = 0;
    while ((1 << bits) < n)
        ++bits;
    return bits;
}

// Offset of the first image descriptor of a file.
std::size_t FirstDescriptor(const Bytes& file)
{
    std::size_t at = 13 + ((file[10] & 0x80) ? 3 * (std::size_t(2) << (file[10] & 7)) : 0);
    while (at < file.size() && file[at] == 0x21) {
        at += 2;
        while (at < file.size() && file[at] != 0)
            at += 1 + file[at];
        ++at;
    }
    return at;
}

// Moves the global table into the first image as its local table, and
// leaves a misleading global table of the same size in its place.
Bytes MoveTableToImage(const Bytes& file)
{
    const std::size_t tableBytes = 3 * (std::size_t(2) << (file[10] & 7));
    const Bytes table(file.begin() + 13, file.begin() + 13 + static_cast<std::ptrdiff_t>(tableBytes));
    Bytes out = file;
    std::fill(out.begin() + 13, out.begin() + 13 + static_cast<std::ptrdiff_t>(tableBytes), 0x40);
    const std::size_t descriptor = FirstDescriptor(out);
    out[descriptor + 9] = static_cast<std::uint8_t>(out[descriptor + 9] | 0x80 | (file[10] & 7));
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(descriptor + 10), table.begin(), table.end());
    return out;
}

Bytes InsertBeforeImage(const Bytes& file, const Bytes& blocks)
{
    Bytes out = file;
    const std::size_t descriptor = FirstDescriptor(out);
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(descriptor), blocks.begin(), blocks.end());
    return out;
}

} // namespace

TEST_F(GifCrossCheck, EveryMinimumCodeSizeAndOddWidthsInBothVersions)
{
    for (int colours : {2, 4, 8, 16, 32, 64, 128, 256})
        for (int width : {1, 3, 5, 13, 37, 101})
            for (bool old : {true, false}) {
                const int height = colours / width + 3;
                const Picture p = MakePicture(width, height, colours, static_cast<std::uint32_t>(colours * 31 + width));
                const Bytes file = Written(p, "", old ? "GIF87:" : "GIF:");
                ASSERT_GT(file.size(), 13u);
                const std::string label = std::to_string(colours) + " colours, width " + std::to_string(width)
                    + (old ? ", 87a" : ", 89a");
                EXPECT_EQ(std::string(file.begin(), file.begin() + 6), old ? "GIF87a" : "GIF89a") << label;
                EXPECT_EQ(Inspect(file).minimumCodeSize, std::max(2, Log2(colours))) << label;
                EXPECT_EQ(CheckFile(file, p), "") << label;
            }
}

TEST_F(GifCrossCheck, InterlacedFiles)
{
    for (int height : {1, 3, 10, 37})
        for (int width : {3, 7, 64}) {
            const Picture p = MakePicture(width, height, 16, static_cast<std::uint32_t>(height * 7 + width));
            const std::string label = std::to_string(width) + "x" + std::to_string(height);

            // Written by ImageMagick. Its writer (6.9) misplaces rows of some
            // small interlaced pictures, so the reference is its own reader.
            const Bytes magick = Written(p, "-interlace GIF");
            ASSERT_LT(FirstDescriptor(magick) + 9, magick.size());
            EXPECT_TRUE(magick[FirstDescriptor(magick) + 9] & 0x40) << label;
            const std::string gif = sandbox.path("interlaced.gif");
            TestImages::WriteFile(gif, magick);
            HBITMAP image = Decode(gif);
            ASSERT_NE(image, nullptr) << label;
            EXPECT_EQ(Describe(Colours(image), MagickPixels(gif), width), "") << label;
            DeleteObject(image);

            // Written here with the rows in pass order: both readers give the source.
            std::vector<std::uint8_t> stream;
            for (int pass = 0; pass < 4; ++pass) {
                const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
                for (int y = start[pass]; y < height; y += step[pass])
                    for (int x = 0; x < width; ++x) {
                        const COLORREF c = p.pixels[static_cast<std::size_t>(y) * width + x];
                        stream.push_back(static_cast<std::uint8_t>(
                            std::find(p.palette.begin(), p.palette.end(), c) - p.palette.begin()));
                    }
            }
            EXPECT_EQ(CheckFile(File(width, height, p.palette, stream, true), p), "") << label;
        }
}

TEST_F(GifCrossCheck, LocalColourTableIsUsed)
{
    for (int colours : {4, 256}) {
        const Picture p = MakePicture(23, 11, colours);
        const Bytes file = MoveTableToImage(Written(p, ""));
        EXPECT_EQ(CheckFile(file, p), "") << colours;
    }
}

TEST_F(GifCrossCheck, ExtensionsBeforeTheImage)
{
    const Picture p = MakePicture(19, 9, 32);
    const Bytes extensions{
        0x21, 0xF9, 4, 0x08, 5, 0, 0, 0,                                                       // graphic control
        0x21, 0xFE, 7, 'c', 'o', 'm', 'm', 'e', 'n', 't', 0,                                   // comment
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0,  // application
        0x21, 0x01, 12, 0, 0, 0, 0, 19, 0, 9, 0, 8, 8, 1, 0, 5, 'h', 'e', 'l', 'l', 'o', 0,  // plain text
    };
    for (bool old : {false, true}) {
        Bytes file = InsertBeforeImage(Written(p, "", old ? "GIF87:" : "GIF:"), extensions);
        if (old)
            file[4] = '9';
        EXPECT_EQ(CheckFile(file, p), "") << (old ? "from 87a" : "89a");
    }
}

TEST_F(GifCrossCheck, FramesOfAnAnimationInTurn)
{
    const Picture a = MakePicture(12, 8, 4, 1);
    const Picture b = MakePicture(12, 8, 64, 2);
    const std::string first = sandbox.path("a.ppm"), second = sandbox.path("b.ppm"), gif = sandbox.path("anim.gif");
    WritePpm(first, a.width, a.height, a.pixels);
    WritePpm(second, b.width, b.height, b.pixels);
    ASSERT_EQ(Convert("'" + first + "' '" + second + "' '" + gif + "'"), 0);

    CGif decoder;
    ASSERT_EQ(decoder.Load(gif.c_str()), 1);
    for (int round = 0; round < 2; ++round)
        for (const Picture* p : {&a, &b}) {
            HBITMAP image = round == 0 && p == &a ? decoder.FirstImage() : decoder.NextImage();
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(Describe(Colours(image), p->pixels, p->width), "") << "round " << round;
            EXPECT_EQ(Describe(Colours(image), MagickPixels(gif, p == &a ? 0 : 1), p->width), "");
            DeleteObject(image);
        }
}

TEST_F(GifCrossCheck, OurFilesReadTheSameInImageMagick)
{
    const struct {
        int width, height, colours;
        bool plain;
    } cases[] = {
        {1, 1, 256, false}, {3, 5, 2, false}, {101, 7, 16, false}, {517, 389, 256, false}, {1400, 1200, 256, true},
    };
    for (const auto& c : cases) {
        const auto palette = DistinctPalette(c.colours);
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(c.width) * c.height, 1);
        std::uint32_t seed = 5;
        if (!c.plain)
            for (auto& v : indices) {
                seed = seed * 1664525u + 1013904223u;
                v = static_cast<std::uint8_t>((seed >> 13) % static_cast<std::uint32_t>(c.colours));
            }
        const std::string gif = sandbox.path("ours.gif");
        ASSERT_EQ(Encode(gif, c.width, c.height, indices, palette), 0);
        std::vector<COLORREF> expected;
        for (std::uint8_t i : indices)
            expected.push_back(palette[i]);
        EXPECT_EQ(Describe(MagickPixels(gif), expected, c.width), "") << c.width << "x" << c.height;
    }
}

TEST_F(GifCrossCheck, SavedPictureReadsTheSameInImageMagick)
{
    CGraphique graphique;
    HBITMAP picture = TestImages::Gradient(77, 45);
    const std::string gif = sandbox.path("saved.gif");
    ASSERT_EQ(graphique.SauveImage(gif, picture, 0), 1);
    HBITMAP loaded = graphique.ChargeImage(gif);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Describe(Colours(loaded), MagickPixels(gif), 77), "");
    DeleteObject(loaded);
    DeleteObject(picture);
}

TEST_F(GifCrossCheck, ATransparentIndexGivesTheLogoItsAlphaPlane)
{
    struct Cas {
        const char* options; // ImageMagick's drawing of a 6x4 picture
        bool transparent;
    };
    const Cas cas[] = {
        {"-size 6x4 xc:blue -fill red -draw \"rectangle 0,0 1,1\" -transparent red", true},
        {"-size 6x4 xc:blue -fill red -draw \"rectangle 0,0 1,1\"", false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.options);
        const std::string gif = sandbox.path("logo.gif");
        ASSERT_EQ(TestImages::RunCommand(std::string(TestImages::kConvert) + " " + c.options + " " + gif), 0);
        CGraphique graphique;
        std::vector<BYTE> alpha;
        HBITMAP image = graphique.ChargeImageAlpha(gif, alpha);
        ASSERT_NE(image, nullptr);
        if (!c.transparent) {
            EXPECT_TRUE(alpha.empty());
        } else {
            ASSERT_EQ(alpha.size(), 24u);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x)
                    EXPECT_EQ(alpha[y * 6 + x], x < 2 && y < 2 ? 0 : 255) << x << "," << y;
        }
        DeleteObject(image);
    }
}
