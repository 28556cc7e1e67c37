#include "CRedimensionDlg.h"

#include "CGraphique.h"
#include "SpinButton.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kIcone = 2212;
constexpr int kApercu = 2213;
constexpr int kModePourcentage = 2214;
constexpr int kModeTaille = 2215;
constexpr int kLargeur = 2216;
constexpr int kSpinLargeur = 2217;
constexpr int kHauteur = 2218;
constexpr int kSpinHauteur = 2219;
constexpr int kPourcentage = 2220;
constexpr int kSpinPourcentage = 2221;
constexpr int kProportion = 2222;
constexpr int kReset = 2223;

// The percentage spin stops where the width reaches this many hundredths.
constexpr LONG kCentiemesMax = 200000;

constexpr std::uint32_t kChamp = Opt::Number | Opt::Right;
constexpr std::uint32_t kSpin = Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys;

const bool registered = DialogTemplate::Register({
    CRedimensionDlg::IDD, "Stretching a picture", 247, 226, "Comic Sans MS", 8, Opt::SysMenu,
    ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To stretch a picture allows to decrease or increase size of it.", 44, 8, 196,
         18},
        {ControlKind::Static, -1,
         "Modify size of image by selecting percent (%)  or select and input absolute values (X,Y), in this case "
         "you can keep proportion ( KP ).\n\nClick on picture to display it on full screen.",
         44, 27, 196, 44},
        {ControlKind::RadioButton, kModePourcentage, "%", 22, 78, 22, 10, Opt::Group},
        {ControlKind::RadioButton, kModeTaille, "X", 22, 94, 22, 10},
        {ControlKind::Edit, kPourcentage, "", 46, 76, 50, 13, kChamp},
        {ControlKind::Spin, kSpinPourcentage, "", 96, 76, 10, 13, kSpin},
        {ControlKind::Edit, kLargeur, "", 46, 92, 50, 13, kChamp},
        {ControlKind::Spin, kSpinLargeur, "", 96, 92, 10, 13, kSpin},
        {ControlKind::Static, -1, "Y", 104, 94, 10, 9},
        {ControlKind::Edit, kHauteur, "", 116, 92, 50, 13, kChamp},
        {ControlKind::Spin, kSpinHauteur, "", 166, 92, 10, 13, kSpin},
        {ControlKind::CheckBox, kProportion, "KP", 180, 93, 30, 11},
        {ControlKind::Picture, kApercu, "", 63, 113, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::PushButton, kReset, "Reset", 7, 205, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 135, 205, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 190, 205, 50, 14},
    },
});

// Truncated toward zero; what an int cannot hold is held at its limits.
int Tronque(double valeur)
{
    if (std::isnan(valeur))
        return 0;
    return static_cast<int>(std::clamp(valeur, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

CRedimensionDlg::CRedimensionDlg(QWidget* parent) : CRetoucheDlg(IDD, kIcone, 1015, {kApercu}, false, parent) {}

void CRedimensionDlg::InitInstance(CGraphique* graphique)
{
    CRetoucheDlg::InitInstance(graphique);
    Proportion = static_cast<double>(LargeurImage) / HauteurImage;
}

BOOL CRedimensionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    InitialiseApercus();
    // Wider than kCentiemesMax pixels the division gives 0: 1 % stays possible.
    const LONG pourcentageMax = LargeurImage > 0 ? std::max<LONG>(kCentiemesMax / LargeurImage, 1) : 1;
    GetDlgItemAs<SpinButton>(kSpinPourcentage)->SetRange(1, pourcentageMax);
    GetDlgItemAs<SpinButton>(kSpinLargeur)->SetRange(1, kTailleMax);
    GetDlgItemAs<SpinButton>(kSpinHauteur)->SetRange(1, kTailleMax);
    AfficheValeurs();
    RestrictionAcces();
    AfficheImage();
    Pret = 1;
    return TRUE;
}

CSize CRedimensionDlg::TailleCible() const
{
    return CGraphique::CalculTailleRedimensionne(Image, ModePourcentage, Pourcentage, NouvelleLargeur,
                                                 NouvelleHauteur, nullptr);
}

int CRedimensionDlg::ControleValeurs() const
{
    const CSize taille = TailleCible();
    // A negative side would pass a test against 0 and fail every resize.
    return taille.cx > 0 && taille.cy > 0 && taille.cx <= kTailleMax && taille.cy <= kTailleMax ? 1 : 0;
}

void CRedimensionDlg::CalculProportion(int depuisLargeur)
{
    if (depuisLargeur)
        NouvelleHauteur = Tronque(NouvelleLargeur / Proportion);
    else
        NouvelleLargeur = Tronque(NouvelleHauteur * Proportion);
}

void CRedimensionDlg::AfficheValeurs()
{
    Pret = 0;
    CheckDlgButton(kModePourcentage, ModePourcentage ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kModeTaille, ModePourcentage ? BST_UNCHECKED : BST_CHECKED);
    SetDlgItemInt(kPourcentage, Pourcentage);
    SetDlgItemInt(kLargeur, NouvelleLargeur);
    SetDlgItemInt(kHauteur, NouvelleHauteur);
    CheckDlgButton(kProportion, ConserveProportion ? BST_CHECKED : BST_UNCHECKED);
    Pret = 1;
}

void CRedimensionDlg::RestrictionAcces()
{
    // A spin goes with its field: stepping a field that is off would still change the setting.
    for (const int id : {kPourcentage, kSpinPourcentage})
        GetDlgItem(id)->setEnabled(ModePourcentage != 0);
    for (const int id : {kLargeur, kSpinLargeur, kHauteur, kSpinHauteur, kProportion})
        GetDlgItem(id)->setEnabled(ModePourcentage == 0);
}

void CRedimensionDlg::AfficheImage()
{
    if (!ControleValeurs())
        return;
    const CSize taille = TailleCible();
    // Shown at its real scale: the preview cuts what does not fit.
    MontreApercu(0, Applique([&](HDC dc) { return CGraphique::RedimensionneImage(dc, Image, taille, 1); }), false);
}

void CRedimensionDlg::OnClicked(int id)
{
    switch (id) {
    case kModePourcentage:
    case kModeTaille:
        OnChangeMode(id);
        break;
    case kProportion:
        OnConservationProportion();
        break;
    case kApercu:
        OnPleinEcran();
        break;
    case kReset:
        OnReset();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CRedimensionDlg::OnEditChanged(int id)
{
    switch (id) {
    case kPourcentage:
        OnChangeValeurP();
        break;
    case kLargeur:
        OnChangeValeurX();
        break;
    case kHauteur:
        OnChangeValeurY();
        break;
    default:
        break;
    }
}

void CRedimensionDlg::OnChangeMode(int)
{
    ModePourcentage = IsDlgButtonChecked(kModePourcentage) == BST_CHECKED ? 1 : 0;
    RestrictionAcces();
    AfficheImage();
}

void CRedimensionDlg::OnConservationProportion()
{
    const int avant = ConserveProportion;
    ConserveProportion = IsDlgButtonChecked(kProportion) == BST_CHECKED ? 1 : 0;
    if (!ConserveProportion || avant)
        return;
    CalculProportion(1);
    AfficheValeurs();
    AfficheImage();
}

void CRedimensionDlg::OnChangeValeurP()
{
    if (Pret != 1)
        return;
    Pourcentage = GetDlgItemInt(kPourcentage);
    AfficheImage();
}

void CRedimensionDlg::OnChangeValeurX()
{
    if (Pret != 1)
        return;
    NouvelleLargeur = GetDlgItemInt(kLargeur);
    if (ConserveProportion) {
        CalculProportion(1);
        Pret = 0;
        SetDlgItemInt(kHauteur, NouvelleHauteur);
        Pret = 1;
    }
    AfficheImage();
}

void CRedimensionDlg::OnChangeValeurY()
{
    if (Pret != 1)
        return;
    NouvelleHauteur = GetDlgItemInt(kHauteur);
    if (ConserveProportion) {
        CalculProportion(0);
        Pret = 0;
        SetDlgItemInt(kLargeur, NouvelleLargeur);
        Pret = 1;
    }
    AfficheImage();
}

void CRedimensionDlg::OnReset()
{
    NouvelleLargeur = LargeurImage;
    NouvelleHauteur = HauteurImage;
    ModePourcentage = 1;
    Pourcentage = 100;
    ConserveProportion = 1;
    RestrictionAcces();
    AfficheValeurs();
    AfficheImage();
}

void CRedimensionDlg::OnPleinEcran()
{
    if (!ControleValeurs()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    const CSize taille = TailleCible();
    // The halftone quality the owner's result will have.
    AffichePleinEcran([&](HDC dc) { return CGraphique::RedimensionneImage(dc, Image, taille, 0); },
                      Legende(CSize(LargeurImage, HauteurImage), taille), kApercu);
}

void CRedimensionDlg::OnOK()
{
    if (!ControleValeurs()) {
        // What cannot be made comes back as the picture's own size.
        NouvelleLargeur = LargeurImage;
        ModePourcentage = 1;
        Pourcentage = 100;
        ConserveProportion = 1;
        NouvelleHauteur = HauteurImage;
        SignaleDonneesInvalides();
    }
    CDialog::OnOK();
}
