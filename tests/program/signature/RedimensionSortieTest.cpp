// "Resize" in the template, in the settings store and in the signing step:
// the option's bytes, and the signature drawn on the smaller picture.

#include "CGraphique.h"
#include "EtapeSignature.h"
#include "ModeleSignature.h"
#include "ReglagesRegistre.h"
#include "ScriptedInteraction.h"
#include "TestImages.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace TestImages;

namespace {

using Mode = RegleTaille::Mode;

std::vector<BYTE> Octets(const ModeleSignature& m)
{
    CArchive archive;
    m.Ecrit(archive);
    return archive.Bytes();
}

RegleTaille Relue(const std::vector<BYTE>& octets, RegleTaille avant = {Mode::Pourcentage, 10})
{
    ModeleSignature m;
    m.RedimensionSortie = avant;
    CArchive archive(octets);
    EXPECT_EQ(m.Lit(archive), ModeleSignature::Lecture::Complete);
    return m.RedimensionSortie;
}

std::vector<BYTE> AvecEnregistrement(std::vector<BYTE> octets, std::uint32_t genre, std::uint32_t valeur,
                                     std::uint32_t longueur = 8)
{
    const BYTE bloc[] = {'T', 'P', 'X', '1', 6, 0, BYTE(longueur), 0, 0, 0,
                         BYTE(genre), BYTE(genre >> 8), BYTE(genre >> 16), BYTE(genre >> 24),
                         BYTE(valeur), BYTE(valeur >> 8), BYTE(valeur >> 16), BYTE(valeur >> 24)};
    octets.insert(octets.end(), std::begin(bloc), std::end(bloc));
    return octets;
}

} // namespace

TEST(RedimensionSortie, TravelsAsTagSixOnlyWhenChosenAndRefusesWhatNoRuleHolds)
{
    const std::vector<BYTE> base = Octets(ModeleSignature());
    ASSERT_EQ(base.size(), 218u) << "no resize: the original format, byte for byte";
    ModeleSignature m;
    m.RedimensionSortie = {Mode::CotePlusLong, 2048};
    EXPECT_EQ(Octets(m), AvecEnregistrement(base, 1, 2048));
    EXPECT_EQ(Relue(AvecEnregistrement(base, 1, 2048)), m.RedimensionSortie);
    EXPECT_EQ(Relue(base), RegleTaille()) << "a template without it resizes nothing";

    const struct {
        const char* nom;
        std::vector<BYTE> octets;
        RegleTaille attendue;
    } cas[] = {
        {"shorter side", AvecEnregistrement(base, 2, 1080), {Mode::CotePlusCourt, 1080}},
        {"percent", AvecEnregistrement(base, 3, 25), {Mode::Pourcentage, 25}},
        {"an unknown mode", AvecEnregistrement(base, 4, 25), {}},
        {"no pixels", AvecEnregistrement(base, 1, 0), {}},
        {"a percentage that enlarges", AvecEnregistrement(base, 3, 101), {}},
        {"a side no decoder gives", AvecEnregistrement(base, 1, RegleTaille::kPixelsMaximum + 1), {}},
        {"a value cut short", AvecEnregistrement(base, 1, 2048, 6), {}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        EXPECT_EQ(Relue(c.octets), c.attendue);
    }
}

TEST(RedimensionSortie, TheSettingsStoreKeepsItAndIgnoresARuleThatDoesNotHold)
{
    Sandbox bac;
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));
    ModeleSignature ecrits;
    ecrits.RedimensionSortie = {Mode::CotePlusCourt, 720};
    ASSERT_EQ(ReglagesRegistre::Ecriture(ecrits), 1);
    ModeleSignature lus;
    ASSERT_EQ(ReglagesRegistre::Lecture(lus), 1);
    EXPECT_EQ(lus.RedimensionSortie, ecrits.RedimensionSortie);
    {
        QSettings magasin(QString::fromStdString(bac.path("config/Quillon/Tamparo2.conf")), QSettings::IniFormat);
        magasin.setValue("RedimensionSortieValeur", "0");
    }
    ASSERT_EQ(ReglagesRegistre::Lecture(lus), 1);
    EXPECT_EQ(lus.RedimensionSortie, ecrits.RedimensionSortie) << "a mode with no value is not taken";
    qputenv("XDG_CONFIG_HOME", avant);
}

// Signing the large picture made smaller gives what signing the smaller
// picture itself gives: the relative text size and {width}x{height} follow it.
TEST(RedimensionSortie, TheSignatureIsDrawnOnTheSmallerPicture)
{
    Scripted().clear();
    Sandbox bac;
    CGraphique graphique;
    HBITMAP grande = Make(6000, 4000, 32, [](int x, int y) {
        const int v = 40 + (x + y) % 150;
        return RGB(v, v, v);
    });
    const std::string source = bac.path("grande.jpg");
    ASSERT_EQ(graphique.SauveImage(source, grande, 85), 1);
    DeleteObject(grande);

    ModeleSignature r;
    r.Texte = "{width}x{height}";
    r.Fonte.lfHeight = -14;
    r.CouleurEncre = RGB(255, 255, 0);
    r.StyleTexte.TailleRelative = 500;
    r.QualiteOrigine = true; // the block way cannot resize: the whole picture is taken
    r.RedimensionSortie = {Mode::CotePlusLong, 2048};

    Metadonnees metadonnees;
    HBITMAP reduite = graphique.ChargePhoto(source, metadonnees, r.RedimensionSortie);
    ASSERT_NE(reduite, nullptr);
    const std::string petite = bac.path("petite.bmp");
    ASSERT_EQ(graphique.SauveImage(petite, reduite, 0), 1);
    DeleteObject(reduite);

    {
        EtapeSignature etape(r);
        ASSERT_EQ(etape.Traite(source, bac.path("a.jpg")), EtapeSignature::Resultat::Signe);
    }
    ModeleSignature sans = r;
    sans.RedimensionSortie = RegleTaille();
    sans.QualiteOrigine = false;
    {
        EtapeSignature etape(sans);
        ASSERT_EQ(etape.Traite(petite, bac.path("b.jpg")), EtapeSignature::Resultat::Signe);
    }
    HBITMAP a = graphique.ChargeImage(bac.path("a.jpg"));
    HBITMAP b = graphique.ChargeImage(bac.path("b.jpg"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SizeOf(a), CSize(2048, 1365));
    EXPECT_EQ(FirstDifference(a, b), "");
    HBITMAP nue = graphique.ChargeImage(petite);
    EXPECT_NE(FirstDifference(a, nue, 8), "") << "signed at all";
    DeleteObject(nue);
    DeleteObject(a);
    DeleteObject(b);
    EXPECT_TRUE(Scripted().shown.empty());
}
