#include "CFondDlg.h"

#include "CCouleurDlg.h"
#include "CDataExchange.h"
#include "CGraphique.h"

#include <QAbstractButton>

namespace {

constexpr int kApercu = 2231;
constexpr int kCadreCouleur = 2232;
constexpr int kAucun = 2233;
constexpr int kMotif = 2234;
constexpr int kCouleur = 2235;
constexpr int kMotifs = 2236;
constexpr int kIcone = 2227;
constexpr int kReset = 2228;

const bool registered = DialogTemplate::Register({
    CFondDlg::IDD, "Add a background to picture", 431, 261, "Comic Sans MS", 8, Opt::SysMenu,
    ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To add a background to a picture allows to give some relief to it.", 44, 8, 252,
         10},
        {ControlKind::Static, -1,
         "Select background typ : pattern ord color.\nClick on picture to display it on full screen.", 44, 21, 252,
         20},
        {ControlKind::Picture, kApercu, "", 304, 7, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::GroupBox, -1, "Background typ", 7, 46, 291, 28},
        {ControlKind::RadioButton, kAucun, "Motif", 15, 58, 120, 10, Opt::Group | Opt::Hidden},
        {ControlKind::RadioButton, kMotif, "Background with pattern", 15, 58, 130, 10},
        {ControlKind::RadioButton, kCouleur, "Background with color", 156, 58, 130, 10},
        {ControlKind::GroupBox, -1, "Pattern", 7, 78, 291, 158},
        {ControlKind::ListView, kMotifs, "", 14, 89, 277, 141, Opt::Icons | Opt::SingleSel},
        {ControlKind::GroupBox, -1, "Color", 304, 95, 120, 70},
        {ControlKind::Frame, kCadreCouleur, "", 320, 105, 87, 58},
        {ControlKind::PushButton, kReset, "Reset", 7, 240, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 319, 240, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 374, 240, 50, 14},
    },
});

UINT Etat(int drapeau) { return drapeau ? BST_CHECKED : BST_UNCHECKED; }

} // namespace

CFondDlg::CFondDlg(QWidget* parent) : CRetoucheMotifDlg(IDD, kIcone, 1019, kApercu, kMotifs, parent)
{
    TailleFond = CGraphique::RetourneTailleEcran(&ProfondeurFond);
}

CFondDlg::~CFondDlg() = default;

void CFondDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kAucun, BoutonAucun);
    DDX_Control(pDX, kMotif, BoutonMotif);
    DDX_Control(pDX, kCouleur, BoutonCouleur);
}

BOOL CFondDlg::OnInitDialog()
{
    Pret = 0;
    CDialog::OnInitDialog();
    InitialiseApercus();
    RemplitListeMotifs();
    PanneauCouleur = CreePanneau(kCadreCouleur, CouleurUnie);
    CheckDlgButton(kAucun, Etat(TypeAucun));
    CheckDlgButton(kMotif, Etat(TypeMotif));
    CheckDlgButton(kCouleur, Etat(TypeCouleur));
    RestrictionAcces();
    AfficheImage();
    UpdateData(FALSE);
    Pret = 1;
    return TRUE;
}

void CFondDlg::RestrictionAcces()
{
    const bool fond = !IsDlgButtonChecked(kAucun);
    GetDlgItem(kMotifs)->setEnabled(fond && IsDlgButtonChecked(kMotif));
    GetDlgItem(kCadreCouleur)->setEnabled(fond && IsDlgButtonChecked(kCouleur));
}

std::function<HBITMAP(HDC)> CFondDlg::Fond()
{
    if (IsDlgButtonChecked(kAucun) || !Graphique)
        return nullptr;
    const int motif = IsDlgButtonChecked(kMotif) ? 1 : 0;
    const COLORREF couleur = PanneauCouleur ? PanneauCouleur->Couleur : CouleurUnie;
    return [=, this](HDC dc) {
        return Graphique->FondImage(dc, TailleFond, ProfondeurFond, Image, motif, IndexMotif, couleur);
    };
}

void CFondDlg::AfficheImage()
{
    const std::function<HBITMAP(HDC)> fond = Fond();
    MontreApercu(0, fond ? Applique(fond) : Image);
}

void CFondDlg::OnChangeAcces(UINT)
{
    UpdateData(TRUE);
    RestrictionAcces();
    AfficheImage();
    UpdateData(FALSE);
}

LRESULT CFondDlg::PriseEnCompteChangementCouleur(WPARAM, LPARAM)
{
    if (PanneauCouleur)
        CouleurUnie = PanneauCouleur->Couleur;
    AfficheImage();
    return 0;
}

void CFondDlg::OnClicked(int id)
{
    switch (id) {
    case kAucun:
    case kMotif:
    case kCouleur:
        OnChangeAcces(static_cast<UINT>(id));
        break;
    case kApercu:
        OnPleinEcran();
        break;
    case kReset:
        OnReset();
        break;
    default:
        CRetoucheMotifDlg::OnClicked(id);
        break;
    }
}

void CFondDlg::OnReset()
{
    CheckDlgButton(kAucun, BST_UNCHECKED);
    CheckDlgButton(kMotif, BST_UNCHECKED);
    CheckDlgButton(kCouleur, BST_CHECKED);
    if (PanneauCouleur)
        CouleurUnie = ReinitialisePanneau(*PanneauCouleur);
    RestrictionAcces();
    AfficheImage();
}

void CFondDlg::OnOK()
{
    UpdateData(TRUE);
    TypeAucun = IsDlgButtonChecked(kAucun) ? 1 : 0;
    TypeMotif = IsDlgButtonChecked(kMotif) ? 1 : 0;
    TypeCouleur = IsDlgButtonChecked(kCouleur) ? 1 : 0;
    CDialog::OnOK();
}

void CFondDlg::OnPleinEcran() { AffichePleinEcran(Fond(), CString(), kApercu); }

void CFondDlg::DesInitInstance()
{
    CRetoucheMotifDlg::DesInitInstance();
    LiberePanneau(PanneauCouleur);
}
