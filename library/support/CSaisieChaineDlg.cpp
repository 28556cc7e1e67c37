#include "CSaisieChaineDlg.h"

#include "CDataExchange.h"

namespace {

const bool registered = DialogTemplate::Register({
    CSaisieChaineDlg::IDD, "Request", 220, 64, "MS Sans Serif", 8,
    Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::Static, 1101, "", 7, 7, 206, 10, Opt::Center},
        {ControlKind::Edit, 1100, "", 7, 21, 206, 12},
        {ControlKind::DefPushButton, IDOK, "OK", 53, 43, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 117, 43, 50, 14},
    },
});

} // namespace

CSaisieChaineDlg::CSaisieChaineDlg(QWidget* parent) : CDialog(IDD, parent) {}

void CSaisieChaineDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, 1101, Titre);
    DDX_Text(pDX, 1100, Chaine);
}
