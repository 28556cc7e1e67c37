#include "CRecoupeDlg.h"

#include "CGraphique.h"
#include "SpinButton.h"

#include <algorithm>

namespace {

constexpr int kIcone = 2200;
constexpr int kAvant = 2201;
constexpr int kApres = 2202;
constexpr int kX1 = 2203;
constexpr int kY1 = 2204;
constexpr int kX2 = 2205;
constexpr int kY2 = 2206;
constexpr int kSpinX1 = 2207;
constexpr int kSpinY1 = 2208;
constexpr int kSpinX2 = 2209;
constexpr int kSpinY2 = 2210;
constexpr int kReset = 2211;

constexpr COLORREF kRouge = RGB(255, 0, 0);
constexpr COLORREF kNoir = RGB(0, 0, 0);
// The spins count in 16 bits.
constexpr LONG kMaxSpin = 32767;

constexpr std::uint32_t kChamp = Opt::Number | Opt::Right;
constexpr std::uint32_t kSpin = Opt::AutoBuddy | Opt::AlignRight | Opt::ArrowKeys;

const bool registered = DialogTemplate::Register({
    CRecoupeDlg::IDD, "Cutting a picture", 347, 229, "Comic Sans MS", 8, Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To cut a picture allows to keep only a special piece of it.", 44, 8, 296, 10},
        {ControlKind::Static, -1,
         "Modify up-left point (X1,Y1) and down-right point (X2,Y2) from picture to cut it.\nClick on picture "
         "to display it on full screen.",
         44, 21, 296, 24},
        {ControlKind::Static, -1, "Before", 40, 50, 120, 9, Opt::Center},
        {ControlKind::Picture, kAvant, "", 40, 60, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::Static, -1, "After", 187, 50, 120, 9, Opt::Center},
        {ControlKind::Picture, kApres, "", 187, 60, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::Static, -1, "X1", 40, 158, 12, 9},
        {ControlKind::Edit, kX1, "", 54, 156, 44, 13, kChamp},
        {ControlKind::Spin, kSpinX1, "", 98, 156, 10, 13, kSpin},
        {ControlKind::Static, -1, "Y1", 104, 158, 12, 9},
        {ControlKind::Edit, kY1, "", 116, 156, 44, 13, kChamp},
        {ControlKind::Spin, kSpinY1, "", 160, 156, 10, 13, kSpin},
        {ControlKind::Static, -1, "X2", 187, 158, 12, 9},
        {ControlKind::Edit, kX2, "", 201, 156, 44, 13, kChamp},
        {ControlKind::Spin, kSpinX2, "", 245, 156, 10, 13, kSpin},
        {ControlKind::Static, -1, "Y2", 251, 158, 12, 9},
        {ControlKind::Edit, kY2, "", 263, 156, 44, 13, kChamp},
        {ControlKind::Spin, kSpinY2, "", 307, 156, 10, 13, kSpin},
        {ControlKind::PushButton, kReset, "Reset", 7, 208, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 235, 208, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 290, 208, 50, 14},
    },
});

// Truncated toward zero, as the scaled corners are.
LONG Echelle(LONG valeur, LONG reduite, LONG entiere)
{
    return static_cast<LONG>(static_cast<double>(valeur) * reduite / entiere);
}

} // namespace

CRecoupeDlg::CRecoupeDlg(QWidget* parent) : CRetoucheDlg(IDD, kIcone, 1014, {kAvant, kApres}, true, parent) {}

BOOL CRecoupeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    InitialiseApercus();
    AfficheImage(0);
    AfficheImage(1);
    const std::pair<int, LONG> spins[] = {
        {kSpinX1, LargeurImage}, {kSpinY1, HauteurImage}, {kSpinX2, LargeurImage}, {kSpinY2, HauteurImage}};
    for (const auto& [id, maximum] : spins)
        GetDlgItemAs<SpinButton>(id)->SetRange(0, std::clamp<LONG>(maximum, 0, kMaxSpin));
    AfficheValeurs();
    Pret = 1;
    return TRUE;
}

int CRecoupeDlg::ControleValeurs() const
{
    return ZoneRecoupe.left < ZoneRecoupe.right && ZoneRecoupe.top < ZoneRecoupe.bottom ? 1 : 0;
}

void CRecoupeDlg::AfficheValeurs()
{
    Pret = 0;
    SetDlgItemInt(kX1, ZoneRecoupe.left);
    SetDlgItemInt(kY1, ZoneRecoupe.top);
    SetDlgItemInt(kX2, ZoneRecoupe.right);
    SetDlgItemInt(kY2, ZoneRecoupe.bottom);
    Pret = 1;
}

void CRecoupeDlg::AfficheImage(unsigned index)
{
    // While the rectangle is not valid the preview keeps what it showed.
    if (!ControleValeurs() || LargeurImage <= 0 || HauteurImage <= 0 || index > 1)
        return;
    const CSize reduite = TailleReduite[index];
    CRect zone(Echelle(ZoneRecoupe.left, reduite.cx, LargeurImage), Echelle(ZoneRecoupe.top, reduite.cy, HauteurImage),
               Echelle(ZoneRecoupe.right, reduite.cx, LargeurImage),
               Echelle(ZoneRecoupe.bottom, reduite.cy, HauteurImage));
    HBITMAP source = ImageReduite[index];
    if (index == 0) {
        MontreApercu(0, Applique([&](HDC dc) { return CGraphique::RectangleImage(dc, source, zone, 0, 1, kRouge); }));
        return;
    }
    // A narrow valid rectangle keeps at least one pixel of the reduced picture.
    zone.right = std::max(zone.right, zone.left + 1);
    zone.bottom = std::max(zone.bottom, zone.top + 1);
    MontreApercu(1, Applique([&](HDC dc) {
        return CGraphique::RecoupeImage(dc, source, CPoint(zone.left, zone.top), zone.Size(), kNoir);
    }));
}

void CRecoupeDlg::OnEditChanged(int id)
{
    if (id >= kX1 && id <= kY2)
        OnChangeValeurs();
}

void CRecoupeDlg::OnChangeValeurs()
{
    if (Pret != 1)
        return;
    ZoneRecoupe.left = GetDlgItemInt(kX1);
    ZoneRecoupe.top = GetDlgItemInt(kY1);
    ZoneRecoupe.right = GetDlgItemInt(kX2);
    ZoneRecoupe.bottom = GetDlgItemInt(kY2);
    AfficheImage(0);
    AfficheImage(1);
}

void CRecoupeDlg::OnClicked(int id)
{
    switch (id) {
    case kAvant:
        OnPleinEcranAvant();
        break;
    case kApres:
        OnPleinEcranApres();
        break;
    case kReset:
        OnReset();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CRecoupeDlg::OnPleinEcranAvant() { PleinEcran(0); }

void CRecoupeDlg::OnPleinEcranApres() { PleinEcran(1); }

void CRecoupeDlg::OnReset()
{
    ZoneRecoupe = CRect(0, 0, LargeurImage, HauteurImage);
    AfficheValeurs();
    AfficheImage(0);
    AfficheImage(1);
}

void CRecoupeDlg::PleinEcran(unsigned index)
{
    if (!ControleValeurs()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    const CRect zone = ZoneRecoupe;
    const CSize image(LargeurImage, HauteurImage);
    if (index == 1) {
        AffichePleinEcran([&](HDC dc) {
            return CGraphique::RecoupeImage(dc, Image, CPoint(zone.left, zone.top), zone.Size(), kNoir);
        }, Legende(image, zone.Size()), kApres);
    } else {
        AffichePleinEcran([&](HDC dc) { return CGraphique::RectangleImage(dc, Image, zone, 0, 1, kRouge); },
                          Legende(image), kApres);
    }
}

void CRecoupeDlg::OnOK()
{
    if (!ControleValeurs()) {
        // What cannot be cropped comes back as the whole picture.
        ZoneRecoupe = CRect(0, 0, LargeurImage, HauteurImage);
        SignaleDonneesInvalides();
    }
    CDialog::OnOK();
}
