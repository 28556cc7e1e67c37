#include "CProgressionDlg.h"

#include "CDataExchange.h"

#include <QProgressBar>

namespace {

const bool registered = DialogTemplate::Register({
    CProgressionDlg::IDD, "Running operation...", 230, 86, "Comic Sans MS", 8,
    Opt::Visible, ResourceModule::Library,
    {
        {ControlKind::Static, -1, "File", 7, 9, 34, 8},
        {ControlKind::Edit, 1211, "", 44, 7, 179, 12},
        {ControlKind::Static, -1, "Operation", 7, 25, 34, 8},
        {ControlKind::Edit, 1212, "", 44, 23, 179, 12},
        {ControlKind::Static, 1214, "", 7, 40, 216, 9, Opt::Center},
        {ControlKind::ProgressBar, 1213, "", 7, 51, 216, 10},
        {ControlKind::CheckBox, 1210, "Stop", 86, 66, 58, 14, Opt::PushLike},
    },
});

} // namespace

CProgressionDlg::CProgressionDlg(QWidget* parent) : CDialog(IDD, parent) {}

int CProgressionDlg::PeekAndPump() { return ::PeekAndPump(); }

void CProgressionDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, 1213, Progression);
    DDX_Text(pDX, 1214, Compteur);
    DDX_Text(pDX, 1211, Fichier);
    DDX_Text(pDX, 1212, Operation);
    DDX_Check(pDX, 1210, Arret);
}

void CProgressionDlg::OnOK() {}

void CProgressionDlg::OnCancel() {}
