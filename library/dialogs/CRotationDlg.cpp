#include "CRotationDlg.h"

#include "CGraphique.h"

#include <QAbstractButton>

namespace {

constexpr int kApercu = 1601;
constexpr int kGauche = 1602;
constexpr int kInverse = 1603;
constexpr int kDroite = 1604;
constexpr int kIcone = 2224;
constexpr int kReset = 2230;

constexpr int kAngleGauche = -180;
constexpr int kAngleInverse = 360;
constexpr int kAngleDroite = 180;

const bool registered = DialogTemplate::Register({
    CRotationDlg::IDD, "Rotating a picture", 247, 226, "Comic Sans MS", 8, Opt::SysMenu, ResourceModule::Library,
    {
        {ControlKind::PushButton, kIcone, "", 7, 7, 30, 30},
        {ControlKind::Static, -1, "To rotate a picture allows to turn it for displaying in better position.",
         44, 8, 196, 18},
        {ControlKind::Static, -1,
         "Select rotating by clicking on left arrow  (-180\xC2\xB0),  center (360\xC2\xB0)  or right "
         "(180\xC2\xB0).\nClick on picture to display it on full screen.",
         44, 28, 196, 36},
        {ControlKind::RadioButton, kGauche, "", 69, 72, 30, 30, Opt::Group | Opt::PushLike},
        {ControlKind::RadioButton, kInverse, "", 109, 72, 30, 30, Opt::PushLike},
        {ControlKind::RadioButton, kDroite, "", 149, 72, 30, 30, Opt::PushLike},
        {ControlKind::Picture, kApercu, "", 63, 111, 120, 84, Opt::Border | Opt::Center | Opt::Notify,
         CRetoucheDlg::kFondApercu},
        {ControlKind::PushButton, kReset, "Reset", 7, 205, 50, 14},
        {ControlKind::DefPushButton, IDOK, "OK", 135, 205, 50, 14},
        {ControlKind::PushButton, IDCANCEL, "Cancel", 190, 205, 50, 14},
    },
});

} // namespace

CRotationDlg::CRotationDlg(QWidget* parent) : CRetoucheDlg(IDD, kIcone, 1016, {kApercu}, true, parent) {}

BOOL CRotationDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const std::pair<int, UINT> boutons[] = {{kGauche, 2001}, {kInverse, 2002}, {kDroite, 2000}};
    for (std::size_t i = 0; i < IconesRotation.size(); ++i) {
        IconesRotation[i] = Resources::loadIcon(ResourceModule::Library, boutons[i].second);
        if (auto* bouton = GetDlgItemAs<QAbstractButton>(boutons[i].first)) {
            bouton->setIcon(IconesRotation[i]);
            bouton->setIconSize(QSize(32, 32));
        }
    }
    InitialiseApercus();
    AfficheImage();
    AfficheBoutons();
    return TRUE;
}

void CRotationDlg::AfficheBoutons()
{
    CheckDlgButton(kDroite, Angle == kAngleDroite ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kGauche, Angle == kAngleGauche ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kInverse, Angle == kAngleInverse ? BST_CHECKED : BST_UNCHECKED);
}

void CRotationDlg::AfficheImage()
{
    if (Angle == 0) {
        MontreApercu(0, ImageReduite[0]);
        return;
    }
    // A quarter turn of a wide picture comes out higher than the zone: the preview fits it again.
    MontreApercu(0, Applique([this](HDC dc) { return CGraphique::RotationImage(dc, ImageReduite[0], Angle); }));
}

void CRotationDlg::OnClicked(int id)
{
    switch (id) {
    case kGauche:
        OnRotationGauche();
        break;
    case kInverse:
        OnRotationInverse();
        break;
    case kDroite:
        OnRotationDroite();
        break;
    case kReset:
        OnReset();
        break;
    case kApercu:
        OnPleinEcran();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
}

void CRotationDlg::OnRotationGauche() { Bascule(kAngleGauche); }

void CRotationDlg::OnRotationInverse() { Bascule(kAngleInverse); }

void CRotationDlg::OnRotationDroite() { Bascule(kAngleDroite); }

void CRotationDlg::OnReset()
{
    Angle = 0;
    AfficheBoutons();
    AfficheImage();
}

void CRotationDlg::Bascule(int angle)
{
    Angle = Angle == angle ? 0 : angle;
    AfficheBoutons();
    AfficheImage();
}

void CRotationDlg::OnPleinEcran()
{
    std::function<HBITMAP(HDC)> rotation;
    if (Angle != 0)
        rotation = [this](HDC dc) { return CGraphique::RotationImage(dc, Image, Angle); };
    AffichePleinEcran(rotation, CString(), kApercu);
}
