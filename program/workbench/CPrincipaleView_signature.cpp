// "Sign All Files": every row of the list loaded, signed as the preview
// shows it and written under the name and into the folder "Setup" gives,
// with a modeless progress window whose "Stop" is heard between steps.
// While a picture is asked about and written, the next two are loaded and
// signed on threads of their own; everything the user sees keeps its order.

#include "CPrincipaleView.h"

#include "Anticipation.h"
#include "CProgressionDlg.h"
#include "CQuestionTraitementDlg.h"
#include "CRoutine.h"
#include "EtapeSignature.h"
#include "Interaction.h"
#include "InteractionDifferee.h"
#include "NomSortie.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QTreeWidget>

#include <array>
#include <memory>

namespace {

constexpr const char* kQuestionDepart = "Generate signing to all files ?";
constexpr const char* kQuestionArret = "Stop processing ?";
constexpr const char* kChargementImpossible = "Unable to load file !";
constexpr const char* kQuestionEchecEcriture = "Error during saving of this file !\nDo you want to continue ?";
constexpr const char* kQuestionRetrait = "Do you want to delete treated files from list ?";
constexpr const char* kEtapeChargement = "*** File Loading ***";
constexpr const char* kEtapePreparation = "*** File Setup ***";
constexpr const char* kFait = "OK";

constexpr int kEtat = 1;
// Pictures in hand at once: the one asked about and written, and the next
// two loading, one a core, so that loading (the longer half) keeps up.
constexpr int kEnMain = 3;

// What one run keeps from file to file.
struct Lot {
    CPrincipaleView& vue;
    QTreeWidget* liste;
    // Boxes and the progress window belong to the view's window: a window
    // owned by the disabled view itself would be disabled with it.
    QWidget* proprietaire;
    CProgressionDlg& progression;
    // Names every output, on this thread: naming depends on the sources
    // that came before.
    NomSortie nommage;
    // The settings as they were when the run started do the work, the
    // pictures going round the steps so that each is in one thread's hands
    // at a time.
    std::array<std::unique_ptr<EtapeSignature>, kEnMain> etapes;
    // After the steps: they end before them, whatever ends the run.
    std::array<Anticipation, kEnMain> suivantes;
    int total;
    int arret = 0;
    int reponse = 0;

    EtapeSignature& Signataire(int index) { return *etapes[static_cast<std::size_t>(index % kEnMain)]; }
    Anticipation& Suivante(int index) { return suivantes[static_cast<std::size_t>(index % kEnMain)]; }
};

int Demande(QWidget* proprietaire, const char* texte)
{
    return MessageBox(proprietaire, texte, "Question", MB_YESNO | MB_ICONQUESTION);
}

// The program is closing under the run: the frame has taken the toolbox
// and the panels away, so nothing more can be loaded or composed.
bool Interrompu(const CPrincipaleView& vue) { return !vue.Graphique() || !vue.PanneauTexte; }

// One progress step; true when the run must end here, because the user
// confirmed "Stop" or the program is closing.
bool Etape(Lot& lot, int numero, const CString& fichier, const CString& operation)
{
    const int stop = CRoutine::ProgressionAfficheEtTeste(lot.progression, numero, lot.total, fichier, operation);
    if (Interrompu(lot.vue) || (stop && Demande(lot.proprietaire, kQuestionArret) == IDYES)) {
        lot.arret = 1;
        return true;
    }
    return false;
}

// The other steps load the same logo: a damaged one has been reported once.
std::unique_ptr<EtapeSignature> Seconde(const ModeleSignature& reglages)
{
    InteractionDifferee repetition;
    InteractionDifferee::Ecoute ecoute(repetition);
    return std::make_unique<EtapeSignature>(reglages);
}

// Starts loading and signing row index's file, when the list has one and
// it is not in hand already.
void Anticipe(Lot& lot, int index)
{
    QTreeWidgetItem* ligne = lot.liste->topLevelItem(index);
    if (!ligne)
        return;
    const CString source = ligne->text(0).toStdString();
    if (!lot.Suivante(index).Tient(index + 1, source))
        lot.Suivante(index).Lance(lot.Signataire(index), source, index + 1);
}

// Signs the file of row index into its output; 1 when the copy was written.
int SigneFichier(Lot& lot, int index, const CString& source)
{
    const int numero = index + 1;
    if (Etape(lot, numero, source, kEtapeChargement))
        return 0;
    // A list changed since the file was started ("New") has it started again.
    if (!lot.Suivante(index).Tient(numero, source))
        lot.Suivante(index).Lance(lot.Signataire(index), source, numero);
    HBITMAP image = lot.Suivante(index).Recoit();
    CString sortie = lot.nommage.Chemin(source);
    if (!image) {
        MessageBox(lot.proprietaire, kChargementImpossible, "Error", MB_OK | MB_ICONERROR);
        lot.arret = 1;
        return 0;
    }
    // The next two start at once (the step of the one after next has just
    // been freed); a run that stops before reaching them drops them.
    Anticipe(lot, index + 1);
    Anticipe(lot, index + 2);
    int sauve = 0;
    if (!Etape(lot, numero, source, kEtapePreparation) && !Etape(lot, numero, source, sortie)) {
        // A name given by "Rename" is taken as it is, even when it exists.
        if (lot.reponse != CHOIX_TOUT_ECRASER && QFileInfo::exists(QString::fromStdString(sortie)))
            lot.reponse = CRoutine::QuestionEtProgression(sortie, lot.arret, lot.progression);
        if (lot.reponse == CHOIX_PASSER) {
            lot.reponse = 0;
        } else if (!lot.arret && !Interrompu(lot.vue)) {
            // The writers replace an existing file only once the new one is
            // complete: "Replace" on the source itself cannot lose it.
            sauve = lot.Signataire(index).Sauve(sortie, image);
            if (!sauve && Demande(lot.proprietaire, kQuestionEchecEcriture) != IDYES)
                lot.arret = 1;
            if (lot.reponse == CHOIX_ECRASER)
                lot.reponse = 0;
        }
    }
    // Its memory serves the picture after next, which this step loads.
    lot.Signataire(index).Rend(image);
    return sauve;
}

} // namespace

void CPrincipaleView::SigneTousLesFichiers()
{
    QTreeWidget* liste = Liste();
    if (TraitementEnCours || liste->topLevelItemCount() == 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    TraitementEnCours = 1;
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

    const ModeleSignature reglages = Reglages();
    Lot lot{*this,
            liste,
            proprietaire,
            progression,
            NomSortie(reglages),
            {std::make_unique<EtapeSignature>(reglages), Seconde(reglages), Seconde(reglages)},
            {},
            total};
    for (int index = 0; !lot.arret && index < liste->topLevelItemCount(); ++index) {
        const QString nom = liste->topLevelItem(index)->text(0);
        const int sauve = SigneFichier(lot, index, nom.toStdString());
        // "New" from the menu may have emptied the list meanwhile: only
        // the row that still holds this file gets the mark.
        QTreeWidgetItem* ligne = liste->topLevelItem(index);
        if (sauve && ligne && ligne->text(0) == nom)
            ligne->setText(kEtat, kFait);
    }
    // Pictures started for a run that ended before them are not written.
    for (Anticipation& suivante : lot.suivantes)
        suivante.Abandonne();

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
