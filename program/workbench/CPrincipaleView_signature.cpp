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
#include "NomSortie.h"
#include "SignatureOrdonnee.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QTreeWidget>

#include <cctype>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kQuestionDepart = "Generate signing to all files ?";
constexpr const char* kQuestionArret = "Stop processing ?";
// Yes skips the picture, No stops the run.
constexpr const char* kChargementImpossible = "Unable to load ";
constexpr const char* kQuestionSaut = "\n\nSkip it and go on with the next picture?";
constexpr const char* kQuestionEchecEcriture = "Error during saving of this file !\nDo you want to continue ?";
constexpr const char* kQuestionRetrait = "Do you want to delete treated files from list ?";
constexpr const char* kFait = "OK";
constexpr const char* kEchoue = "Failed";
constexpr const char* kEndommage = "Damaged";
constexpr const char* kEndommagees = " damaged, signed as far as they could be read:";
// The summary names this many failed pictures at most.
constexpr std::size_t kEchecsNommes = 10;
// Yes replaces the original, No passes the picture, Cancel stops the run.
constexpr const char* kQuestionOriginalDebut = "This is the original photograph ";
constexpr const char* kQuestionOriginalFin = " : replace it with the signed copy?";

constexpr int kEtat = 1;

static_assert(SignatureOrdonnee::Ecraser == CHOIX_ECRASER && SignatureOrdonnee::Renommer == CHOIX_RENOMMER &&
              SignatureOrdonnee::ToutEcraser == CHOIX_TOUT_ECRASER && SignatureOrdonnee::Passer == CHOIX_PASSER &&
              SignatureOrdonnee::ToutPasser == CHOIX_TOUT_PASSER);

int Demande(QWidget* proprietaire, const char* texte)
{
    return MessageBox(proprietaire, texte, "Question", MB_YESNO | MB_ICONQUESTION);
}

// The first pictures of a list by name, one a line.
CString Nomme(const std::vector<CString>& fichiers)
{
    CString texte;
    for (std::size_t i = 0; i < fichiers.size() && i < kEchecsNommes; ++i)
        texte += "\n" + fichiers[i];
    if (fichiers.size() > kEchecsNommes)
        texte += "\nand " + std::to_string(fichiers.size() - kEchecsNommes) + " more";
    return texte;
}

// "N signed, M passed, K failed" and the first failed pictures by name,
// then the damaged ones.
CString Resume(const SignatureOrdonnee::Bilan& bilan)
{
    CString texte = std::to_string(bilan.Signees) + " signed, " + std::to_string(bilan.Passees) + " passed, " +
                    std::to_string(bilan.Echecs.size()) + " failed:" + Nomme(bilan.Echecs);
    if (!bilan.Endommagees.empty())
        texte += "\n" + std::to_string(bilan.Endommagees.size()) + kEndommagees + Nomme(bilan.Endommagees);
    return texte;
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
    // A name that is a path would put copies anywhere: the run does not start.
    if (CString refus = NomSortie::Refus(Reglages()); !refus.empty()) {
        refus[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(refus[0])));
        MessageBox(proprietaire, refus, "Sign All Files", MB_OK | MB_ICONERROR);
        TraitementEnCours = 0;
        return;
    }
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
    rappels.EchecChargement = [proprietaire](const CString& source, const CString& raison) {
        return MessageBox(proprietaire, kChargementImpossible + source + ":\n" + raison + kQuestionSaut, "Error",
                          MB_YESNO | MB_ICONERROR) == IDYES;
    };
    rappels.EchecEcriture = [proprietaire](const CString&) {
        return Demande(proprietaire, kQuestionEchecEcriture) == IDYES;
    };
    rappels.Interrompu = [this] { return Interrompu(*this); };
    SignatureOrdonnee::Bilan bilan;
    {
        SignatureOrdonnee lot(Reglages(), std::move(rappels));
        for (int index = 0; !lot.Arrete() && index < liste->topLevelItemCount(); ++index) {
            const QString nom = liste->topLevelItem(index)->text(0);
            const SignatureOrdonnee::Issue issue = lot.SigneFichier(index, nom.toStdString());
            // "New" from the menu may have emptied the list meanwhile: only
            // the row that still holds this file gets the mark.
            QTreeWidgetItem* ligne = liste->topLevelItem(index);
            if (!ligne || ligne->text(0) != nom)
                continue;
            if (issue == SignatureOrdonnee::Issue::Signee)
                ligne->setText(kEtat, kFait);
            else if (issue == SignatureOrdonnee::Issue::Echec)
                ligne->setText(kEtat, kEchoue);
            else if (issue == SignatureOrdonnee::Issue::Endommagee)
                ligne->setText(kEtat, kEndommage);
        }
        bilan = lot.Resultats();
    }

    // A run where nothing failed or was damaged keeps its closing question alone.
    if (!Interrompu(*this) && (!bilan.Echecs.empty() || !bilan.Endommagees.empty()))
        MessageBox(proprietaire, Resume(bilan), "Sign All Files", MB_OK | MB_ICONWARNING);

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
