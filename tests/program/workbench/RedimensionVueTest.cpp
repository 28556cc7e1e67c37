// "Resize" in Setup: what the user picks is the template's, marks the
// document, and the picture shown is the one the run will sign.

#include "DialogDriver.h"
#include "VueTestSupport.h"

#include <QComboBox>
#include <QLineEdit>

using namespace DialogDriver;

namespace {

using RedimensionVue = VueTest;

constexpr int kRedimension = 1520;
constexpr int kValeur = 1521;
constexpr int kUnite = 1522;

void Choisit(QComboBox* liste, int index)
{
    liste->setCurrentIndex(index);
    emit liste->activated(index);
}

} // namespace

TEST_F(RedimensionVue, TheChoiceIsTheTemplatesAndThePreviewShowsThePictureResized)
{
    auto* mode = ControlAs<QComboBox>(vue.get(), kRedimension);
    QStringList lignes;
    for (int i = 0; i < mode->count(); ++i)
        lignes << mode->itemText(i);
    EXPECT_EQ(lignes.join('|').toStdString(), "No|Longest side|Shorter side|Percent");
    EXPECT_FALSE(Control(vue.get(), kValeur)->isEnabled()) << "no number without a mode";
    EXPECT_EQ(vue->Reglages().RedimensionSortie, RegleTaille());

    Depose({Image("a.bmp", 300, 200)});
    EXPECT_EQ(vue->TailleImage, CSize(300, 200));
    const struct {
        int index;
        const char* nombre;
        RegleTaille attendue;
        CSize image;
        const char* unite;
    } cas[] = {
        {1, "100", {RegleTaille::Mode::CotePlusLong, 100}, {100, 67}, "px"},
        {2, "50", {RegleTaille::Mode::CotePlusCourt, 50}, {75, 50}, "px"},
        {3, "10", {RegleTaille::Mode::Pourcentage, 10}, {30, 20}, "%"},
        {1, "0", {}, {300, 200}, "px"}, // no such size: nothing resized
        {0, "", {}, {300, 200}, "px"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nombre);
        application->Document()->SetModifiedFlag(false);
        Choisit(mode, c.index);
        EXPECT_TRUE(application->Document()->IsModified());
        if (c.index > 0) {
            ControlAs<QLineEdit>(vue.get(), kValeur)->clear();
            Type(Control(vue.get(), kValeur), c.nombre);
        }
        Pump();
        EXPECT_EQ(Control(vue.get(), kValeur)->isEnabled(), c.index > 0);
        EXPECT_EQ(vue->GetDlgItemText(kUnite), c.unite);
        EXPECT_EQ(vue->Reglages().RedimensionSortie, c.attendue);
        EXPECT_EQ(vue->TailleImage, c.image);
    }

    // A template brings its own, and the picture follows it.
    ModeleSignature reglages = vue->Reglages();
    reglages.RedimensionSortie = {RegleTaille::Mode::Pourcentage, 50};
    CArchive archive;
    reglages.Ecrit(archive);
    CArchive lecture(archive.Bytes());
    vue->Serialize(lecture, false);
    EXPECT_EQ(mode->currentIndex(), 3);
    EXPECT_EQ(vue->GetDlgItemText(kValeur), "50");
    EXPECT_EQ(vue->TailleImage, CSize(150, 100));
    EXPECT_EQ(vue->Reglages().RedimensionSortie, reglages.RedimensionSortie);
}
