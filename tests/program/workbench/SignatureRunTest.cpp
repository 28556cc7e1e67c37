// "Sign All Files" driven as the user drives it: scripted answers to the
// boxes, clicks in the overwrite question and in the progress window.

#include "CMiniTexteDlg.h"
#include "CProgressionDlg.h"
#include "CSignatureLogoDlg.h"
#include "Commandes.h"
#include "Composition.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "SignatureRun.h"
#include "VueTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>

using namespace DialogDriver;
using namespace TestImages;

namespace {

TEST_F(Signature, AnEmptyListOnlyBeeps)
{
    ASSERT_TRUE(vue->OnCommand(Commande::SigneTout));
    EXPECT_EQ(Scripted().beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
    EXPECT_TRUE(Scripted().shown.empty());
}

TEST_F(Signature, NoToTheFirstQuestionChangesNothing)
{
    Depose({Photo("a.jpg")});
    vue->Liste()->topLevelItem(0)->setText(1, "OK");
    Signe({IDNO});
    EXPECT_EQ(Messages(), std::vector<std::string>{kDepart});
    EXPECT_EQ(Etats(), std::vector<std::string>{"OK"}) << "the report is cleared only by a run";
    EXPECT_FALSE(Existe(bac.path("TPa.jpg")));
}

TEST_F(Signature, AFileThatDoesNotLoadIsOneBoxNamingItThenSkippedOrTheRunStops)
{
    const struct {
        int reponse; // to the box of the damaged picture
        std::vector<std::string> etats;
        const char* resume;
    } cas[] = {
        {IDYES, {"OK", "Failed", "OK"}, "2 signed, 0 passed, 1 failed:\n"},
        {IDNO, {"OK", "Failed", ""}, "1 signed, 0 passed, 1 failed:\n"},
    };
    for (const auto& c : cas) {
        const bool saute = c.reponse == IDYES;
        SCOPED_TRACE(saute ? "Skip" : "Stop");
        for (const char* nom : {"TPa.jpg", "TPc.jpg"})
            std::filesystem::remove(bac.path(nom));
        Depose({Photo("a.jpg"), bac.path("b.jpg"), Photo("c.jpg")});
        WriteFile(bac.path("b.jpg"), {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'});
        Scripted().clear();
        Signe({IDYES, c.reponse, IDOK, IDNO});

        // The reader's messages come in the one box, after the file's name.
        const std::vector<std::string> messages = Messages();
        ASSERT_EQ(messages.size(), 4u);
        EXPECT_EQ(messages[0], kDepart);
        const std::string debut = "Unable to load " + bac.path("b.jpg") + ":\n";
        EXPECT_EQ(messages[1].substr(0, debut.size()), debut);
        EXPECT_NE(messages[1].find("Unable to load file"), std::string::npos);
        EXPECT_NE(messages[1].find("Skip it and go on with the next picture?"), std::string::npos);
        EXPECT_EQ(Scripted().shown[1].type, UINT(MB_YESNO | MB_ICONERROR));
        EXPECT_EQ(messages[2], c.resume + bac.path("b.jpg"));
        EXPECT_EQ(messages[3], kRetrait);
        EXPECT_EQ(Etats(), c.etats);
        EXPECT_TRUE(Existe(bac.path("TPa.jpg")));
        EXPECT_FALSE(Existe(bac.path("TPb.jpg")));
        EXPECT_EQ(Existe(bac.path("TPc.jpg")), saute);
        EXPECT_EQ(Lignes().size(), 3u);
        EXPECT_TRUE(vue->isEnabled());
        EXPECT_EQ(vue->TraitementEnCours, 0);
        EXPECT_FALSE(hote.findChild<CProgressionDlg*>()) << "the progress window goes with the run";
    }
}

TEST_F(Signature, TheSummaryNamesTheFirstTenFailedPicturesAndCountsTheOthers)
{
    std::vector<std::string> chemins{Photo("a.jpg")};
    for (int i = 0; i < 12; ++i) {
        chemins.push_back(bac.path("casse" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg"));
        WriteFile(chemins.back(), {'n', 'o'});
    }
    Depose(chemins);
    Scripted().clear(); // the preview's boxes for the last row
    // Every damaged picture is skipped.
    std::vector<int> reponses(13, IDYES);
    reponses.insert(reponses.end(), {IDOK, IDNO});
    Signe(reponses);
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 15u) << "one box for each damaged picture";
    std::string resume = "1 signed, 0 passed, 12 failed:";
    for (int i = 0; i < 10; ++i)
        resume += "\n" + chemins[static_cast<std::size_t>(i) + 1];
    EXPECT_EQ(messages[13], resume + "\nand 2 more");
    EXPECT_EQ(messages[14], kRetrait);
    EXPECT_EQ(Etats()[0], "OK");
    EXPECT_EQ(Etats()[12], "Failed");
}

TEST_F(Signature, PassAllPassesEveryLaterExistingOutputButAnOriginalIsStillAsked)
{
    Depose({Photo("a.jpg"), Photo("b.jpg"), Photo("TPb.jpg")});
    std::vector<std::vector<std::uint8_t>> avant;
    for (const char* nom : {"TPa.jpg", "TPTPb.jpg"})
        avant.push_back(ReadFile(Photo(nom)));
    Questions({{1305, ""}});
    Signe({IDYES, IDNO, IDNO});
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{kDepart, QuestionOriginal(bac.path("TPb.jpg")), kRetrait}))
        << "one overwrite question, no summary when nothing failed";
    EXPECT_EQ(Etats(), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(ReadFile(bac.path("TPa.jpg")), avant[0]);
    EXPECT_EQ(ReadFile(bac.path("TPTPb.jpg")), avant[1]);
}

TEST_F(Signature, NamesTakeThePrefixOrSuffixAndKeepTheSourceFolderAndFormat)
{
    Depose({Photo("a.jpg"), Photo("c.bmp")});
    Signe({IDYES, IDNO});
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "OK"}));
    const std::vector<std::uint8_t> jpeg = ReadFile(bac.path("TPa.jpg"));
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const std::vector<std::uint8_t> bmp = ReadFile(bac.path("TPc.bmp"));
    ASSERT_GE(bmp.size(), 2u);
    EXPECT_EQ(std::string(bmp.begin(), bmp.begin() + 2), "BM");

    Click(Control(vue.get(), 1504));
    Signe({IDYES, IDNO});
    EXPECT_TRUE(Existe(bac.path("aTP.jpg")));
    EXPECT_TRUE(Existe(bac.path("cTP.bmp")));

    // "Special": every copy goes to the chosen folder.
    Scripted().clear();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bac.path("sortie"))));
    Click(Control(vue.get(), 1508));
    vue->SetDlgItemText(1510, bac.path("sortie"));
    Signe({IDYES, IDNO});
    EXPECT_TRUE(Existe(bac.path("sortie/aTP.jpg")));
    EXPECT_TRUE(Existe(bac.path("sortie/cTP.bmp")));
    EXPECT_EQ(Messages().size(), 2u) << "no target existed: nothing was asked";
}

TEST_F(Signature, WrittenPicturesAreTheirSourcesSignedAsThePreviewShowsThem)
{
    const std::string a = Photo("a.jpg");
    const std::string c = Photo("c.bmp");
    Depose({a, c});
    Signe({IDYES, IDNO});

    HBITMAP bmpAttendu = Attendu(c);
    HBITMAP bmpEcrit = graphique.ChargeImage(bac.path("TPc.bmp"));
    HBITMAP source = graphique.ChargeImage(c);
    EXPECT_EQ(FirstDifference(bmpEcrit, bmpAttendu), "") << "BMP is exact";
    EXPECT_NE(FirstDifference(bmpAttendu, source), "") << "the layers are on it";

    // JPEG: the same pixels encoded at the same quality decode the same.
    HBITMAP jpegAttendu = Attendu(a);
    ASSERT_EQ(graphique.SauveImage(bac.path("attendu.jpg"), jpegAttendu, 75), 1);
    HBITMAP jpegReference = graphique.ChargeImage(bac.path("attendu.jpg"));
    HBITMAP jpegEcrit = graphique.ChargeImage(bac.path("TPa.jpg"));
    EXPECT_EQ(FirstDifference(jpegEcrit, jpegReference), "");
    for (HBITMAP image : {bmpAttendu, bmpEcrit, source, jpegAttendu, jpegReference, jpegEcrit})
        DeleteObject(image);

    // The quality of "Setup" is the one written with.
    vue->SetDlgItemText(1506, "20");
    Questions({{kToutRemplacer, ""}});
    Signe({IDYES, IDNO});
    EXPECT_LT(ReadFile(bac.path("TPa.jpg")).size(), ReadFile(bac.path("attendu.jpg")).size());
}

TEST_F(Signature, AnOutputThatIsItsOwnSourceHasTheOriginalsQuestionEachTime)
{
    // Folder and name both kept: every output is its own source.
    const std::string a = Photo("a.jpg"), b = Photo("b.jpg"), c = Photo("c.jpg");
    Depose({a, b, c});
    Click(Control(vue.get(), 1502));
    const std::vector<std::uint8_t> avantA = ReadFile(a), avantB = ReadFile(b), avantC = ReadFile(c);

    // Yes replaces, No passes, Cancel stops; the overwrite dialog never shows.
    Signe({IDYES, IDYES, IDNO, IDCANCEL, IDNO});
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "", ""}));
    EXPECT_NE(ReadFile(a), avantA);
    EXPECT_EQ(ReadFile(b), avantB);
    EXPECT_EQ(ReadFile(c), avantC);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, QuestionOriginal(a), QuestionOriginal(b),
                                                    QuestionOriginal(c), kRetrait}));
}

TEST_F(Signature, AllReplaceNeverCoversAnotherPictureOfTheList)
{
    // a's output exists; b's output is a picture of the list.
    const std::string a = Photo("a.jpg"), b = Photo("b.jpg"), tpb = Photo("TPb.jpg");
    const std::string tpa = Photo("TPa.jpg");
    Depose({a, b, tpb});
    const std::vector<std::uint8_t> avantTpa = ReadFile(tpa), avantTpb = ReadFile(tpb);

    Questions({{kToutRemplacer, ""}});
    Signe({IDYES, IDNO, IDNO});
    EXPECT_NE(ReadFile(tpa), avantTpa);
    EXPECT_EQ(ReadFile(tpb), avantTpb) << "an original replaced under an earlier All replace";
    EXPECT_TRUE(Existe(bac.path("TPTPb.jpg")));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, QuestionOriginal(tpb), kRetrait}));
}

TEST_F(Signature, RenameAsksAgainWhileTheNewNameExistsOrIsAnOriginal)
{
    const std::string a = Photo("a.jpg"), b = Photo("b.jpg");
    Photo("TPa.jpg");
    const std::string ailleurs = Photo("x.jpg"), nouveau = bac.path("nouveau.jpg");
    Depose({a});
    const std::vector<std::uint8_t> avantAilleurs = ReadFile(ailleurs), avantB = ReadFile(b);

    // Two names that exist are refused by asking again; the third is written.
    Questions({{kRenommer, ailleurs}, {kRenommer, b}, {kRenommer, nouveau}});
    Signe({IDYES, IDNO});
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK"}));
    EXPECT_EQ(ReadFile(ailleurs), avantAilleurs);
    EXPECT_EQ(ReadFile(b), avantB);
    HBITMAP attendu = Attendu(a);
    ASSERT_EQ(graphique.SauveImage(bac.path("attendu.jpg"), attendu, 75), 1);
    EXPECT_EQ(ReadFile(nouveau), ReadFile(bac.path("attendu.jpg")));
    DeleteObject(attendu);

    // a's output exists again: renamed to b, a picture of the list now, it
    // gets the original's question (No passes a), and b signs as TPb.jpg.
    Scripted().clear();
    Depose({b});
    Questions({{kRenommer, b}});
    Signe({IDYES, IDNO, IDNO});
    EXPECT_EQ(ReadFile(b), avantB);
    EXPECT_TRUE(Existe(bac.path("TPb.jpg")));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, QuestionOriginal(b), kRetrait}));
}

TEST_F(Signature, StopInTheQuestionEndsTheRunWithoutWriting)
{
    // Both outputs exist already.
    Depose({Photo("a.jpg"), Photo("b.jpg")});
    const std::vector<std::uint8_t> a = ReadFile(Photo("TPa.jpg"));
    Photo("TPb.jpg");
    Questions({{kArreter, ""}});
    Signe({IDYES, IDNO});
    EXPECT_EQ(ReadFile(bac.path("TPa.jpg")), a);
    EXPECT_EQ(Etats(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, kRetrait}));
}

TEST_F(Signature, StopInTheProgressWindowEndsTheRunAfterTheCurrentFileOnlyWhenConfirmed)
{
    const std::string b = Photo("b.jpg");
    Depose({Photo("a.jpg"), b, Photo("c.jpg")});
    const auto stopAuReglageDe = [this](const std::string& fichier) {
        PendantLeTraitement([fichier](CProgressionDlg& progression) {
            if (progression.GetDlgItemText(1211) != fichier || progression.GetDlgItemText(1212) != "*** File Setup ***")
                return false;
            Click(Control(&progression, 1210));
            return true;
        });
    };

    stopAuReglageDe(b);
    Signe({IDYES, IDNO, IDNO});
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, "Stop processing ?", kRetrait}));
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "OK", "OK"}));

    for (const char* nom : {"TPa.jpg", "TPb.jpg", "TPc.jpg"})
        std::filesystem::remove(bac.path(nom));
    Scripted().clear();
    stopAuReglageDe(b);
    Signe({IDYES, IDYES, IDNO});
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, "Stop processing ?", kRetrait}));
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "", ""}));
    EXPECT_TRUE(Existe(bac.path("TPa.jpg")));
    EXPECT_FALSE(Existe(bac.path("TPb.jpg")));
    EXPECT_FALSE(Existe(bac.path("TPc.jpg")));
}

TEST_F(Signature, AFailedWriteAsksWhetherToGoOnAndNeverDamagesTheSource)
{
    Depose({Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")});
    Click(Control(vue.get(), 1502));
    std::vector<std::vector<std::uint8_t>> sources;
    for (const char* nom : {"a.jpg", "b.jpg", "c.jpg"})
        sources.push_back(ReadFile(bac.path(nom)));

    // The writer refuses a quality above 100; the run uses it all the same.
    // Each source is asked about as an original, and replacing it is chosen;
    // each failure says its cause before the question whether to go on.
    vue->SetDlgItemText(1506, "150");
    Signe({IDYES, IDOK, IDYES, IDOK, IDYES, IDYES, IDOK, IDNO, IDOK, IDNO});
    const std::string echec = "Error during saving of this file !\nDo you want to continue ?";
    const auto cause = [&](const char* nom) {
        return "Unable to write " + bac.path(nom) + ": quality 150 is outside 0-100.";
    };
    ASSERT_EQ(Messages().size(), 10u);
    EXPECT_EQ(Messages()[0], kDepart);
    EXPECT_EQ(Messages()[2], QuestionOriginal(bac.path("a.jpg")));
    EXPECT_EQ(Messages()[3], cause("a.jpg"));
    EXPECT_EQ(Messages()[4], echec);
    EXPECT_EQ(Messages()[5], QuestionOriginal(bac.path("b.jpg")));
    EXPECT_EQ(Messages()[6], cause("b.jpg"));
    EXPECT_EQ(Messages()[7], echec);
    EXPECT_EQ(Messages()[8], "0 signed, 0 passed, 2 failed:\n" + bac.path("a.jpg") + "\n" + bac.path("b.jpg"));
    EXPECT_EQ(Messages()[9], kRetrait);
    EXPECT_EQ(Etats(), (std::vector<std::string>{"Failed", "Failed", ""}));
    int i = 0;
    for (const char* nom : {"a.jpg", "b.jpg", "c.jpg"})
        EXPECT_EQ(ReadFile(bac.path(nom)), sources[i++]) << nom;
    EXPECT_EQ(QDir(QString::fromStdString(bac.path(""))).entryList(QDir::Files).size(), 4)
        << "no temporary file left behind (the logo is the fourth)";
}

TEST_F(Signature, YesToTheLastQuestionRemovesExactlyTheSignedRows)
{
    const std::string b = Photo("b.jpg");
    Depose({Photo("a.jpg"), b, Photo("c.jpg")});
    Photo("TPb.jpg");
    Questions({{kPasser, ""}});
    Signe({IDYES, IDYES});
    EXPECT_EQ(Lignes(), std::vector<std::string>{b});
    EXPECT_EQ(Etats(), std::vector<std::string>{""});
    EXPECT_EQ(Compteur(), "(0/1)");

    Questions({{kRemplacer, ""}});
    Signe({IDYES, IDYES});
    EXPECT_TRUE(Lignes().empty());
    EXPECT_EQ(Compteur(), "(0/0)");
}

TEST_F(Signature, WhileRunningTheViewIsDisabledAndItsCommandsAreRefused)
{
    Depose({Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")});
    bool vu = false;
    PendantLeTraitement([this, &vu](CProgressionDlg& progression) {
        EXPECT_FALSE(vue->isEnabled());
        EXPECT_TRUE(progression.isEnabled()) << "Stop must stay usable";
        EXPECT_EQ(progression.Progression->minimum(), 1);
        EXPECT_EQ(progression.Progression->maximum(), 3);
        EXPECT_EQ(progression.GetDlgItemText(1214), "(1 / 3)");
        EXPECT_EQ(progression.GetDlgItemText(1212), "*** File Loading ***");
        // The menu and the tool bar stay live: a second run, or a change to the list, waits.
        Scripted().beeps.clear();
        EXPECT_TRUE(vue->OnCommand(Commande::SigneTout));
        EXPECT_TRUE(vue->OnCommand(Commande::ListeSupprimeTout));
        EXPECT_EQ(Scripted().beeps, (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}));
        vu = true;
        return true;
    });
    Signe({IDYES, IDNO});
    EXPECT_TRUE(vu);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, kRetrait})) << "no second run started";
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "OK", "OK"}));
    EXPECT_TRUE(vue->isEnabled());
    Scripted().beeps.clear();
    vue->OnCommand(Commande::ListeSupprimeTout);
    EXPECT_TRUE(Lignes().empty()) << "commands work again after the run";
}

TEST_F(Signature, ClosingTheProgramDuringARunEndsItQuietly)
{
    Depose({Photo("a.jpg"), Photo("b.jpg")});
    PendantLeTraitement([this](CProgressionDlg&) {
        // What the frame's destroy step does when its close box is clicked.
        vue->EcritureReglages();
        application->Graphique = nullptr;
        return true;
    });
    Signe({IDYES});
    EXPECT_EQ(Messages(), std::vector<std::string>{kDepart}) << "no question once the window is gone";
    EXPECT_EQ(Etats(), (std::vector<std::string>{"", ""}));
    EXPECT_FALSE(Existe(bac.path("TPa.jpg")));
    EXPECT_EQ(vue->TraitementEnCours, 0);
}

TEST_F(Signature, NewDuringARunEmptiesTheListAndEndsIt)
{
    const std::string b = Photo("b.jpg");
    Depose({Photo("a.jpg"), b, Photo("c.jpg")});
    PendantLeTraitement([this, b](CProgressionDlg& progression) {
        if (progression.GetDlgItemText(1211) != b || progression.GetDlgItemText(1212) != "*** File Setup ***")
            return false;
        // "New" belongs to the document, whose commands stay live.
        vue->ReinitialiseTout();
        return true;
    });
    Signe({IDYES, IDYES});
    EXPECT_TRUE(Lignes().empty());
    EXPECT_TRUE(Existe(bac.path("TPb.jpg"))) << "the file in hand is finished";
    EXPECT_FALSE(Existe(bac.path("TPc.jpg")));
    EXPECT_EQ(Compteur(), "(0/0)");
}

} // namespace

TEST_F(Signature, APortraitPhotographIsShownAndSignedUprightAndKeepsWhatItCarries)
{
    // Stored sideways with the tag that turns it upright, as cameras do.
    const std::string a = Photo("a.jpg");
    const std::string marque = "/usr/bin/exiftool -q -overwrite_original -Orientation#=6 -Artist=Ann"
                               " -GPSLatitude=48.85 -GPSLatitudeRef=N ";
    ASSERT_EQ(RunCommand(marque + a), 0) << "exiftool is installed by scripts/setup";
    Depose({a});
    Pump();
    EXPECT_EQ(vue->TailleImage, CSize(64, 96));

    const auto etiquettes = [](const std::string& jpeg) {
        const std::string liste = jpeg + ".tags";
        EXPECT_EQ(RunCommand("/usr/bin/exiftool -s -s -s -n -Orientation -Artist -GPSLatitude " + jpeg + " > " + liste), 0);
        const std::vector<std::uint8_t> octets = ReadFile(liste);
        return std::string(octets.begin(), octets.end());
    };
    Signe({IDYES, IDNO});
    Metadonnees lues;
    HBITMAP ecrit = graphique.ChargePhoto(bac.path("TPa.jpg"), lues);
    EXPECT_EQ(SizeOf(ecrit), CSize(64, 96));
    DeleteObject(ecrit);
    EXPECT_EQ(etiquettes(bac.path("TPa.jpg")), "1\nAnn\n48.85\n");

    // The choice of "Setup" travels with the settings and the template.
    auto* choix = ControlAs<QComboBox>(vue.get(), 1511);
    ASSERT_NE(choix, nullptr);
    choix->setCurrentIndex(1);
    EXPECT_EQ(vue->Reglages().MetadonneesSortie, PolitiqueMetadonnees::SaufLieu);
    Questions({{kToutRemplacer, ""}});
    Signe({IDYES, IDNO});
    EXPECT_EQ(etiquettes(bac.path("TPa.jpg")), "1\nAnn\n");
    choix->setCurrentIndex(2);
    Questions({{kToutRemplacer, ""}});
    Signe({IDYES, IDNO});
    EXPECT_EQ(etiquettes(bac.path("TPa.jpg")), "");

    Arrete();
    Demarre();
    EXPECT_EQ(ControlAs<QComboBox>(vue.get(), 1511)->currentIndex(), 2);
    vue->ReinitialiseTout();
    EXPECT_EQ(ControlAs<QComboBox>(vue.get(), 1511)->currentIndex(), 0);
}

TEST_F(Signature, SaveAsWritesTheChosenFormatAndTravelsWithTheSettings)
{
    Depose({Photo("a.jpg")});
    auto* choix = ControlAs<QComboBox>(vue.get(), 1512);
    ASSERT_NE(choix, nullptr);
    EXPECT_EQ(choix->currentIndex(), 0) << "the source's format by default";
    choix->setCurrentIndex(2);
    Signe({IDYES, IDNO});
    EXPECT_TRUE(Existe(bac.path("TPa.png")));
    EXPECT_FALSE(Existe(bac.path("TPa.jpg")));
    HBITMAP ecrit = graphique.ChargeImage(bac.path("TPa.png"));
    HBITMAP attendu = Attendu(bac.path("a.jpg"));
    EXPECT_EQ(FirstDifference(ecrit, attendu), "") << "PNG keeps the signed pixels exactly";
    DeleteObject(ecrit);
    DeleteObject(attendu);
    Arrete();
    Demarre();
    EXPECT_EQ(ControlAs<QComboBox>(vue.get(), 1512)->currentIndex(), 2);
}
