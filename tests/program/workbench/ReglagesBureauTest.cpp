// "Setup" as a desktop user meets it: each change is a change of the
// template, its lists show their longest choice once the form has room, and
// both pickers open on every picture.

#include "CSignatureLogoDlg.h"
#include "Commandes.h"
#include "DialogDriver.h"
#include "FileFilter.h"
#include "ScriptedInteraction.h"
#include "SpinButton.h"
#include "VueTestSupport.h"

#include <QComboBox>
#include <QLineEdit>

#include <functional>

using namespace DialogDriver;

namespace {

using ReglagesBureau = VueTest;

constexpr int kCadreReglages = 1500;
constexpr int kMetadonnees = 1511;
constexpr int kFormatSortie = 1512;

// The entry a dialog opens on, as the desktop's dialog picks it.
QString FiltreChoisi(const FileDialogRequest& demande)
{
    const QStringList filtres = FileFilter::NameFilters(demande.filter);
    const qsizetype i = demande.selectedFilter < 0 ? filtres.size() + demande.selectedFilter : demande.selectedFilter;
    return i >= 0 && i < filtres.size() ? filtres.at(i) : QString();
}

void Choisit(QComboBox* liste, int index)
{
    liste->setCurrentIndex(index);
    emit liste->activated(index);
}

} // namespace

TEST_F(ReglagesBureau, EachSetupChangeByTheUserMarksTheDocument)
{
    const struct {
        const char* geste;
        std::function<void()> fait;
    } gestes[] = {
        {"Keep original name", [&] { Click(Control(vue.get(), 1502)); }},
        {"Add Suffix", [&] { Click(Control(vue.get(), 1504)); }},
        {"Special folder", [&] { Click(Control(vue.get(), 1508)); }},
        {"Keep original folder", [&] { Click(Control(vue.get(), 1501)); }},
        {"prefix typed", [&] { Type(Control(vue.get(), 1505), "x"); }},
        {"quality stepped", [&] { ControlAs<SpinButton>(vue.get(), 1507)->Step(1); }},
        {"quality typed", [&] { Type(Control(vue.get(), 1506), "9"); }},
        {"folder typed", [&] { Type(Control(vue.get(), 1510), "/tmp"); }},
        {"folder chosen", [&] {
             Scripted().folders.push_back(bac.path(""));
             Click(Control(vue.get(), 1509));
         }},
        {"Metadata", [&] { Choisit(ControlAs<QComboBox>(vue.get(), kMetadonnees), 1); }},
        {"Save as", [&] { Choisit(ControlAs<QComboBox>(vue.get(), kFormatSortie), 2); }},
        {"Same as the original", [&] { Click(Control(vue.get(), 1513)); }},
    };
    // The folder's controls answer only with "Special" checked.
    Click(Control(vue.get(), 1508));
    for (const auto& g : gestes) {
        SCOPED_TRACE(g.geste);
        if (std::string_view(g.geste).starts_with("folder"))
            Click(Control(vue.get(), 1508));
        application->Document()->SetModifiedFlag(false);
        g.fait();
        Pump();
        EXPECT_TRUE(application->Document()->IsModified());
    }

    // What the program sets itself, and a folder choice cancelled, change nothing.
    application->Document()->SetModifiedFlag(false);
    vue->ValeurDefautSortie();
    vue->UpdateData(FALSE);
    Click(Control(vue.get(), 1508));
    application->Document()->SetModifiedFlag(false);
    Click(Control(vue.get(), 1509));
    Pump();
    EXPECT_FALSE(application->Document()->IsModified());
}

TEST_F(ReglagesBureau, AWiderFormShowsTheLongestChoiceOfEachListWhole)
{
    auto* metadonnees = ControlAs<QComboBox>(vue.get(), kMetadonnees);
    auto* format = ControlAs<QComboBox>(vue.get(), kFormatSortie);
    const int besoin = std::max(metadonnees->sizeHint().width(), format->sizeHint().width());
    const QSize depart = vue->size();
    const QRect reglages = vue->GetDlgItem(kCadreReglages)->geometry();
    const QRect liste = metadonnees->geometry();
    const QRect affichage = vue->GetDlgItem(1200)->geometry();
    ASSERT_GT(besoin, liste.width()) << "\"Keep all but location\" is cut at the layout's size";

    vue->resize(depart + QSize(800, 0));
    Pump();
    const int gain = besoin - liste.width();
    EXPECT_EQ(metadonnees->width(), besoin);
    EXPECT_EQ(format->width(), besoin);
    EXPECT_EQ(vue->GetDlgItem(kCadreReglages)->width(), reglages.width() + gain);
    EXPECT_EQ(vue->GetDlgItem(kCadreReglages)->geometry().right(), reglages.right() + 800) << "still at the right";
    EXPECT_EQ(Control(vue.get(), 1509)->geometry().right(), metadonnees->geometry().right()) << "Select follows";

    // Less room than that: it all goes to "Setup"; the layout's size gives the layout back.
    vue->resize(depart + QSize(gain / 2, 0));
    Pump();
    EXPECT_EQ(metadonnees->width(), liste.width() + gain / 2);
    EXPECT_EQ(vue->GetDlgItem(1200)->geometry(), affichage);
    vue->resize(depart);
    Pump();
    EXPECT_EQ(metadonnees->geometry(), liste);
    EXPECT_EQ(vue->GetDlgItem(kCadreReglages)->geometry(), reglages);
}

TEST_F(ReglagesBureau, BothPickersOpenOnEveryPictureWithTheirOwnEntriesFirst)
{
    Scripted().files.push_back({});
    vue->OnCommand(Commande::ListeSelection);
    Scripted().files.push_back({});
    Click(Control(vue->PanneauLogo, 1616));
    ASSERT_EQ(Scripted().fileDialogs.size(), 2u);
    for (const auto& dialogue : Scripted().fileDialogs) {
        SCOPED_TRACE(dialogue.request.title);
        EXPECT_TRUE(FiltreChoisi(dialogue.request).startsWith("All pictures (")) << FiltreChoisi(dialogue.request).toStdString();
        EXPECT_TRUE(dialogue.request.filter.starts_with("Jpeg (*.jpg)|*.jpg|"));
    }
}

// The list's rows are the numbers templates store.
TEST_F(ReglagesBureau, SaveAsListsEveryWrittenFormatInItsStoredNumber)
{
    auto* format = ControlAs<QComboBox>(vue.get(), kFormatSortie);
    QStringList lignes;
    for (int i = 0; i < format->count(); ++i)
        lignes << format->itemText(i);
    EXPECT_EQ(lignes.join('|').toStdString(), "Source format|JPEG|PNG|WebP|HEIC|AVIF");
    for (const FormatSortie f : {FormatSortie::HEIC, FormatSortie::AVIF}) {
        Choisit(format, static_cast<int>(f));
        EXPECT_EQ(vue->Reglages().FormatEnregistrement, f);
    }
    ModeleSignature reglages = vue->Reglages();
    reglages.FormatEnregistrement = FormatSortie::HEIC;
    vue->FixeReglages(reglages);
    EXPECT_EQ(format->currentText().toStdString(), "HEIC");
}
