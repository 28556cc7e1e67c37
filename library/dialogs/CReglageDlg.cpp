#include "CReglageDlg.h"

#include "CDataExchange.h"
#include "CGraphique.h"

#include <QSlider>

namespace {

constexpr int kReset = 1700;
constexpr int kAvant = 1701;
constexpr int kApres = 1702;
constexpr int kLumiere = 1703;
constexpr int kTexteLumiere = 1704;
constexpr int kContraste = 1705;
constexpr int kTexteContraste = 1706;
constexpr int kIntensite = 1707;
constexpr int kTexteIntensite = 1708;
constexpr int kIcone = 2225;

constexpr int kNeutre = 50;

const bool registered = DialogTemplate::Register({
    CReglageDlg::IDD, "Color adjustment to picture", 347, 265, "Comic Sans MS", 8, Opt::SysMenu,
    ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1,
         "To adjust color to a picture allows to improve clearness and clarte of it (like you want).", 44, 8, 296,
         18},
        {ControlKind::Static, -1,
         "Slide cursors from left to right to adjust light, contrast and intensity.\n\nClick on picture to "
         "display it on full screen.",
         44, 28, 296, 32},
        {ControlKind::Static, -1, "Before", 40, 63, 120, 9, Opt::Center},
        {ControlKind::Picture, kAvant, "", 40, 73, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::Static, -1, "After", 187, 63, 120, 9, Opt::Center},
        {ControlKind::Picture, kApres, "", 187, 73, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::Static, -1, "Light", 40, 171, 45, 9},
        {ControlKind::Slider, kLumiere, "", 88, 167, 192, 15, Opt::NoTicks},
        {ControlKind::Static, kTexteLumiere, "", 287, 171, 20, 9, Opt::Right},
        {ControlKind::Static, -1, "Contrast", 40, 190, 45, 9},
        {ControlKind::Slider, kContraste, "", 88, 186, 192, 15, Opt::NoTicks},
        {ControlKind::Static, kTexteContraste, "", 287, 190, 20, 9, Opt::Right},
        {ControlKind::Static, -1, "Intensity", 40, 209, 45, 9},
        {ControlKind::Slider, kIntensite, "", 88, 205, 192, 15, Opt::NoTicks},
        {ControlKind::Static, kTexteIntensite, "", 287, 209, 20, 9, Opt::Right},
        {ControlKind::PushButton, kReset, "Reset", 7, 244, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 235, 244, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 290, 244, 50, 14},
    },
});

} // namespace

CReglageDlg::CReglageDlg(QWidget* parent) : CRetoucheDlg(IDD, kIcone, 1018, {kAvant, kApres}, true, parent) {}

void CReglageDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Slider(pDX, kContraste, Contraste);
    DDX_Slider(pDX, kLumiere, Lumiere);
    DDX_Slider(pDX, kIntensite, Intensite);
}

BOOL CReglageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    InitialiseApercus();
    AfficheImage(0);
    AfficheImage(1);
    for (const int id : {kLumiere, kContraste, kIntensite})
        GetDlgItemAs<QSlider>(id)->setRange(0, 100);
    ReglageChange();
    return TRUE;
}

bool CReglageDlg::Neutre() const { return Lumiere == kNeutre && Contraste == kNeutre && Intensite == kNeutre; }

void CReglageDlg::AfficheImage(unsigned index)
{
    if (index == 0 || Neutre()) {
        MontreApercu(index, ImageReduite[index]);
        return;
    }
    // Adjusting keeps the size, so the result fits as the reduced picture did.
    MontreApercu(index, Applique([this, index](HDC dc) {
        return CGraphique::ReglageImage(dc, ImageReduite[index], Lumiere, Contraste, Intensite);
    }), false);
}

void CReglageDlg::ReglageChange()
{
    const std::pair<int, int> curseurs[] = {{kLumiere, Lumiere}, {kContraste, Contraste}, {kIntensite, Intensite}};
    for (const auto& [id, valeur] : curseurs)
        GetDlgItemAs<QSlider>(id)->setValue(valeur);
    SetDlgItemInt(kTexteLumiere, Lumiere);
    SetDlgItemInt(kTexteContraste, Contraste);
    SetDlgItemInt(kTexteIntensite, Intensite);
}

void CReglageDlg::OnHScroll(UINT code, int position, QSlider* slider)
{
    const int id = GetDlgCtrlID(slider);
    const bool curseur = id == kLumiere || id == kContraste || id == kIntensite;
    if (!curseur || (code != TB_THUMBTRACK && code != TB_ENDTRACK)) {
        CDialog::OnHScroll(code, position, slider);
        return;
    }
    const int lumiere = Lumiere, contraste = Contraste, intensite = Intensite;
    UpdateData(TRUE);
    if (lumiere != Lumiere || contraste != Contraste || intensite != Intensite) {
        ReglageChange();
        AfficheImage(1);
    }
}

void CReglageDlg::OnClicked(int id)
{
    switch (id) {
    case kReset:
        OnReset();
        break;
    case kAvant:
        OnPleinEcranAvant();
        break;
    case kApres:
        OnPleinEcranApres();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CReglageDlg::OnReset()
{
    Lumiere = Contraste = Intensite = kNeutre;
    ReglageChange();
    AfficheImage(1);
}

void CReglageDlg::OnPleinEcranAvant() { PleinEcran(0); }

void CReglageDlg::OnPleinEcranApres() { PleinEcran(1); }

void CReglageDlg::PleinEcran(unsigned index)
{
    std::function<HBITMAP(HDC)> reglage;
    if (index != 0 && !Neutre())
        reglage = [this](HDC dc) { return CGraphique::ReglageImage(dc, Image, Lumiere, Contraste, Intensite); };
    AffichePleinEcran(reglage, CString(), kApres);
}
