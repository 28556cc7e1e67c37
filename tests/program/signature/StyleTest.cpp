// A layer's style: sizes and places relative to the picture, and its bytes.

#include "ModeleSignature.h"
#include "Style.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

TEST(Style, SizesFollowTheShorterSide)
{
    struct Cas {
        int taille; // hundredths of a percent
        CSize image;
        int texte;
        CSize logo; // of a 40 x 20 logo
    };
    // Pixel heights are rounded down: 5 % of 750 is 37.5, drawn at 37.
    const Cas cas[] = {
        {500, CSize(1000, 750), 37, CSize(37, 19)},
        {500, CSize(6000, 4500), 225, CSize(225, 113)},
        {500, CSize(4500, 6000), 225, CSize(225, 113)},
        {1000, CSize(750, 1000), 75, CSize(75, 38)},
        {1, CSize(10, 10), 1, CSize(1, 1)},
        {10000, CSize(300, 200), 200, CSize(200, 100)},
        {0, CSize(1000, 750), 0, CSize(40, 20)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.taille);
        Style s;
        s.TailleRelative = c.taille;
        EXPECT_EQ(s.HauteurTexte(c.image), c.texte);
        EXPECT_EQ(s.TailleLogo(c.image, CSize(40, 20)), c.logo);
    }
    Style s;
    s.TailleRelative = 1000;
    EXPECT_EQ(s.TailleLogo(CSize(1000, 800), CSize(10, 30)), CSize(27, 80)) << "a portrait logo: its height";
    EXPECT_EQ(s.TailleLogo(CSize(1000, 800), CSize(0, 30)), CSize(0, 30)) << "an empty logo stays as it is";
}

TEST(Style, OutlineWidthInPixelsOrPercentOfTheText)
{
    struct Cas {
        int contour, relatif, hauteur, attendu;
    };
    const Cas cas[] = {{0, 0, 100, 0}, {3, 0, 100, 3}, {3, 1, 100, 3}, {10, 1, 225, 22}, {5, 1, 10, 1}, {0, 1, 99, 0}};
    for (const Cas& c : cas) {
        Style s;
        s.Contour = c.contour;
        s.ContourRelatif = c.relatif;
        EXPECT_EQ(s.LargeurContour(c.hauteur), c.attendu) << c.contour << " " << c.relatif << " " << c.hauteur;
    }
}

TEST(Style, EffectsGrowWithARelativeText)
{
    struct Cas {
        int relative, hauteur, modele;
        int ombreX, ombreY, flou, contour, contourRelatif; // given
        int attenduX, attenduY, attenduFlou, attenduContour;
    };
    const Cas cas[] = {
        {0, 225, 37, 8, -6, 6, 3, 0, 8, -6, 6, 3},        // a fixed size keeps its pixels
        {500, 37, 37, 8, -6, 6, 3, 0, 8, -6, 6, 3},       // the template's own height
        {500, 225, 37, 8, -6, 6, 3, 0, 49, -36, 36, 18},  // 48.6, -36.5, 36.5, 18.2
        {500, 10, 40, 2, -2, 1, 1, 0, 1, -1, 0, 1},       // halves away from zero; an outline stays
        {500, 100, 10, 1000, -900, 100, 200, 0, 1000, -1000, 100, 200}, // within the limits
        {500, 80, 40, 0, 0, 0, 5, 1, 0, 0, 0, 5},         // an outline in % already follows the text
        {500, 0, 40, 8, 6, 6, 3, 0, 8, 6, 6, 3},          // no height: nothing to follow
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.relative << " " << c.hauteur << "/" << c.modele);
        Style s;
        s.TailleRelative = c.relative;
        s.OmbreX = c.ombreX;
        s.OmbreY = c.ombreY;
        s.OmbreFlou = c.flou;
        s.Contour = c.contour;
        s.ContourRelatif = c.contourRelatif;
        s.OpaciteOmbre = 50;
        const Style p = s.Proportionne(c.hauteur, c.modele);
        EXPECT_EQ(p.OmbreX, c.attenduX);
        EXPECT_EQ(p.OmbreY, c.attenduY);
        EXPECT_EQ(p.OmbreFlou, c.attenduFlou);
        EXPECT_EQ(p.Contour, c.attenduContour);
        Style reste = p;
        reste.OmbreX = s.OmbreX;
        reste.OmbreY = s.OmbreY;
        reste.OmbreFlou = s.OmbreFlou;
        reste.Contour = s.Contour;
        EXPECT_EQ(reste, s) << "only the sizes in pixels change";
    }
}

TEST(Style, MarginsAndPositionsInPercent)
{
    Emplacement e;
    e.PositionAutomatiqueDeltaX = 2;
    e.PositionAutomatiqueDeltaY = 3;
    e.PositionAbsolueX = 50;
    e.PositionAbsolueY = 25;
    Style s;
    const Emplacement fixe = s.EmplacementPour(e, CSize(6000, 4500));
    EXPECT_EQ(fixe.PositionAutomatiqueDeltaX, 2u) << "pixels while the option is off";
    EXPECT_EQ(fixe.PositionAbsolueX, 50u);

    s.PlaceRelative = 1;
    for (CSize image : {CSize(6000, 4500), CSize(4500, 6000)}) {
        const Emplacement r = s.EmplacementPour(e, image);
        EXPECT_EQ(r.PositionAutomatiqueDeltaX, 90u) << "2 % of the shorter side, on both axes";
        EXPECT_EQ(r.PositionAutomatiqueDeltaY, 135u);
        EXPECT_EQ(r.PositionAbsolueX, static_cast<UINT>(image.cx / 2));
        EXPECT_EQ(r.PositionAbsolueY, static_cast<UINT>(image.cy / 4));
        EXPECT_EQ(r.PositionAutomatiqueBas, e.PositionAutomatiqueBas) << "the anchors are kept";
    }
    e.PositionAbsolueX = UINT_MAX;
    EXPECT_EQ(s.EmplacementPour(e, CSize(60000, 10)).PositionAbsolueX, static_cast<UINT>(INT32_MAX))
        << "a hostile percentage stays a coordinate";
}

TEST(Style, BytesRoundTripAndHostileFieldsAreBroughtIntoRange)
{
    Style s;
    s.TailleRelative = 450;
    s.PlaceRelative = 1;
    s.Opacite = 60;
    s.Contour = 4;
    s.ContourRelatif = 1;
    s.CouleurContour = RGB(1, 2, 3);
    s.OmbreX = -5;
    s.OmbreY = 7;
    s.OmbreFlou = 9;
    s.CouleurOmbre = RGB(9, 8, 7);
    s.OpaciteOmbre = 40;
    CArchive ecrit;
    s.Ecrit(ecrit);
    ASSERT_EQ(ecrit.Bytes().size(), Style::kOctets);
    CArchive lu(ecrit.Bytes());
    Style relu;
    relu.Lit(lu);
    EXPECT_EQ(relu, s);

    // Every field at the extreme of its type.
    CArchive hostile;
    for (std::size_t i = 0; i < Style::kOctets / 4; ++i)
        hostile << std::int32_t(i % 2 ? INT32_MIN : INT32_MAX);
    CArchive h(hostile.Bytes());
    Style borne;
    borne.Lit(h);
    EXPECT_EQ(borne.TailleRelative, Style::kTailleMaximale);
    EXPECT_EQ(borne.PlaceRelative, 0);
    EXPECT_EQ(borne.Opacite, 100);
    EXPECT_EQ(borne.Contour, 0);
    EXPECT_EQ(borne.ContourRelatif, 1);
    EXPECT_EQ(borne.CouleurContour, 0u) << "0x80000000: the fourth byte of a colour is dropped";
    EXPECT_EQ(borne.OmbreX, Style::kDecalageMaximal);
    EXPECT_EQ(borne.OmbreY, -Style::kDecalageMaximal);
    EXPECT_EQ(borne.OmbreFlou, Style::kFlouMaximal);
    EXPECT_EQ(borne.OpaciteOmbre, 100);

    // A record cut in the middle of its fourth field: the rest stays.
    std::vector<BYTE> court(ecrit.Bytes().begin(), ecrit.Bytes().begin() + 14);
    CArchive c(court);
    Style partiel;
    partiel.Contour = 2;
    partiel.Lit(c);
    EXPECT_EQ(partiel.TailleRelative, 450);
    EXPECT_EQ(partiel.Opacite, 60);
    EXPECT_EQ(partiel.Contour, 2);
    EXPECT_EQ(partiel.OpaciteOmbre, 0);
}

// The repeat's fields follow the others only when set, so every record
// written before them keeps its bytes, and they are read together or not.
TEST(Style, RepeatFieldsFollowOnlyWhenSetAndAreReadTogether)
{
    const auto octets = [](const Style& s) {
        CArchive a;
        s.Ecrit(a);
        return a.Bytes();
    };
    const auto relit = [](std::vector<BYTE> bytes, Style s) {
        CArchive a(bytes);
        s.Lit(a);
        return s;
    };
    Style effets;
    effets.Opacite = 60;
    EXPECT_EQ(octets(effets).size(), Style::kOctets) << "no repeat: the record as it always was";
    Style repete = effets;
    repete.Repete = true;
    repete.Angle = 45;
    repete.Espacement = 10;
    const std::vector<BYTE> b = octets(repete);
    ASSERT_EQ(b.size(), Style::kOctets + Style::kOctetsRepetition);
    EXPECT_EQ(relit(b, Style()), repete);
    EXPECT_EQ(relit({b.begin(), b.begin() + Style::kOctets}, Style()), effets) << "an older record";
    EXPECT_FALSE(relit({b.begin(), b.end() - 4}, Style()).Repete) << "cut inside the three";
    // Zero padding past a record (the settings store's buffer) is no repeat.
    std::vector<BYTE> rembourre = octets(effets);
    rembourre.resize(rembourre.size() + 64, 0);
    EXPECT_EQ(relit(rembourre, repete), repete);

    struct Cas {
        std::int32_t repete, angle, espacement;
        int angleLu, espacementLu;
    };
    for (const Cas& c : {Cas{-7, INT32_MIN, INT32_MAX, 0, Style::kEspacementMaximal},
                         Cas{1, INT32_MAX, -3, Style::kAngleMaximal, Style::kEspacementMinimal}}) {
        CArchive hostile;
        effets.Ecrit(hostile);
        hostile << c.repete << c.angle << c.espacement;
        const Style lu = relit(hostile.Bytes(), Style());
        EXPECT_TRUE(lu.Repete);
        EXPECT_EQ(lu.Angle, c.angleLu);
        EXPECT_EQ(lu.Espacement, c.espacementLu);
    }

    // Through a template: only the styles' records grow.
    ModeleSignature m;
    m.StyleTexte = effets;
    CArchive sans;
    m.Ecrit(sans);
    m.StyleTexte = repete;
    m.StyleLogo = repete;
    CArchive avec;
    m.Ecrit(avec);
    EXPECT_EQ(avec.Bytes().size(), sans.Bytes().size() + 6 + Style::kOctets + 2 * Style::kOctetsRepetition);
    CArchive lu(avec.Bytes());
    ModeleSignature relu;
    ASSERT_EQ(relu.Lit(lu), ModeleSignature::Lecture::Complete);
    EXPECT_EQ(relu.StyleTexte, repete);
    EXPECT_EQ(relu.StyleLogo, repete);
}

} // namespace
