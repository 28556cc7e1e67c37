// PNG and WebP files we write, read back by the reference tools (ImageMagick,
// dwebp) with the same pixels; alpha planes and ICC profiles through both
// ways; files of the reference encoders (cwebp, img2webp) read by ours; and
// the choice of format by the end of the name. Skipped where a tool is missing.

#include "CGraphique.h"
#include "JpegTestSupport.h"
#include "TestImages.h"
#include "codecs/Metadonnees.h"
#include "codecs/PngFile.h"
#include "codecs/WebpFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace TestImages;

namespace {

constexpr const char* kDwebp = "/usr/bin/dwebp";
constexpr const char* kCwebp = "/usr/bin/cwebp";
constexpr const char* kImg2webp = "/usr/bin/img2webp";

// An alpha plane with every level, fully clear and fully opaque areas.
std::vector<std::uint8_t> Alpha(int width, int height)
{
    std::vector<std::uint8_t> alpha(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            alpha[std::size_t(y) * width + x] = x < width / 4 ? 0 : x >= 3 * width / 4 ? 255 : (x * 7 + y * 13) & 0xFF;
    return alpha;
}

// Mean absolute difference per channel.
double MeanDifference(HBITMAP a, HBITMAP b)
{
    double total = 0;
    for (int y = 0; y < a->height(); ++y)
        for (int x = 0; x < a->width(); ++x) {
            const COLORREF p = Pixel(a, x, y), q = Pixel(b, x, y);
            total += std::abs(int(GetRValue(p)) - GetRValue(q)) + std::abs(int(GetGValue(p)) - GetGValue(q))
                     + std::abs(int(GetBValue(p)) - GetBValue(q));
        }
    return total / (3.0 * a->width() * a->height());
}

// First pixel with alpha that differs; encoders may change what is invisible.
std::string FirstVisibleDifference(HBITMAP a, HBITMAP b, const std::vector<std::uint8_t>& alpha)
{
    for (int y = 0; y < a->height(); ++y)
        for (int x = 0; x < a->width(); ++x)
            if (alpha[std::size_t(y) * a->width() + x] != 0 && Pixel(a, x, y) != Pixel(b, x, y))
                return std::to_string(x) + "," + std::to_string(y);
    return {};
}

class PngWebp : public testing::Test {
protected:
    Sandbox box;
    CGraphique graphique;
};

TEST_F(PngWebp, PngWrittenReadsTheSameInImageMagick)
{
    if (!HaveTool(kConvert))
        GTEST_SKIP() << "ImageMagick is not installed at " << kConvert;
    struct Case {
        int width, height, depth;
    };
    for (const Case c : {Case{1, 1, 32}, Case{257, 3, 32}, Case{31, 17, 24}, Case{13, 7, 16}, Case{640, 480, 32}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "@" + std::to_string(c.depth));
        HBITMAP image = Gradient(c.width, c.height, c.depth);
        const std::string png = box.path("out.png"), ppm = box.path("out.ppm");
        ASSERT_EQ(graphique.SauveImage(png, image, 75), 1);
        ASSERT_EQ(RunCommand(std::string(kConvert) + " '" + png + "' '" + ppm + "'"), 0);
        EXPECT_EQ(DifferenceFromPnm(image, ppm), "");
        HBITMAP relue = PngFile::Charge(png);
        ASSERT_NE(relue, nullptr);
        EXPECT_EQ(FirstDifference(image, relue), "");
        DeleteObject(relue);
        DeleteObject(image);
    }
}

TEST_F(PngWebp, PngAlphaPlaneIsWrittenAndReadBack)
{
    if (!HaveTool(kConvert))
        GTEST_SKIP() << "ImageMagick is not installed at " << kConvert;
    HBITMAP image = Gradient(37, 11);
    const std::vector<std::uint8_t> alpha = Alpha(37, 11);
    const std::string png = box.path("alpha.png"), pgm = box.path("alpha.pgm");
    ASSERT_EQ(PngFile::Sauve(png, *image, &alpha), 1);
    ASSERT_EQ(RunCommand(std::string(kConvert) + " '" + png + "' -alpha extract '" + pgm + "'"), 0);
    int w = 0, h = 0;
    std::vector<COLORREF> niveaux;
    ASSERT_TRUE(ReadPnm(pgm, w, h, niveaux));
    ASSERT_EQ(niveaux.size(), alpha.size());
    for (std::size_t i = 0; i < alpha.size(); ++i)
        ASSERT_EQ(GetRValue(niveaux[i]), alpha[i]) << "pixel " << i;
    std::vector<std::uint8_t> relu;
    HBITMAP relue = graphique.ChargeImageAlpha(png, relu);
    ASSERT_NE(relue, nullptr);
    EXPECT_EQ(relu, alpha);
    EXPECT_EQ(FirstDifference(image, relue), "");
    DeleteObject(relue);
    DeleteObject(image);
}

TEST_F(PngWebp, PngCarriesTheIccProfileUnlessMetadataIsDropped)
{
    // Larger than one JPEG marker, so it travels in several chunks.
    std::vector<std::uint8_t> profil(70000);
    for (std::size_t i = 0; i < profil.size(); ++i)
        profil[i] = static_cast<std::uint8_t>(i * 31 + (i >> 9));
    Metadonnees source;
    ASSERT_TRUE(source.AjouteProfilICC(profil));
    ASSERT_EQ(source.ProfilICC(), profil);
    HBITMAP image = Gradient(9, 4);
    for (const auto politique : {PolitiqueMetadonnees::Toutes, PolitiqueMetadonnees::Aucune}) {
        const std::string png = box.path("icc.png");
        ASSERT_EQ(graphique.SauvePhoto(png, image, 75, source, politique), 1);
        Metadonnees relues;
        HBITMAP relue = graphique.ChargePhoto(png, relues);
        ASSERT_NE(relue, nullptr);
        EXPECT_EQ(relues.ProfilICC(), politique == PolitiqueMetadonnees::Toutes ? profil : std::vector<std::uint8_t>());
        DeleteObject(relue);
    }
    DeleteObject(image);
}

TEST_F(PngWebp, WebpWrittenDecodesInDwebpExactlyLosslessAndCloselyLossy)
{
    if (!HaveTool(kDwebp))
        GTEST_SKIP() << "dwebp is not installed at " << kDwebp;
    for (const int quality : {100, 90, 40}) {
        SCOPED_TRACE("quality " + std::to_string(quality));
        HBITMAP image = JpegTest::Photo(203, 67);
        const std::string webp = box.path("out.webp"), ppm = box.path("out.ppm");
        ASSERT_EQ(graphique.SauveImage(webp, image, quality), 1);
        ASSERT_EQ(RunCommand(std::string(kDwebp) + " -quiet '" + webp + "' -ppm -o '" + ppm + "'"), 0);
        HBITMAP relue = graphique.ChargeImage(webp);
        ASSERT_NE(relue, nullptr);
        // Our decoding is the reference's, and lossless is the picture itself.
        EXPECT_EQ(DifferenceFromPnm(relue, ppm), "");
        if (quality == 100)
            EXPECT_EQ(FirstDifference(image, relue), "");
        else
            // Sharp coloured edges lose their chroma to 4:2:0; a swapped or
            // shifted channel would be far beyond this.
            EXPECT_LE(MeanDifference(image, relue), 16.0);
        DeleteObject(relue);
        DeleteObject(image);
    }
}

TEST_F(PngWebp, WebpAlphaAndAnimationsOfTheReferenceEncodersAreRead)
{
    if (!HaveTool(kCwebp) || !HaveTool(kImg2webp))
        GTEST_SKIP() << "cwebp or img2webp is not installed";
    HBITMAP premiere = Gradient(45, 21);
    HBITMAP seconde = Solid(45, 21, 32, RGB(10, 200, 30));
    const std::vector<std::uint8_t> alpha = Alpha(45, 21);
    const std::string a = box.path("a.png"), b = box.path("b.png");
    ASSERT_EQ(PngFile::Sauve(a, *premiere, &alpha), 1);
    ASSERT_EQ(PngFile::Sauve(b, *seconde), 1);
    const std::string fixe = box.path("fixe.webp"), anime = box.path("anime.webp");
    ASSERT_EQ(RunCommand(std::string(kCwebp) + " -quiet -lossless -exact '" + a + "' -o '" + fixe + "'"), 0);
    ASSERT_EQ(RunCommand(std::string(kImg2webp) + " -lossless '" + a + "' '" + b + "' -o '" + anime + "' >/dev/null"), 0);
    for (const std::string& webp : {fixe, anime}) {
        SCOPED_TRACE(webp);
        std::vector<std::uint8_t> relu;
        HBITMAP image = WebpFile::Charge(webp, &relu);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(relu, alpha);
        EXPECT_EQ(FirstVisibleDifference(image, premiere, alpha), "");
        DeleteObject(image);
    }
    // Our own alpha writing, lossless, comes back whole.
    const std::string nous = box.path("nous.webp");
    ASSERT_EQ(WebpFile::Sauve(nous, *premiere, 100, &alpha), 1);
    std::vector<std::uint8_t> relu;
    HBITMAP image = WebpFile::Charge(nous, &relu);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(relu, alpha);
    EXPECT_EQ(FirstDifference(image, premiere), "");
    DeleteObject(image);
    DeleteObject(premiere);
    DeleteObject(seconde);
}

TEST_F(PngWebp, FormatIsChosenByTheEndOfTheNameInAnyCase)
{
    HBITMAP image = Gradient(8, 5);
    struct Case {
        const char* name;
        bool lossless; // HEIC and AVIF stay lossy (and subsampled) at quality 100
    };
    for (const Case c : {Case{"a.png", true}, Case{"b.PNG", true}, Case{"c.Png", true}, Case{"d.webp", true},
                         Case{"e.WEBP", true}, Case{"f.heic", false}, Case{"g.HEIF", false}, Case{"h.avif", false}}) {
        SCOPED_TRACE(c.name);
        const std::string path = box.path(c.name);
        EXPECT_EQ(graphique.SauveImage(path, image, 100), 1);
        HBITMAP relue = graphique.ChargeImage(path);
        ASSERT_NE(relue, nullptr);
        if (c.lossless) {
            EXPECT_EQ(FirstDifference(image, relue), "");
        } else {
            EXPECT_EQ(SizeOf(relue), SizeOf(image));
        }
        DeleteObject(relue);
    }
    DeleteObject(image);
}

} // namespace
