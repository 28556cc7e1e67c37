#include "CCadreDlg.h"

#include "CCouleurDlg.h"
#include "CDataExchange.h"
#include "CGraphique.h"
#include "SpinButton.h"

#include <QAbstractButton>

namespace {

constexpr int kEpaisseur = 1500;
constexpr int kFlecheEpaisseur = 1501;
constexpr int kLiseret = 1502;
constexpr int kCadreCouleur = 1503;
constexpr int kCadreLiseret = 1504;
constexpr int kMotifs = 1506;
constexpr int kAucun = 1507;
constexpr int kMotif = 1508;
constexpr int kCouleur = 1509;
constexpr int kApercu = 1511;
constexpr int kIcone = 2226;
constexpr int kReset = 2229;

constexpr UINT kEpaisseurMin = 1;
constexpr UINT kEpaisseurMax = 50;
constexpr UINT kEpaisseurDefaut = 20;

const bool registered = DialogTemplate::Register({
    CCadreDlg::IDD, "Add a border to picture", 431, 261, "Comic Sans MS", 8, Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To add a border to a picture allows to give a nicer picture.", 44, 8, 252, 10},
        {ControlKind::Static, -1,
         "Select border typ : pattern or color with/without borderline. \nClick on picture to display it on "
         "full screen.",
         44, 21, 252, 20},
        {ControlKind::Picture, kApercu, "", 304, 7, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::GroupBox, -1, "Border typ", 7, 46, 150, 60},
        {ControlKind::RadioButton, kAucun, "None", 15, 57, 134, 10, Opt::Group},
        {ControlKind::RadioButton, kMotif, "Border with pattern", 15, 69, 134, 10},
        {ControlKind::RadioButton, kCouleur, "Border with color", 15, 81, 134, 10},
        {ControlKind::CheckBox, kLiseret, "Borderline", 27, 93, 80, 10},
        {ControlKind::GroupBox, -1, "Thickness", 163, 46, 135, 60},
        {ControlKind::Edit, kEpaisseur, "", 206, 68, 40, 13, Opt::Number | Opt::Right},
        {ControlKind::Spin, kFlecheEpaisseur, "", 246, 68, 10, 13, Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys},
        {ControlKind::GroupBox, -1, "Pattern", 7, 110, 291, 126},
        {ControlKind::ListView, kMotifs, "", 14, 121, 277, 109, Opt::Icons | Opt::SingleSel},
        {ControlKind::GroupBox, -1, "Border color", 304, 95, 120, 70},
        {ControlKind::Frame, kCadreCouleur, "", 320, 105, 87, 58},
        {ControlKind::GroupBox, -1, "Borderline color", 304, 167, 120, 70},
        {ControlKind::Frame, kCadreLiseret, "", 320, 177, 87, 58},
        {ControlKind::PushButton, kReset, "Reset", 7, 240, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 319, 240, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 374, 240, 50, 14},
    },
});

UINT Etat(int drapeau) { return drapeau ? BST_CHECKED : BST_UNCHECKED; }

} // namespace

CCadreDlg::CCadreDlg(QWidget* parent) : CRetoucheMotifDlg(IDD, kIcone, 1017, kApercu, kMotifs, parent) {}

CCadreDlg::~CCadreDlg() = default;

void CCadreDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, kAucun, BoutonAucun);
    DDX_Control(pDX, kMotif, BoutonMotif);
    DDX_Control(pDX, kCouleur, BoutonCouleur);
    DDX_Control(pDX, kLiseret, BoutonLiseret);
    DDX_Text(pDX, kEpaisseur, Epaisseur);
    DDV_MinMaxUInt(pDX, Epaisseur, kEpaisseurMin, kEpaisseurMax);
}

BOOL CCadreDlg::OnInitDialog()
{
    Pret = 0;
    CDialog::OnInitDialog();
    InitialiseApercus();
    RemplitListeMotifs();
    PanneauCadre = CreePanneau(kCadreCouleur, CouleurCadre);
    PanneauLiseret = CreePanneau(kCadreLiseret, CouleurLiseret);
    CheckDlgButton(kAucun, Etat(TypeAucun));
    CheckDlgButton(kMotif, Etat(TypeMotif));
    CheckDlgButton(kCouleur, Etat(TypeCouleur));
    CheckDlgButton(kLiseret, Etat(AvecLiseret));
    GetDlgItemAs<SpinButton>(kFlecheEpaisseur)->SetRange(kEpaisseurMin, kEpaisseurMax);
    RestrictionAcces();
    AfficheImage();
    UpdateData(FALSE);
    Pret = 1;
    return TRUE;
}

void CCadreDlg::RestrictionAcces()
{
    const bool cadre = !IsDlgButtonChecked(kAucun);
    const bool couleur = cadre && IsDlgButtonChecked(kCouleur);
    GetDlgItem(kMotifs)->setEnabled(cadre && IsDlgButtonChecked(kMotif));
    GetDlgItem(kEpaisseur)->setEnabled(cadre);
    // Its arrows would still write into it.
    GetDlgItem(kFlecheEpaisseur)->setEnabled(cadre);
    GetDlgItem(kCadreCouleur)->setEnabled(couleur);
    // A pattern border has no borderline, whatever the box still says.
    GetDlgItem(kCadreLiseret)->setEnabled(couleur && IsDlgButtonChecked(kLiseret));
    GetDlgItem(kLiseret)->setEnabled(couleur);
}

std::function<HBITMAP(HDC)> CCadreDlg::Cadre()
{
    if (IsDlgButtonChecked(kAucun) || !Graphique)
        return nullptr;
    const int motif = IsDlgButtonChecked(kMotif) ? 1 : 0;
    const int liseret = IsDlgButtonChecked(kLiseret) ? 1 : 0;
    const COLORREF couleurCadre = PanneauCadre ? PanneauCadre->Couleur : CouleurCadre;
    const COLORREF couleurLiseret = PanneauLiseret ? PanneauLiseret->Couleur : CouleurLiseret;
    return [=, this](HDC dc) {
        return Graphique->CadreImage(dc, Image, motif, IndexMotif, couleurCadre, static_cast<int>(Epaisseur),
                                     liseret, couleurLiseret);
    };
}

void CCadreDlg::AfficheImage()
{
    const std::function<HBITMAP(HDC)> cadre = Cadre();
    // A border changes the size: the preview fits whatever comes out.
    MontreApercu(0, cadre ? Applique(cadre) : Image);
}

BOOL CCadreDlg::LitChamps()
{
    const UINT epaisseur = Epaisseur;
    if (UpdateData(TRUE))
        return TRUE;
    // Refused, and not drawn either: a huge border would cost a huge picture.
    Epaisseur = epaisseur;
    return FALSE;
}

void CCadreDlg::OnChangeAcces(UINT)
{
    const BOOL lu = LitChamps();
    RestrictionAcces();
    AfficheImage();
    // A refused field keeps what the user typed, selected for the next try.
    if (lu)
        UpdateData(FALSE);
}

void CCadreDlg::OnChangeAcces2()
{
    if (Pret == 1)
        OnChangeAcces(0);
}

LRESULT CCadreDlg::PriseEnCompteChangementCouleur(WPARAM, LPARAM)
{
    if (PanneauCadre)
        CouleurCadre = PanneauCadre->Couleur;
    if (PanneauLiseret)
        CouleurLiseret = PanneauLiseret->Couleur;
    AfficheImage();
    return 0;
}

void CCadreDlg::OnClicked(int id)
{
    switch (id) {
    case kAucun:
    case kMotif:
    case kCouleur:
        OnChangeAcces(static_cast<UINT>(id));
        break;
    case kLiseret:
        OnChangeAcces2();
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

void CCadreDlg::OnEditChanged(int id)
{
    if (id == kEpaisseur)
        OnChangeAcces2();
}

void CCadreDlg::OnReset()
{
    CheckDlgButton(kAucun, BST_CHECKED);
    CheckDlgButton(kMotif, BST_UNCHECKED);
    CheckDlgButton(kCouleur, BST_UNCHECKED);
    CheckDlgButton(kLiseret, BST_UNCHECKED);
    SetDlgItemInt(kEpaisseur, kEpaisseurDefaut);
    // What the user typing it would have set off.
    OnChangeAcces2();
    if (PanneauCadre)
        CouleurCadre = ReinitialisePanneau(*PanneauCadre);
    if (PanneauLiseret)
        CouleurLiseret = ReinitialisePanneau(*PanneauLiseret);
    AfficheImage();
}

void CCadreDlg::OnOK()
{
    if (!LitChamps())
        return;
    TypeAucun = IsDlgButtonChecked(kAucun) ? 1 : 0;
    TypeMotif = IsDlgButtonChecked(kMotif) ? 1 : 0;
    TypeCouleur = IsDlgButtonChecked(kCouleur) ? 1 : 0;
    AvecLiseret = IsDlgButtonChecked(kLiseret) ? 1 : 0;
    CDialog::OnOK();
}

void CCadreDlg::OnPleinEcran() { AffichePleinEcran(Cadre(), CString(), kApercu); }

void CCadreDlg::DesInitInstance()
{
    CRetoucheMotifDlg::DesInitInstance();
    LiberePanneau(PanneauCadre);
    LiberePanneau(PanneauLiseret);
}
