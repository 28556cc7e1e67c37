#include "CQuestionTraitementDlg.h"

#include "CRoutine.h"
#include "CSaisieChaineDlg.h"

#include <QKeyEvent>

namespace {

constexpr int kReplace = 1301;
constexpr int kRename = 1302;
constexpr int kAllReplace = 1303;
constexpr int kPass = 1304;
constexpr int kPassAll = 1305;

const bool registered = DialogTemplate::Register({
    CQuestionTraitementDlg::IDD, "Question", 322, 72, "MS Sans Serif", 8,
    Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::Icon, -1, "", 8, 8, 21, 20, 0, 1010},
        {ControlKind::Static, -1, "Caution ! Filename already exists. What do you want to do ?", 38, 10, 225, 9},
        {ControlKind::Static, 1300, "", 38, 24, 277, 18, Opt::Center},
        {ControlKind::PushButton, kReplace, "Replace", 7, 51, 48, 14},
        {ControlKind::PushButton, kRename, "Rename", 59, 51, 48, 14},
        {ControlKind::PushButton, kAllReplace, "All replace", 111, 51, 48, 14},
        {ControlKind::PushButton, kPass, "Pass", 163, 51, 48, 14},
        {ControlKind::PushButton, kPassAll, "Pass all", 215, 51, 48, 14},
        {ControlKind::PushButton, IDCANCEL, "Stop", 267, 51, 48, 14},
    },
});

} // namespace

CQuestionTraitementDlg::CQuestionTraitementDlg(QWidget* parent) : CDialog(IDD, parent) {}

BOOL CQuestionTraitementDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(1300, "(" + NomCible + ")");
    return TRUE;
}

void CQuestionTraitementDlg::OnClicked(int id)
{
    switch (id) {
    case kReplace:
        Choisit(CHOIX_ECRASER);
        break;
    case kRename:
        Renomme();
        break;
    case kAllReplace:
        Choisit(CHOIX_TOUT_ECRASER);
        break;
    case kPass:
        Choisit(CHOIX_PASSER);
        break;
    case kPassAll:
        Choisit(CHOIX_TOUT_PASSER);
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

BOOL CQuestionTraitementDlg::PreTranslateKey(int, QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

void CQuestionTraitementDlg::Choisit(int choix)
{
    Choix = choix;
    EndDialog(IDOK);
}

void CQuestionTraitementDlg::Renomme()
{
    CSaisieChaineDlg saisie(this);
    CString titre;
    saisie.Titre = CRoutine::Message(titre, 12);
    saisie.Chaine = NomCible;
    if (saisie.DoModal() != IDOK)
        return;
    // Taken as typed: the batch decides what an empty or unchanged name means.
    NomCible = saisie.Chaine;
    Choisit(CHOIX_RENOMMER);
}
