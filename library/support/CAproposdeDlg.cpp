#include "CAproposdeDlg.h"

#include "BitmapStatic.h"
#include "CGraphique.h"

#include <QWindow>

#include <algorithm>
#include <climits>

namespace {

constexpr int kImage = 1200;
constexpr UINT kTimerFermeture = 1;

const bool registered = DialogTemplate::Register({
    CAproposdeDlg::IDD, "", 186, 95, "MS Sans Serif", 8, Opt::Borderless, ResourceModule::Library,
    {
        {ControlKind::Picture, kImage, "", 0, 0, 186, 95, Opt::Notify},
    },
});

// Over the owner's window, else over the screen.
void Centre(QWidget& boite)
{
    const CSize ecran = Screen::size();
    QRect zone(0, 0, ecran.cx, ecran.cy);
    if (QWidget* proprietaire = boite.parentWidget())
        zone = proprietaire->window()->frameGeometry();
    boite.move(zone.x() + (zone.width() - boite.width()) / 2, zone.y() + (zone.height() - boite.height()) / 2);
}

} // namespace

CAproposdeDlg::CAproposdeDlg(QWidget* parent) : CDialog(IDD, parent) {}

BOOL CAproposdeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItemAs<BitmapStatic>(kImage)->SetBitmap(Image);
    setWindowTitle(QString::fromStdString(Titre));
    if (Duree > 0) {
        // Held to what a timer can count.
        const int secondes = std::min(Duree, INT_MAX / 1000);
        SetTimer(kTimerFermeture, static_cast<UINT>(secondes) * 1000u);
    }

    // Without a picture the layout's own size keeps the box in sight.
    CSize taille(width(), height());
    if (Image)
        CGraphique::RecupereInfosImage(Image, taille, nullptr);
    setFixedSize(taille.cx, taille.cy);
    Centre(*this);
    // At start-up the window manager places the owner only after it was
    // shown, which is after this box was placed: the box follows it.
    if (QWidget* proprietaire = parentWidget())
        if (QWindow* fenetre = proprietaire->window()->windowHandle())
            for (auto signal : {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged})
                connect(fenetre, signal, this, [this] { Centre(*this); });
    raise();
    return TRUE;
}

void CAproposdeDlg::OnClicked(int id)
{
    if (id == kImage)
        EndDialog(IDOK);
    else
        CDialog::OnClicked(id);
}

void CAproposdeDlg::OnTimer(UINT id)
{
    if (id != kTimerFermeture)
        return;
    KillTimer(kTimerFermeture);
    EndDialog(IDOK);
}
