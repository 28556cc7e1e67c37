// A JPEG whose data the decoder had to patch over is told apart from a whole
// one, and given up when the report refuses damage.

#include "CGraphique.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"
#include "codecs/Metadonnees.h"
#include "codecs/RapportCodec.h"

#include <gtest/gtest.h>

using namespace TestImages;
using namespace JpegTest;

TEST(JpegDommage, CutOrCorruptDataIsDamageAndARefusingReportGivesThePictureUp)
{
    Sandbox box;
    CGraphique graphique;
    HBITMAP photo = Photo(160, 120);
    ASSERT_EQ(graphique.SauveImage(box.path("entier.jpg"), photo, 90), 1);
    DeleteObject(photo);
    const Bytes entier = ReadFile(box.path("entier.jpg"));
    ASSERT_EQ(Bytes(entier.begin() + 6, entier.begin() + 10), (Bytes{'J', 'F', 'I', 'F'}));
    WriteFile(box.path("coupe.jpg"), Bytes(entier.begin(), entier.begin() + static_cast<long>(entier.size() * 6 / 10)));
    // Two stray bytes between the header's markers, met while it is read.
    std::size_t sos = 2;
    while (sos + 1 < entier.size() && !(entier[sos] == 0xFF && entier[sos + 1] == 0xDA))
        ++sos;
    ASSERT_LT(sos + 1, entier.size());
    Bytes extra = entier;
    extra.insert(extra.begin() + static_cast<long>(sos), {0x01, 0x02});
    WriteFile(box.path("extra.jpg"), extra);
    // A later JFIF revision: a warning about the header, not the pixels.
    Bytes revision = entier;
    revision[11] = 2;
    WriteFile(box.path("revision.jpg"), revision);

    const struct {
        const char* nom;
        std::string dommage;
    } cas[] = {
        {"entier.jpg", ""},
        {"revision.jpg", ""},
        {"coupe.jpg", "Premature end of JPEG file"},
        {"extra.jpg", "Corrupt JPEG data: 2 extraneous bytes before marker 0xda"},
    };
    for (const auto& c : cas) {
        for (const bool refuse : {false, true}) {
            SCOPED_TRACE(std::string(c.nom) + (refuse ? " refused" : " accepted"));
            RapportCodec rapport;
            rapport.RefuseDommage(refuse);
            Metadonnees metadonnees;
            HBITMAP image = graphique.ChargePhoto(box.path(c.nom), metadonnees, rapport);
            EXPECT_EQ(rapport.Endommage(), c.dommage);
            EXPECT_EQ(image != nullptr, c.dommage.empty() || !refuse);
            DeleteObject(image);
        }
    }
}

TEST(JpegDommage, TheFirstDamageTravelsWithTheReportAndOutlivesItsBoxes)
{
    Scripted().clear();
    RapportCodec lecteur;
    lecteur.NoteDommage("first");
    lecteur.NoteDommage("second");
    lecteur.Ajoute("shown", "JPEG Error", MB_OK, RapportCodec::Boite::FenetreActive);
    RapportCodec appelant;
    appelant.Reprend(lecteur);
    EXPECT_EQ(lecteur.Endommage(), "");
    appelant.Affiche();
    EXPECT_EQ(Scripted().shown.size(), 1u);
    EXPECT_TRUE(appelant.Messages().empty());
    EXPECT_EQ(appelant.Endommage(), "first") << "showing a damage mends nothing";
    RapportCodec ailleurs;
    ailleurs.NoteDommage("mine");
    ailleurs.Reprend(appelant);
    EXPECT_EQ(ailleurs.Endommage(), "mine");
    Scripted().clear();
}
