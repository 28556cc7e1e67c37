// HEIC and AVIF pictures made by heif-enc from JPEG photographs: read at
// their size, not turned again by the Exif Orientation they carry, with that
// Exif kept for the signed copy. Skipped where heif-enc or exiftool is missing.

#include "CGraphique.h"
#include "JpegTestSupport.h"
#include "TestImages.h"
#include "codecs/HeifFile.h"
#include "codecs/Metadonnees.h"
#include "codecs/PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace TestImages;

namespace {

constexpr const char* kHeifEnc = "/usr/bin/heif-enc";
constexpr const char* kExiftool = "/usr/bin/exiftool";

class Heif : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool(kHeifEnc) || !HaveTool(kExiftool))
            GTEST_SKIP() << "heif-enc or exiftool is not installed";
    }
    Sandbox box;
    CGraphique graphique;
};

TEST_F(Heif, HeicAndAvifLoadUprightWithTheirExif)
{
    // Four quarters of distinct colours show any turn or mirror.
    HBITMAP source = Make(96, 40, 32, [](int x, int y) {
        return x < 48 ? (y < 20 ? RGB(220, 30, 30) : RGB(30, 220, 30)) : (y < 20 ? RGB(30, 30, 220) : RGB(230, 230, 40));
    });
    const std::string jpeg = box.path("photo.jpg");
    ASSERT_EQ(graphique.SauveImage(jpeg, source, 95), 1);
    ASSERT_EQ(RunCommand(std::string(kExiftool) + " -q -overwrite_original -n -Orientation=6 -Make=Heifcam '" + jpeg
                         + "'"),
              0);
    for (const char* nom : {"photo.heic", "photo.avif"}) {
        SCOPED_TRACE(nom);
        const std::string heif = box.path(nom);
        ASSERT_EQ(RunCommand(std::string(kHeifEnc) + " -q 90 '" + jpeg + "' -o '" + heif + "' >/dev/null 2>&1"), 0);
        Metadonnees metadonnees;
        HBITMAP image = graphique.ChargePhoto(heif, metadonnees);
        ASSERT_NE(image, nullptr);
        // The container holds no turn; the Exif one no longer applies.
        EXPECT_EQ(image->width(), 96);
        EXPECT_EQ(image->height(), 40);
        for (const CPoint p : {CPoint(10, 5), CPoint(85, 5), CPoint(10, 35), CPoint(85, 35)}) {
            const COLORREF a = Pixel(source, p.x, p.y), b = Pixel(image, p.x, p.y);
            EXPECT_LE(std::abs(int(GetRValue(a)) - GetRValue(b)) + std::abs(int(GetGValue(a)) - GetGValue(b))
                          + std::abs(int(GetBValue(a)) - GetBValue(b)),
                      30)
                << p.x << "," << p.y;
        }
        EXPECT_EQ(metadonnees.Etiquette("Make"), "Heifcam");
        EXPECT_EQ(metadonnees.PourEcriture(PolitiqueMetadonnees::Toutes, 96, 40).Orientation(), 1);
        // Written as JPEG, the photograph keeps its Exif.
        const std::string copie = box.path("copie.jpg");
        ASSERT_EQ(graphique.SauvePhoto(copie, image, 90, metadonnees, PolitiqueMetadonnees::Toutes), 1);
        Metadonnees relues;
        HBITMAP relue = graphique.ChargePhoto(copie, relues);
        ASSERT_NE(relue, nullptr);
        EXPECT_EQ(relue->width(), 96);
        EXPECT_EQ(relues.Etiquette("Make"), "Heifcam");
        DeleteObject(relue);
        DeleteObject(image);
    }
    DeleteObject(source);
}

TEST_F(Heif, AlphaPlaneIsGivenToCallersThatAsk)
{
    HBITMAP source = Gradient(40, 24);
    const std::vector<std::uint8_t> moitie(40 * 24, 128);
    const std::string png = box.path("alpha.png"), heic = box.path("alpha.heic");
    ASSERT_EQ(PngFile::Sauve(png, *source, &moitie), 1);
    ASSERT_EQ(RunCommand(std::string(kHeifEnc) + " -q 90 '" + png + "' -o '" + heic + "' >/dev/null 2>&1"), 0);
    std::vector<std::uint8_t> alpha;
    HBITMAP image = graphique.ChargeImageAlpha(heic, alpha);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(alpha.size(), moitie.size());
    const auto [bas, haut] = std::minmax_element(alpha.begin(), alpha.end());
    EXPECT_GE(*bas, 120);
    EXPECT_LE(*haut, 136);
    DeleteObject(image);
    DeleteObject(source);
}

} // namespace
