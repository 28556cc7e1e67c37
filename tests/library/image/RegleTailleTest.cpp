// Photographs loaded smaller: the size the rule gives, never larger, and
// the JPEG decoded at a reduced scale looking like the whole picture
// averaged down.

#include "CGraphique.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"
#include "codecs/HeifEcriture.h"
#include "codecs/Metadonnees.h"
#include "codecs/RegistreFormats.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace TestImages;

namespace {

using Mode = RegleTaille::Mode;

// Mean of the absolute differences over every channel of every pixel.
double EcartMoyen(HBITMAP a, HBITMAP b)
{
    const CSize taille = SizeOf(a);
    double somme = 0;
    for (int y = 0; y < taille.cy; ++y)
        for (int x = 0; x < taille.cx; ++x) {
            const COLORREF p = Pixel(a, x, y);
            const COLORREF q = Pixel(b, x, y);
            somme += std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q))
                     + std::abs(GetBValue(p) - GetBValue(q));
        }
    return somme / (3.0 * taille.cx * taille.cy);
}

// The picture loaded under regle comes at attendue, within 2 levels on
// average of the whole picture entiere averaged down.
void CommeLEntiere(CGraphique& graphique, const std::string& chemin, Metadonnees& metadonnees,
                   const RegleTaille& regle, HBITMAP entiere, CSize attendue)
{
    HBITMAP reduite = graphique.ChargePhoto(chemin, metadonnees, regle);
    ASSERT_NE(reduite, nullptr);
    EXPECT_EQ(SizeOf(reduite), attendue);
    HDC ecran = GetDC(nullptr);
    HBITMAP reference = CGraphique::RedimensionneImage(ecran, entiere, attendue, 0);
    ReleaseDC(nullptr, ecran);
    EXPECT_LE(EcartMoyen(reduite, reference), 2.0);
    DeleteObject(reference);
    DeleteObject(reduite);
}

} // namespace

TEST(RegleTaille, EachRuleGivesItsSizeRoundedHalfUpAndNeverLarger)
{
    const struct {
        RegleTaille regle;
        CSize source;
        CSize attendue;
    } cas[] = {
        {{Mode::CotePlusLong, 2048}, {6000, 4000}, {2048, 1365}},
        {{Mode::CotePlusLong, 2048}, {4000, 6000}, {1365, 2048}},
        {{Mode::CotePlusLong, 2048}, {2048, 1000}, {2048, 1000}},
        {{Mode::CotePlusLong, 2048}, {800, 600}, {800, 600}},
        {{Mode::CotePlusLong, 10}, {1000, 1}, {10, 1}},
        {{Mode::CotePlusLong, 3}, {4, 2}, {3, 2}},          // 1.5 goes up
        {{Mode::CotePlusCourt, 1000}, {6000, 4000}, {1500, 1000}},
        {{Mode::CotePlusCourt, 1000}, {900, 3000}, {900, 3000}},
        {{Mode::Pourcentage, 50}, {101, 51}, {51, 26}},
        {{Mode::Pourcentage, 100}, {640, 480}, {640, 480}},
        {{Mode::Pourcentage, 1}, {10, 10}, {1, 1}},
        {{}, {6000, 4000}, {6000, 4000}},
        // Not a rule a template can hold: no change rather than a guess.
        {{Mode::CotePlusLong, 0}, {6000, 4000}, {6000, 4000}},
        {{Mode::Pourcentage, 150}, {600, 400}, {600, 400}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.regle.Genre) << " " << c.regle.Valeur << " of "
                                        << c.source.cx << "x" << c.source.cy);
        EXPECT_EQ(c.regle.Cible(c.source), c.attendue);
    }
    EXPECT_FALSE((RegleTaille{Mode::Aucune, 5}.Valide()));
    EXPECT_FALSE((RegleTaille{Mode::CotePlusCourt, RegleTaille::kPixelsMaximum + 1}.Valide()));
    EXPECT_TRUE((RegleTaille{Mode::CotePlusCourt, RegleTaille::kPixelsMaximum}.Valide()));
}

TEST(RegleTaille, AReducedJpegDecodeLooksLikeTheWholePictureAveragedDown)
{
    Scripted().clear();
    Sandbox bac;
    CGraphique graphique;
    // Grey, with hard edges a few output pixels apart, as a photograph's
    // detail is: stripes, a ramp and a checkerboard.
    HBITMAP motif = Make(6000, 4000, 32, [](int x, int y) {
        const int v = ((x / 23) % 2 ? 60 : 0) + (x * 100 / 6000) + (((x / 64) + (y / 64)) % 2 ? 90 : 0);
        return RGB(v, v, v);
    });
    const std::string chemin = bac.path("grand.jpg");
    ASSERT_EQ(graphique.SauveImage(chemin, motif, 90), 1);
    DeleteObject(motif);

    Metadonnees metadonnees;
    HBITMAP entiere = graphique.ChargePhoto(chemin, metadonnees);
    ASSERT_NE(entiere, nullptr);
    for (const RegleTaille regle : {RegleTaille{Mode::CotePlusLong, 2048}, RegleTaille{Mode::CotePlusCourt, 700},
                                    RegleTaille{Mode::Pourcentage, 30}}) {
        SCOPED_TRACE(static_cast<int>(regle.Genre));
        CommeLEntiere(graphique, chemin, metadonnees, regle, entiere, regle.Cible(CSize(6000, 4000)));
    }
    DeleteObject(entiere);
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST(RegleTaille, OtherFormatsComeAtTheRulesSizeAndBadFilesStillFail)
{
    Scripted().clear();
    Sandbox bac;
    CGraphique graphique;
    HBITMAP image = Gradient(300, 200);
    const std::string bmp = bac.path("a.bmp");
    ASSERT_EQ(graphique.SauveImage(bmp, image, 0), 1);
    DeleteObject(image);
    Metadonnees metadonnees;
    for (const auto& [regle, attendue] : {std::pair{RegleTaille{Mode::CotePlusLong, 100}, CSize(100, 67)},
                                          std::pair{RegleTaille{Mode::CotePlusLong, 400}, CSize(300, 200)}}) {
        HBITMAP lue = graphique.ChargePhoto(bmp, metadonnees, regle);
        ASSERT_NE(lue, nullptr);
        EXPECT_EQ(SizeOf(lue), attendue);
        DeleteObject(lue);
    }
    // A file that is no picture fails as it did, with the loader's one message.
    TestImages::WriteFile(bac.path("faux.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
    EXPECT_EQ(graphique.ChargePhoto(bac.path("faux.jpg"), metadonnees, RegleTaille{Mode::Pourcentage, 50}), nullptr);
    EXPECT_FALSE(Scripted().shown.empty());
}

TEST(RegleTaille, EveryReadableFormatComesAtTheRulesSizeLookingLikeTheWholePicture)
{
    Scripted().clear();
    Sandbox bac;
    CGraphique graphique;
    // Ramps and squares a few output pixels wide: detail a photograph has,
    // which a JPEG decoded at a reduced scale keeps as averaging would.
    HBITMAP image = Make(640, 400, 32, [](int x, int y) {
        return RGB(x * 255 / 639, y * 255 / 399, ((x / 40) + (y / 40)) % 2 ? 200 : 40);
    });
    const struct {
        RegleTaille regle;
        CSize attendue;
    } regles[] = {
        {{Mode::CotePlusLong, 100}, {100, 63}},  // below 1/4: decoded at 1/4 and averaged
        {{Mode::CotePlusCourt, 250}, {400, 250}}, // between 1/2 and 1: the whole picture averaged
        {{Mode::Pourcentage, 50}, {320, 200}},   // exactly 1/2: no averaging at all
        {{Mode::CotePlusLong, 800}, {640, 400}}, // never larger
    };
    Metadonnees metadonnees;
    for (const RegistreFormats::Format& format : RegistreFormats::Formats()) {
        SCOPED_TRACE(format.Nom);
        if ((format.Id == RegistreFormats::Genre::Heif && !HeifEcriture::Disponible(HeifEcriture::Codec::Hevc))
            || (format.Id == RegistreFormats::Genre::Avif && !HeifEcriture::Disponible(HeifEcriture::Codec::Av1)))
            continue;
        const std::string chemin = bac.path("photo" + format.Terminaisons.front());
        ASSERT_EQ(graphique.SauveImage(chemin, image, 95), 1);
        HBITMAP entiere = graphique.ChargePhoto(chemin, metadonnees);
        ASSERT_NE(entiere, nullptr);
        for (const auto& [regle, attendue] : regles) {
            SCOPED_TRACE(static_cast<int>(regle.Genre));
            CommeLEntiere(graphique, chemin, metadonnees, regle, entiere, attendue);
        }
        DeleteObject(entiere);
    }
    DeleteObject(image);
    EXPECT_TRUE(Scripted().shown.empty());
}
