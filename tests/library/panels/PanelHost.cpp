#include "PanelHost.h"

#include <algorithm>

namespace {

const bool registered = DialogTemplate::Register({
    PanelHost::IDD, "Host", 410, 240, "MS Sans Serif", 8,
    Opt::Visible | Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::Frame, PanelHost::kCadreTexte, "", 2, 2, 401, 150},
        {ControlKind::Frame, PanelHost::kCadreCouleur, "", 2, 156, 87, 58},
        {ControlKind::TabControl, PanelHost::kOnglets, "", 100, 156, 300, 80},
    },
});

} // namespace

PanelHost::PanelHost() : CDialog(IDD) {}

LRESULT PanelHost::OnMessage(UINT message, WPARAM, LPARAM)
{
    m_recus.push_back(message);
    return 0;
}

int PanelHost::Recus(UINT message) const
{
    return static_cast<int>(std::count(m_recus.begin(), m_recus.end(), message));
}
