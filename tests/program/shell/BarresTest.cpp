// The tool bar, the information bar's link and logo, and the folder picker.

#include "ShellTestSupport.h"
#include "RessourcesProgramme.h"

#include "CFolderDialog.h"
#include "CInformationDialog.h"
#include "COutilDialog.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>

namespace {

constexpr const char* kProduit = "https://tamparo2.example/";
constexpr const char* kEditeur = "https://editeur.example/";

void Survole(QWidget* widget, CPoint point)
{
    const QPointF local(point.x, point.y);
    QMouseEvent deplacement(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                            Qt::NoModifier);
    QApplication::sendEvent(widget, &deplacement);
}

bool Souligne(HFONT police) { return police && police->description().lfUnderline; }

} // namespace

TEST_F(ShellTest, TheToolBarShowsNineLargeIconsWithTheirToolTipsInOrder)
{
    ASSERT_TRUE(Demarre());
    COutilDialog* barre = application->BarreOutils;
    ASSERT_NE(barre, nullptr);
    const std::vector<std::pair<int, const char*>> attendus = {
        {1008, "Restart software with all reset"},      {1000, "Open an existing signing template"},
        {1001, "Save current signing to template"},     {1002, "Files selection for signing"},
        {1003, "Swap for signing text mode"},           {1004, "Swap for signing logo mode"},
        {1005, "Display in full screen selected file"}, {1006, "Generate signing to all files"},
        {1007, "Help manual"},
    };
    int gauche = -1;
    for (std::size_t i = 0; i < attendus.size(); ++i) {
        const auto& [id, texte] = attendus[i];
        SCOPED_TRACE(id);
        EXPECT_EQ(COutilDialog::Boutons()[i], id);
        QPushButton* bouton = Bouton(id);
        ASSERT_NE(bouton, nullptr);
        EXPECT_GT(bouton->x(), gauche);
        gauche = bouton->x();
        EXPECT_EQ(bouton->toolTip().toStdString(), texte);
        EXPECT_EQ(barre->TextesInfoBulles[i], texte);
        EXPECT_EQ(bouton->iconSize(), QSize(48, 48));
        EXPECT_FALSE(bouton->icon().isNull());
        EXPECT_FALSE(barre->Icones[i].pixmap(48, 48).isNull());
    }

    // Hovering shows the tip.
    QPushButton* aide = Bouton(1007);
    const QPoint milieu = aide->rect().center();
    QHelpEvent demande(QEvent::ToolTip, milieu, aide->mapToGlobal(milieu));
    QApplication::sendEvent(aide, &demande);
    EXPECT_EQ(QToolTip::text(), "Help manual");
    QToolTip::hideText();

    // The destroy step releases the icons.
    barre->LibereIcones();
    for (std::size_t i = 0; i < attendus.size(); ++i) {
        EXPECT_TRUE(barre->Icones[i].isNull());
        EXPECT_TRUE(Bouton(attendus[i].first)->icon().isNull());
    }
}

TEST_F(ShellTest, TheLinkUnderlinesOnceOnEntryAndOnceOnExitWithItsBorderInside)
{
    application->AdresseProduit = kProduit;
    ASSERT_TRUE(Demarre());
    CInformationDialog* barre = application->BarreInformation;
    ASSERT_NE(barre, nullptr);
    QWidget* lien = barre->GetDlgItem(CInformationDialog::kLien);
    EXPECT_EQ(barre->GetDlgItemText(CInformationDialog::kLien), kProduit);
    EXPECT_EQ(lien->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    const QRect rectangle(lien->mapTo(barre, QPoint(0, 0)), lien->size());
    const CRect zone = barre->ZoneLien;
    EXPECT_EQ(zone, CRect(rectangle.x() - 1, rectangle.y() - 1, rectangle.x() + rectangle.width() + 1,
                          rectangle.y() + rectangle.height() + 1));
    EXPECT_EQ(barre->LienSurvole, 0);
    EXPECT_EQ(barre->PoliceLien, nullptr);

    Survole(barre, {zone.left - 1, zone.top});
    EXPECT_EQ(barre->LienSurvole, 0) << "one pixel left of the zone is outside";
    EXPECT_EQ(barre->PoliceLien, nullptr);

    Survole(barre, {zone.left, zone.top});
    EXPECT_EQ(barre->LienSurvole, 1) << "the zone's corner is inside";
    const HFONT entree = barre->PoliceLien;
    EXPECT_TRUE(Souligne(entree));
    EXPECT_TRUE(lien->font().underline());
    EXPECT_EQ(barre->cursor().shape(), Qt::BitmapCursor);

    // Moving within the zone, over the label itself too, creates nothing.
    Survole(lien, {5, 5});
    Survole(barre, {zone.right, zone.bottom});
    EXPECT_EQ(barre->PoliceLien, entree);

    Survole(barre, {zone.right + 1, zone.bottom});
    EXPECT_EQ(barre->LienSurvole, 0);
    EXPECT_NE(barre->PoliceLien, entree);
    EXPECT_FALSE(Souligne(barre->PoliceLien));
    EXPECT_FALSE(lien->font().underline());
    EXPECT_EQ(barre->cursor().shape(), Qt::ArrowCursor);
    const HFONT sortie = barre->PoliceLien;
    Survole(barre, {0, 0});
    EXPECT_EQ(barre->PoliceLien, sortie);

    // Leaving the bar in one jump from the link leaves nothing underlined.
    Survole(lien, {5, 5});
    ASSERT_EQ(barre->LienSurvole, 1);
    QEvent depart(QEvent::Leave);
    QApplication::sendEvent(barre, &depart);
    EXPECT_EQ(barre->LienSurvole, 0);
}

TEST_F(ShellTest, TheLinkAndTheLogoOpenTheirPagesOnlyWhenBuiltIn)
{
    ASSERT_TRUE(Demarre());
    CInformationDialog* barre = application->BarreInformation;
    DialogDriver::Click(barre->GetDlgItem(CInformationDialog::kLien));
    DialogDriver::Click(barre->GetDlgItem(CInformationDialog::kLogo));
    Survole(barre, {barre->ZoneLien.left + 2, barre->ZoneLien.top + 2});
    EXPECT_TRUE(Scripted().opened.empty());
    EXPECT_EQ(barre->LienSurvole, 0) << "an empty link is no link";

    NouvelleApplication();
    application->AdresseProduit = kProduit;
    application->AdresseEditeur = kEditeur;
    ASSERT_TRUE(Demarre());
    barre = application->BarreInformation;
    auto* logo = barre->GetDlgItem(CInformationDialog::kLogo);
    EXPECT_EQ(logo->size(), QSize(112, 34)) << "the publisher's logo at its own size";
    DialogDriver::Click(barre->GetDlgItem(CInformationDialog::kLien));
    DialogDriver::Click(logo);
    EXPECT_EQ(Scripted().opened, (std::vector<std::string>{kProduit, kEditeur}));
}

TEST_F(ShellTest, TheDesktopFolderPickerIsTitledAndLabelledAndOpensOnTheCallersFolder)
{
    RessourcesProgramme::Enregistre();
    const QString depart = QString::fromStdString(bac.path("depart"));
    ASSERT_TRUE(QDir().mkpath(depart));
    CString dossier = depart.toStdString();
    Interaction::install(nullptr);

    QString titre, bouton, ouvert;
    DialogDriver::OnNextModal([&](QWidget* fenetre) {
        auto* dialogue = qobject_cast<QFileDialog*>(fenetre);
        ASSERT_NE(dialogue, nullptr);
        titre = dialogue->windowTitle();
        bouton = dialogue->labelText(QFileDialog::Accept);
        ouvert = dialogue->directory().absolutePath();
        dialogue->reject();
    });
    const INT_PTR annule = CFolderDialog(&dossier).DoModal();

    DialogDriver::OnNextModal([](QWidget* fenetre) { static_cast<QDialog*>(fenetre)->accept(); });
    const INT_PTR confirme = CFolderDialog(&dossier).DoModal();
    Interaction::install(&Scripted());

    EXPECT_EQ(annule, IDCANCEL);
    EXPECT_EQ(titre, "Directory Selection");
    EXPECT_EQ(bouton, "Selection");
    EXPECT_EQ(ouvert, depart);
    EXPECT_EQ(confirme, IDOK);
    EXPECT_EQ(dossier, depart.toStdString()) << "Selection right away gives the folder it opened in";
}
