#include "CPleinEcranDlg.h"

#include "BitmapStatic.h"
#include "CGraphique.h"

#include <QKeyEvent>
#include <QLabel>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kLegende = 1209;
constexpr int kImage = 1202;
constexpr int kPlus = 1201;
constexpr int kMoins = 1203;
constexpr int kNormal = 1204;
constexpr int kHaut = 1205;
constexpr int kBas = 1206;
constexpr int kGauche = 1207;
constexpr int kDroite = 1208;
constexpr int kAjuste = 1210;

constexpr UINT kTimerFermeture = 1;
constexpr LONG kLargeurMax = 1920;
constexpr int kPas = 10;

// The buttons are never visible: the keys below are the only way to them.
const bool registered = DialogTemplate::Register({
    CPleinEcranDlg::IDD, "", 200, 150, "Comic Sans MS", 8,
    Opt::Borderless | Opt::Visible, ResourceModule::Library,
    {
        {ControlKind::Static, kLegende, "", 0, 0, 100, 10, Opt::Center},
        {ControlKind::Picture, kImage, "", 0, 0, 20, 20, Opt::Notify},
        {ControlKind::PushButton, kPlus, "Plus", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kMoins, "Moins", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kNormal, "Normal", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kHaut, "Haut", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kBas, "Bas", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kGauche, "Gauche", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kDroite, "Droite", 0, 0, 40, 14, Opt::Hidden},
        {ControlKind::PushButton, kAjuste, "Ajuste", 0, 0, 40, 14, Opt::Hidden},
    },
});

// The viewer's accelerator table: keys without Shift, Ctrl or Alt.
struct Accelerateur {
    int touche;
    bool paveNumerique; // only the numeric keypad's key
    int commande;
};
constexpr Accelerateur kAccelerateurs[] = {
    {Qt::Key_Plus, true, kPlus},   {Qt::Key_Minus, true, kMoins}, {Qt::Key_Space, false, kNormal},
    {Qt::Key_Up, false, kHaut},    {Qt::Key_Down, false, kBas},   {Qt::Key_Left, false, kGauche},
    {Qt::Key_Right, false, kDroite}, {Qt::Key_F, false, kAjuste},  {Qt::Key_Asterisk, true, kAjuste},
};

} // namespace

CPleinEcranDlg::CPleinEcranDlg(QWidget* parent) : CDialog(IDD, parent) {}

CPleinEcranDlg::~CPleinEcranDlg()
{
    if (ImageAffichee)
        DeleteObject(ImageAffichee);
}

BitmapStatic* CPleinEcranDlg::Picture() const { return GetDlgItemAs<BitmapStatic>(kImage); }

void CPleinEcranDlg::InitInstance(CGraphique* graphique)
{
    Graphique = graphique;
    if (Image) {
        CGraphique::RecupereInfosImage(Image, TailleImage, nullptr);
        TailleAffichee = TailleImage;
    }
}

BOOL CPleinEcranDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    TailleEcran = Screen::size();
    if (Image) {
        CGraphique::RecupereInfosImage(Image, TailleImage, nullptr);
        TailleAffichee = TailleImage;
    }

    auto* legende = GetDlgItemAs<QLabel>(kLegende);
    SetDlgItemText(kLegende, Legende);
    // A caption over the picture must stay readable on any picture, and whole.
    legende->setWordWrap(false);
    legende->setAutoFillBackground(true);
    legende->adjustSize();
    legende->setVisible(!Legende.empty());

    if (Image)
        Zoom(TailleAffichee);
    else
        Picture()->move(0, 0);

    // One pixel short of the screen each way.
    setFixedSize(TailleEcran.cx - 1, TailleEcran.cy - 1);
    move(0, 0);
    raise();
    if (Delai > 0)
        SetTimer(kTimerFermeture, static_cast<UINT>(Delai));
    return TRUE;
}

BOOL CPleinEcranDlg::Zoom(CSize taille) { return Affiche(taille, 1); }

BOOL CPleinEcranDlg::Affiche(CSize taille, int rapide)
{
    HDC dc = GetDC(this);
    HBITMAP copie = CGraphique::RedimensionneImage(dc, Image, taille, rapide);
    ReleaseDC(this, dc);
    if (!copie)
        return FALSE;
    BitmapStatic* image = Picture();
    image->SetBitmap(copie);
    if (ImageAffichee)
        DeleteObject(ImageAffichee);
    ImageAffichee = copie;
    // Larger than the screen: negative corner, cut at the edges.
    image->move((TailleEcran.cx - taille.cx) / 2 - 1, (TailleEcran.cy - taille.cy) / 2 - 1);
    image->raise();
    GetDlgItem(kLegende)->raise();
    return TRUE;
}

int CPleinEcranDlg::AfficheEtTeste()
{
    Picture()->SetBitmap(Image);
    if (ImageAffichee) {
        DeleteObject(ImageAffichee);
        ImageAffichee = nullptr;
    }
    PeekAndPump();
    return Interrompu;
}

int CPleinEcranDlg::PeekAndPump() { return ::PeekAndPump(); }

CSize CPleinEcranDlg::TailleAjustee(CSize image, CSize ecran)
{
    const std::int64_t largeur = std::max<LONG>(ecran.cx - 2, 1);
    const std::int64_t hauteur = std::max<LONG>(ecran.cy - 2, 1);
    if (image.cx <= 0 || image.cy <= 0 || (image.cx <= largeur && image.cy <= hauteur))
        return image;
    // Rounded to the nearest pixel, never past the limiting side, never to nothing.
    const auto regle = [](std::int64_t cote, std::int64_t vers, std::int64_t depuis) {
        return static_cast<LONG>(std::max<std::int64_t>(1, (2 * cote * vers + depuis) / (2 * depuis)));
    };
    if (image.cx * hauteur <= image.cy * largeur)
        return CSize(regle(image.cx, hauteur, image.cy), static_cast<LONG>(hauteur));
    return CSize(static_cast<LONG>(largeur), regle(image.cy, largeur, image.cx));
}

// A photograph larger than the screen is otherwise seen only at its centre.
// Halftone keeps fine detail readable at a fifth of the size, where the fast
// stretch of the zoom steps would drop four rows in five.
void CPleinEcranDlg::Ajuste()
{
    if (m_Ajustee) {
        m_Ajustee = false;
        TailleAffichee = m_TailleAvantAjustement;
        Zoom(TailleAffichee);
        return;
    }
    const CSize taille = TailleAjustee(TailleImage, TailleEcran);
    if (!Affiche(taille, 0)) {
        MessageBeep(MB_ICONEXCLAMATION);
        Zoom(TailleAffichee);
        return;
    }
    m_Ajustee = true;
    m_TailleAvantAjustement = TailleAffichee;
    TailleAffichee = taille;
}

void CPleinEcranDlg::Plus()
{
    const CSize taille(TailleAffichee.cx + TailleImage.cx / 20, TailleAffichee.cy + TailleImage.cy / 20);
    if (TailleAffichee.cx >= kLargeurMax || !Zoom(taille)) {
        MessageBeep(MB_ICONEXCLAMATION);
        Zoom(TailleAffichee);
        return;
    }
    TailleAffichee = taille;
}

void CPleinEcranDlg::Moins()
{
    const CSize taille(TailleAffichee.cx - TailleImage.cx / 20, TailleAffichee.cy - TailleImage.cy / 20);
    if (TailleImage.cx / 10 >= TailleAffichee.cx || !Zoom(taille)) {
        MessageBeep(MB_ICONEXCLAMATION);
        Zoom(TailleAffichee);
        return;
    }
    TailleAffichee = taille;
}

void CPleinEcranDlg::Deplace(int dx, int dy)
{
    QWidget* image = Picture();
    // Only a picture smaller than the screen both ways can move.
    const QRect zone = image->geometry();
    if (zone.width() >= TailleEcran.cx || zone.height() >= TailleEcran.cy)
        return;
    int gauche = zone.x() + dx;
    int haut = zone.y() + dy;
    if (gauche < 0)
        gauche = 0;
    if (haut < 0)
        haut = 0;
    if (gauche + zone.width() > TailleEcran.cx)
        gauche = TailleEcran.cx - TailleAffichee.cx;
    if (haut + zone.height() > TailleEcran.cy)
        haut = TailleEcran.cy - TailleAffichee.cy;
    image->move(gauche, haut);
    image->show();
}

void CPleinEcranDlg::OnClicked(int id)
{
    if (ModeSuivi) {
        Interrompu = 1;
        return;
    }
    // Without a picture there is nothing to zoom or move; a click still closes.
    if (!Image && (id == kPlus || id == kMoins || id == kNormal || id == kAjuste)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (!Image && id >= kHaut && id <= kDroite)
        return;
    const CSize avant = TailleAffichee;
    switch (id) {
    case kImage:
        EndDialog(IDOK);
        break;
    case kPlus:
        Plus();
        break;
    case kMoins:
        Moins();
        break;
    case kNormal:
        TailleAffichee = TailleImage;
        Zoom(TailleAffichee);
        break;
    case kHaut:
        Deplace(0, -kPas);
        break;
    case kBas:
        Deplace(0, kPas);
        break;
    case kGauche:
        Deplace(-kPas, 0);
        break;
    case kDroite:
        Deplace(kPas, 0);
        break;
    case kAjuste:
        Ajuste();
        break;
    default:
        CDialog::OnClicked(id);
        break;
    }
    // Another size leaves the fitted view: the fit key then fits again.
    if (id != kAjuste && TailleAffichee != avant)
        m_Ajustee = false;
}

BOOL CPleinEcranDlg::PreTranslateKey(int, QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier)
        return FALSE;
    const bool pave = (event->modifiers() & Qt::KeypadModifier) != 0;
    for (const Accelerateur& a : kAccelerateurs) {
        if (a.touche == event->key() && (pave || !a.paveNumerique)) {
            OnClicked(a.commande);
            return TRUE;
        }
    }
    return FALSE;
}

void CPleinEcranDlg::OnTimer(UINT id)
{
    if (id != kTimerFermeture)
        return;
    KillTimer(kTimerFermeture);
    EndDialog(IDOK);
}

void CPleinEcranDlg::wheelEvent(QWheelEvent* event)
{
    OnClicked(event->angleDelta().y() > 0 ? kHaut : kBas);
    CDialog::wheelEvent(event);
}
