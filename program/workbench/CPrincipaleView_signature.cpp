// "Sign All Files": every row of the list loaded, signed as the preview
// shows it and written under the name and into the folder "Setup" gives,
// with a modeless progress window whose "Stop" is heard between steps.
// While a picture is asked about and written, the next two are loaded and
// signed on threads of their own; everything the user sees keeps its order.

#include "CPrincipaleView.h"

#include "CProgressionDlg.h"
#include "CQuestionTraitementDlg.h"
#include "CRoutine.h"
#include "Interaction.h"
#include "SignatureOrdonnee.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QTreeWidget>

#include <optional>
#include <utility>

namespace {

constexpr const char* kQuestionDepart = "Generate signing to all files ?";
constexpr const char* kQuestionArret = "Stop processing ?";
constexpr const char* kChargementImpossible = "Unable to load file !";
constexpr const char* kQuestionEchecEcriture = "Error during saving of this file !\nDo you want to continue ?";
constexpr const char* kQuestionRetrait = "Do you want to delete treated files from list ?";
constexpr const char* kFait = "OK";
// Yes replaces the original, No passes the picture, Cancel stops the run.
constexpr const char* kQuestionOriginalDebut = "This is the original photograph ";
constexpr const char* kQuestionOriginalFin = " : replace it with the signed copy?";

constexpr int kEtat = 1;

static_assert(SignatureOrdonnee::Ecraser == CHOIX_ECRASER && SignatureOrdonnee::Renommer == CHOIX_RENOMMER &&
              SignatureOrdonnee::ToutEcraser == CHOIX_TOUT_ECRASER && SignatureOrdonnee::Passer == CHOIX_PASSER);

int Demande(QWidget* proprietaire, const char* texte)
{
    return MessageBox(proprietaire, texte, "Question", MB_YESNO | MB_ICONQUESTION);
}

// The program is closing under the run: the frame has taken the toolbox
// and the panels away, so nothing more can be loaded or composed.
bool Interrompu(const CPrincipaleView& vue) { return !vue.Graphique() || !vue.PanneauTexte; }

} // namespace

void CPrincipaleView::SigneTousLesFichiers()
{
    QTreeWidget* liste = Liste();
    if (TraitementEnCours || liste->topLevelItemCount() == 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    TraitementEnCours = 1;
    // Boxes and the progress window belong to the view's window: a window
    // owned by the disabled view itself would be disabled with it.
    QWidget* proprietaire = window();
    if (Demande(proprietaire, kQuestionDepart) != IDYES) {
        TraitementEnCours = 0;
        return;
    }
    // A quality out of range is warned about and still used: the writer refuses it.
    UpdateData(TRUE);
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        liste->topLevelItem(i)->setText(kEtat, QString());

    CProgressionDlg progression(proprietaire);
    progression.Create(proprietaire);
    const int total = liste->topLevelItemCount();
    if (progression.Progression)
        progression.Progression->setRange(1, total);
    setEnabled(false);

    SignatureOrdonnee::Rappels rappels;
    rappels.Source = [liste](int index) -> std::optional<CString> {
        QTreeWidgetItem* ligne = liste->topLevelItem(index);
        return ligne ? std::optional<CString>(ligne->text(0).toStdString()) : std::nullopt;
    };
    rappels.Etape = [this, proprietaire, &progression, total](int numero, const CString& fichier,
                                                             const CString& operation) {
        const int stop = CRoutine::ProgressionAfficheEtTeste(progression, numero, total, fichier, operation);
        return Interrompu(*this) || (stop && Demande(proprietaire, kQuestionArret) == IDYES);
    };
    rappels.Question = [&progression](CString& sortie, int& arret) {
        return CRoutine::QuestionEtProgression(sortie, arret, progression);
    };
    rappels.QuestionOriginal = [proprietaire](const CString& sortie) {
        return MessageBox(proprietaire, kQuestionOriginalDebut + sortie + kQuestionOriginalFin, "Question",
                          MB_YESNOCANCEL | MB_ICONWARNING);
    };
    rappels.EchecChargement = [proprietaire](const CString&) {
        MessageBox(proprietaire, kChargementImpossible, "Error", MB_OK | MB_ICONERROR);
    };
    rappels.EchecEcriture = [proprietaire](const CString&) {
        return Demande(proprietaire, kQuestionEchecEcriture) == IDYES;
    };
    rappels.Interrompu = [this] { return Interrompu(*this); };
    {
        SignatureOrdonnee lot(Reglages(), std::move(rappels));
        for (int index = 0; !lot.Arrete() && index < liste->topLevelItemCount(); ++index) {
            const QString nom = liste->topLevelItem(index)->text(0);
            const bool sauve = lot.SigneFichier(index, nom.toStdString());
            // "New" from the menu may have emptied the list meanwhile: only
            // the row that still holds this file gets the mark.
            QTreeWidgetItem* ligne = liste->topLevelItem(index);
            if (sauve && ligne && ligne->text(0) == nom)
                ligne->setText(kEtat, kFait);
        }
    }

    if (!Interrompu(*this) && Demande(proprietaire, kQuestionRetrait) == IDYES) {
        const int selection = LigneSelectionnee();
        bool selectionRetiree = false;
        for (int i = liste->topLevelItemCount() - 1; i >= 0; --i)
            if (liste->topLevelItem(i)->text(kEtat) == kFait) {
                selectionRetiree = selectionRetiree || i == selection;
                delete liste->takeTopLevelItem(i);
            }
        // The list would select a neighbour of a removed selected row on its own.
        if (selectionRetiree)
            liste->clearSelection();
        AfficheSelection();
    }
    progression.DestroyWindow();
    setEnabled(true);
    TraitementEnCours = 0;
}
